// Function and power arithmetic shared by the text evaluator and the compiled form, so the two
// give the same bits.
#pragma once

#include <cstdint>
#include <string_view>

namespace vorn::expr::arith {

// A relation of a system: its sign and whether it holds.
enum class Relation : std::uint8_t {
    None,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
    Equal,
    NotEqual
};
Relation relationOf(std::string_view sign);
bool relationHolds(Relation relation, long double l, long double r);

// Sine and cosine give 0 for arguments of 2^63 or more, where the hardware gives up.
long double sine(long double v);
long double cosine(long double v);
// Value of function token `token` at v; false when it has none there.
bool computeFunction(char token, long double v, long double& out);
// b^e as exp(e * ln b); a negative base only takes whole exponents, otherwise the power is 0.
bool computePower(long double b, long double e, long double& out);

} // namespace vorn::expr::arith
