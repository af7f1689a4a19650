// The outline style: round solids and surfaces built as the program builds them, drawn by their
// silhouettes, rims, creases and grid lines, and checked against their geometry.
#include "hidden/hidden_lines.h"

#include "entry/generatrix.h"
#include "entry/object_builder.h"
#include "env_fixture.h"
#include "fake_host.h"
#include "polyhedra/formation.h"
#include "surfaces/standard_objects.h"
#include "surfaces/surface_mesh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <numeric>
#include <set>
#include <string>
#include <tuple>

namespace vorn::hidden {
namespace {

using geo::Vec3;
constexpr double kPi = std::numbers::pi;

// A point rounded to a ten-thousandth: the vertices a solid's mesh repeats at an apex or a
// pole are one point here.
using Key = std::tuple<long long, long long, long long>;
Key KeyOf(const Vec3& p) {
    return {std::llround(p.x * 1e4), std::llround(p.y * 1e4), std::llround(p.z * 1e4)};
}

struct Line {
    Vec3 a, b;
    const LineSpans* spans;
};

// How many of the lines meet at each point.
std::map<Key, int> Degrees(const std::vector<Line>& lines) {
    std::map<Key, int> d;
    for (const Line& l : lines)
        ++d[KeyOf(l.a)], ++d[KeyOf(l.b)];
    return d;
}

bool EveryDegree(const std::vector<Line>& lines, int (*want)(int)) {
    const auto d = Degrees(lines);
    return std::all_of(d.begin(), d.end(), [&](const auto& p) { return want(p.second) != 0; });
}
int Two(int d) {
    return d == 2;
}
int Even(int d) {
    return d % 2 == 0;
}

// The lines joined where they meet, or with `straight` only where they run on in one line:
// the connected pieces, or the straight lines they make up.
std::vector<std::vector<Line>> Groups(const std::vector<Line>& lines, bool straight) {
    std::vector<std::size_t> root(lines.size());
    std::iota(root.begin(), root.end(), 0);
    const auto find = [&](std::size_t i) {
        while (root[i] != i)
            i = root[i] = root[root[i]];
        return i;
    };
    for (std::size_t i = 0; i < lines.size(); ++i)
        for (std::size_t j = 0; j < i; ++j) {
            const Line &p = lines[i], &q = lines[j];
            const bool meet = KeyOf(p.a) == KeyOf(q.a) || KeyOf(p.a) == KeyOf(q.b) ||
                              KeyOf(p.b) == KeyOf(q.a) || KeyOf(p.b) == KeyOf(q.b);
            const Vec3 c = geo::cross(p.b - p.a, q.b - q.a);
            const double size = geo::dot(p.b - p.a, p.b - p.a) * geo::dot(q.b - q.a, q.b - q.a);
            if (meet && (!straight || geo::dot(c, c) <= 1e-10 * size)) root[find(i)] = find(j);
        }
    std::map<std::size_t, std::vector<Line>> groups;
    for (std::size_t i = 0; i < lines.size(); ++i)
        groups[find(i)].push_back(lines[i]);
    std::vector<std::vector<Line>> out;
    for (auto& [r, g] : groups)
        out.push_back(g);
    return out;
}

double Length(const std::vector<Line>& chain) {
    double s = 0;
    for (const Line& l : chain)
        s += std::sqrt(geo::dot(l.b - l.a, l.b - l.a));
    return s;
}

// The points of the lines that only one of them reaches.
std::vector<Vec3> Ends(const std::vector<Line>& lines) {
    const auto d = Degrees(lines);
    std::vector<Vec3> ends;
    for (const Line& l : lines)
        for (const Vec3& p : {l.a, l.b})
            if (d.at(KeyOf(p)) == 1) ends.push_back(p);
    return ends;
}

// The points of lines that make one cycle, in their order round it.
std::vector<Vec3> Cycle(std::vector<Line> lines) {
    std::vector<Vec3> points{lines[0].a};
    Vec3 at = lines[0].b;
    lines.erase(lines.begin());
    for (auto next = lines.begin(); next != lines.end(); next = lines.begin()) {
        while (next != lines.end() && KeyOf(next->a) != KeyOf(at) && KeyOf(next->b) != KeyOf(at))
            ++next;
        if (next == lines.end()) break;
        points.push_back(at);
        at = KeyOf(next->a) == KeyOf(at) ? next->b : next->a;
        lines.erase(next);
    }
    return points;
}

bool Whole(const LineSpans& l, bool visible) {
    return l.pieces.size() == 1 && l.pieces[0].visible == visible;
}

struct OutlineScene : ::testing::Test, vorn::test::EnvFixture {
    expr::ExpressionEngine engine;
    pic::ViewState view{scene.header};
    const int rings = entry::RingCount(settings.Quality());
    const int points = entry::CurvePointLimit(settings.Quality());

