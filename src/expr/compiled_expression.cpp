// Compiles a formula by running the text-rewriting evaluator once on a text whose variables are
// markers: every step that does not depend on the values (names, numbers, groups, signs, the
// order of operators) is done here, and what does is recorded as a straight-line program.
//
// Why the answers match the text path for every finite value:
// - Whether an occurrence of a variable is substituted depends on its neighbours only.
// - A value text is a digit run, or "(-" digit run ")" when negative. The parenthesised group
//   holds no operator that can fail and turns into the same operand letter before anything
//   reads it, so a marker holding the signed value behaves the same, as long as the value text
//   does not run into a digit, a point or another value text once blanks are gone ("2 x").
//   Those texts, and texts with more than 26 numbers, keep the text path.
// - The digit run reads back as SubstitutedValue(|value|), computed exactly below.
// - Operations run in the evaluator's order with the same arithmetic, so the first error wins
//   as it does there; operations on constants are done once here, in the same order.
#include "expr/compiled_expression.h"
#include "expr/arithmetic.h"

#include "expr/region.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>

namespace vorn::expr {

namespace {

bool g_reference = false;

constexpr char kMarker = '\x01'; // variable k is written as kMarker + k
constexpr int kMaxVariables = 4;
constexpr std::uint8_t kNoVar = 0xFF;
constexpr std::size_t kMaxRegisters = 60000;
constexpr char kFirstToken = 'a';
constexpr char kLastToken = 'p';
constexpr std::uint64_t kFivePow20 = 95367431640625ULL; // 10^20 = 2^20 * 5^20
__extension__ typedef unsigned __int128 Wide;           // GCC and Clang on 64-bit targets

enum OpKind : std::uint8_t { kLoad, kNeg, kPow, kFunc, kMul, kDiv, kAdd, kSub };

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
constexpr bool isRelation(char c) {
    return c == '<' || c == '=' || c == '>';
}
constexpr bool isMarker(char c) {
    return c >= kMarker && c < kMarker + kMaxVariables;
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
        return isDigit(c) || isToken(c) || isMarker(c);
    }
}

// Binary operator of the evaluator; the code is 0 or the fault.
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

bool isDecimal(std::string_view run) {
    return std::count(run.begin(), run.end(), '.') <= 1 &&
           std::any_of(run.begin(), run.end(), isDigit);
}

void replaceAll(std::string& text, std::string_view name, std::string_view replacement) {
    std::size_t pos = text.find(name);
    if (pos == std::string::npos) return;
    std::string out;
    std::size_t from = 0;
    while (pos != std::string::npos) {
        out.append(text, from, pos - from);
        out.append(replacement);
        from = pos + name.size();
        pos = text.find(name, from);
    }
    out.append(text, from, std::string::npos);
    text.swap(out);
}

// A text that holds marker characters already would have them read as variables, while the
// text path refuses them or takes them as they are; such texts keep the text path.
bool holdsMarker(std::string_view text) {
    return std::any_of(text.begin(), text.end(), isMarker);
}

// The variables of `letters`, in order, as markers wherever the substitution would write the
// value. A marker counts as a word character, as the digits of a value text would.
std::string markVariables(std::string_view text, std::string_view letters) {
    std::string out(text);
    const auto isWord = [](char c) { return isDigit(c) || isOperand(upper(c)) || isMarker(c); };
    for (std::size_t k = 0; k < letters.size(); ++k) {
        const char wanted = upper(letters[k]);
        const char marker = static_cast<char>(kMarker + k);
        const std::size_t n = out.size();
        std::vector<bool> replace(n, false);
        for (std::size_t i = n; i-- > 0;) {
            if (upper(out[i]) != wanted) continue;
            const char after = i + 1 < n ? (replace[i + 1] ? marker : out[i + 1]) : ' ';
            replace[i] = !((i + 1 < n && isWord(after)) || (i > 0 && isWord(out[i - 1])));
        }
        for (std::size_t i = 0; i < n; ++i)
            if (replace[i]) out[i] = marker;
    }
    return out;
}

bool sameValue(long double a, long double b) {
    return a == b && std::signbit(a) == std::signbit(b);
}

long double readBack(long double magnitude) {
    char buffer[96];
    const auto printed =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, 20);
    long double value = 0;
    std::from_chars(buffer, printed.ptr, value, std::chars_format::fixed);
    return value;
}

} // namespace

