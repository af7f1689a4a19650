// Function and power arithmetic of the expression language.
#include "expr/arithmetic.h"

#include "expr/expression_engine.h"

#include <cmath>
#include <numbers>

namespace vorn::expr::arith {

namespace {
constexpr long double kTrigLimit = 9223372036854775808.0L; // 2^63
} // namespace

long double sine(long double v) {
    return std::fabs(v) >= kTrigLimit ? 0.0L : std::sin(v);
}
long double cosine(long double v) {
    return std::fabs(v) >= kTrigLimit ? 0.0L : std::cos(v);
}

bool computeFunction(char token, long double v, long double& out) {
    switch (token) {
    case 'a':
        out = std::atan(v);
        break;
    case 'b':
        out = std::numbers::pi_v<long double> / 2 - std::atan(v);
        break;
    case 'c':
        if (std::fabs(v) > 1) return false;
        out = std::asin(v);
        break;
    case 'd':
        if (std::fabs(v) > 1) return false;
        out = std::acos(v);
        break;
    case 'e':
        if (v <= 0) return false;
        // The language's own formula: log10 rounds differently, LG(0.001) + 3 would be -2e-19.
        out = std::log(v) / std::log(10.0L);
        break;
    case 'f':
        out = sine(v);
        break;
    case 'g':
        out = cosine(v);
        break;
    case 'h': {
        const long double s = sine(v);
        if (s == 0) return false;
        out = cosine(v) / s;
        break;
    }
    case 'i': {
        const long double c = cosine(v);
        if (c == 0) return false;
        out = sine(v) / c;
        break;
    }
    case 'j':
        out = std::exp(v);
        break;
    case 'k':
        out = v - std::trunc(v);
        break;
    case 'l':
        out = std::trunc(v);
        break;
    case 'm':
        if (v <= 0) return false;
        out = std::log(v);
        break;
    case 'n':
        if (v < 0) return false;
        out = std::sqrt(v);
        break;
    case 'o':
        out = v * v;
        break;
    case 'p':
        out = std::fabs(v);
        break;
    default:
        return false;
    }
    return std::isfinite(out);
}

bool computePower(long double b, long double e, long double& out) {
    if (b > 0) {
        out = std::exp(e * std::log(b));
    } else if (b == 0) {
        out = 0;
    } else if (e == std::trunc(e)) {
        out = std::exp(e * std::log(-b));
        if (std::fmod(e, 2.0L) != 0) out = -out;
    } else {
        out = 0;
    }
    return std::isfinite(out);
}

Relation relationOf(std::string_view sign) {
    if (sign == "<") return Relation::Less;
    if (sign == ">") return Relation::Greater;
    if (sign == "<=" || sign == "=<") return Relation::LessEqual;
    if (sign == ">=" || sign == "=>") return Relation::GreaterEqual;
    if (sign == "=") return Relation::Equal;
    if (sign == "<>" || sign == "><") return Relation::NotEqual;
    return Relation::None;
}

bool relationHolds(Relation relation, long double l, long double r) {
    switch (relation) {
    case Relation::Less:
        return l < r;
    case Relation::Greater:
        return l > r;
    case Relation::LessEqual:
        return l <= r;
    case Relation::GreaterEqual:
        return l >= r;
    case Relation::Equal:
        return std::fabs(l - r) < kEqualTolerance;
    case Relation::NotEqual:
        return l != r; // exact on purpose
    case Relation::None:
        break;
    }
    return false;
}

} // namespace vorn::expr::arith