    OutlineScene() {
        view.setZoom(100, 100, 100);
        Clear();
    }

    void Clear() {
        scene.objectCount() = core::kAxesSlot;
        scene.object(core::kAxesSlot).visible = 0;
    }

    // A standard solid of revolution as the standard-object dialog leaves it, its mesh made
    // by the builder's rebuild.
    int Standard(const surf::StandardMeasures& measures) {
        const int slot = surf::CreateStandardObject(env, engine, measures, "solid");
        EXPECT_TRUE(slot != 0 && entry::RebuildObject(env, engine, slot));
        return slot;
    }

    // y = y(x), or x = x(t), y = y(t), on [from, to], or the polyline through `polyline`,
    // turned about Ox.
    int Revolution(const std::string& y, const std::string& x, double from, double to,
                   const std::vector<std::pair<float, float>>& polyline = {}) {
        const int slot = core::AppendObject(scene, core::ObjectType::RevolutionSurface);
        core::SceneObject& o = scene.object(slot);
        o.param0 = !polyline.empty() ? 2 : x.empty() ? 0 : 1;
        o.param1 = 0;
        o.planeD = from;
        o.surfaceParam = to;
        o.part(2).text.setUtf8(y);
        o.part(2).area.domainText.setUtf8(x);
        o.part(3).area.polygon.pointCount = static_cast<std::uint8_t>(polyline.size());
        for (std::size_t i = 0; i < polyline.size(); ++i)
            o.part(3).area.polygon.points[i] = {polyline[i].first, polyline[i].second};
        EXPECT_TRUE(entry::RebuildObject(env, engine, slot)) << y;
        return slot;
    }

    // z = formula over the square -size..size, the part's region a system.
    int Surface(const std::string& formula, const std::string& region, double size) {
        const int slot = core::AppendObject(scene, core::ObjectType::Surface);
        core::SceneObject& o = scene.object(slot);
        o.planeB = o.planeD = -size;
        o.planeC = o.surfaceParam = size;
        o.partCount = 1;
        o.part(1).text.setUtf8(formula);
        o.part(1).domainKind = 1;
        o.part(1).area.domainText.setUtf8(region);
        EXPECT_TRUE(surf::BuildSurface(engine, o, settings.Quality())) << formula;
        return slot;
    }

    Vec3 At(int slot, int v) const {
        const core::Vec3f& p = scene.object(slot).vertex(v);
        return {p.x, p.y, p.z};
    }

    std::vector<Line> Of(const Visibility& vis, int slot, LineKind kind) const {
        std::vector<Line> out;
        for (const LineSpans& l : vis.lines)
            if (l.slot == slot && l.kind == kind)
                out.push_back({At(slot, l.vertex1), At(slot, l.vertex2), &l});
        return out;
    }

