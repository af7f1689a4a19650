// Hidden lines on tables of scenes and views.
#include "hidden/hidden_lines.h"

#include "env_fixture.h"
#include "fake_host.h"
#include "polyhedra/formation.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <utility>

namespace vorn::hidden {
namespace {

using P = std::array<double, 3>;

struct HiddenScene : ::testing::Test, vorn::test::EnvFixture {
    pic::ViewState view{scene.header};

    HiddenScene() {
        scene.object(core::kAxesSlot).visible = 0;
        view.setZoom(100, 100, 100);
    }

    // The cube corner + [0, size]^3 as a polyhedron of twelve triangles; corner i + 1 is at
    // (x, y, z) with i = x + 2 y + 4 z in units of size.
    int AddCube(P corner, double size = 1) {
        const int slot = core::AppendObject(scene, core::ObjectType::Polyhedron);
        core::SceneObject& o = scene.object(slot);
        o.vertexCount = 8;
        for (int i = 0; i < 8; ++i)
            o.vertex(i + 1) = {float(corner[0] + size * (i & 1)),
                               float(corner[1] + size * ((i >> 1) & 1)),
                               float(corner[2] + size * ((i >> 2) & 1))};
        static constexpr int kTriangles[12][3] = {{1, 2, 4}, {1, 4, 3}, {5, 6, 8}, {5, 8, 7},
                                                  {1, 2, 6}, {1, 6, 5}, {3, 4, 8}, {3, 8, 7},
                                                  {1, 3, 7}, {1, 7, 5}, {2, 4, 8}, {2, 8, 6}};
        o.faceCount = 12;
        for (int f = 0; f < 12; ++f) {
            core::Face& face = o.face(f + 1);
            face.vertex1 = static_cast<std::int16_t>(kTriangles[f][0]);
            face.vertex2 = static_cast<std::int16_t>(kTriangles[f][1]);
            face.vertex3 = static_cast<std::int16_t>(kTriangles[f][2]);
        }
        poly::RecomputeFacePlanes(o);
        poly::MarkFaceEdges(env, slot); // the diagonals are not drawn
        return slot;
    }

    int AddPolyline(P a, P b) {
        const int slot = core::AppendObject(scene, core::ObjectType::Polyline);
        core::SceneObject& o = scene.object(slot);
        o.vertexCount = 2;
        o.vertex(1) = {float(a[0]), float(a[1]), float(a[2])};
        o.vertex(2) = {float(b[0]), float(b[1]), float(b[2])};
        o.faceCount = 1;
        o.face(1).vertex1 = 1;
        o.face(1).vertex2 = 2;
        o.face(1).vertex3 = 2;
        return slot;
    }

    int AddPoint(P a) {
        const int slot = core::AppendObject(scene, core::ObjectType::Point);
        scene.object(slot).vertex(1) = {float(a[0]), float(a[1]), float(a[2])};
        return slot;
    }

    P Corner(int slot, int v) const {
        const core::Vec3f& p = scene.object(slot).vertex(v);
        return {p.x, p.y, p.z};
    }

