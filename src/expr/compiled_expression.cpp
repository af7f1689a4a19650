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
#include "expr/expression_text.h"

#include "expr/region.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>

namespace vorn::expr {

namespace {

using namespace detail;

bool g_reference = false;

constexpr char kMarker = '\x01'; // variable k is written as kMarker + k
constexpr int kMaxVariables = 4;
constexpr std::uint8_t kNoVar = 0xFF;
constexpr std::size_t kMaxRegisters = 60000;
constexpr std::uint64_t kFivePow20 = 95367431640625ULL; // 10^20 = 2^20 * 5^20
__extension__ typedef unsigned __int128 Wide;           // GCC and Clang on 64-bit targets

enum OpKind : std::uint8_t { kLoad, kNeg, kPow, kFunc, kMul, kDiv, kAdd, kSub };

constexpr bool isMarker(char c) {
    return c >= kMarker && c < kMarker + kMaxVariables;
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
    std::vector<bool> replace;
    for (std::size_t k = 0; k < letters.size(); ++k) {
        const char marker = static_cast<char>(kMarker + k);
        freeOccurrences(out, letters[k], marker, isMarker, replace);
        for (std::size_t i = 0; i < out.size(); ++i)
            if (replace[i]) out[i] = marker;
    }
    return out;
}

// A marker next to a digit, a point or another marker: the value text would run into it.
bool markerJoins(std::string_view text) {
    const auto joins = [](char c) { return isDigit(c) || c == '.' || isMarker(c); };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!isMarker(text[i])) continue;
        if ((i > 0 && joins(text[i - 1])) || (i + 1 < text.size() && joins(text[i + 1])))
            return true;
    }
    return false;
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

class Program::Builder final : public Operands {
  public:
    Builder(Program& program, int variables)
        : m_p(program), m_loaded(static_cast<std::size_t>(variables), -1) {}

    int variableOf(char c) const override { return isMarker(c) ? c - kMarker : -1; }
    int loadNumber(std::size_t slot, long double value) override {
        m_p.m_slots[slot] = Slot{true, value, 0, 0};
        return kCalcOk;
    }
    int loadVariable(std::size_t slot, int variable) override {
        const auto var = static_cast<std::size_t>(variable);
        if (var >= m_loaded.size()) return kTextOnly;
        if (m_loaded[var] < 0) {
            m_p.m_regs.push_back(0);
            m_loaded[var] = static_cast<int>(m_p.m_regs.size() - 1);
            m_p.m_ops.push_back(Op{kLoad, 0, static_cast<std::uint8_t>(var),
                                   static_cast<std::uint16_t>(m_loaded[var]), 0, 0});
        }
        m_p.m_slots[slot] = Slot{false, 0, static_cast<std::uint16_t>(m_loaded[var]),
                                 static_cast<std::uint8_t>(1u << var)};
        return kCalcOk;
    }
    int extraOperand(bool) override { return kTextOnly; }
    void negate(std::size_t slot) override { m_p.negate(m_p.m_slots[slot]); }
    int power(std::size_t base, std::size_t exponent) override {
        Slot& e = m_p.m_slots[exponent];
        Slot b = m_p.m_slots[base];
        if (b.constant && e.constant) return foldPower(b.value, e.value);
        m_p.emit(kPow, '^', e, b, &e);
        return kCalcOk;
    }
    int function(char token, std::size_t operand) override {
        Slot& s = m_p.m_slots[operand];
        if (s.constant) return foldFunction(token, s.value);
        m_p.emit(kFunc, token, s, s, nullptr);
        return kCalcOk;
    }
    int binary(char op, std::size_t left, std::size_t right) override {
        Slot& l = m_p.m_slots[left];
        Slot r = m_p.m_slots[right];
        // A small constant divisor fails before any value is known.
        if (op == '/' && r.constant && std::fabs(r.value) < kMinDivisor) return kSmallDivisor;
        if (l.constant && r.constant) return foldBinary(op, l.value, r.value);
        const std::uint8_t kind = op == '*' ? kMul : op == '/' ? kDiv : op == '+' ? kAdd : kSub;
        m_p.emit(kind, op, l, l, &r);
        return kCalcOk;
    }

  private:
    Program& m_p;
    std::vector<int> m_loaded; // register of each variable, or -1
};

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
    m_constantResult = true;
    m_result = 0;

    std::string text, group, scratch;
    Builder builder(*this, variables);
    int result = -1;
    int code = normaliseText(marked, validate, isMarker, text, scratch);
    if (code == kCalcOk) {
        if (markerJoins(text)) return false;
        // Without the character check a letter left in the text names an operand slot. If
        // that slot holds a negative value, the text path negates it only when the value's
        // own parenthesised group is reduced, which may come after the letter is read.
        bool named[kOperandSlots] = {};
        for (const char c : text)
            if (isOperand(c)) named[c - 'A'] = true;
        code = scanNumbers(text, scratch, builder);
        if (code == kTextOnly) return false; // a 27th number
        for (std::size_t k = 0; code == kCalcOk && k < kOperandSlots; ++k)
            if (named[k] && !m_slots[k].constant) return false;
        if (code == kCalcOk) code = reduceGroups(text, group, scratch, builder, result);
    }
    m_endCode = code;
    if (result >= 0) {
        const Slot& s = m_slots[static_cast<std::size_t>(result)];
        m_constantResult = s.constant;
        m_result = s.value + 0.0L;
        m_resultReg = s.reg;
    }
    if (m_regs.size() > kMaxRegisters) return false;
    m_opGeneration.assign(m_ops.size(), 0);
    m_opCode.assign(m_ops.size(), kCalcOk);
    m_generation.assign(static_cast<std::size_t>(variables), 1);
    m_last.assign(static_cast<std::size_t>(variables), 0);
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

Evaluation CompiledExpression::reference(ExpressionEngine& engine,
                                         std::span<const long double> values) const {
    std::string text = m_text;
    for (std::size_t k = 0; k < m_letters.size(); ++k)
        text = ExpressionEngine::SubstituteVariable(text, m_letters[k], values[k]);
    return engine.Evaluate(text);
}

Evaluation CompiledExpression::Compute(ExpressionEngine& engine,
                                       std::span<const long double> values) const {
    // Infinite or NaN values print as letters; only the text path knows what they become.
    if (m_reference || g_reference || engine.ValidateCharacters != m_validate ||
        !std::all_of(values.begin(), values.end(), [](long double v) { return std::isfinite(v); }))
        return reference(engine, values);
    Evaluation e;
    e.value = m_program.run(values, e.code);
    engine.CalcError = e.code;
    return e;
}

long double CompiledExpression::Evaluate(ExpressionEngine& engine,
                                         std::span<const long double> values) const {
    return Compute(engine, values).value;
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
    if (s.empty()) return;
    for (std::size_t pos = 0;;) {
        const RelationText r = splitRelation(s, pos);
        // The text path would stop one character short inside the value text.
        const std::size_t j = pos + r.left.size();
        Item item;
        item.relation = arith::relationOf(r.sign);
        if ((j + 1 == s.size() && isMarker(s[j])) || !item.left.compile(r.left, validate, 2) ||
            (item.relation != Relation::None && !item.right.compile(r.right, validate, 2))) {
            m_reference = true;
            return;
        }
        const bool last = item.relation == Relation::None || r.end >= s.size();
        m_items.push_back(std::move(item));
        if (last) break;
        pos = r.end + 1;
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
