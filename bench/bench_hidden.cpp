// The hidden-line pass on the picture benchmark's 19 polyhedra of 2000 faces, and on a cube.
#include "hidden/hidden_lines.h"
#include "polyhedra/formation.h"
#include "torus_scene.h"

#include <benchmark/benchmark.h>

namespace {

using namespace vorn;

bench::BenchScene& Tori() {
    static auto* scene = new bench::BenchScene;
    return *scene;
}

void Run(benchmark::State& state, core::Env& env) {
    pic::ViewState view(env.scene.header);
    view.setZoom(100, 100, 100);
    std::size_t lines = 0, pieces = 0;
    for (auto _ : state) {
        const hidden::Visibility vis = hidden::VisibleSpans(env.scene, env.settings, view);
        lines = vis.lines.size();
        pieces = 0;
        for (const hidden::LineSpans& l : vis.lines)
            pieces += l.pieces.size();
        benchmark::DoNotOptimize(vis.lines.data());
    }
    state.counters["lines"] = double(lines);
    state.counters["pieces"] = double(pieces);
}

void BM_HiddenLinesTori(benchmark::State& state) {
    Run(state, Tori().env);
}
BENCHMARK(BM_HiddenLinesTori)->Unit(benchmark::kMillisecond);

void BM_HiddenLinesCube(benchmark::State& state) {
    bench::PlainEnv plain;
    std::vector<core::Vec3f> corners;
    for (int i = 0; i < 8; ++i)
        corners.push_back({float(i & 1), float((i >> 1) & 1), float((i >> 2) & 1)});
    const int slot = plain.polyhedron(corners);
    core::SceneObject& o = plain.scene.object(slot);
    constexpr int kTriangles[12][3] = {{1, 2, 4}, {1, 4, 3}, {5, 6, 8}, {5, 8, 7},
                                       {1, 2, 6}, {1, 6, 5}, {3, 4, 8}, {3, 8, 7},
                                       {1, 3, 7}, {1, 7, 5}, {2, 4, 8}, {2, 8, 6}};
    o.faceCount = 12;
    for (int f = 0; f < 12; ++f) {
        o.face(f + 1).vertex1 = static_cast<std::int16_t>(kTriangles[f][0]);
        o.face(f + 1).vertex2 = static_cast<std::int16_t>(kTriangles[f][1]);
        o.face(f + 1).vertex3 = static_cast<std::int16_t>(kTriangles[f][2]);
    }
    poly::RecomputeFacePlanes(o);
    poly::MarkFaceEdges(plain.env, slot);
    Run(state, plain.env);
}
BENCHMARK(BM_HiddenLinesCube)->Unit(benchmark::kMicrosecond);

} // namespace
