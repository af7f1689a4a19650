// Evaluation of typed analytical expressions and of systems of relations, by text rewriting.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vorn::expr {

// Values of CalcError. Positive: the text is malformed; negative: no value at this point.
inline constexpr int kCalcOk = 0;
inline constexpr int kMissingOperand = 1; // also an unknown or missing relation sign
inline constexpr int kBadText = 2;        // foreign character, empty or unpaired group, ...
inline constexpr int kUnbalanced = 3;     // numbers of "(" and ")" differ
inline constexpr int kBadNumber = 4;      // run of digits and points that is not a number
inline constexpr int kArithmeticFault = -1;
inline constexpr int kSmallDivisor = -2;

// Divisors below this magnitude give kSmallDivisor.
inline constexpr long double kMinDivisor = 0.0001L;
// Two sides of "=" in a system are equal when closer than this.
inline constexpr long double kEqualTolerance = 0.00001L;
// Value substituted for every variable when a text is checked while it is typed.
inline constexpr long double kTypingProbe = 0.01L;

inline constexpr int kOperandSlots = 26;

// Function names in search order; entry k is written as the token 'a' + k. Longer names come
// before the names they contain. "PI" is not a function: it becomes the text of kPiText.
inline constexpr std::array<std::string_view, 17> FunctionNameTable = {
    "ATG", "ACTG", "ASIN", "ACOS", "LG",   "SIN", "COS", "CTG", "TG",
    "EXP", "FRAC", "INT",  "LN",   "SQRT", "SQR", "ABS", "PI"};
inline constexpr std::string_view kPiText = "3.1415926";

// Value of one evaluation with its CalcError; the value is 0 unless the code is kCalcOk.
struct Evaluation {
    long double value = 0;
    int code = kCalcOk;
    bool ok() const { return code == kCalcOk; }
};

class ExpressionEngine {
  public:
    // State of the last evaluation; callers read it after each call and may reset it.
    int CalcError = kCalcOk;
    // When off, the character check of an already accepted text is skipped (bulk samplers).
    bool ValidateCharacters = true;

    // Copy of `text` with every free occurrence of the variable `letter` replaced by the
    // fixed-point text of `value`. An occurrence touching a digit or letter is not free.
    static std::string SubstituteVariable(std::string_view text, char letter, long double value);

    // Value of a text of numbers, signs, parentheses and function names, and its code, which
    // CalcError keeps as well. An empty or all-blank text is 0.
    Evaluation Evaluate(std::string_view text);
    // The value alone.
    long double EvaluateExpression(std::string_view text);

    // True when every comma-separated relation holds; false on any fault (see CalcError).
    bool EvaluateSystem(std::string_view text);

  private:
    bool fail(int code);

    std::array<long double, kOperandSlots> m_operands{};
    std::string m_text;
    std::string m_group;
    std::string m_scratch;
    std::string m_systemText;
};

// Check while typing: substitutes kTypingProbe for each letter of `variables` and accepts the
// text unless it is malformed (CalcError > 0). A text with no value at the probe is accepted.
bool acceptsTypedExpression(ExpressionEngine& engine, std::string_view text,
                            std::string_view variables);

} // namespace vorn::expr
