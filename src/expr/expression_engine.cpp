// Text-rewriting evaluator: function names to tokens, numbers to operand slots, groups reduced
// from the innermost parenthesis outwards.
#include "expr/expression_engine.h"
#include "expr/arithmetic.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <vector>

namespace vorn::expr {

namespace {

constexpr char kFirstToken = 'a';
constexpr char kLastToken = 'p'; // "PI" has a table entry but never becomes a token
constexpr std::size_t kMaxValueText = 60;
// The sine and cosine of the reference build give 0 from this magnitude on.

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

constexpr bool isAllowed(char c) {
    switch (c) {
    case '(':
    case ')':
    case '*':
    case '+':
    case '-':
    case '.':
    case '/':
    case '^':
        return true;
    default:
        return isDigit(c) || isToken(c);
    }
}

// A digit run is a number when it holds at most one point and at least one digit.
bool isDecimal(std::string_view run) {
    return std::count(run.begin(), run.end(), '.') <= 1 &&
           std::any_of(run.begin(), run.end(), isDigit);
}

// Replaces every occurrence of `name` by `replacement`, left to right. A replacement holds no
// capital letters, so it can neither complete nor split a later match.
void replaceAll(std::string& text, std::string_view name, std::string_view replacement,
                std::string& scratch) {
    std::size_t pos = text.find(name);
    if (pos == std::string::npos) return;
    scratch.clear();
    std::size_t from = 0;
    while (pos != std::string::npos) {
        scratch.append(text, from, pos - from);
        scratch.append(replacement);
        from = pos + name.size();
        pos = text.find(name, from);
    }
    scratch.append(text, from, std::string::npos);
    text.swap(scratch);
}

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

} // namespace

std::string ExpressionEngine::SubstituteVariable(std::string_view text, char letter,
                                                 long double value) {
    const char wanted = upper(letter);
    const auto isWord = [](char c) { return isDigit(c) || isOperand(upper(c)); };
    const std::size_t n = text.size();
    // Decided from the end, as the neighbour to the right may already be a value text.
    std::vector<bool> replace(n, false);
    const std::string replacement = valueText(value);
    for (std::size_t i = n; i-- > 0;) {
        if (upper(text[i]) != wanted) continue;
        const char after = i + 1 < n ? (replace[i + 1] ? replacement.front() : text[i + 1]) : ' ';
        const bool touches = (i + 1 < n && isWord(after)) || (i > 0 && isWord(text[i - 1]));
        replace[i] = !touches;
    }
    std::string out;
    out.reserve(n + 16);
    for (std::size_t i = 0; i < n; ++i) {
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

long double ExpressionEngine::EvaluateExpression(std::string_view text) {
    m_operands.fill(0);
    CalcError = kCalcOk;

    m_text.clear();
    m_text.reserve(text.size() + 2);
    m_text.push_back('(');
    long long depth = 0;
    for (const char c : text) {
        if (c == ' ') continue;
        if (c == '(') ++depth;
        if (c == ')') --depth;
        m_text.push_back(upper(c));
    }
    m_text.push_back(')');
    if (depth != 0) {
        fail(kUnbalanced);
        return 0;
    }

    for (std::size_t k = 0; k < FunctionNameTable.size(); ++k) {
        const char token = static_cast<char>(kFirstToken + k);
        const std::string_view replacement =
            FunctionNameTable[k] == "PI" ? kPiText : std::string_view(&token, 1);
        replaceAll(m_text, FunctionNameTable[k], replacement, m_group);
    }

    if (ValidateCharacters && !std::all_of(m_text.begin(), m_text.end(), isAllowed)) {
        fail(kBadText);
        return 0;
    }
    if (!scanNumbers()) return 0;

    // Each pass reduces the first closed group; nothing before it can hold a ")" afterwards.
    std::size_t from = 0;
    while (m_text.size() > 2) {
        const std::size_t close = m_text.find(')', from);
        const std::size_t open =
            close == std::string::npos ? std::string::npos : m_text.rfind('(', close);
        if (open == std::string::npos || close == open + 1) {
            fail(kBadText);
            return 0;
        }
        m_group.assign(m_text, open + 1, close - open - 1);
        if (!reduceGroup(m_group)) return 0;
        m_text[open] = m_group.front();
        m_text.erase(open + 1, close - open);
        from = open;
    }

    if (m_text == "()") return 0; // empty text
    if (m_text.size() != 1 || !isOperand(m_text.front())) {
        fail(kBadText);
        return 0;
    }
    // Adding +0 turns a negative zero into 0.
    return m_operands[static_cast<std::size_t>(m_text.front() - 'A')] + 0.0L;
}

// Replaces the n-th number by the n-th slot letter. A 27th number has no slot: the text is
// rejected at once so that no arithmetic fault elsewhere can hide that it is malformed.
bool ExpressionEngine::scanNumbers() {
    std::string& out = m_group;
    out.clear();
    std::size_t used = 0;
    const std::size_t n = m_text.size();
    std::size_t i = 0;
    while (i < n) {
        const char c = m_text[i];
        if (!isDigit(c) && c != '.') {
            out.push_back(c);
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < n && (isDigit(m_text[j]) || m_text[j] == '.'))
            ++j;
        const std::string_view run(m_text.data() + i, j - i);
        if (!isDecimal(run)) return fail(kBadNumber);
        if (used == kOperandSlots) {
            const bool besideOperator =
                (!out.empty() && (isOperator(out.back()) || isToken(out.back()))) ||
                (j < n && isOperator(m_text[j]));
            return fail(besideOperator ? kMissingOperand : kBadText);
        }
        long double value = 0;
        const auto res =
            std::from_chars(run.data(), run.data() + run.size(), value, std::chars_format::fixed);
        if (res.ec == std::errc::result_out_of_range) {
            // Too large, or so small that it is carried as 0.
            const std::string_view whole = run.substr(0, run.find('.'));
            if (whole.find_first_not_of('0') != std::string_view::npos)
                return fail(kArithmeticFault);
            value = 0;
        } else if (res.ec != std::errc() || res.ptr != run.data() + run.size()) {
            return fail(kBadNumber);
        }
        m_operands[used] = value;
        out.push_back(static_cast<char>('A' + used));
        ++used;
        i = j;
    }
    m_text.swap(out);
    return true;
}

bool ExpressionEngine::reduceGroup(std::string& group) {
    unaryMinusPass(group);
    while (group.find('^') != std::string::npos)
        if (!applyPower(group)) return false;
    while (std::any_of(group.begin(), group.end(), isToken))
        if (!applyFunction(group)) return false;
    group.erase(0, group.find_first_not_of('+'));
    foldSigns(group);
    unaryMinusPass(group);
    if (!applyBinary(group, '*', '/')) return false;
    if (!applyBinary(group, '+', '-')) return false;
    if (group.size() != 1 || !isOperand(group.front())) return fail(kBadText);
    return true;
}

// A "-" right before an operand, and not after one, negates that operand. Walks from the end,
// so "--A" negates twice.
void ExpressionEngine::unaryMinusPass(std::string& group) {
    std::string& kept = m_scratch;
    kept.clear();
    char next = 0;
    for (std::size_t i = group.size(); i-- > 0;) {
        const char c = group[i];
        if (c == '-' && isOperand(next) && (i == 0 || !isOperand(group[i - 1]))) {
            auto& slot = m_operands[static_cast<std::size_t>(next - 'A')];
            slot = -slot;
            continue;
        }
        kept.push_back(c);
        next = c;
    }
    group.assign(kept.rbegin(), kept.rend());
}

// Folding adjacent pairs from the end collapses each run of signs into one: "-" for an odd
// number of minus signs, else "+".
void ExpressionEngine::foldSigns(std::string& group) {
    std::size_t w = 0;
    for (std::size_t r = 0; r < group.size();) {
        if (!isSign(group[r])) {
            group[w++] = group[r++];
            continue;
        }
        bool minus = false;
        while (r < group.size() && isSign(group[r]))
            minus ^= group[r++] == '-';
        group[w++] = minus ? '-' : '+';
    }
    group.resize(w);
}

bool ExpressionEngine::applyPower(std::string& group) {
    const std::size_t pos = group.find('^');
    if (pos == 0 || pos + 1 >= group.size() || !isOperand(group[pos - 1]) ||
        !isOperand(group[pos + 1]))
        return fail(kMissingOperand);
    auto& exponent = m_operands[static_cast<std::size_t>(group[pos + 1] - 'A')];
    const long double base = m_operands[static_cast<std::size_t>(group[pos - 1] - 'A')];
    long double result = 0;
    if (!arith::computePower(base, exponent, result)) return fail(kArithmeticFault);
    exponent = result;
    group.erase(pos - 1, 2);
    return true;
}

bool ExpressionEngine::applyFunction(std::string& group) {
    const auto it = std::find_if(group.begin(), group.end(), isToken);
    const std::size_t pos = static_cast<std::size_t>(it - group.begin());
    if (pos + 1 >= group.size() || !isOperand(group[pos + 1])) return fail(kMissingOperand);
    auto& operand = m_operands[static_cast<std::size_t>(group[pos + 1] - 'A')];
    long double result = 0;
    if (!arith::computeFunction(group[pos], operand, result)) return fail(kArithmeticFault);
    operand = result;
    group.erase(pos, 1);
    return true;
}

// Applies the operators op1 and op2 from the left; the result replaces the left operand.
bool ExpressionEngine::applyBinary(std::string& group, char op1, char op2) {
    const char ops[] = {op1, op2, '\0'};
    std::size_t pos = group.find_first_of(ops);
    while (pos != std::string::npos) {
        if (pos == 0 || pos + 1 >= group.size() || !isOperand(group[pos - 1]) ||
            !isOperand(group[pos + 1]))
            return fail(kMissingOperand);
        auto& left = m_operands[static_cast<std::size_t>(group[pos - 1] - 'A')];
        const long double right = m_operands[static_cast<std::size_t>(group[pos + 1] - 'A')];
        long double result = 0;
        switch (group[pos]) {
        case '*':
            result = left * right;
            break;
        case '/':
            if (std::fabs(right) < kMinDivisor) return fail(kSmallDivisor);
            result = left / right;
            break;
        case '+':
            result = left + right;
            break;
        default:
            result = left - right;
            break;
        }
        if (!std::isfinite(result)) return fail(kArithmeticFault);
        left = result;
        group.erase(pos, 2);
        pos = group.find_first_of(ops, pos);
    }
    return true;
}

bool ExpressionEngine::EvaluateSystem(std::string_view text) {
    CalcError = kCalcOk;
    m_systemText.clear();
    for (const char c : text)
        if (c != ' ') m_systemText.push_back(c);
    const std::string_view s = m_systemText;
    const std::size_t n = s.size();
    if (n == 0) return true;

    bool verdict = true;
    std::size_t pos = 0;
    for (;;) {
        // Neither the left side nor the sign may take the last character.
        std::size_t j = pos;
        while (j + 1 < n && !isRelation(s[j]))
            ++j;
        const long double left = EvaluateExpression(s.substr(pos, j - pos));
        if (CalcError != kCalcOk) return false;

        std::size_t k = j;
        while (k + 1 < n && isRelation(s[k]))
            ++k;
        const Relation relation = relationOf(s.substr(j, k - j));
        if (relation == Relation::None) {
            fail(kMissingOperand);
            return false;
        }

        std::size_t end = s.find(',', k);
        if (end == std::string_view::npos) end = n;
        const long double right = EvaluateExpression(s.substr(k, end - k));
        if (CalcError != kCalcOk) return false;

        const bool holds = relationHolds(relation, left, right);
        verdict = verdict && holds;
        if (end >= n) return verdict;
        pos = end + 1;
    }
}

bool acceptsTypedExpression(ExpressionEngine& engine, std::string_view text,
                            std::string_view variables) {
    std::string probe(text);
    for (const char v : variables)
        probe = ExpressionEngine::SubstituteVariable(probe, v, kTypingProbe);
    engine.EvaluateExpression(probe);
    return engine.CalcError <= 0;
}

} // namespace vorn::expr