    // Pieces of the line slot: v1 - v2 in either direction, as hidden spans from v1.
    static std::vector<std::pair<double, double>> HiddenOf(const Visibility& vis, int slot, int v1,
                                                           int v2) {
        for (const LineSpans& l : vis.lines) {
            if (l.slot != slot) continue;
            const bool forward = l.vertex1 == v1 && l.vertex2 == v2;
            if (!forward && !(l.vertex1 == v2 && l.vertex2 == v1)) continue;
            std::vector<std::pair<double, double>> spans;
            for (const Piece& p : l.pieces)
                if (!p.visible)
                    spans.emplace_back(forward ? p.t0 : 1 - p.t1, forward ? p.t1 : 1 - p.t0);
            std::sort(spans.begin(), spans.end());
            return spans;
        }
        ADD_FAILURE() << "no line " << slot << ": " << v1 << "-" << v2;
        return {};
    }
};

// The pieces of every line cover 0..1 in order, without gaps, alternating.
void ExpectWellFormed(const Visibility& vis) {
    for (const LineSpans& l : vis.lines) {
        ASSERT_FALSE(l.pieces.empty());
        EXPECT_EQ(l.pieces.front().t0, 0);
        EXPECT_EQ(l.pieces.back().t1, 1);
        for (std::size_t i = 0; i < l.pieces.size(); ++i) {
            EXPECT_LT(l.pieces[i].t0, l.pieces[i].t1);
            if (i > 0) {
                EXPECT_EQ(l.pieces[i].t0, l.pieces[i - 1].t1);
                EXPECT_NE(l.pieces[i].visible, l.pieces[i - 1].visible);
            }
        }
    }
}

TEST_F(HiddenScene, TowardViewerIsWhatTheProjectionFlattensPointingOut) {
    for (const auto& zoom : {P{100, 100, 100}, P{30, 100, 250}})
        for (int a = 0; a < pic::kTurnSteps; a += 5)
            for (int b = 0; b < pic::kTurnSteps; b += 7) {
                view.setTurn(a, b);
                view.setZoom(float(zoom[0]), float(zoom[1]), float(zoom[2]));
                const geo::Vec3 d = TowardViewer(view);
                const pic::Projected p = pic::ProjectPoint(view, 1, 2, 3);
                const pic::Projected q = pic::ProjectPoint(view, 1 + d.x, 2 + d.y, 3 + d.z);
                ASSERT_NEAR(std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z), 1, 1e-12);
                ASSERT_NEAR(q.px, p.px, 1e-9) << a << "," << b;
                ASSERT_NEAR(q.py, p.py, 1e-9) << a << "," << b;
                ASSERT_LT(q.depth, p.depth) << a << "," << b;
            }
}

TEST_F(HiddenScene, CubeInAGeneralViewHidesTheThreeEdgesOfItsBackCorner) {
    const int cube = AddCube({0, 0, 0});
    for (const auto& [a, b] : {std::pair{27, 49}, {5, 60}, {40, 20}, {62, 11}, {13, 31}}) {
        SCOPED_TRACE(std::to_string(a) + "," + std::to_string(b));
        view.setTurn(a, b);
        const Visibility vis = VisibleSpans(scene, settings, view);
        ExpectWellFormed(vis);
        ASSERT_EQ(vis.lines.size(), 12u);
        // The corner farthest from the viewer.
        const geo::Vec3 d = vis.towardViewer;
        int back = 0;
        double farthest = HUGE_VAL;
        for (int v = 1; v <= 8; ++v) {
            const P c = Corner(cube, v);
            const double s = c[0] * d.x + c[1] * d.y + c[2] * d.z;
            if (s < farthest) farthest = s, back = v;
        }
        int hidden = 0;
        for (const LineSpans& l : vis.lines) {
            const bool atBack = l.vertex1 == back || l.vertex2 == back;
            ASSERT_EQ(l.pieces.size(), 1u) << l.vertex1 << "-" << l.vertex2;
            EXPECT_EQ(l.pieces[0].visible, !atBack) << l.vertex1 << "-" << l.vertex2;
            hidden += !l.pieces[0].visible;
        }
        EXPECT_EQ(hidden, 3);
        for (const PointSpan& p : vis.points)
            EXPECT_EQ(p.visible, p.vertex != back) << p.vertex;
    }
}

TEST_F(HiddenScene, SplitsWhereTheLineRunsBehindAFace) {
    // Seen along Oz from below (turn 0, 0): depth grows with z, the face z = 0 is in front.
    struct Row {
        const char* name;
        P back;     // corner of a second unit cube
        P a, b;     // a polyline
        int v1, v2; // an edge of the second cube
        std::vector<std::pair<double, double>> cubeEdge, polyline;
    };
    const Row rows[] = {
        {"behind, half covered",
         {0.5, 0.5, 2},
         {0.5, 0.5, -1},
         {0.5, 0.9, 1},
         1,
         2,
         {{0, 0.5}},
         {{0.5, 1}}},
        {"behind, quarter covered",
         {0.75, 0.25, 3},
         {0.5, 0.5, -1},
         {0.5, 0.9, 3},
         1,
         2,
         {{0, 0.25}},
         {{0.25, 1}}},
        {"beside, uncovered", {1.5, 0, 2}, {1.3, 0.5, -1}, {1.3, 0.9, 3}, 1, 2, {}, {}},
        {"in front", {0.5, 0, -3}, {0.2, 0.5, -1}, {0.7, 0.5, -1}, 1, 2, {}, {{0.6, 1}}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        scene.objectCount() = 1; // the axes alone
        scene.object(core::kAxesSlot).visible = 0;
        view.setTurn(0, 0);
        const int front = AddCube({0, 0, 0});
        const int second = AddCube(r.back);
        const int line = AddPolyline(r.a, r.b);
        const Visibility vis = VisibleSpans(scene, settings, view);
        ExpectWellFormed(vis);
        EXPECT_NEAR(vis.towardViewer.z, -1, 1e-12);
        const auto near = [](const auto& got, const auto& want) {
            ASSERT_EQ(got.size(), want.size());
            for (std::size_t i = 0; i < got.size(); ++i) {
                EXPECT_NEAR(got[i].first, want[i].first, 1e-6);
                EXPECT_NEAR(got[i].second, want[i].second, 1e-6);
            }
        };
        near(HiddenOf(vis, second, r.v1, r.v2), r.cubeEdge);
        near(HiddenOf(vis, line, 1, 2), r.polyline);
        if (r.back[2] > 1) {
            // The front cube: its face z = 0 seen, the back face and the sides' edges behind it.
            for (const auto& [v1, v2] : {std::pair{1, 2}, {2, 4}, {4, 3}, {3, 1}})
                EXPECT_TRUE(HiddenOf(vis, front, v1, v2).empty());
            for (const auto& [v1, v2] :
                 {std::pair{5, 6}, {6, 8}, {8, 7}, {7, 5}, {1, 5}, {2, 6}, {3, 7}, {4, 8}})
                near(HiddenOf(vis, front, v1, v2), std::vector<std::pair<double, double>>{{0, 1}});
        }
    }
}

TEST_F(HiddenScene, AnEdgeRightBehindAnotherIsHiddenWhateverTheRounding) {
    // Along an axis the back face's edges lie under the front face's outline; rounding puts
    // them a hair inside or outside it.
    struct Row {
        int a, b;
        P corner;
        double size;
        float zoom;
    };
    for (const Row& r :
         {Row{7, 0, {0.1, 0.2, 0.3}, 0.7, 37.3f}, Row{13, 0, {-1.3, 2.9, 0.7}, 0.3, 3.1f},
          Row{29, 0, {0.37, -0.61, 5.3}, 1.9, 211.f}}) {
        scene.objectCount() = 1;
        view.setTurn(r.a, r.b);
        view.setZoom(r.zoom, r.zoom, r.zoom);
        const int cube = AddCube(r.corner, r.size);
        const Visibility vis = VisibleSpans(scene, settings, view);
        for (const auto& [v1, v2] : {std::pair{5, 6}, {6, 8}, {8, 7}, {7, 5}})
            EXPECT_EQ(HiddenOf(vis, cube, v1, v2), (std::vector<std::pair<double, double>>{{0, 1}}))
                << r.zoom << ": " << v1 << "-" << v2;
    }
}

TEST_F(HiddenScene, PointsBehindAFaceAreHiddenAndLinesOnAFaceAreNot) {
    view.setTurn(27, 49); // from above: the top face z = 1 is in front
    const int cube = AddCube({0, 0, 0});
    const geo::Vec3 d = TowardViewer(view);
    const auto along = [&](double k) { return P{0.5 + k * d.x, 0.5 + k * d.y, 0.5 + k * d.z}; };
    struct Row {
        P at;
        bool visible;
    };
    const Row points[] = {{along(-3), false},
                          {along(3), true},
                          {along(0), false},
                          {{0.5, 0.5, 1}, true},
                          {{3, -3, 0}, true}};
    std::vector<int> pointSlots;
    for (const Row& r : points)
        pointSlots.push_back(AddPoint(r.at));
    // On the top face, on a hidden side face, and a plane lying in the top face.
    const int onTop = AddPolyline({0.2, 0.2, 1}, {0.8, 0.7, 1});
    const int onBackSide = AddPolyline({0, 0.2, 0.2}, {0, 0.8, 0.7});
    // From the centre out toward the viewer and aside: hidden until it pierces a face.
    const P out = {along(2)[0] + 0.3, along(2)[1] - 0.2, along(2)[2] + 0.1};
    const int piercing = AddPolyline(along(0), out);
    double exit = 1;
    for (int k = 0; k < 3; ++k) {
        const double step = out[static_cast<std::size_t>(k)] - 0.5;
        exit = std::min(exit, ((step > 0 ? 1 : 0) - 0.5) / step);
    }
    const int plane = core::AppendObject(scene, core::ObjectType::Plane);
    core::SceneObject& pl = scene.object(plane);
    for (int i = 1; i <= pl.vertexCount; ++i) {
        core::Vec3f& v = pl.vertex(i);
        v = {0.1f + 0.8f * float((i - 1) & 1), 0.1f + 0.8f * float(((i - 1) >> 1) & 1), 1};
    }
    pl.faceCount = 2;
    for (const auto& [f, a, b, c] : {std::array{1, 1, 2, 4}, {2, 1, 4, 3}}) {
        pl.face(f).vertex1 = static_cast<std::int16_t>(a);
        pl.face(f).vertex2 = static_cast<std::int16_t>(b);
        pl.face(f).vertex3 = static_cast<std::int16_t>(c);
    }
    const Visibility vis = VisibleSpans(scene, settings, view);
    ExpectWellFormed(vis);
    for (std::size_t k = 0; k < pointSlots.size(); ++k) {
        bool found = false;
        for (const PointSpan& p : vis.points)
            if (p.slot == pointSlots[k]) {
                EXPECT_EQ(p.visible, points[k].visible) << k;
                found = true;
            }
        EXPECT_TRUE(found) << k;
    }
    EXPECT_TRUE(HiddenOf(vis, onTop, 1, 2).empty());
    const auto pierced = HiddenOf(vis, piercing, 1, 2);
    ASSERT_EQ(pierced.size(), 1u);
    EXPECT_EQ(pierced[0].first, 0);
    EXPECT_NEAR(pierced[0].second, exit, 1e-6);
    EXPECT_EQ(HiddenOf(vis, onBackSide, 1, 2), (std::vector<std::pair<double, double>>{{0, 1}}));
    int planeLines = 0;
    for (const LineSpans& l : vis.lines)
        if (l.slot == plane) {
            ++planeLines;
            EXPECT_EQ(l.pieces.size(), 1u);
            EXPECT_TRUE(l.pieces[0].visible);
        }
    EXPECT_GT(planeLines, 0);
    // A plane hides nothing: the cube's edges stay as they were.
    int hidden = 0;
    for (const LineSpans& l : vis.lines)
        if (l.slot == cube) hidden += !l.pieces[0].visible;
    EXPECT_EQ(hidden, 3);
}

TEST_F(HiddenScene, TheSamePiecesAtAnyPictureSizeAndCentre) {
    AddCube({0, 0, 0});
    AddCube({0.4, 0.3, -1.2}, 0.8);
    AddPolyline({-1, 0.5, 0.5}, {2, 0.4, 0.6});
    scene.object(core::kAxesSlot).visible = 1;
    view.setTurn(31, 47);
    const Visibility first = VisibleSpans(scene, settings, view);
    struct Row {
        int halfWidth, halfHeight;
        float zoom;
        double centre;
    };
    for (const Row& r : {Row{400, 300, 100, 0}, Row{5000, 20, 3, 0.7}, Row{1, 1, 2500, -2}}) {
        view.halfWidth = r.halfWidth;
        view.halfHeight = r.halfHeight;
        view.setZoom(r.zoom, r.zoom, r.zoom);
        view.centerX = view.centerY = view.centerZ = r.centre;
        const Visibility other = VisibleSpans(scene, settings, view);
        ASSERT_EQ(other.lines.size(), first.lines.size());
        for (std::size_t i = 0; i < first.lines.size(); ++i) {
            const auto& a = first.lines[i].pieces;
            const auto& b = other.lines[i].pieces;
            ASSERT_EQ(a.size(), b.size()) << i;
            for (std::size_t k = 0; k < a.size(); ++k) {
                EXPECT_NEAR(a[k].t0, b[k].t0, 1e-6);
                EXPECT_EQ(a[k].visible, b[k].visible);
            }
        }
    }
    // Something is hidden and something split, or the comparison shows little.
    int split = 0;
    for (const LineSpans& l : first.lines)
        split += l.pieces.size() > 1;
    EXPECT_GT(split, 0);
}

TEST_F(HiddenScene, DamagedRecordsGiveWholePieces) {
    const int cube = AddCube({0, 0, 0});
    scene.object(cube).vertex(8) = {std::nanf(""), 1, 1};
    AddPoint({std::numeric_limits<double>::infinity(), 0, 0});
    const int bad = AddCube({3, 0, 0});
    scene.object(bad).face(2).vertex2 = 9; // no such vertex
    scene.object(bad).faceCount = 30000;
    const Visibility vis = VisibleSpans(scene, settings, view);
    ExpectWellFormed(vis);
    EXPECT_FALSE(vis.lines.empty());
    EXPECT_FALSE(vis.points.empty());
}

} // namespace
} // namespace vorn::hidden
