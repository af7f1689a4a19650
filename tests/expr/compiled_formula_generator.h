// Random formulas, systems and points over the whole expression language, for differential tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <random>
#include <string>

namespace vorn::expr::difftest {

class FormulaGenerator {
  public:
    explicit FormulaGenerator(std::uint64_t seed) : m_rng(seed) {}

    // A formula in x and y (sometimes t, z), well formed most of the time.
    std::string formula() {
        std::string s = expression(0);
        if (chance(12)) s = damage(s);
        return s;
    }

    // Comma-separated relations between formulas, sometimes with a wrong or missing sign.
    std::string system() {
        static const char* const signs[] = {"<",  ">",  "<=", "=<", ">=", "=>", "=",
                                            "<>", "><", "<<", "==", "",   "<=>"};
        std::string s;
        const int items = 1 + pick(3);
        for (int k = 0; k < items; ++k) {
            if (k) s += chance(2) ? ", " : ",";
            s += expression(1);
            s += signs[chance(6) ? pick(13) : pick(9)];
            s += expression(1);
        }
        if (chance(15)) s = damage(s);
        if (chance(30)) s.clear();
        return s;
    }

    // A coordinate: grid-like, near 0 and the 20-decimal limit, negative, large or exact ties.
    long double point() {
        switch (pick(12)) {
        case 0:
            return (pick(2) ? -1 : 1) * std::ldexp(static_cast<long double>(1 + 2 * pick(1000)),
                                                   -21 - pick(50)); // halves of the last decimal
        case 1:
            return (pick(2) ? -1 : 1) * uniform(0, 1e-19L) * std::pow(10.0L, -pick(5));
        case 2:
            return (pick(2) ? -1 : 1) * (5e-21L + uniform(-1e-22L, 1e-22L));
        case 3:
            return pick(2) ? 0.0L : -0.0L;
        case 4:
            return (pick(2) ? -1 : 1) * uniform(0, 1e6L) * std::pow(10.0L, pick(40));
        case 5:
            return (pick(2) ? -1 : 1) * std::pow(10.0L, pick(4000));
        case 6: { // a node of a 16..1000-point grid over -3..3, as a double
            const int n = 16 + pick(985);
            const double d = 6.0 / (n - 1);
            return -3.0 + pick(n) * d;
        }
        case 7:
            return (pick(2) ? -1 : 1) * uniform(0.12L, 0.13L);
        case 8: // close to the boundary of x^2+y^2<pi^2 and of the unit disc
            return (pick(2) ? -1 : 1) * (pick(2) ? 3.1415926L : 1.0L) * uniform(0.999L, 1.001L);
        default:
            return uniform(-10, 10);
        }
    }

    int pick(int n) { return static_cast<int>(m_rng() % static_cast<std::uint64_t>(n)); }
    bool chance(int oneIn) { return pick(oneIn) == 0; }

  private:
    long double uniform(long double a, long double b) {
        return a + (b - a) * static_cast<long double>(m_rng() >> 11) * 0x1p-53L;
    }

    // Pieces appended in order (sidesteps a false -Wrestrict of GCC 12 on literal + string).
    static std::string join(std::initializer_list<std::string> pieces) {
        std::string s;
        for (const std::string& p : pieces)
            s += p;
        return s;
    }

    std::string blank() {
        switch (pick(8)) {
        case 0:
            return " ";
        case 1:
            return "  ";
        default:
            return "";
        }
    }

    std::string number() {
        static const char* const fixed[] = {
            "0",     "1",  "2",      "0.5",     ".5",   "5.",   "0.0001",  "1e5",        "3,5",
            "1.2.3", "10", "100000", "0.00009", "1000", "0.01", "123.456", "99999999999"};
        if (chance(3)) return fixed[pick(17)];
        std::string s = std::to_string(pick(100));
        if (chance(2)) s.append(".").append(std::to_string(pick(1000)));
        return s;
    }

    std::string variable() {
        static const char* const names[] = {"x", "X", "y", "Y", "t", "z"};
        return names[chance(10) ? pick(6) : pick(4)];
    }

    std::string functionName() {
        static const char* const names[] = {"atg", "actg", "asin", "acos", "lg",   "sin",
                                            "cos", "ctg",  "tg",   "exp",  "frac", "int",
                                            "ln",  "sqrt", "sqr",  "abs"};
        std::string s = names[pick(16)];
        for (char& c : s)
            if (chance(2)) c = static_cast<char>(c - 32);
        if (chance(25)) s.insert(s.begin() + 1 + pick(static_cast<int>(s.size()) - 1), ' ');
        return s;
    }

    std::string atom(int depth) {
        switch (pick(depth > 3 ? 3 : 7)) {
        case 0:
            return number();
        case 1:
        case 2:
            return variable();
        case 3:
            return pick(2) ? "pi" : "PI";
        case 4:
            return join({"(", blank(), expression(depth + 1), blank(), ")"});
        case 5: // a function with or without parentheses, sometimes glued to its argument
            if (chance(3)) return join({functionName(), chance(4) ? "" : " ", atom(depth + 1)});
            return join({functionName(), blank(), "(", expression(depth + 1), ")"});
        default:
            return join({"-", blank(), atom(depth + 1)});
        }
    }

    std::string expression(int depth) {
        static const char* const ops[] = {"+", "-", "*", "/", "^", "--", "+-", "*-", "^-", "-+"};
        std::string s;
        if (chance(8)) s += pick(2) ? "-" : "+";
        s += atom(depth);
        const int terms = depth > 3 ? 0 : pick(chance(20) ? 30 : 4);
        for (int k = 0; k < terms; ++k) {
            s += blank();
            s += ops[chance(5) ? pick(10) : pick(5)];
            s += blank();
            s += atom(depth + 1);
        }
        return s;
    }

    // One small fault: a character dropped, doubled or inserted, or a variable glued to a digit.
    std::string damage(std::string s) {
        static const char inserts[] = "()+-*/^.0123456789xyXY ,<=>!a";
        const std::size_t at =
            s.empty() ? 0 : static_cast<std::size_t>(pick(static_cast<int>(s.size())));
        switch (pick(5)) {
        case 0:
            if (!s.empty()) s.erase(at, 1);
            break;
        case 1:
            if (!s.empty()) s.insert(at, 1, s[at]);
            break;
        case 2:
            s.insert(at, pick(2) ? "2 x" : "x.5");
            break;
        default:
            s.insert(at, 1, inserts[pick(static_cast<int>(sizeof inserts - 1))]);
            break;
        }
        return s;
    }

    std::mt19937_64 m_rng;
};

} // namespace vorn::expr::difftest
