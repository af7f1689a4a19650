// The scene of the picture benchmarks: 19 polyhedra of 2000 faces (tori), built as the entry
// dialog builds a polyhedron.
#pragma once

#include "core/quiet_host.h"
#include "core/scene.h"
#include "entry/object_builder.h"
#include "entry/transform.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <span>

namespace vorn::bench {

using core::QuietHost;

constexpr int kObjects = core::kMaxObjectCount - 1;
// A torus of 40 x 25 vertices has 2000 triangles: the most faces a record holds.
constexpr int kRing = 40, kTube = 25;

// One torus typed in as vertices and faces and built by the object builder as the entry dialog
// builds a polyhedron (face planes, areas, closedness, volume, visible edges); then copied into
// 19 slots, each turned about Oz and moved to its place on a 5 x 4 grid as the transformation
// commands do, and given its own palette colour.
// A scene with its settings and messages, and a host that shows nothing.
struct PlainEnv {
    core::Scene scene;
    core::Settings settings;
    lang::MessageTable messages;
    QuietHost host;
    core::Env env{scene, settings, messages, host};

    // A new polyhedron holding `points` as its vertices and no faces yet; its slot.
    int polyhedron(std::span<const core::Vec3f> points) {
        const int slot = core::AppendObject(scene, core::ObjectType::Polyhedron);
        core::SceneObject& o = scene.object(slot);
        o.vertexCount = static_cast<std::int16_t>(points.size());
        std::copy(points.begin(), points.end(), o.vertexData);
        return slot;
    }
};

struct BenchScene : PlainEnv {
    int faces = 0;

    BenchScene() {
        scene.object(core::kAxesSlot).color = settings.colorRgb(core::kColorAxes);
        expr::ExpressionEngine engine;
        core::InitObject(scene, core::ObjectType::Polyhedron, core::kScratchSlot);
        fillTorus(scene.object(core::kScratchSlot));
        const int first = core::AppendObject(scene, core::ObjectType::Polyhedron);
        // The builder keeps an object whose closedness test fails, with no edge shown.
        const auto& edges = scene.edgeVisibility(first);
        if (!entry::BuildObject(env, engine, first, core::ObjectType::Polyhedron, {}, false) ||
            std::none_of(edges.begin(), edges.end(), [](const auto& e) { return e[0] != 0; }))
            std::fprintf(stderr, "the torus was not completed\n");
        for (int k = 0; k < kObjects; ++k) {
            const int slot =
                k == 0 ? first : core::AppendObject(scene, core::ObjectType::Polyhedron);
            if (slot != first) scene.copySlot(first, slot);
            core::SceneObject& o = scene.object(slot);
            if (k > 0) {
                entry::RotateObject(o, 3, 0.3 * k, {});
                entry::TranslateObject(o, {(k % 5) * 3.0 - 6, (k / 5) * 3.0 - 4.5, (k % 3) * 0.5});
                entry::RefreshFacePlanes(o);
            }
            o.colorIndex = 1 + k % 14; // neither black nor white
            o.color = core::kPalette[static_cast<std::size_t>(o.colorIndex)];
            faces += o.faceCount;
        }
    }

    static void fillTorus(core::SceneObject& o) {
        o.vertexCount = kRing * kTube;
        for (int i = 0; i < kRing; ++i)
            for (int j = 0; j < kTube; ++j) {
                const double u = 2 * M_PI * i / kRing, v = 2 * M_PI * j / kTube;
                const double r = 1 + 0.4 * std::cos(v);
                o.vertex(i * kTube + j + 1) = {float(r * std::cos(u)), float(r * std::sin(u)),
                                               float(0.4 * std::sin(v))};
            }
        const auto at = [](int i, int j) {
            return static_cast<std::int16_t>((i % kRing) * kTube + j % kTube + 1);
        };
        o.faceCount = 0;
        for (int i = 0; i < kRing; ++i)
            for (int j = 0; j < kTube; ++j) {
                for (const auto& [a, b, c] :
                     {std::array{at(i, j), at(i + 1, j), at(i + 1, j + 1)},
                      std::array{at(i, j), at(i + 1, j + 1), at(i, j + 1)}}) {
                    core::Face& f = o.face(++o.faceCount);
                    f.vertex1 = a;
                    f.vertex2 = b;
                    f.vertex3 = c;
                }
            }
    }
};

} // namespace vorn::bench
