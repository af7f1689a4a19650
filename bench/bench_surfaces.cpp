// Double integral, surface build and scene load of the default surface, compiled and on text.
#include "core/quiet_host.h"
#include "core/scene.h"
#include "core/scene_file.h"
#include "entry/scene_loader.h"
#include "expr/compiled_expression.h"
#include "surfaces/integrals.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include <benchmark/benchmark.h>

namespace {

using vorn::core::QuietHost;

// sin(x*y) over x^2+y^2<pi^2, integrated over the same disc in -3..3 x -3..3. The second
// argument 1 takes the text path of every evaluation; the third 1 keeps to one thread.
void BM_DoubleIntegralDefaultSurface(benchmark::State& state) {
    using namespace vorn;
    core::Scene scene;
    core::Settings settings;
    lang::MessageTable messages;
    QuietHost host;
    core::Env env{scene, settings, messages, host};
    core::InitObject(scene, core::ObjectType::Surface, 2);
    surf::CalcRegion region;
    region.region.system = "x^2+y^2<pi^2";
    const int n = static_cast<int>(state.range(0));
    const expr::ReferenceEvaluationScope path(state.range(1) != 0);
    // One evaluation per node in the ownership pass and one per triangle centroid, at most.
    const double evaluations = double(n) * n + 2.0 * (n - 1) * (n - 1);
    for (auto _ : state) {
        expr::ExpressionEngine engine;
        const surf::DoubleIntegralResult r =
            surf::DoubleIntegral(env, engine, scene.object(2), region, n, state.range(2) != 0);
        benchmark::DoNotOptimize(r.integral);
    }
    state.counters["evaluations_per_second"] =
        benchmark::Counter(evaluations, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_DoubleIntegralDefaultSurface)
    ->Args({200, 0, 0})
    ->Args({200, 1, 1})
    ->Args({1000, 0, 0})
    ->Args({1000, 0, 1})
    ->Args({1000, 1, 1})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(1);

// What no evaluation order can save: `sinl` alone at the arguments the N = 1000 integral of
// sin(x*y) meets (every node, then two triangle centroids per cell, substituted as there). The
// library's extended sine must stay to keep every bit of the answers.
void BM_SineAloneAtTheIntegralArguments(benchmark::State& state) {
    using vorn::expr::SubstitutedValue;
    const int n = 1000;
    const double from = -3, step = 6.0 / (n - 1);
    std::vector<long double> arguments;
    arguments.reserve(3 * static_cast<std::size_t>(n) * n);
    auto product = [](long double x, long double y) {
        return SubstitutedValue(x) * SubstitutedValue(y);
    };
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if ((from + i * step) * (from + i * step) + (from + j * step) * (from + j * step) <
                M_PI * M_PI)
                arguments.push_back(product(from + i * step, from + j * step));
    for (int i = 0; i + 1 < n; ++i)
        for (int j = 0; j + 1 < n; ++j) {
            const double x0 = from + i * step, x1 = from + (i + 1) * step;
            const double y0 = from + j * step, y1 = from + (j + 1) * step;
            arguments.push_back(product(static_cast<double>(2 * (x0 / 3) + x1 / 3),
                                        static_cast<double>(y0 / 3 + 2 * (y1 / 3))));
            arguments.push_back(product(static_cast<double>(2 * (x1 / 3) + x0 / 3),
                                        static_cast<double>(y1 / 3 + 2 * (y0 / 3))));
        }
    for (auto _ : state) {
        long double sum = 0;
        for (const long double a : arguments)
            sum += sinl(a);
        benchmark::DoNotOptimize(sum);
    }
    state.counters["calls"] = static_cast<double>(arguments.size());
}
BENCHMARK(BM_SineAloneAtTheIntegralArguments)->Unit(benchmark::kMillisecond)->Iterations(1);

// The default surface at full quality (31 x 31 nodes).
void BM_BuildDefaultSurfaceFullQuality(benchmark::State& state) {
    using namespace vorn;
    core::Scene scene;
    const expr::ReferenceEvaluationScope path(state.range(0) != 0);
    expr::ExpressionEngine engine;
    for (auto _ : state) {
        core::InitObject(scene, core::ObjectType::Surface, 2);
        benchmark::DoNotOptimize(surf::BuildSurface(engine, scene.object(2), 1.0));
    }
}
BENCHMARK(BM_BuildDefaultSurfaceFullQuality)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A scene file of 19 default surfaces read back at full quality: every mesh is rebuilt.
void BM_LoadSceneOf19Surfaces(benchmark::State& state) {
    using namespace vorn;
    core::Scene scene;
    core::Settings settings;
    settings.qualityPosition = 99;
    lang::MessageTable messages;
    QuietHost host;
    core::Env env{scene, settings, messages, host};
    for (int slot = 2; slot <= core::kMaxObjectCount; ++slot) {
        core::InitObject(scene, core::ObjectType::Surface, slot);
        scene.objectCount() = slot;
    }
    const std::string file = "/tmp/vorn_bench_19_surfaces.v3d";
    if (!core::WriteSceneFile(env, file)) state.SkipWithError("cannot write the scene file");
    const expr::ReferenceEvaluationScope path(state.range(0) != 0);
    entry::SceneLoader loader;
    for (auto _ : state)
        benchmark::DoNotOptimize(core::ReadSceneFile(env, file, false, false, &loader));
    std::remove(file.c_str());
}
BENCHMARK(BM_LoadSceneOf19Surfaces)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
