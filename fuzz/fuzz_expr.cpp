// Fuzz target: arbitrary text through substitution, the evaluator (checked and unchecked) and
// the system evaluator; traps when a result breaks the engine's promises.
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 20000) return 0;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    // The first byte, when present, picks the value substituted for x and y.
    long double x = 0.01L;
    if (!text.empty()) {
        static constexpr long double kValues[] = {
            0.01L, 0, -1, 1, -0.5L, 2, 1e-25L, -1e40L, 1e70L, 3.5L, -7, 1e300L, -1e4000L, 0.0001L};
        x = kValues[static_cast<unsigned char>(text.front()) % std::size(kValues)];
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
    return 0;
}
