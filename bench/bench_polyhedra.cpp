// Hull formation of points on a sphere: the walk over hull neighbourhoods against the walk over
// every triple (only at small sizes: it grows with the fourth power of the point count).
#include "core/quiet_host.h"
#include "core/scene.h"
#include "polyhedra/formation.h"

#include <cmath>

#include <benchmark/benchmark.h>

namespace {

using vorn::core::QuietHost;

// Golden-spiral points on a sphere of radius 10, turned by half a radian, as single-precision
// vertices: every size here forms a closed solid of 2n - 4 faces. (On the unit sphere, or
// unturned at 100 points, some supporting plane holds three points collinear within the edge
// tolerance and both walks fail, which would time a failure.)
void FillSphere(vorn::core::SceneObject& o, int n) {
    constexpr double kRadius = 10, kTurn = 0.5;
    const double golden = 3.141592653589793 * (3 - std::sqrt(5.0));
    o.vertexCount = static_cast<std::int16_t>(n);
    o.faceCount = 0;
    for (int i = 0; i < n; ++i) {
        const double z = 1 - (2 * i + 1.0) / n;
        const double r = std::sqrt(1 - z * z);
        o.vertex(i + 1) = {static_cast<float>(kRadius * r * std::cos(golden * i + kTurn)),
                           static_cast<float>(kRadius * r * std::sin(golden * i + kTurn)),
                           static_cast<float>(kRadius * z)};
    }
}

// Second argument 1: the walk over every triple.
void BM_FormConvexFacesSphere(benchmark::State& state) {
    using namespace vorn;
    core::Scene scene;
    core::Settings settings;
    lang::MessageTable messages;
    QuietHost host;
    core::Env env{scene, settings, messages, host};
    const int slot = core::AppendObject(scene, core::ObjectType::Polyhedron);
    const int n = static_cast<int>(state.range(0));
    const bool reference = state.range(1) != 0;
    int faces = 0;
    for (auto _ : state) {
        state.PauseTiming();
        FillSphere(scene.object(slot), n);
        state.ResumeTiming();
        benchmark::DoNotOptimize(reference ? poly::FormConvexFacesReference(env, slot)
                                           : poly::FormConvexFaces(env, slot));
        faces = scene.object(slot).faceCount;
    }
    state.counters["faces"] = faces;
}

BENCHMARK(BM_FormConvexFacesSphere)
    ->Args({100, 1})
    ->Args({200, 1})
    ->Args({100, 0})
    ->Args({200, 0})
    ->Args({1000, 0})
    ->Unit(benchmark::kMillisecond);

} // namespace
