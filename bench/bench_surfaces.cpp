// Double integral, surface build and scene load of the default surface, compiled and on text.
#include "core/scene.h"
#include "core/scene_file.h"
#include "entry/scene_loader.h"
#include "expr/compiled_expression.h"
#include "surfaces/integrals.h"

#include <cstdio>

#include "quiet_host.h"

#include <benchmark/benchmark.h>

namespace {

using vorn::bench::QuietHost;

// sin(x*y) over x^2+y^2<pi^2, integrated over the same disc in -3..3 x -3..3. The second
// argument 1 takes the text path of every evaluation.
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
            surf::DoubleIntegral(env, engine, scene.object(2), region, n);
        benchmark::DoNotOptimize(r.integral);
    }
    state.counters["evaluations_per_second"] =
        benchmark::Counter(evaluations, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_DoubleIntegralDefaultSurface)
    ->Args({200, 0})
    ->Args({200, 1})
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

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
