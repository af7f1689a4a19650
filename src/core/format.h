// The program's single number-to-text conversion.
#pragma once

#include <string>

namespace vorn::core {

// 15 significant digits when `fullPrecision`, else `answerDigits`; either clamped to 2..18.
// Fixed notation while the decimal exponent E of 0.D x 10^E lies in -3..p, else "dE-x".
std::string FormatNumber(bool fullPrecision, long double value, int answerDigits = 6);

// The fewest significant digits (1..9) that read back, as the dialogs read a number (a double
// stored as float), to `value`, written like the full-precision FormatNumber: what a coordinate
// kept in single precision was typed as. Both zeros give "0"; INF and NAN as FormatNumber.
std::string ShortestFloatText(float value);

// Formats the numbers of one answer with `answerDigits` and notes whether any of them was not
// finite: the command then gives its failure message instead of a line with "INF" or "NAN".
class AnswerNumbers {
  public:
    explicit AnswerNumbers(int answerDigits) : m_digits(answerDigits) {}
    std::string operator()(long double value);
    bool finite() const { return m_finite; }

  private:
    int m_digits;
    bool m_finite = true;
};

} // namespace vorn::core