bool ReferenceEvaluation() {
    return g_reference;
}

void SetReferenceEvaluation(bool on) {
    g_reference = on;
}

// From 1/8 on, one unit in the last place exceeds 1e-20, so the nearest extended value to the
// 20-decimal text is the value itself. Below, the text is D / 10^20 with D = |v|·10^20 rounded
// to an integer below 2^64, which one correctly rounded division reads back exactly.
long double SubstitutedValue(long double value) {
    const long double a = std::fabs(value);
    if (a >= 0.125L || a == 0) return value;
    int exponent = 0;
    const long double fraction = std::frexp(a, &exponent);
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 64));
    const int shift = 64 - exponent - 20; // a·10^20 = mantissa·5^20 / 2^shift, shift >= 47
    if (shift >= 112) return std::copysign(0.0L, value); // below 1/2: mantissa·5^20 < 2^110.5
    const Wide product = static_cast<Wide>(mantissa) * kFivePow20;
    std::uint64_t digits = static_cast<std::uint64_t>(product >> shift);
    const Wide rest = product - (static_cast<Wide>(digits) << shift);
    const Wide half = static_cast<Wide>(1) << (shift - 1);
    if (rest == half) return std::copysign(readBack(a), value); // a tie: the library decides
    if (rest > half) ++digits;
    return std::copysign(static_cast<long double>(digits) / 1e20L, value);
}

