// Reading and reducing formula texts for both evaluators.
#include "expr/expression_text.h"
#include "expr/arithmetic.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace vorn::expr::detail {

namespace {

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

// Value of a digit run that isDecimal accepts.
int readNumber(std::string_view run, long double& value) {
    value = 0;
    const auto res =
        std::from_chars(run.data(), run.data() + run.size(), value, std::chars_format::fixed);
    if (res.ec == std::errc::result_out_of_range) {
        // Too large, or so small that it is carried as 0.
        const std::string_view whole = run.substr(0, run.find('.'));
        if (whole.find_first_not_of('0') != std::string_view::npos) return kArithmeticFault;
        value = 0;
    } else if (res.ec != std::errc() || res.ptr != run.data() + run.size()) {
        return kBadNumber;
    }
    return kCalcOk;
}

std::size_t slotOf(char letter) {
    return static_cast<std::size_t>(letter - 'A');
}

// True when the characters at pos - 1 and pos + 1 are operand letters.
bool between(const std::string& group, std::size_t pos) {
    return pos > 0 && pos + 1 < group.size() && isOperand(group[pos - 1]) &&
           isOperand(group[pos + 1]);
}

// A "-" right before an operand, and not after one, negates that operand. Walks from the end,
// so "--A" negates twice.
void unaryMinus(std::string& group, std::string& kept, Operands& operands) {
    kept.clear();
    char next = 0;
    for (std::size_t i = group.size(); i-- > 0;) {
        const char c = group[i];
        if (c == '-' && isOperand(next) && (i == 0 || !isOperand(group[i - 1]))) {
            operands.negate(slotOf(next));
            continue;
        }
        kept.push_back(c);
        next = c;
    }
    group.assign(kept.rbegin(), kept.rend());
}

// Folding adjacent pairs from the end collapses each run of signs into one: "-" for an odd
// number of minus signs, else "+".
void foldSigns(std::string& group) {
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

// Applies the operators op1 and op2 from the left; the result replaces the left operand.
int applyBinary(std::string& group, char op1, char op2, Operands& operands) {
    const char ops[] = {op1, op2, '\0'};
    std::size_t pos = group.find_first_of(ops);
    while (pos != std::string::npos) {
        if (!between(group, pos)) return kMissingOperand;
        const int code =
            operands.binary(group[pos], slotOf(group[pos - 1]), slotOf(group[pos + 1]));
        if (code != kCalcOk) return code;
        group.erase(pos, 2);
        pos = group.find_first_of(ops, pos);
    }
    return kCalcOk;
}

int reduceGroup(std::string& group, std::string& scratch, Operands& operands) {
    unaryMinus(group, scratch, operands);
    for (std::size_t pos = group.find('^'); pos != std::string::npos; pos = group.find('^')) {
        if (!between(group, pos)) return kMissingOperand;
        const int code = operands.power(slotOf(group[pos - 1]), slotOf(group[pos + 1]));
        if (code != kCalcOk) return code;
        group.erase(pos - 1, 2);
    }
    for (auto it = std::find_if(group.begin(), group.end(), isToken); it != group.end();
         it = std::find_if(group.begin(), group.end(), isToken)) {
        const std::size_t pos = static_cast<std::size_t>(it - group.begin());
        if (pos + 1 >= group.size() || !isOperand(group[pos + 1])) return kMissingOperand;
        const int code = operands.function(group[pos], slotOf(group[pos + 1]));
        if (code != kCalcOk) return code;
        group.erase(pos, 1);
    }
    group.erase(0, group.find_first_not_of('+'));
    foldSigns(group);
    unaryMinus(group, scratch, operands);
    int code = applyBinary(group, '*', '/', operands);
    if (code == kCalcOk) code = applyBinary(group, '+', '-', operands);
    if (code != kCalcOk) return code;
    if (group.size() != 1 || !isOperand(group.front())) return kBadText;
    return kCalcOk;
}

} // namespace

int computeBinary(char op, long double left, long double right, long double& out) {
    switch (op) {
    case '*':
        out = left * right;
        break;
    case '/':
        if (std::fabs(right) < kMinDivisor) return kSmallDivisor;
        out = left / right;
        break;
    case '+':
        out = left + right;
        break;
    default:
        out = left - right;
        break;
    }
    return std::isfinite(out) ? kCalcOk : kArithmeticFault;
}

RelationText splitRelation(std::string_view s, std::size_t pos) {
    const std::size_t n = s.size();
    std::size_t j = pos;
    while (j + 1 < n && !isRelation(s[j]))
        ++j;
    std::size_t k = j;
    while (k + 1 < n && isRelation(s[k]))
        ++k;
    std::size_t end = s.find(',', k);
    if (end == std::string_view::npos) end = n;
    return {s.substr(pos, j - pos), s.substr(j, k - j), s.substr(k, end - k), end};
}

int foldPower(long double base, long double& exponent) {
    long double result = 0;
    if (!arith::computePower(base, exponent, result)) return kArithmeticFault;
    exponent = result;
    return kCalcOk;
}

int foldFunction(char token, long double& operand) {
    long double result = 0;
    if (!arith::computeFunction(token, operand, result)) return kArithmeticFault;
    operand = result;
    return kCalcOk;
}

int foldBinary(char op, long double& left, long double right) {
    long double result = 0;
    const int code = computeBinary(op, left, right, result);
    if (code == kCalcOk) left = result;
    return code;
}

void freeOccurrences(std::string_view text, char letter, char written, bool (*isWord)(char),
                     std::vector<bool>& replace) {
    const char wanted = upper(letter);
    const auto word = [isWord](char c) { return isDigit(c) || isOperand(upper(c)) || isWord(c); };
    const std::size_t n = text.size();
    replace.assign(n, false);
    for (std::size_t i = n; i-- > 0;) {
        if (upper(text[i]) != wanted) continue;
        const char after = i + 1 < n ? (replace[i + 1] ? written : text[i + 1]) : ' ';
        replace[i] = !((i + 1 < n && word(after)) || (i > 0 && word(text[i - 1])));
    }
}

int Operands::variableOf(char) const {
    return -1;
}

int Operands::loadVariable(std::size_t, int) {
    return kTextOnly;
}

int normaliseText(std::string_view text, bool validate, bool (*extra)(char), std::string& out,
                  std::string& scratch) {
    out.clear();
    out.reserve(text.size() + 2);
    out.push_back('(');
    long long depth = 0;
    for (const char c : text) {
        if (c == ' ') continue;
        if (c == '(') ++depth;
        if (c == ')') --depth;
        out.push_back(upper(c));
    }
    out.push_back(')');
    if (depth != 0) return kUnbalanced;

    for (std::size_t k = 0; k < FunctionNameTable.size(); ++k) {
        const char token = static_cast<char>(kFirstToken + k);
        const std::string_view replacement =
            FunctionNameTable[k] == "PI" ? kPiText : std::string_view(&token, 1);
        replaceAll(out, FunctionNameTable[k], replacement, scratch);
    }
    const auto allowed = [extra](char c) { return isAllowed(c) || (extra && extra(c)); };
    if (validate && !std::all_of(out.begin(), out.end(), allowed)) return kBadText;
    return kCalcOk;
}

int scanNumbers(std::string& text, std::string& scratch, Operands& operands) {
    std::string& out = scratch;
    out.clear();
    std::size_t used = 0;
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const char c = text[i];
        const int variable = operands.variableOf(c);
        if (variable < 0 && !isDigit(c) && c != '.') {
            out.push_back(c);
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        while (variable < 0 && j < n && (isDigit(text[j]) || text[j] == '.'))
            ++j;
        const std::string_view run(text.data() + i, j - i);
        if (variable < 0 && !isDecimal(run)) return kBadNumber;
        if (used == kOperandSlots) {
            const bool besideOperator =
                (!out.empty() && (isOperator(out.back()) || isToken(out.back()))) ||
                (j < n && isOperator(text[j]));
            return operands.extraOperand(besideOperator);
        }
        int code = kCalcOk;
        if (variable >= 0) {
            code = operands.loadVariable(used, variable);
        } else {
            long double value = 0;
            code = readNumber(run, value);
            if (code == kCalcOk) code = operands.loadNumber(used, value);
        }
        if (code != kCalcOk) return code;
        out.push_back(static_cast<char>('A' + used));
        ++used;
        i = j;
    }
    text.swap(out);
    return kCalcOk;
}

int reduceGroups(std::string& text, std::string& group, std::string& scratch, Operands& operands,
                 int& result) {
    result = -1;
    // Each pass reduces the first closed group; nothing before it can hold a ")" afterwards.
    std::size_t from = 0;
    while (text.size() > 2) {
        const std::size_t close = text.find(')', from);
        const std::size_t open =
            close == std::string::npos ? std::string::npos : text.rfind('(', close);
        if (open == std::string::npos || close == open + 1) return kBadText;
        group.assign(text, open + 1, close - open - 1);
        const int code = reduceGroup(group, scratch, operands);
        if (code != kCalcOk) return code;
        text[open] = group.front();
        text.erase(open + 1, close - open);
        from = open;
    }
    if (text == "()") return kCalcOk; // empty text
    if (text.size() != 1 || !isOperand(text.front())) return kBadText;
    result = static_cast<int>(slotOf(text.front()));
    return kCalcOk;
}

} // namespace vorn::expr::detail
