// Unfolding the hull of 1000 random points on a sphere (about 2000 faces), and a cube.
#include "nets/net.h"
#include "polyhedra/formation.h"
#include "torus_scene.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace {

using namespace vorn;

// The flat faces of the hull of `points`, formed as the entry dialog forms it.
nets::Solid HullFaces(const std::vector<core::Vec3f>& points) {
    bench::PlainEnv plain;
    const int slot = plain.polyhedron(points);
    if (!poly::FormConvexFaces(plain.env, slot)) return {};
    return nets::FacesOf(plain.scene.object(slot)).value_or(nets::Solid{});
}

void Run(benchmark::State& state, const nets::Solid& solid) {
    if (solid.faces.empty()) {
        state.SkipWithError("no solid");
        return;
    }
    bool good = false;
    for (auto _ : state) {
        const nets::Net net = nets::Unfold(solid);
        good = net.good();
        benchmark::DoNotOptimize(net.flat.data());
    }
    state.counters["faces"] = double(solid.faces.size());
    state.counters["good"] = good ? 1 : 0;
}

void BM_UnfoldSphere1000(benchmark::State& state) {
    static const nets::Solid solid = [] {
        std::mt19937 engine(1000);
        std::vector<core::Vec3f> points;
        while (points.size() < 1000) {
            double v[3];
            for (double& c : v)
                c = engine() / 4294967296.0 * 2 - 1;
            const double l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
            if (l < 0.1 || l > 1) continue;
            // Radius 100: the formation's fixed tolerance is then far below the point spacing.
            points.push_back({float(100 * v[0] / l), float(100 * v[1] / l), float(100 * v[2] / l)});
        }
        return HullFaces(points);
    }();
    Run(state, solid);
}
BENCHMARK(BM_UnfoldSphere1000)->Unit(benchmark::kMillisecond);

void BM_UnfoldCube(benchmark::State& state) {
    static const nets::Solid solid = [] {
        std::vector<core::Vec3f> points;
        for (int i = 0; i < 8; ++i)
            points.push_back({float(i & 1), float((i >> 1) & 1), float((i >> 2) & 1)});
        return HullFaces(points);
    }();
    Run(state, solid);
}
BENCHMARK(BM_UnfoldCube)->Unit(benchmark::kMicrosecond);

} // namespace
