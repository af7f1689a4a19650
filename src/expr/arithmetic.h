// Function and power arithmetic shared by the text evaluator and the compiled form, so the two
// give the same bits.
#pragma once

namespace vorn::expr::arith {

// Sine and cosine give 0 for arguments of 2^63 or more, where the hardware gives up.
long double sine(long double v);
long double cosine(long double v);
// Value of function token `token` at v; false when it has none there.
bool computeFunction(char token, long double v, long double& out);
// b^e as exp(e * ln b); a negative base only takes whole exponents, otherwise the power is 0.
bool computePower(long double b, long double e, long double& out);

} // namespace vorn::expr::arith
