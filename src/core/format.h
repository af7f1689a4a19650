// The program's single number-to-text conversion.
#pragma once

#include <string>

namespace vorn::core {

// 15 significant digits when `fullPrecision`, else `answerDigits`; either clamped to 2..18.
// Fixed notation while the decimal exponent E of 0.D x 10^E lies in -3..p, else "dE-x".
std::string FormatNumber(bool fullPrecision, long double value, int answerDigits = 6);

} // namespace vorn::core