    Visibility Outline(int grid = 0, double crease = 40) const {
        return VisibleSpans(scene, settings, view, {LineStyle::Outline, grid, crease});
    }
};

// General views from above, below and aside, with no face of the solids seen edge-on.
constexpr std::pair<int, int> kViews[] = {{27, 49}, {5, 50}, {60, 52}, {8, 62}};

std::string Named(std::pair<int, int> turn) {
    return std::to_string(turn.first) + "," + std::to_string(turn.second);
}

// Radial unit vector of p about Ox.
Vec3 Radial(const Vec3& p) {
    const double r = std::hypot(p.y, p.z);
    return {0, p.y / r, p.z / r};
}

// An open tube and a cone about Ox, of radius 1 at x = 0 and length 4: the silhouette is two
// generators tangent to the solid, the rims are circles; the rim with the solid behind it
// shows whole, the other hides the arc whose side turns away, from one generator's end to the
// other's.
TEST_F(OutlineScene, TubesAndConesShowTwoGeneratorsAndSplitTheirRimsWhereTheyEnd) {
    constexpr double h = 4;
    struct Row {
        const char* name;
        bool cone;
    };
    for (const Row& row : {Row{"cylinder", false}, Row{"cone", true}}) {
        Clear();
        const int solid = row.cone ? Standard(surf::ConeMeasures{.lower = 1, .height = h})
                                   : Standard(surf::CylinderMeasures{.base = 1, .height = h});
        const double slope = row.cone ? 1 / h : 0; // of the outward normal along the axis
        const std::vector<double> rimsAt = row.cone ? std::vector{0.0} : std::vector{0.0, h};
        for (const auto& turn : kViews) {
            SCOPED_TRACE(std::string(row.name) + " " + Named(turn));
            view.setTurn(turn.first, turn.second);
            const Visibility vis = Outline();
            const Vec3 d = vis.towardViewer;
            // Long enough for the front wall to cover the back of the far rim.
            ASSERT_GT(std::hypot(d.y, d.z) * h, 2 * std::fabs(d.x) * 1.1);
            EXPECT_TRUE(Of(vis, solid, LineKind::Crease).empty());

            const auto chains = Groups(Of(vis, solid, LineKind::Silhouette), true);
            ASSERT_EQ(chains.size(), 2u);
            std::set<Key> ends;
            for (const auto& chain : chains) {
                EXPECT_NEAR(Length(chain), std::hypot(h, slope * h), 1e-4);
                for (const Line& l : chain) {
                    EXPECT_TRUE(Whole(*l.spans, true));
                    // The solid's normal there is square to the view, to within a ring's step.
                    const Vec3 n =
                        Vec3{slope, Radial(l.a).y, Radial(l.a).z} * (1 / std::hypot(1, slope));
                    if (std::hypot(l.a.y, l.a.z) > 1e-3) {
                        EXPECT_LT(std::fabs(geo::dot(n, d)), std::sin(2 * kPi / rings));
                    }
                }
                for (const Vec3& e : Ends(chain))
                    ends.insert(KeyOf(e));
            }

            // No rim where the cone's apex ring shrinks to a point.
            const std::vector<Line> rims = Of(vis, solid, LineKind::Rim);
            ASSERT_EQ(rims.size(), rimsAt.size() * rings);
            EXPECT_TRUE(EveryDegree(rims, Two));
            EXPECT_EQ(Groups(rims, false).size(), rimsAt.size());
            for (const double x : rimsAt) {
                std::vector<Line> rim;
                std::map<Key, std::set<bool>> seenAt; // visibility of the lines at each point
                for (const Line& l : rims) {
                    if (std::fabs(l.a.x - x) > 1e-6) continue;
                    rim.push_back(l);
                    ASSERT_EQ(l.spans->pieces.size(), 1u);
                    seenAt[KeyOf(l.a)].insert(l.spans->pieces[0].visible);
                    seenAt[KeyOf(l.b)].insert(l.spans->pieces[0].visible);
                }
                ASSERT_EQ(rim.size(), std::size_t(rings));
                std::set<Key> splits;
                for (const auto& [key, seen] : seenAt)
                    if (seen.size() == 2) splits.insert(key);
                if ((x > 0) == (d.x > 0)) {
                    EXPECT_TRUE(splits.empty());
                    EXPECT_TRUE(Whole(*rim[0].spans, true));
                    continue;
                }
                std::set<Key> endsHere;
                for (const Key& k : ends)
                    if (std::llround(x * 1e4) == std::get<0>(k)) endsHere.insert(k);
                EXPECT_EQ(splits, endsHere);
                EXPECT_EQ(splits.size(), 2u);
                // The rim's point farthest from the viewer is on the hidden arc.
                const Vec3 back = Vec3{x, -d.y, -d.z} * (1 / std::hypot(d.y, d.z));
                const auto gap = [&](const Line& l) {
                    const Vec3 m = (l.a + l.b) * 0.5 - Vec3{0, back.y, back.z};
                    return geo::dot(m, m);
                };
                EXPECT_FALSE(std::min_element(rim.begin(), rim.end(),
                                              [&](auto& a, auto& b) { return gap(a) < gap(b); })
                                 ->spans->pieces[0]
                                 .visible);
            }
            // Tens of lines where the mesh style draws hundreds.
            EXPECT_EQ(vis.lines.size(), 2u * (points - 1) + rims.size());
            EXPECT_GT(VisibleSpans(scene, settings, view).lines.size(), 10 * vis.lines.size());
        }
    }
}

// A side face seen edge-on projects its two generators onto one line: the silhouette is the
// nearer one, which nothing hides.
TEST_F(OutlineScene, ASideSeenEdgeOnLeavesTheSilhouetteInFront) {
    const int cylinder = Standard(surf::CylinderMeasures{.base = 1, .height = 4});
    view.setTurn(45, 58);
    const Vec3 d = TowardViewer(view);
    const core::SceneObject& o = scene.object(cylinder);
    double least = 1;
    for (int f = 1; f <= o.faceCount; ++f) {
        const Vec3 a = At(cylinder, o.face(f).vertex1);
        const Vec3 n =
            geo::cross(At(cylinder, o.face(f).vertex2) - a, At(cylinder, o.face(f).vertex3) - a);
        least = std::min(least, std::fabs(geo::dot(n, d)) / std::sqrt(geo::dot(n, n)));
    }
    ASSERT_LT(least, 1e-4); // a few thousandths of a pixel wide
    const Visibility vis = Outline();
    const std::vector<Line> outline = Of(vis, cylinder, LineKind::Silhouette);
    EXPECT_EQ(Groups(outline, true).size(), 2u);
    for (const Line& l : outline)
        EXPECT_TRUE(Whole(*l.spans, true));
}

// Closed convex solids, with poles, tips and rings a hair off the axis: one closed outline
// round their picture and nothing else.
TEST_F(OutlineScene, ClosedRoundSolidsShowOneClosedOutline) {
    struct Row {
        const char* name;
        std::string y, x;
        double to;
        double radius; // of the ball, whose picture the outline nearly fills
    };
    const Row rows[] = {
        {"ball", "", "", 0, 2},
        {"half circle x = cos t, y = sin t", "sin(t)", "cos(t)", kPi, 1},
        {"spindle y = sin x", "sin(x)", "", kPi, 0},
    };
    for (const Row& row : rows) {
        Clear();
        const int solid = row.y.empty()
                              ? Standard(surf::BallMeasures{.value = 2, .cx = 1, .cy = -1, .cz = 2})
                              : Revolution(row.y, row.x, 0, row.to);
        for (const auto& turn : kViews) {
            SCOPED_TRACE(std::string(row.name) + " " + Named(turn));
            view.setTurn(turn.first, turn.second);
            const Visibility vis = Outline();
            const std::vector<Line> outline = Of(vis, solid, LineKind::Silhouette);
            ASSERT_GT(outline.size(), 10u);
            EXPECT_EQ(outline.size(), vis.lines.size()); // no rim, no crease
            EXPECT_TRUE(EveryDegree(outline, Two));
            EXPECT_EQ(Groups(outline, false).size(), 1u);
            for (const Line& l : outline)
                EXPECT_TRUE(Whole(*l.spans, true));
            if (row.radius == 0) continue;
            // Seen along the view, it encloses nearly the great circle's disc.
            const Vec3 d = vis.towardViewer;
            Vec3 e1 = geo::cross(d, Vec3{0, 0, 1});
            e1 = e1 * (1 / std::sqrt(geo::dot(e1, e1)));
            const Vec3 e2 = geo::cross(d, e1);
            const std::vector<Vec3> cycle = Cycle(outline);
            ASSERT_EQ(cycle.size(), outline.size());
            double area = 0;
            for (std::size_t i = 0; i < cycle.size(); ++i) {
                const Vec3 &a = cycle[i], &b = cycle[(i + 1) % cycle.size()];
                area += geo::dot(a, e1) * geo::dot(b, e2) - geo::dot(b, e1) * geo::dot(a, e2);
            }
            const double disc = kPi * row.radius * row.radius;
            EXPECT_GT(std::fabs(area) / 2, 0.85 * disc);
            EXPECT_LT(std::fabs(area) / 2, disc);
        }
    }
}

TEST_F(OutlineScene, TorusShowsClosedOutlines) {
    const int torus = Revolution("2+sin(t)", "cos(t)", 0, 2 * kPi);
    for (const auto& turn : kViews) {
        SCOPED_TRACE(Named(turn));
        view.setTurn(turn.first, turn.second);
        const Visibility vis = Outline();
        const std::vector<Line> outline = Of(vis, torus, LineKind::Silhouette);
        // The generatrix closes on itself: no rim where it starts and ends.
        EXPECT_EQ(outline.size(), vis.lines.size());
        EXPECT_LT(outline.size(), 200u);
        EXPECT_TRUE(EveryDegree(outline, Even));
        EXPECT_GE(Groups(outline, false).size(), 2u); // round the torus and round its hole
        EXPECT_TRUE(std::any_of(outline.begin(), outline.end(), // the hole's behind the tube
                                [](const Line& l) { return !Whole(*l.spans, true); }));
    }
}

TEST_F(OutlineScene, CreasesAreEdgesSharperThanTheAngle) {
    // A cylinder closed by two discs: a polyline generatrix through the axis.
    const int solid = Revolution("", "", 0, 0, {{0, 0}, {0, 1}, {4, 1}, {4, 0}});
    view.setTurn(27, 49);
    struct Row {
        double degrees;
        std::size_t creases; // both rims, or none
    };
    for (const Row& r : {Row{40, 2u * rings}, Row{89, 2u * rings}, Row{100, 0}, Row{NAN, 0}}) {
        SCOPED_TRACE(r.degrees);
        const Visibility vis = Outline(0, r.degrees);
        const std::vector<Line> creases = Of(vis, solid, LineKind::Crease);
        EXPECT_EQ(creases.size(), r.creases);
        for (const Line& l : creases)
            EXPECT_NEAR(std::fabs(l.a.x - 2), 2, 1e-6);
        const std::vector<Line> outline = Of(vis, solid, LineKind::Silhouette);
        EXPECT_EQ(outline.size() + creases.size(), vis.lines.size()); // no rim
        if (r.creases == 0) {
            // The silhouette runs round the whole picture, over half of each rim.
            EXPECT_TRUE(EveryDegree(outline, Two));
            EXPECT_EQ(Groups(outline, false).size(), 1u);
        } else {
            EXPECT_EQ(outline.size(), 2u);
            EXPECT_EQ(Groups(outline, true).size(), 2u);
        }
    }
}

// The faces' winding is no part of the outline: the same lines however the triangles run.
TEST_F(OutlineScene, TheWindingOfTheTrianglesDoesNotMatter) {
    const int ball = Standard(surf::BallMeasures{.value = 2});
    const int tube = Standard(surf::CylinderMeasures{.base = 1, .height = 4});
    scene.object(tube).origin[1] = 5; // beside the ball
    ASSERT_TRUE(entry::RebuildObject(env, engine, tube));
    view.setTurn(27, 49);
    const auto lines = [&] {
        std::set<std::tuple<int, int, int, LineKind>> s;
        for (const LineSpans& l : Outline().lines)
            s.insert(
                {l.slot, std::min(l.vertex1, l.vertex2), std::max(l.vertex1, l.vertex2), l.kind});
        return s;
    };
    const auto asBuilt = lines();
    ASSERT_FALSE(asBuilt.empty());
    const auto turnRound = [&](int every, int first) {
        for (const int slot : {ball, tube})
            for (int f = 1 + first; f <= scene.object(slot).faceCount; f += every)
                std::swap(scene.object(slot).face(f).vertex2, scene.object(slot).face(f).vertex3);
    };
    for (const auto& [every, first] : {std::pair{1, 0}, {2, 0}, {3, 1}}) {
        SCOPED_TRACE(every);
        turnRound(every, first);
        EXPECT_EQ(lines(), asBuilt);
        turnRound(every, first);
    }
}

TEST_F(OutlineScene, SurfacesShowTheirBorderAndEveryKthGridLine) {
    // z = (x^2 - y^2) / 8 over the square -2..2 seen steeply from above: no fold, no crease.
    const int square = Surface("(x^2-y^2)/8", "x^2+y^2<100", 2);
    const int n = surf::SurfaceGridSize(settings.Quality());
    view.setTurn(33, 41);
    for (const int every : {0, 1, 3, 5, -2}) {
        SCOPED_TRACE(every);
        const Visibility vis = Outline(every);
        const std::vector<Line> border = Of(vis, square, LineKind::Rim);
        EXPECT_EQ(border.size(), 4u * (n - 1));
        EXPECT_TRUE(EveryDegree(border, Two));
        EXPECT_EQ(Groups(border, false).size(), 1u);
        for (const Line& l : border)
            EXPECT_GT(std::max(std::fabs(l.a.x), std::fabs(l.a.y)), 2 - 1e-5);
        // The inner lines of the grid counted from the square's side, every k-th of them.
        int chosen = 0;
        for (int i = 1; i < n - 1; ++i)
            chosen += every > 0 && i % every == 0;
        const std::vector<Line> grid = Of(vis, square, LineKind::Grid);
        ASSERT_EQ(grid.size(), 2u * chosen * (n - 1));
        EXPECT_EQ(border.size() + grid.size(), vis.lines.size());
        for (const Line& l : grid) {
            const bool column = std::fabs(l.a.x - l.b.x) < 1e-6;
            EXPECT_TRUE(column || std::fabs(l.a.y - l.b.y) < 1e-6);
            const double at = ((column ? l.a.x : l.a.y) + 2) * (n - 1) / 4;
            EXPECT_NEAR(at, std::round(at), 1e-4);
            EXPECT_EQ(std::lround(at) % every, 0);
        }
    }
    // A disc's border is one closed ragged line.
    Clear();
    const int disc = Surface("x*y/4", "x^2+y^2<4", 3);
    const Visibility seen = Outline(2);
    const std::vector<Line> border = Of(seen, disc, LineKind::Rim);
    EXPECT_TRUE(EveryDegree(border, Two));
    EXPECT_EQ(Groups(border, false).size(), 1u);
    // Seen from low down, the far side of a hill turns away behind its crest.
    Clear();
    const int hill = Surface("2*exp(-x^2-y^2)", "x^2+y^2<100", 2);
    view.setTurn(27, 53);
    ASSERT_LT(std::fabs(TowardViewer(view).z), 0.2);
    const Visibility low = Outline();
    EXPECT_FALSE(Of(low, hill, LineKind::Silhouette).empty());
}

TEST_F(OutlineScene, DamagedMeshesGiveSoundLines) {
    const int ball = Standard(surf::BallMeasures{.value = 2});
    const int surface = Surface("x*y", "x^2+y^2<4", 2);
    scene.object(ball).vertex(30) = {std::nanf(""), 0, 0};
    scene.object(ball).face(7).vertex2 = 2000; // no such vertex
    scene.object(surface).faceCount = 30000;
    scene.object(surface).vertex(3) = {INFINITY, 1, 1};
    view.setTurn(27, 49);
    const Visibility vis = Outline(2);
    EXPECT_FALSE(vis.lines.empty());
    for (const LineSpans& l : vis.lines) {
        ASSERT_FALSE(l.pieces.empty());
        EXPECT_EQ(l.pieces.front().t0, 0);
        EXPECT_EQ(l.pieces.back().t1, 1);
        EXPECT_NE(l.vertex1, l.vertex2);
    }
}

// The mesh style draws every mesh line as before, whatever else the choice says; polyhedra
// and the axes are drawn alike in both styles.
TEST_F(OutlineScene, MeshStyleAndOtherObjectsStayAsTheyAre) {
    const int ball = Standard(surf::BallMeasures{.value = 2});
    const int cube = core::AppendObject(scene, core::ObjectType::Polyhedron);
    scene.object(cube).vertexCount = 8;
    for (int i = 0; i < 8; ++i)
        scene.object(cube).vertex(i + 1) = {float(3 + (i & 1)), float((i >> 1) & 1),
                                            float((i >> 2) & 1)};
    ASSERT_TRUE(poly::FormConvexFaces(env, cube));
    scene.object(core::kAxesSlot).visible = 1;
    view.setTurn(27, 49);
    using Rows = std::vector<std::tuple<int, int, int, LineKind, double, double, bool>>;
    const auto rows = [](const Visibility& vis, int slot) {
        Rows out;
        for (const LineSpans& l : vis.lines)
            for (const Piece& p : l.pieces)
                if (slot == 0 || l.slot == slot)
                    out.emplace_back(l.slot, l.vertex1, l.vertex2, l.kind, p.t0, p.t1, p.visible);
        return out;
    };
    const Visibility mesh = VisibleSpans(scene, settings, view);
    EXPECT_EQ(rows(mesh, 0), rows(VisibleSpans(scene, settings, view, {LineStyle::Mesh, 3, 5}), 0));
    // Every edge of the ball's mesh, the poles' lines of no length too, each once.
    std::set<std::pair<int, int>> edges;
    const core::SceneObject& o = scene.object(ball);
    for (int f = 1; f <= o.faceCount; ++f) {
        const int v[3] = {o.face(f).vertex1, o.face(f).vertex2, o.face(f).vertex3};
        for (int e = 0; e < 3; ++e)
            edges.insert(std::minmax(v[e], v[(e + 1) % 3]));
    }
    std::size_t ballLines = 0;
    for (const LineSpans& l : mesh.lines) {
        EXPECT_EQ(l.kind, LineKind::Edge);
        ballLines += l.slot == ball;
    }
    EXPECT_EQ(ballLines, edges.size());
    const Visibility outline = Outline(2);
    EXPECT_EQ(rows(mesh, cube), rows(outline, cube));
    EXPECT_EQ(rows(mesh, core::kAxesSlot), rows(outline, core::kAxesSlot));
    EXPECT_FALSE(rows(mesh, core::kAxesSlot).empty());
}

} // namespace
} // namespace vorn::hidden