namespace detail {

bool Program::stop(int code) {
    m_endCode = code;
    return false;
}

std::uint16_t Program::regOf(Slot& s) {
    if (s.constant) {
        m_regs.push_back(s.value);
        return static_cast<std::uint16_t>(m_regs.size() - 1);
    }
    return s.reg;
}

void Program::emit(std::uint8_t kind, char token, Slot& dst, Slot& a, Slot* b) {
    Op op{kind, token, kNoVar, 0, regOf(a), 0};
    std::uint8_t deps = a.deps;
    if (b) {
        op.b = regOf(*b);
        deps |= b->deps;
    }
    m_regs.push_back(0);
    op.dst = static_cast<std::uint16_t>(m_regs.size() - 1);
    if (std::has_single_bit(deps)) op.var = static_cast<std::uint8_t>(std::countr_zero(deps));
    m_ops.push_back(op);
    dst = Slot{false, 0, op.dst, deps};
}

void Program::negate(Slot& s) {
    if (s.constant) {
        s.value = -s.value;
        return;
    }
    emit(kNeg, 0, s, s, nullptr);
}

bool Program::compile(std::string_view marked, bool validate, int variables) {
    m_ops.clear();
    m_regs.clear();
    m_slots.assign(kOperandSlots, Slot{});
    m_endCode = kCalcOk;
    m_constantResult = true;
    m_result = 0;

    std::string text = "(";
    long long depth = 0;
    for (const char c : marked) {
        if (c == ' ') continue;
        if (c == '(') ++depth;
        if (c == ')') --depth;
        text.push_back(upper(c));
    }
    text.push_back(')');

    if (depth != 0) {
        stop(kUnbalanced);
    } else {
        for (std::size_t k = 0; k < FunctionNameTable.size(); ++k) {
            const char token = static_cast<char>(kFirstToken + k);
            replaceAll(text, FunctionNameTable[k],
                       FunctionNameTable[k] == "PI" ? kPiText : std::string_view(&token, 1));
        }
        if (validate && !std::all_of(text.begin(), text.end(), isAllowed)) {
            stop(kBadText);
        } else {
            for (std::size_t i = 0; i < text.size(); ++i) {
                if (!isMarker(text[i])) continue;
                const auto joins = [](char c) { return isDigit(c) || c == '.' || isMarker(c); };
                if ((i > 0 && joins(text[i - 1])) || (i + 1 < text.size() && joins(text[i + 1])))
                    return false;
            }
            // Without the character check a letter left in the text names an operand slot. If
            // that slot holds a negative value, the text path negates it only when the value's
            // own parenthesised group is reduced, which may come after the letter is read.
            bool named[kOperandSlots] = {};
            for (const char c : text)
                if (isOperand(c)) named[c - 'A'] = true;
            bool ok = false;
            if (!scanNumbers(text, variables)) {
                if (m_endCode == kCalcOk) return false; // a 27th number
            } else {
                ok = true;
                for (int k = 0; k < kOperandSlots; ++k)
                    if (named[k] && !m_slots[static_cast<std::size_t>(k)].constant) return false;
            }
            std::size_t from = 0;
            while (ok && text.size() > 2) {
                const std::size_t close = text.find(')', from);
                const std::size_t open =
                    close == std::string::npos ? std::string::npos : text.rfind('(', close);
                if (open == std::string::npos || close == open + 1) {
                    ok = stop(kBadText);
                    break;
                }
                std::string group = text.substr(open + 1, close - open - 1);
                if (!reduceGroup(group)) {
                    ok = false;
                    break;
                }
                text[open] = group.front();
                text.erase(open + 1, close - open);
                from = open;
            }
            if (ok && text != "()") {
                if (text.size() != 1 || !isOperand(text.front())) {
                    stop(kBadText);
                } else {
                    Slot& s = m_slots[static_cast<std::size_t>(text.front() - 'A')];
                    m_constantResult = s.constant;
                    m_result = s.value + 0.0L;
                    m_resultReg = s.reg;
                }
            }
        }
    }
    if (m_regs.size() > kMaxRegisters) return false;
    m_opGeneration.assign(m_ops.size(), 0);
    m_opCode.assign(m_ops.size(), kCalcOk);
    m_generation.assign(static_cast<std::size_t>(variables), 1);
    m_last.assign(static_cast<std::size_t>(variables), 0);
    return true;
}

// False with m_endCode set for a bad number; false with code 0 for a 27th number.
bool Program::scanNumbers(std::string& text, int variables) {
    std::string out;
    std::size_t used = 0;
    std::vector<int> loaded(static_cast<std::size_t>(variables), -1);
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const char c = text[i];
        if (isMarker(c)) {
            if (used == kOperandSlots) return false;
            const int var = c - kMarker;
            if (var >= variables) return false;
            int& reg = loaded[static_cast<std::size_t>(var)];
            if (reg < 0) {
                m_regs.push_back(0);
                reg = static_cast<int>(m_regs.size() - 1);
                m_ops.push_back(Op{kLoad, 0, static_cast<std::uint8_t>(var),
                                   static_cast<std::uint16_t>(reg), 0, 0});
            }
            m_slots[used] = Slot{false, 0, static_cast<std::uint16_t>(reg),
                                 static_cast<std::uint8_t>(1u << var)};
            out.push_back(static_cast<char>('A' + used));
            ++used;
            ++i;
            continue;
        }
        if (!isDigit(c) && c != '.') {
            out.push_back(c);
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < n && (isDigit(text[j]) || text[j] == '.'))
            ++j;
        const std::string_view run(text.data() + i, j - i);
        if (!isDecimal(run)) return stop(kBadNumber);
        if (used == kOperandSlots) return false;
        long double value = 0;
        const auto res =
            std::from_chars(run.data(), run.data() + run.size(), value, std::chars_format::fixed);
        if (res.ec == std::errc::result_out_of_range) {
            const std::string_view whole = run.substr(0, run.find('.'));
            if (whole.find_first_not_of('0') != std::string_view::npos)
                return stop(kArithmeticFault);
            value = 0;
        } else if (res.ec != std::errc() || res.ptr != run.data() + run.size()) {
            return stop(kBadNumber);
        }
        m_slots[used] = Slot{true, value, 0, 0};
        out.push_back(static_cast<char>('A' + used));
        ++used;
        i = j;
    }
    text.swap(out);
    return true;
}

