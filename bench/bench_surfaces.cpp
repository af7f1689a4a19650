// Double integral, surface build and scene load of the default surface, compiled and on text;
// half-tone lists and double integral of surfaces of 20 parts.
#include "core/quiet_host.h"
#include "core/scene.h"
#include "core/scene_file.h"
#include "entry/scene_loader.h"
#include "expr/compiled_expression.h"
#include "view/halftone_scene.h"
#include "view/wire_frame.h"
#include "surfaces/integrals.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace {

using vorn::core::QuietHost;

// sin(x*y) over x^2+y^2<pi^2, integrated over the same disc in -3..3 x -3..3. The second
// argument 1 takes the text path of every evaluation; the third 1 keeps to one thread, 0 uses
// every core.
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
        const surf::DoubleIntegralResult r = surf::DoubleIntegral(
            env, engine, scene.object(2), region, n, state.range(2) != 0 ? 1 : surf::kAllCores);
        benchmark::DoNotOptimize(r.integral);
    }
    state.counters["evaluations_per_second"] =
        benchmark::Counter(evaluations, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_DoubleIntegralDefaultSurface)
    ->Args({200, 0, 0})
    ->Args({200, 0, 1})
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

// A surface of 20 parts over -3..3 x -3..3: part k is the strip of x from -3 + 0.3(k - 1) to
// -3 + 0.3k, given by a system of six relations, with a formula of four terms. A node of the
// last strip is tested against all 20 regions first.
void FillTwentyParts(vorn::core::SceneObject& o, int number) {
    o.planeB = -3;
    o.planeC = 3;
    o.planeD = -3;
    o.surfaceParam = 3;
    o.partCount = vorn::core::kMaxParts;
    for (int k = 1; k <= vorn::core::kMaxParts; ++k) {
        vorn::core::ObjectPart& part = o.part(k);
        part = {};
        const std::string from = std::to_string(-3 + 0.3 * (k - 1));
        const std::string to = k == vorn::core::kMaxParts ? "3.5" : std::to_string(-3 + 0.3 * k);
        part.text.setRaw("sin(x*y)+cos(x-y)/2+exp(-(x^2+y^2)/8)+" + std::to_string(number) + "/" +
                         std::to_string(k + 10));
        part.domainKind = 1;
        part.area.domainText.setRaw("x>=" + from + ",x<" + to +
                                    ",y>=-3,y<=3,x^2+y^2<=19,abs(sin(x*y))<=1");
    }
}

// 19 such surfaces with their meshes, as a loaded scene holds them.
struct TwentyPartScene {
    vorn::core::Scene scene;
    vorn::core::Settings settings;
    vorn::lang::MessageTable messages;
    QuietHost host;
    vorn::core::Env env{scene, settings, messages, host};

    TwentyPartScene() {
        using namespace vorn;
        expr::ExpressionEngine engine;
        for (int k = 0; k < core::kMaxObjectCount - 1; ++k) {
            const int slot = core::AppendObject(scene, core::ObjectType::Surface);
            FillTwentyParts(scene.object(slot), k);
            if (!surf::BuildSurface(engine, scene.object(slot), settings.Quality()))
                std::fprintf(stderr, "surface %d was not built\n", slot);
        }
    }
};

// The wire-frame picture of that scene from its definitions: every mesh rebuilt (as loading
// the scene does) and one display list at 1200 x 800. The argument is the quality slider's
// position: 50 the default (16 x 16 nodes), 99 the finest (31 x 31).
void BM_TwentyPartSceneWireFrame(benchmark::State& state) {
    using namespace vorn;
    TwentyPartScene s;
    s.settings.qualityPosition = static_cast<int>(state.range(0));
    expr::ExpressionEngine engine;
    pic::WireFrame picture(s.env);
    picture.resize(1200, 800);
    picture.setReady(true);
    for (auto _ : state) {
        for (int slot = 2; slot <= s.scene.objectCount(); ++slot)
            benchmark::DoNotOptimize(
                surf::BuildSurface(engine, s.scene.object(slot), s.settings.Quality()));
        pic::DisplayList list;
        benchmark::DoNotOptimize(picture.redraw(list));
        benchmark::DoNotOptimize(list.data());
    }
}
BENCHMARK(BM_TwentyPartSceneWireFrame)
    ->Arg(50)
    ->Arg(99)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

// The half-tone display data of the same scene: 60 x 60 nodes per surface.
void BM_TwentyPartSceneHalfTone(benchmark::State& state) {
    using namespace vorn;
    TwentyPartScene s;
    expr::ExpressionEngine engine;
    for (auto _ : state) {
        const pic::HalfToneScene ht = pic::BuildHalfToneScene(s.env, engine);
        benchmark::DoNotOptimize(ht.lists.data());
    }
}
BENCHMARK(BM_TwentyPartSceneHalfTone)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// The double integral of one such surface over its rectangle; the second argument 1 keeps to
// one thread, 0 uses every core.
void BM_DoubleIntegralTwentyParts(benchmark::State& state) {
    using namespace vorn;
    core::Scene scene;
    core::Settings settings;
    lang::MessageTable messages;
    QuietHost host;
    core::Env env{scene, settings, messages, host};
    core::InitObject(scene, core::ObjectType::Surface, 2);
    FillTwentyParts(scene.object(2), 0);
    surf::CalcRegion region;
    region.bounds = {-3, 3, -3, 3};
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        expr::ExpressionEngine engine;
        const surf::DoubleIntegralResult r = surf::DoubleIntegral(
            env, engine, scene.object(2), region, n, state.range(1) != 0 ? 1 : surf::kAllCores);
        benchmark::DoNotOptimize(r.integral);
    }
}
BENCHMARK(BM_DoubleIntegralTwentyParts)
    ->Args({200, 0})
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(1);

} // namespace
