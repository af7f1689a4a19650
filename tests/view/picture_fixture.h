// Scenes and helpers shared by the picture tests: a scene with its settings and a cube built by
// hand.
#pragma once

#include "env_fixture.h"
#include "fake_host.h"

#include "core/scene.h"
#include "lang/message_table.h"
#include "view/wire_frame.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

namespace vorn::test {

struct PictureScene : vorn::test::EnvFixture {
    PictureScene() {
        // Applying the settings gives the axes the colour of their role.
        scene.object(core::kAxesSlot).color = settings.colorRgb(core::kColorAxes);
    }

    int add(core::ObjectType kind) { return core::AppendObject(scene, kind); }

    // The cube [x0, x0 + side]^3 as 12 triangles, two per square, with the square's diagonal
    // hidden as the polyhedron code marks it.
    int addCube(double x0, double side, std::uint32_t colour) {
        const int slot = add(core::ObjectType::Polyhedron);
        core::SceneObject& o = scene.object(slot);
        o.color = colour;
        o.vertexCount = 8;
        for (int i = 0; i < 8; ++i)
            o.vertex(i + 1) = {static_cast<float>(x0 + side * (i & 1)),
                               static_cast<float>(x0 + side * ((i >> 1) & 1)),
                               static_cast<float>(x0 + side * ((i >> 2) & 1))};
        // Squares as corner numbers (vertex i+1 has bits x, y, z of i) in walking order.
        const int squares[6][4] = {{1, 2, 4, 3}, {5, 6, 8, 7}, {1, 2, 6, 5},
                                   {3, 4, 8, 7}, {1, 3, 7, 5}, {2, 4, 8, 6}};
        core::EdgeFlags& flags = scene.edgeVisibility(slot);
        o.faceCount = 12;
        int f = 0;
        for (const auto& s : squares) {
            // (a, b, c): edge 3 (c -> a) is the diagonal; (a, c, d): edge 1 (a -> c) is.
            setFace(o, ++f, s[0], s[1], s[2]);
            flags[static_cast<std::size_t>(f - 1)] = {1, 1, 0};
            setFace(o, ++f, s[0], s[2], s[3]);
            flags[static_cast<std::size_t>(f - 1)] = {0, 1, 1};
        }
        return slot;
    }

    // A polyline through `n` points on a circle of radius 2 in the plane z = 1.
    int addPolyline(int n) {
        const int slot = add(core::ObjectType::Polyline);
        core::SceneObject& o = scene.object(slot);
        o.vertexCount = static_cast<std::int16_t>(n);
        o.faceCount = static_cast<std::int16_t>(n - 1);
        for (int i = 1; i <= n; ++i) {
            const double t = 6.0 * i / n;
            o.vertex(i) = {static_cast<float>(2 * std::cos(t)), static_cast<float>(2 * std::sin(t)),
                           1};
            if (i < n) setFace(o, i, i, i + 1, i + 1);
        }
        return slot;
    }

    static void setFace(core::SceneObject& o, int f, int a, int b, int c) {
        o.face(f).vertex1 = static_cast<std::int16_t>(a);
        o.face(f).vertex2 = static_cast<std::int16_t>(b);
        o.face(f).vertex3 = static_cast<std::int16_t>(c);
    }
};

// Distinct segments (unordered vertex pairs) drawn as polyhedron edges of `slot`.
inline std::set<std::pair<int, int>> DrawnSegments(const pic::DisplayList& list,
                                                   const core::Scene& scene, int slot) {
    std::set<std::pair<int, int>> out;
    for (const pic::DrawOp& op : list) {
        if (op.role != pic::Role::Edge || op.slot != slot) continue;
        const core::Face& face = scene.object(slot).face(op.face);
        const int v[4] = {face.vertex1, face.vertex2, face.vertex3, face.vertex1};
        const int a = v[op.edge - 1], b = v[op.edge];
        out.insert({std::min(a, b), std::max(a, b)});
    }
    return out;
}

} // namespace vorn::test