bool Program::reduceGroup(std::string& group) {
    unaryMinus(group);
    while (group.find('^') != std::string::npos)
        if (!power(group)) return false;
    while (std::any_of(group.begin(), group.end(), isToken))
        if (!function(group)) return false;
    group.erase(0, group.find_first_not_of('+'));
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
    unaryMinus(group);
    if (!binary(group, '*', '/')) return false;
    if (!binary(group, '+', '-')) return false;
    if (group.size() != 1 || !isOperand(group.front())) return stop(kBadText);
    return true;
}

void Program::unaryMinus(std::string& group) {
    std::string kept;
    char next = 0;
    for (std::size_t i = group.size(); i-- > 0;) {
        const char c = group[i];
        if (c == '-' && isOperand(next) && (i == 0 || !isOperand(group[i - 1]))) {
            negate(m_slots[static_cast<std::size_t>(next - 'A')]);
            continue;
        }
        kept.push_back(c);
        next = c;
    }
    group.assign(kept.rbegin(), kept.rend());
}

bool Program::power(std::string& group) {
    const std::size_t pos = group.find('^');
    if (pos == 0 || pos + 1 >= group.size() || !isOperand(group[pos - 1]) ||
        !isOperand(group[pos + 1]))
        return stop(kMissingOperand);
    Slot& exponent = m_slots[static_cast<std::size_t>(group[pos + 1] - 'A')];
    Slot base = m_slots[static_cast<std::size_t>(group[pos - 1] - 'A')];
    if (base.constant && exponent.constant) {
        long double result = 0;
        if (!arith::computePower(base.value, exponent.value, result)) return stop(kArithmeticFault);
        exponent.value = result;
    } else {
        emit(kPow, '^', exponent, base, &exponent);
    }
    group.erase(pos - 1, 2);
    return true;
}

bool Program::function(std::string& group) {
    const auto it = std::find_if(group.begin(), group.end(), isToken);
    const std::size_t pos = static_cast<std::size_t>(it - group.begin());
    if (pos + 1 >= group.size() || !isOperand(group[pos + 1])) return stop(kMissingOperand);
    Slot& operand = m_slots[static_cast<std::size_t>(group[pos + 1] - 'A')];
    if (operand.constant) {
        long double result = 0;
        if (!arith::computeFunction(group[pos], operand.value, result))
            return stop(kArithmeticFault);
        operand.value = result;
    } else {
        emit(kFunc, group[pos], operand, operand, nullptr);
    }
    group.erase(pos, 1);
    return true;
}

bool Program::binary(std::string& group, char op1, char op2) {
    const char ops[] = {op1, op2, '\0'};
    std::size_t pos = group.find_first_of(ops);
    while (pos != std::string::npos) {
        if (pos == 0 || pos + 1 >= group.size() || !isOperand(group[pos - 1]) ||
            !isOperand(group[pos + 1]))
            return stop(kMissingOperand);
        Slot& left = m_slots[static_cast<std::size_t>(group[pos - 1] - 'A')];
        Slot right = m_slots[static_cast<std::size_t>(group[pos + 1] - 'A')];
        const char op = group[pos];
        if (op == '/' && right.constant && std::fabs(right.value) < kMinDivisor)
            return stop(kSmallDivisor);
        if (left.constant && right.constant) {
            long double result = 0;
            const int code = computeBinary(op, left.value, right.value, result);
            if (code != kCalcOk) return stop(code);
            left.value = result;
        } else {
            const std::uint8_t kind = op == '*' ? kMul : op == '/' ? kDiv : op == '+' ? kAdd : kSub;
            emit(kind, op, left, left, &right);
        }
        group.erase(pos, 2);
        pos = group.find_first_of(ops, pos);
    }
    return true;
}

