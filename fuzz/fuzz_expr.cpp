// Fuzz target: arbitrary text through substitution, the evaluator (checked and unchecked), the
// system evaluator, the checks while typing and the compiled formulas and systems, which must
// answer exactly as the text path; traps when a result breaks the engine's promises.
#include "expr/compiled_expression.h"
#include "expr/expression_engine.h"
#include "expr/region.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>
#include <string_view>

namespace {

using vorn::expr::ExpressionEngine;

// Code in range, value 0 unless the code is 0, never an infinity or NaN.
void check(const ExpressionEngine& engine, long double value) {
    if (engine.CalcError < -2 || engine.CalcError > 4) std::abort();
    if (engine.CalcError != 0 && value != 0) std::abort();
    if (!std::isfinite(value)) std::abort();
}

// The text path: x substituted first, then y, as the compiled forms promise to match.
long double textValue(ExpressionEngine& engine, std::string_view text, long double x,
                      long double y) {
    return engine.EvaluateExpression(ExpressionEngine::SubstituteVariable(
        ExpressionEngine::SubstituteVariable(text, 'X', x), 'Y', y));
}

// The compiled formula must give the text path's value and code at each point, in an order
// that keeps x while y changes and then changes x (the per-operation memory).
void compareFormula(ExpressionEngine& engine, std::string_view text, bool validate,
                    const long double (&xs)[2], const long double (&ys)[2]) {
    engine.ValidateCharacters = validate;
    const vorn::expr::CompiledExpression compiled(text, "XY", validate);
    for (long double x : xs)
        for (long double y : ys) {
            const long double fast = compiled.Evaluate(engine, x, y);
            const int fastCode = engine.CalcError;
            check(engine, fast);
            const long double slow = textValue(engine, text, x, y);
            if (fastCode != engine.CalcError || fast != slow) std::abort();
        }
}

void compareSystem(ExpressionEngine& engine, std::string_view text, bool validate,
                   const long double (&xs)[2], const long double (&ys)[2]) {
    engine.ValidateCharacters = validate;
    const vorn::expr::CompiledSystem compiled(text, validate);
    for (long double x : xs)
        for (long double y : ys) {
            const bool fast = compiled.Contains(engine, x, y);
            const int fastCode = engine.CalcError;
            const bool slow = vorn::expr::pointInSystem(engine, text, x, y);
            if (fast != slow || fastCode != engine.CalcError) std::abort();
            if (slow && engine.CalcError != 0) std::abort();
            if (compiled.Holds(engine, x, y) != slow) std::abort();
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 20000) return 0;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    // The first byte, when present, picks the values substituted for x and y.
    static constexpr long double kValues[] = {0.01L,  0,     -1,   1,  -0.5L,  2,        1e-25L,
                                              -1e40L, 1e70L, 3.5L, -7, 1e300L, -1e4000L, 0.0001L};
    constexpr std::size_t kCount = std::size(kValues);
    long double x = 0.01L, y = -0.01L, x2 = 2, y2 = 0;
    if (!text.empty()) {
        const unsigned pick = static_cast<unsigned char>(text.front());
        x = kValues[pick % kCount];
        y = -x;
        x2 = kValues[(pick / kCount) % kCount];
        y2 = kValues[(pick / 3) % kCount];
        text.remove_prefix(1);
    }

    ExpressionEngine engine;
    check(engine, engine.EvaluateExpression(text));
    const std::string bound = ExpressionEngine::SubstituteVariable(
        ExpressionEngine::SubstituteVariable(text, 'Y', -x), 'X', x);
    const long double checked = engine.EvaluateExpression(bound);
    const int checkedCode = engine.CalcError;
    check(engine, checked);

    // Skipping the character check must not change the answer for an accepted text.
    engine.ValidateCharacters = false;
    const long double unchecked = engine.EvaluateExpression(bound);
    check(engine, unchecked);
    if (checkedCode <= 0 && (engine.CalcError != checkedCode || unchecked != checked)) std::abort();
    engine.ValidateCharacters = true;

    const bool inside = vorn::expr::pointInSystem(engine, text, x, -x);
    if (engine.CalcError < -2 || engine.CalcError > 4) std::abort();
    if (inside && engine.CalcError != 0) std::abort();

    // The checks while typing refuse only malformed texts.
    vorn::expr::acceptsTypedExpression(engine, text, "XY");
    if (engine.CalcError < -2 || engine.CalcError > 4) std::abort();
    if (!vorn::expr::acceptsTypedSystem(engine, text) && engine.CalcError <= 0) std::abort();

    // Long texts are slow on the text path and add nothing to the comparison.
    if (text.size() <= 400) {
        const long double xs[2] = {x, x2}, ys[2] = {y, y2};
        for (bool validate : {true, false}) {
            compareFormula(engine, text, validate, xs, ys);
            compareSystem(engine, text, validate, xs, ys);
        }
    }
    return 0;
}
