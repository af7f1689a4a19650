// Text-rewriting evaluator: function names to tokens, numbers to operand slots, groups reduced
// from the innermost parenthesis outwards.
#include "expr/expression_engine.h"
#include "expr/arithmetic.h"
#include "expr/expression_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <vector>

namespace vorn::expr {

namespace {

using namespace detail;

constexpr std::size_t kMaxValueText = 60;

// Fixed-point text with 20 decimals of `value`, negative values in parentheses, cut to 60
// characters by dropping decimals only: the integer part and the closing parenthesis are kept.
std::string valueText(long double value) {
    char small[96];
    std::string big;
    auto res = std::to_chars(small, small + sizeof small, value, std::chars_format::fixed, 20);
    std::string_view digits;
    if (res.ec == std::errc()) {
        digits = std::string_view(small, static_cast<std::size_t>(res.ptr - small));
    } else {
        big.resize(5200);
        res =
            std::to_chars(big.data(), big.data() + big.size(), value, std::chars_format::fixed, 20);
        digits = std::string_view(big.data(), static_cast<std::size_t>(res.ptr - big.data()));
    }
    const bool negative = !digits.empty() && digits.front() == '-';
    const std::size_t room = negative ? kMaxValueText - 2 : kMaxValueText;
    if (digits.size() > room) {
        const std::size_t point = digits.find('.');
        std::size_t keep = room;
        if (point != std::string_view::npos && keep <= point + 1) keep = point;
        digits = digits.substr(0, keep);
    }
    std::string out;
    out.reserve(digits.size() + 2);
    if (negative) out.push_back('(');
    out.append(digits);
    if (negative) out.push_back(')');
    return out;
}

using arith::Relation;
using arith::relationHolds;
using arith::relationOf;

// Operand slots that hold the values themselves.
class Values final : public Operands {
  public:
    explicit Values(std::array<long double, kOperandSlots>& slots) : m_slots(slots) {}

    int loadNumber(std::size_t slot, long double value) override {
        m_slots[slot] = value;
        return kCalcOk;
    }
    int extraOperand(bool besideOperator) override {
        return besideOperator ? kMissingOperand : kBadText;
    }
    void negate(std::size_t slot) override { m_slots[slot] = -m_slots[slot]; }
    int power(std::size_t base, std::size_t exponent) override {
        return foldPower(m_slots[base], m_slots[exponent]);
    }
    int function(char token, std::size_t operand) override {
        return foldFunction(token, m_slots[operand]);
    }
    int binary(char op, std::size_t left, std::size_t right) override {
        return foldBinary(op, m_slots[left], m_slots[right]);
    }

  private:
    std::array<long double, kOperandSlots>& m_slots;
};

} // namespace

std::string ExpressionEngine::SubstituteVariable(std::string_view text, char letter,
                                                 long double value) {
    const std::string replacement = valueText(value);
    std::vector<bool> replace;
    freeOccurrences(
        text, letter, replacement.front(), [](char) { return false; }, replace);
    std::string out;
    out.reserve(text.size() + 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (replace[i])
            out.append(replacement);
        else
            out.push_back(text[i]);
    }
    return out;
}

bool ExpressionEngine::fail(int code) {
    CalcError = code;
    return false;
}

Evaluation ExpressionEngine::Evaluate(std::string_view text) {
    m_operands.fill(0);
    Values values(m_operands);
    int slot = -1;
    int code = normaliseText(text, ValidateCharacters, nullptr, m_text, m_group);
    if (code == kCalcOk) code = scanNumbers(m_text, m_group, values);
    if (code == kCalcOk) code = reduceGroups(m_text, m_group, m_scratch, values, slot);
    CalcError = code;
    if (code != kCalcOk || slot < 0) return {0, code};
    // Adding +0 turns a negative zero into 0.
    return {m_operands[static_cast<std::size_t>(slot)] + 0.0L, kCalcOk};
}

long double ExpressionEngine::EvaluateExpression(std::string_view text) {
    return Evaluate(text).value;
}

bool ExpressionEngine::EvaluateSystem(std::string_view text) {
    CalcError = kCalcOk;
    m_systemText.clear();
    for (const char c : text)
        if (c != ' ') m_systemText.push_back(c);
    const std::string_view s = m_systemText;
    if (s.empty()) return true;

    bool verdict = true;
    for (std::size_t pos = 0;;) {
        const RelationText r = splitRelation(s, pos);
        const Evaluation left = Evaluate(r.left);
        if (left.code != kCalcOk) return false;
        const Relation relation = relationOf(r.sign);
        if (relation == Relation::None) return fail(kMissingOperand);
        const Evaluation right = Evaluate(r.right);
        if (right.code != kCalcOk) return false;

        verdict = relationHolds(relation, left.value, right.value) && verdict;
        if (r.end >= s.size()) return verdict;
        pos = r.end + 1;
    }
}

bool acceptsTypedExpression(ExpressionEngine& engine, std::string_view text,
                            std::string_view variables) {
    std::string probe(text);
    for (const char v : variables)
        probe = ExpressionEngine::SubstituteVariable(probe, v, kTypingProbe);
    return engine.Evaluate(probe).code <= 0;
}

} // namespace vorn::expr