long double Program::run(std::span<const long double> values, int& code) const {
    for (std::size_t k = 0; k < m_last.size(); ++k) {
        if (sameValue(values[k], m_last[k])) continue;
        m_last[k] = values[k];
        ++m_generation[k];
    }
    long double* r = m_regs.data();
    const std::size_t count = m_ops.size();
    for (std::size_t i = 0; i < count; ++i) {
        const Op& op = m_ops[i];
        if (op.var != kNoVar && m_opGeneration[i] == m_generation[op.var]) {
            if (m_opCode[i] != kCalcOk) {
                code = m_opCode[i];
                return 0;
            }
            continue;
        }
        int c = kCalcOk;
        long double out = 0;
        switch (op.kind) {
        case kLoad:
            out = SubstitutedValue(values[op.var]);
            break;
        case kNeg:
            out = -r[op.a];
            break;
        case kPow:
            if (!arith::computePower(r[op.a], r[op.b], out)) c = kArithmeticFault;
            break;
        case kFunc:
            if (!arith::computeFunction(op.token, r[op.a], out)) c = kArithmeticFault;
            break;
        default:
            c = computeBinary(op.token, r[op.a], r[op.b], out);
            break;
        }
        r[op.dst] = out;
        if (op.var != kNoVar) {
            m_opGeneration[i] = m_generation[op.var];
            m_opCode[i] = c;
        }
        if (c != kCalcOk) {
            code = c;
            return 0;
        }
    }
    code = m_endCode;
    if (m_endCode != kCalcOk) return 0;
    return m_constantResult ? m_result : r[m_resultReg] + 0.0L;
}

std::uint8_t Program::variables() const {
    std::uint8_t deps = 0;
    // An operation on several variables carries none of them in `var`.
    for (const Op& op : m_ops)
        deps |= op.var == kNoVar ? std::uint8_t(0xFF) : std::uint8_t(1u << op.var);
    return deps;
}

} // namespace detail

CompiledExpression::CompiledExpression(std::string_view text, std::string_view letters,
                                       bool validate)
    : m_text(text), m_letters(letters), m_validate(validate) {
    m_reference = letters.size() > kMaxVariables || holdsMarker(text) ||
                  !m_program.compile(markVariables(text, letters), validate,
                                     static_cast<int>(letters.size()));
}

long double CompiledExpression::reference(ExpressionEngine& engine,
                                          std::span<const long double> values) const {
    std::string text = m_text;
    for (std::size_t k = 0; k < m_letters.size(); ++k)
        text = ExpressionEngine::SubstituteVariable(text, m_letters[k], values[k]);
    return engine.EvaluateExpression(text);
}

long double CompiledExpression::Evaluate(ExpressionEngine& engine,
                                         std::span<const long double> values) const {
    // Infinite or NaN values print as letters; only the text path knows what they become.
    if (m_reference || g_reference || engine.ValidateCharacters != m_validate ||
        !std::all_of(values.begin(), values.end(), [](long double v) { return std::isfinite(v); }))
        return reference(engine, values);
    int code = kCalcOk;
    const long double v = m_program.run(values, code);
    engine.CalcError = code;
    return v;
}

long double CompiledExpression::Evaluate(ExpressionEngine& engine, long double a) const {
    const long double values[1] = {a};
    return Evaluate(engine, values);
}

long double CompiledExpression::Evaluate(ExpressionEngine& engine, long double a,
                                         long double b) const {
    const long double values[2] = {a, b};
    return Evaluate(engine, values);
}

