// Formulas and systems translated once for the bulk samplers, with substitute-then-evaluate
// answers.
#pragma once

#include "expr/arithmetic.h"
#include "expr/expression_engine.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::expr {

// Process-wide switch back to text substitution for every compiled form, so that whole bulk
// routines can be compared with the text-rewriting evaluator.
bool ReferenceEvaluation();
void SetReferenceEvaluation(bool on);

class ReferenceEvaluationScope {
  public:
    explicit ReferenceEvaluationScope(bool on = true) : m_saved(ReferenceEvaluation()) {
        SetReferenceEvaluation(on);
    }
    ~ReferenceEvaluationScope() { SetReferenceEvaluation(m_saved); }
    ReferenceEvaluationScope(const ReferenceEvaluationScope&) = delete;
    ReferenceEvaluationScope& operator=(const ReferenceEvaluationScope&) = delete;

  private:
    bool m_saved;
};

// The number that the 20-decimal value text of `value` reads back as (finite values only).
long double SubstitutedValue(long double value);

namespace detail {

// Allocates whole 64-byte cache lines.
template <typename T> struct LineAllocator {
    using value_type = T;
    static constexpr std::size_t kLine = 64;
    LineAllocator() = default;
    template <typename U> LineAllocator(const LineAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) {
        const std::size_t bytes = (n * sizeof(T) + kLine - 1) / kLine * kLine;
        return static_cast<T*>(::operator new(bytes, std::align_val_t(kLine)));
    }
    void deallocate(T* p, std::size_t) noexcept { ::operator delete(p, std::align_val_t(kLine)); }
    template <typename U> bool operator==(const LineAllocator<U>&) const noexcept { return true; }
};

// A straight-line program over long double registers; the first error ends it with its code.
class Program {
  public:
    // `marked` holds variable k as the character kMarker + k and may still hold blanks.
    // False when the text's shape cannot be reproduced without the text (see the .cpp file).
    bool compile(std::string_view marked, bool validate, int variables);
    long double run(std::span<const long double> values, int& code) const;
    // Bit k set: the value or the error depends on variable k.
    std::uint8_t variables() const;

  private:
    struct Op {
        std::uint8_t kind;
        char token;       // function token or operator
        std::uint8_t var; // variable of the only dependence, or kNoVar
        std::uint16_t dst, a, b;
    };
    struct Slot {
        bool constant = true;
        long double value = 0;
        std::uint16_t reg = 0;
        std::uint8_t deps = 0; // bit k: depends on variable k
    };

    class Builder; // records the reduction of the marked text

    std::uint16_t regOf(Slot& s);
    void negate(Slot& s);
    void emit(std::uint8_t kind, char token, Slot& dst, Slot& a, Slot* b);

    std::vector<Op> m_ops;
    std::vector<Slot> m_slots;
    int m_endCode = kCalcOk;
    bool m_constantResult = true;
    long double m_result = 0;
    std::uint16_t m_resultReg = 0;
    // Registers and a per-operation memory of results that depend on one variable only, valid
    // while that variable keeps its value: a grid row keeps x while y runs. They are written at
    // every point, on whole cache lines of their own, so that threads running their own
    // programs do not take lines from each other.
    template <typename T> using Lines = std::vector<T, LineAllocator<T>>;
    mutable Lines<long double> m_regs;
    mutable Lines<std::uint32_t> m_opGeneration;
    mutable Lines<int> m_opCode;
    mutable Lines<std::uint32_t> m_generation;
    mutable Lines<long double> m_last;
};

} // namespace detail

// A formula in the variables `letters` (substituted in that order, e.g. "XY").
class CompiledExpression {
  public:
    CompiledExpression(std::string_view text, std::string_view letters, bool validate = true);

    // Same value and code as substituting values[k] for letters[k] in order and evaluating
    // with `engine`, whose CalcError takes the code too. The engine's ValidateCharacters must
    // match the one compiled for, or the text path is taken.
    Evaluation Compute(ExpressionEngine& engine, std::span<const long double> values) const;
    // The value alone.
    long double Evaluate(ExpressionEngine& engine, std::span<const long double> values) const;
    long double Evaluate(ExpressionEngine& engine, long double a) const;
    long double Evaluate(ExpressionEngine& engine, long double a, long double b) const;

    bool usesReference() const { return m_reference; }
    const std::string& text() const { return m_text; }
    bool validates() const { return m_validate; }

  private:
    Evaluation reference(ExpressionEngine& engine, std::span<const long double> values) const;

    std::string m_text;
    std::string m_letters;
    bool m_validate;
    bool m_reference = false;
    detail::Program m_program;
};

// A system of relations in x and y, tested as pointInSystem does (x substituted first).
class CompiledSystem {
  public:
    explicit CompiledSystem(std::string_view text, bool validate = true);

    bool Contains(ExpressionEngine& engine, long double x, long double y) const;
    // The answer of Contains, sooner: the first relation that fails ends the test, and the
    // relations in x alone come first, looked at once for as long as x stays (the samplers run
    // along y with x kept). CalcError is left as the failing relation set it.
    bool Holds(ExpressionEngine& engine, long double x, long double y) const;
    bool usesReference() const { return m_reference; }

  private:
    using Relation = arith::Relation;
    struct Item {
        detail::Program left, right;
        Relation relation;
    };
    // Whether the relation holds; false with CalcError set when a side has no value.
    static bool holds(const Item& item, ExpressionEngine& engine, const long double (&values)[2]);
    bool textPath(const ExpressionEngine& engine, long double x, long double y) const;

    std::string m_text;
    bool m_validate;
    bool m_reference = false;
    std::vector<Item> m_items;
    std::vector<std::size_t> m_order; // of Holds: relations in x alone first
    std::size_t m_inX = 0;            // how many of them
    // What they gave for the last x: whether they held, and the error code.
    mutable long double m_columnX = 0;
    mutable bool m_columnKnown = false, m_columnHolds = false;
    mutable int m_columnCode = kCalcOk;
};

} // namespace vorn::expr
