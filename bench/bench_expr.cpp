// Cost of one substitute-and-evaluate cycle of the expression engine, as the samplers run it.
#include "expr/compiled_expression.h"
#include "expr/expression_engine.h"
#include "expr/region.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using vorn::expr::ExpressionEngine;

// Walks a 100 x 100 grid over [-1, 1] so that every cycle formats new numbers.
struct Grid {
    int i = 0;
    long double x() const { return -1 + (i % 100) * 0.02L; }
    long double y() const { return -1 + (i / 100 % 100) * 0.02L; }
    void next() { ++i; }
};

void formulaCycle(benchmark::State& state, const char* formula, bool validate) {
    ExpressionEngine engine;
    engine.ValidateCharacters = validate;
    Grid g;
    for (auto _ : state) {
        const std::string t1 = ExpressionEngine::SubstituteVariable(formula, 'Y', g.y());
        const std::string t2 = ExpressionEngine::SubstituteVariable(t1, 'X', g.x());
        benchmark::DoNotOptimize(engine.EvaluateExpression(t2));
        benchmark::DoNotOptimize(engine.CalcError);
        g.next();
    }
}

void BM_SinXY(benchmark::State& state) {
    formulaCycle(state, "sin(x*y)", true);
}
void BM_SinXYNoCheck(benchmark::State& state) {
    formulaCycle(state, "sin(x*y)", false);
}
void BM_Hemisphere(benchmark::State& state) {
    formulaCycle(state, "sqrt(1-x^2-y^2)", true);
}
void BM_HemisphereNoCheck(benchmark::State& state) {
    formulaCycle(state, "sqrt(1-x^2-y^2)", false);
}

void BM_DiscSystem(benchmark::State& state) {
    ExpressionEngine engine;
    Grid g;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            vorn::expr::pointInSystem(engine, "x^2+y^2<pi^2", g.x() * 4, g.y() * 4));
        g.next();
    }
}

// The same points through the compiled forms.
void compiledCycle(benchmark::State& state, const char* formula) {
    ExpressionEngine engine;
    const vorn::expr::CompiledExpression compiled(formula, "XY");
    Grid g;
    for (auto _ : state) {
        benchmark::DoNotOptimize(compiled.Evaluate(engine, g.x(), g.y()));
        benchmark::DoNotOptimize(engine.CalcError);
        g.next();
    }
}
void BM_SinXYCompiled(benchmark::State& state) {
    compiledCycle(state, "sin(x*y)");
}
void BM_HemisphereCompiled(benchmark::State& state) {
    compiledCycle(state, "sqrt(1-x^2-y^2)");
}
void BM_DiscSystemCompiled(benchmark::State& state) {
    ExpressionEngine engine;
    const vorn::expr::CompiledSystem compiled("x^2+y^2<pi^2");
    Grid g;
    for (auto _ : state) {
        benchmark::DoNotOptimize(compiled.Contains(engine, g.x() * 4, g.y() * 4));
        g.next();
    }
}

BENCHMARK(BM_SinXY);
BENCHMARK(BM_SinXYCompiled);
BENCHMARK(BM_HemisphereCompiled);
BENCHMARK(BM_DiscSystemCompiled);
BENCHMARK(BM_SinXYNoCheck);
BENCHMARK(BM_Hemisphere);
BENCHMARK(BM_HemisphereNoCheck);
BENCHMARK(BM_DiscSystem);

} // namespace