CompiledSystem::CompiledSystem(std::string_view text, bool validate)
    : m_text(text), m_validate(validate) {
    if (holdsMarker(text)) {
        m_reference = true;
        return;
    }
    std::string s = markVariables(text, "XY");
    s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
    const std::size_t n = s.size();
    if (n == 0) return;
    std::size_t pos = 0;
    for (;;) {
        std::size_t j = pos;
        while (j + 1 < n && !isRelation(s[j]))
            ++j;
        // The text path would stop one character short inside the value text.
        if (j + 1 == n && isMarker(s[j])) {
            m_reference = true;
            return;
        }
        Item item;
        if (!item.left.compile(std::string_view(s).substr(pos, j - pos), validate, 2)) {
            m_reference = true;
            return;
        }
        std::size_t k = j;
        while (k + 1 < n && isRelation(s[k]))
            ++k;
        const std::string_view sign = std::string_view(s).substr(j, k - j);
        item.relation = arith::relationOf(sign);
        std::size_t end = s.find(',', k);
        if (end == std::string::npos) end = n;
        if (item.relation != Relation::None &&
            !item.right.compile(std::string_view(s).substr(k, end - k), validate, 2)) {
            m_reference = true;
            return;
        }
        const bool last = item.relation == Relation::None || end >= n;
        m_items.push_back(std::move(item));
        if (last) break;
        pos = end + 1;
    }
    const auto inXAlone = [](const Item& item) {
        return ((item.left.variables() | item.right.variables()) & ~1u) == 0; // bit 0: x
    };
    for (const bool first : {true, false})
        for (std::size_t k = 0; k < m_items.size(); ++k)
            if (inXAlone(m_items[k]) == first) m_order.push_back(k);
    m_inX = static_cast<std::size_t>(std::count_if(m_items.begin(), m_items.end(), inXAlone));
}

bool CompiledSystem::textPath(const ExpressionEngine& engine, long double x, long double y) const {
    return m_reference || g_reference || engine.ValidateCharacters != m_validate ||
           !std::isfinite(x) || !std::isfinite(y);
}

bool CompiledSystem::holds(const Item& item, ExpressionEngine& engine,
                           const long double (&values)[2]) {
    int code = kCalcOk;
    const long double l = item.left.run(values, code);
    if (code != kCalcOk) {
        engine.CalcError = code;
        return false;
    }
    if (item.relation == Relation::None) {
        engine.CalcError = kMissingOperand;
        return false;
    }
    const long double r = item.right.run(values, code);
    if (code != kCalcOk) {
        engine.CalcError = code;
        return false;
    }
    return arith::relationHolds(item.relation, l, r);
}

bool CompiledSystem::Contains(ExpressionEngine& engine, long double x, long double y) const {
    if (textPath(engine, x, y)) return pointInSystem(engine, m_text, x, y);
    engine.CalcError = kCalcOk;
    const long double values[2] = {x, y};
    bool verdict = true;
    for (const Item& item : m_items) {
        const bool h = holds(item, engine, values);
        // A relation without a value ends the system; a false one only decides the verdict.
        if (engine.CalcError != kCalcOk) return false;
        verdict = verdict && h;
    }
    return verdict;
}

bool CompiledSystem::Holds(ExpressionEngine& engine, long double x, long double y) const {
    if (textPath(engine, x, y)) return pointInSystem(engine, m_text, x, y);
    const long double values[2] = {x, y};
    // The system holds when every relation has a value and holds, in whatever order they
    // are looked at.
    if (!m_columnKnown || !sameValue(x, m_columnX)) {
        engine.CalcError = kCalcOk;
        m_columnHolds = true;
        for (std::size_t k = 0; k < m_inX && m_columnHolds; ++k)
            m_columnHolds = holds(m_items[m_order[k]], engine, values);
        m_columnX = x;
        m_columnCode = engine.CalcError;
        m_columnKnown = true;
    }
    engine.CalcError = m_columnCode;
    if (!m_columnHolds) return false;
    for (std::size_t k = m_inX; k < m_order.size(); ++k)
        if (!holds(m_items[m_order[k]], engine, values)) return false;
    return true;
}

} // namespace vorn::expr
