// Shared set-up of the polyhedron tests: a scene with a scripted host and object builders.
#pragma once

#include "env_fixture.h"
#include "fake_host.h"

#include "core/scene.h"
#include "core/settings.h"
#include "geometry/primitives.h"
#include "lang/message_table.h"
#include "polyhedra/formation.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

namespace vorn::test {

struct Point3 {
    float x, y, z;
};

// The eight corners of the axis-parallel box [x0, x0 + size]^3 shifted by (0, 0, z0).
inline std::vector<Point3> CubeCorners(float size = 1, float z0 = 0, float x0 = 0) {
    std::vector<Point3> c;
    for (float z : {z0, z0 + size})
        for (float y : {x0, x0 + size})
            for (float x : {x0, x0 + size})
                c.push_back({x, y, z});
    return c;
}

// The unit cube of CubeCorners as twelve hand-made triangles, horizontal sides first (1..4).
// The bottom and top diagonals join (0, 0) to (1, 1), those of the sides y = 0 and y = 1 join
// x = 0 to x = 1 going up.
inline const std::vector<std::array<int, 3>> kCubeTriangles = {
    {1, 2, 4}, {1, 4, 3}, {5, 6, 8}, {5, 8, 7}, {1, 2, 6}, {1, 6, 5},
    {3, 4, 8}, {3, 8, 7}, {1, 3, 7}, {1, 7, 5}, {2, 4, 8}, {2, 8, 6}};

class PolyFixture : public ::testing::Test, public vorn::test::EnvFixture {
  protected:
    // A polyhedron holding the points, without faces yet.
    int AddPoints(const std::vector<Point3>& points, const std::string& name = "") {
        const int slot = core::AppendObject(scene, core::ObjectType::Polyhedron);
        core::SceneObject& o = scene.object(slot);
        o.name.setUtf8(name);
        o.vertexCount = static_cast<std::int16_t>(points.size());
        for (std::size_t i = 0; i < points.size(); ++i)
            o.vertexData[i] = {points[i].x, points[i].y, points[i].z};
        return slot;
    }
    // A Plane object through three points, its face plane computed from them.
    int AddPlane(Point3 p1, Point3 p2, Point3 p3, const std::string& name = "") {
        const int slot = core::AppendObject(scene, core::ObjectType::Plane);
        core::SceneObject& o = scene.object(slot);
        o.name.setUtf8(name);
        o.vertexCount = 3;
        o.vertex(1) = {p1.x, p1.y, p1.z};
        o.vertex(2) = {p2.x, p2.y, p2.z};
        o.vertex(3) = {p3.x, p3.y, p3.z};
        o.faceCount = 1;
        o.face(1).vertex1 = 1;
        o.face(1).vertex2 = 2;
        o.face(1).vertex3 = 3;
        const geo::PlaneFit fit =
            geo::PlaneThroughPoints({p1.x, p1.y, p1.z}, {p2.x, p2.y, p2.z}, {p3.x, p3.y, p3.z});
        o.face(1).a = static_cast<float>(fit.plane.a);
        o.face(1).b = static_cast<float>(fit.plane.b);
        o.face(1).c = static_cast<float>(fit.plane.c);
        o.face(1).d = static_cast<float>(fit.plane.d);
        return slot;
    }
    // The plane z = h with its normal along +z.
    int AddHorizontalPlane(float h, const std::string& name = "") {
        return AddPlane({0, 0, h}, {1, 0, h}, {0, 1, h}, name);
    }
    // A polyhedron given by its triangles (1-based vertex numbers), with face planes.
    int AddMesh(const std::vector<Point3>& points, const std::vector<std::array<int, 3>>& faces,
                const std::string& name = "") {
        const int slot = AddPoints(points, name);
        core::SceneObject& o = scene.object(slot);
        o.faceCount = static_cast<std::int16_t>(faces.size());
        for (std::size_t f = 0; f < faces.size(); ++f) {
            o.faceData[f] = core::Face{};
            o.faceData[f].vertex1 = static_cast<std::int16_t>(faces[f][0]);
            o.faceData[f].vertex2 = static_cast<std::int16_t>(faces[f][1]);
            o.faceData[f].vertex3 = static_cast<std::int16_t>(faces[f][2]);
        }
        poly::RecomputeFacePlanes(o);
        return slot;
    }
    const core::SceneObject& Object(int slot) const { return scene.object(slot); }
};

// An L-shaped prism of height 1 over (0,0) (2,0) (2,1) (1,1) (1,2) (0,2): area 3 in plan,
// volume 3, surface 14. The bottom is vertices 1..6, the top 7..12.
inline void LPrism(std::vector<Point3>& points, std::vector<std::array<int, 3>>& faces) {
    const float plan[6][2] = {{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}};
    points.clear();
    faces.clear();
    for (float z : {0.0f, 1.0f})
        for (const auto& p : plan)
            points.push_back({p[0], p[1], z});
    // Fans from the reflex corner 4, which sees every other corner.
    for (int t : {5, 6, 1, 2}) {
        const int u = t % 6 + 1;
        faces.push_back({4, t, u});
        faces.push_back({10, t + 6, u + 6});
    }
    for (int i = 1; i <= 6; ++i) {
        const int j = i % 6 + 1;
        faces.push_back({i, j, j + 6});
        faces.push_back({i, j + 6, i + 6});
    }
}

// The closed triangle mesh of a prism over a regular k-gon of radius 1, height 1.
inline void RegularPrism(int k, std::vector<Point3>& points,
                         std::vector<std::array<int, 3>>& faces) {
    points.clear();
    faces.clear();
    for (float z : {0.0f, 1.0f})
        for (int i = 0; i < k; ++i) {
            const double t = 2 * 3.141592653589793 * i / k;
            points.push_back({static_cast<float>(std::cos(t)), static_cast<float>(std::sin(t)), z});
        }
    for (int i = 2; i < k; ++i) {
        faces.push_back({1, i, i + 1});
        faces.push_back({k + 1, k + i, k + i + 1});
    }
    for (int i = 1; i <= k; ++i) {
        const int j = i % k + 1;
        faces.push_back({i, j, k + j});
        faces.push_back({i, k + j, k + i});
    }
}

// n points spread over the unit sphere (a Fibonacci lattice: no four of them coplanar).
inline std::vector<Point3> SpherePoints(int n) {
    std::vector<Point3> points;
    const double golden = 3.141592653589793 * (3 - std::sqrt(5.0));
    for (int i = 0; i < n; ++i) {
        const double z = 1 - (2 * i + 1.0) / n;
        const double r = std::sqrt(1 - z * z);
        points.push_back({static_cast<float>(r * std::cos(golden * i)),
                          static_cast<float>(r * std::sin(golden * i)), static_cast<float>(z)});
    }
    return points;
}

} // namespace vorn::test
