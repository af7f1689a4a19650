// Text handling behind both evaluators: the text path rewrites values, the compiled forms
// record what happens to them, and both read a formula through the routines below, so that
// they cannot come to read it differently.
#pragma once

#include "expr/expression_engine.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::expr::detail {

inline constexpr char kFirstToken = 'a';
inline constexpr char kLastToken = 'p'; // "PI" has a table entry but never becomes a token
// A text whose compiled form cannot give the text path's answers; never seen by callers.
inline constexpr int kTextOnly = 100;

constexpr char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}
constexpr bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
constexpr bool isOperand(char c) {
    return c >= 'A' && c <= 'Z';
}
constexpr bool isToken(char c) {
    return c >= kFirstToken && c <= kLastToken;
}
constexpr bool isSign(char c) {
    return c == '+' || c == '-';
}
constexpr bool isOperator(char c) {
    return c == '+' || c == '-' || c == '*' || c == '/' || c == '^';
}
constexpr bool isRelation(char c) {
    return c == '<' || c == '=' || c == '>';
}

// Binary operator of the evaluator; the code is kCalcOk or the fault.
int computeBinary(char op, long double left, long double right, long double& out);

// The operations on values in place: the target keeps its value when the code is a fault.
int foldPower(long double base, long double& exponent);
int foldFunction(char token, long double& operand);
int foldBinary(char op, long double& left, long double right);

// One relation of a system without blanks, from `pos` on: neither the left side nor the sign
// may take the last character, and the right side runs to the next comma.
struct RelationText {
    std::string_view left, sign, right;
    std::size_t end; // of the relation: its comma, or the size of the system
};
RelationText splitRelation(std::string_view system, std::size_t pos);

// Which occurrences of `letter` a substitution replaces: those touching no digit or letter,
// decided from the end, where the right neighbour may already be replaced by a text that
// starts with `written`. `isWord` says what counts as a digit or letter besides those.
void freeOccurrences(std::string_view text, char letter, char written, bool (*isWord)(char),
                     std::vector<bool>& replace);

// What the reduction of a text does with the values of the operand slots 'A'...'Z'. Each
// operation returns kCalcOk or the code that ends the evaluation.
class Operands {
  public:
    // Variable number of a character that stands for a variable, or -1.
    virtual int variableOf(char c) const;
    virtual int loadNumber(std::size_t slot, long double value) = 0;
    virtual int loadVariable(std::size_t slot, int variable);
    // A 27th operand has no slot.
    virtual int extraOperand(bool besideOperator) = 0;
    virtual void negate(std::size_t slot) = 0;
    // The result goes to the exponent's slot.
    virtual int power(std::size_t base, std::size_t exponent) = 0;
    virtual int function(char token, std::size_t operand) = 0;
    // The result goes to the left slot.
    virtual int binary(char op, std::size_t left, std::size_t right) = 0;

  protected:
    ~Operands() = default;
};

// Blanks dropped, letters made capital, the whole put in one group, function names turned into
// tokens and, when `validate`, the characters checked (`extra` admits more of them). Gives
// kCalcOk, kUnbalanced or kBadText.
int normaliseText(std::string_view text, bool validate, bool (*extra)(char), std::string& out,
                  std::string& scratch);

// Replaces the n-th number or variable by the n-th slot letter and loads the slot. A 27th
// operand is refused at once, so that no arithmetic fault elsewhere can hide that the text
// is malformed.
int scanNumbers(std::string& text, std::string& scratch, Operands& operands);

// Reduces the groups from the innermost outwards. `result` becomes the slot of the value, or
// -1 for an empty text.
int reduceGroups(std::string& text, std::string& group, std::string& scratch, Operands& operands,
                 int& result);

} // namespace vorn::expr::detail
