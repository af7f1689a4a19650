// Nets of solids: overlap-free unfoldings of a table of convex solids, the user's clicks, folding,
// the round developments and the paper drawing.
#include "poly_fixture.h"

#include "nets/net.h"
#include "polyhedra/cross_section.h"
#include "polyhedra/metrics.h"

#include <algorithm>
#include <functional>
#include <map>
#include <numbers>
#include <random>
#include <set>
#include <tuple>

namespace vorn::test {
namespace {

using nets::Point2;

constexpr double kPi = std::numbers::pi;

double Dist(const geo::Vec3& a, const geo::Vec3& b) {
    const geo::Vec3 d = a - b;
    return std::sqrt(geo::dot(d, d));
}
double Dist(Point2 a, Point2 b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

// Points in general position on a sphere from a fixed seed.
std::vector<Point3> RandomSpherePoints(int n, unsigned seed) {
    std::mt19937 engine(seed);
    std::vector<Point3> points;
    while (static_cast<int>(points.size()) < n) {
        double v[3];
        for (double& c : v)
            c = (engine() / 4294967296.0) * 2 - 1;
        const double l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        if (l < 0.1 || l > 1) continue;
        points.push_back({static_cast<float>(v[0] / l), static_cast<float>(v[1] / l),
                          static_cast<float>(v[2] / l)});
    }
    return points;
}

// Regular n-gon of radius r at height z, starting at angle phase.
void Ring(std::vector<Point3>& p, int n, double r, double z, double phase = 0) {
    for (int k = 0; k < n; ++k) {
        const double a = phase + 2 * kPi * k / n;
        p.push_back({static_cast<float>(r * std::sin(a)), static_cast<float>(r * std::cos(a)),
                     static_cast<float>(z)});
    }
}

std::vector<Point3> Icosahedron() {
    const float g = static_cast<float>((1 + std::sqrt(5.0)) / 2);
    std::vector<Point3> p;
    for (float a : {-1.f, 1.f})
        for (float b : {-g, g}) {
            p.push_back({0, a, b});
            p.push_back({a, b, 0});
            p.push_back({b, 0, a});
        }
    return p;
}

std::vector<Point3> Dodecahedron() {
    const float g = static_cast<float>((1 + std::sqrt(5.0)) / 2), h = 1 / g;
    std::vector<Point3> p = CubeCorners(2, -1, -1);
    for (float a : {-1.f, 1.f})
        for (float b : {-1.f, 1.f}) {
            p.push_back({0, a * h, b * g});
            p.push_back({a * h, b * g, 0});
            p.push_back({b * g, 0, a * h});
        }
    return p;
}

// Independent of the library's check: two convex outlines, each shrunk a little toward its
// centroid, overlap when an edge of one crosses an edge of the other or a corner of one lies
// inside the other.
bool Inside(const std::vector<Point2>& poly, Point2 q) {
    for (std::size_t k = 0; k < poly.size(); ++k) {
        const Point2 a = poly[k], b = poly[(k + 1) % poly.size()];
        if ((b.x - a.x) * (q.y - a.y) - (b.y - a.y) * (q.x - a.x) <= 0) return false;
    }
    return true;
}
bool Cross(Point2 a, Point2 b, Point2 c, Point2 d) {
    const auto side = [](Point2 p, Point2 q, Point2 r) {
        return (q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x);
    };
    return side(a, b, c) * side(a, b, d) < 0 && side(c, d, a) * side(c, d, b) < 0;
}
std::vector<Point2> Shrunk(const std::vector<Point2>& p, double by) {
    Point2 c;
    for (const Point2& q : p)
        c = {c.x + q.x / p.size(), c.y + q.y / p.size()};
    std::vector<Point2> out;
    for (const Point2& q : p) {
        const double d = Dist(q, c);
        out.push_back({q.x + (c.x - q.x) * by / d, q.y + (c.y - q.y) * by / d});
    }
    return out;
}
int BruteOverlaps(const std::vector<std::vector<Point2>>& flat, double margin) {
    std::vector<std::vector<Point2>> s;
    for (const auto& f : flat)
        s.push_back(Shrunk(f, margin));
    struct Box {
        double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300;
    };
    std::vector<Box> box(s.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        for (const Point2& p : s[i])
            box[i] = {std::min(box[i].x0, p.x), std::max(box[i].x1, p.x), std::min(box[i].y0, p.y),
                      std::max(box[i].y1, p.y)};
    int count = 0;
    for (std::size_t i = 0; i < s.size(); ++i)
        for (std::size_t j = i + 1; j < s.size(); ++j) {
            if (box[i].x1 < box[j].x0 || box[j].x1 < box[i].x0 || box[i].y1 < box[j].y0 ||
                box[j].y1 < box[i].y0)
                continue;
            bool hit = Inside(s[i], s[j][0]) || Inside(s[j], s[i][0]);
            for (std::size_t a = 0; a < s[i].size() && !hit; ++a)
                for (std::size_t b = 0; b < s[j].size() && !hit; ++b)
                    hit = Cross(s[i][a], s[i][(a + 1) % s[i].size()], s[j][b],
                                s[j][(b + 1) % s[j].size()]);
            count += hit;
        }
    return count;
}

class NetsTest : public PolyFixture {
  protected:
    // Gives back the slots of the objects made after the scene held `count`.
    void DropTo(int count) {
        while (scene.objectCount() > count)
            core::DropLastObject(scene);
    }
    // The convex hull of the points as the entry dialog forms it, with its triangle areas.
    int Hull(const std::vector<Point3>& points) {
        const int slot = AddPoints(points);
        EXPECT_TRUE(poly::FormConvexFaces(env, slot));
        poly::CompleteObject(env, slot);
        return slot;
    }
    // The two parts of a 2-cube cut by the plane through three points.
    std::array<int, 2> CubeParts(Point3 a, Point3 b, Point3 c) {
        const int cube = Hull(CubeCorners(2));
        const int plane = AddPlane(a, b, c);
        host.defaultAnswer = core::Answer::Yes;
        return poly::CrossSection(env, plane, cube).partSlots;
    }
    int Round(const std::string& generatrix, double from, double to) {
        const int slot = core::AppendObject(scene, core::ObjectType::RevolutionSurface);
        core::SceneObject& o = scene.object(slot);
        o.part(2).text.setRaw(generatrix);
        o.planeD = from;
        o.surfaceParam = to;
        o.param0 = o.param1 = 0;
        return slot;
    }
};

std::vector<Point3> Scaled(std::vector<Point3> p, float k) {
    for (Point3& q : p)
        q = {q.x * k, q.y * k, q.z * k};
    return p;
}

// Everything an unfolding must be, checked independently of how the library found it.
void CheckNet(const core::SceneObject& o, const nets::Solid& solid, const nets::Net& net) {
    double size = 0;
    for (const nets::SolidFace& f : solid.faces)
        for (const geo::Vec3& c : f.corners)
            size = std::max(size, Dist(c, f.corners[0]));
    ASSERT_TRUE(net.good()) << net.overlaps.size() << " overlapping pairs";
    ASSERT_EQ(net.flat.size(), solid.faces.size());
    EXPECT_EQ(BruteOverlaps(net.flat, 1e-6 * size), 0);
    EXPECT_NEAR(net.area, poly::SurfaceArea(o), 1e-5 * net.area);
    EXPECT_NEAR(solid.area, net.area, 1e-9 * net.area);
    const auto corner = [&](int f, int v) {
        const std::vector<int>& vs = solid.faces[static_cast<std::size_t>(f)].vertices;
        return net.flat[static_cast<std::size_t>(f)]
                       [static_cast<std::size_t>(std::find(vs.begin(), vs.end(), v) - vs.begin())];
    };
    int hinges = 0;
    for (std::size_t f = 0; f < solid.faces.size(); ++f) {
        const nets::SolidFace& face = solid.faces[f];
        const std::vector<Point2>& flat = net.flat[f];
        ASSERT_EQ(flat.size(), face.corners.size());
        for (std::size_t i = 0; i < flat.size(); ++i)
            for (std::size_t j = i + 1; j < flat.size(); ++j)
                ASSERT_NEAR(Dist(flat[i], flat[j]), Dist(face.corners[i], face.corners[j]),
                            1e-6 * size);
        if (net.parent[f] < 0) continue;
        ++hinges;
        const nets::SolidEdge& e = solid.edges[static_cast<std::size_t>(net.hinge[f])];
        for (int v : {e.v1, e.v2})
            EXPECT_LT(Dist(corner(static_cast<int>(f), v), corner(net.parent[f], v)), 1e-9 * size);
    }
    EXPECT_EQ(hinges + 1, static_cast<int>(solid.faces.size()));
    // Folded up, every corner is on its vertex; laid down, the faces keep the net's shape in
    // the root's plane.
    const auto closed = nets::Fold(solid, net, 1);
    const auto open = nets::Fold(solid, net, 0);
    // Half folded, faces still meet along their hinges.
    const auto half = nets::Fold(solid, net, 0.5);
    for (std::size_t f = 0; f < solid.faces.size(); ++f) {
        if (net.parent[f] < 0) continue;
        const nets::SolidEdge& e = solid.edges[static_cast<std::size_t>(net.hinge[f])];
        const auto at = [&](std::size_t g, int v) {
            const std::vector<int>& vs = solid.faces[g].vertices;
            return half[g]
                       [static_cast<std::size_t>(std::find(vs.begin(), vs.end(), v) - vs.begin())];
        };
        for (int v : {e.v1, e.v2})
            ASSERT_LT(Dist(at(f, v), at(static_cast<std::size_t>(net.parent[f]), v)), 1e-6 * size);
    }
    const nets::SolidFace& root = solid.faces[static_cast<std::size_t>(net.root)];
    for (std::size_t f = 0; f < solid.faces.size(); ++f)
        for (std::size_t k = 0; k < solid.faces[f].vertices.size(); ++k) {
            const core::Vec3f v = o.vertex(solid.faces[f].vertices[k]);
            ASSERT_LT(Dist(closed[f][k], {v.x, v.y, v.z}), 1e-6 * size);
            const geo::Vec3 p = open[f][k];
            ASSERT_NEAR(geo::dot(p - root.corners[0], root.normal), 0, 1e-6 * size);
            for (std::size_t r = 0; r < 3; ++r)
                ASSERT_NEAR(Dist(p, root.corners[r]),
                            Dist(net.flat[f][k], net.flat[static_cast<std::size_t>(net.root)][r]),
                            1e-6 * size);
        }
}

TEST_F(NetsTest, ConvexSolidsUnfoldWithoutOverlap) {
    struct Row {
        std::string name;
        std::vector<Point3> points;
        std::size_t faces; // flat faces
    };
    std::vector<Row> rows = {
        {"tetrahedron", {{1, 1, 1}, {1, -1, -1}, {-1, 1, -1}, {-1, -1, 1}}, 4},
        {"cube", CubeCorners(2), 6},
        {"octahedron", {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}}, 8},
        {"dodecahedron", Dodecahedron(), 12},
        {"icosahedron", Icosahedron(), 20},
    };
    for (int n : {3, 4, 5, 7, 12, 20}) {
        Row prism{"prism " + std::to_string(n), {}, static_cast<std::size_t>(n + 2)};
        Ring(prism.points, n, 3, 0);
        Ring(prism.points, n, 3, 4);
        rows.push_back(prism);
        Row pyramid{"pyramid " + std::to_string(n), {{0, 0, 4}}, static_cast<std::size_t>(n + 1)};
        Ring(pyramid.points, n, 3, 0);
        rows.push_back(pyramid);
        Row frustum{"truncated pyramid " + std::to_string(n), {}, static_cast<std::size_t>(n + 2)};
        Ring(frustum.points, n, 3, 0);
        Ring(frustum.points, n, 2, 4);
        rows.push_back(frustum);
    }
    // Faces of no fixed count: every triangle of the hull is a face of its own.
    for (int n : {20, 100, 400, 1000})
        rows.push_back({"sphere " + std::to_string(n), Scaled(RandomSpherePoints(n, 5 + n), 100),
                        static_cast<std::size_t>(2 * n - 4)});
    // A flat lens: its first trees overlap and need mending.
    std::vector<Point3> lens = Scaled(RandomSpherePoints(1000, 16838), 100);
    for (Point3& p : lens)
        p.z *= 0.15f;
    rows.push_back({"lens 1000", lens, 1996});
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const int slot = Hull(r.points);
        const std::optional<nets::Solid> solid = nets::FacesOf(Object(slot));
        ASSERT_TRUE(solid);
        EXPECT_EQ(solid->faces.size(), r.faces);
        CheckNet(Object(slot), *solid, nets::Unfold(*solid));
        DropTo(slot - 1);
    }
    // The parts of a cube cut straight, across a corner, and through four edges.
    const std::vector<std::array<Point3, 3>> cuts = {
        {{{0, 0, 1}, {1, 0, 1}, {0, 1, 1}}},
        {{{1.5f, 0, 0}, {0, 1.5f, 0}, {0, 0, 1.5f}}},
        {{{0.5f, 0, 0}, {2, 1.5f, 0}, {0.5f, 0, 2}}},
        {{{0.3f, 0, 0}, {2, 0.7f, 0.4f}, {0.9f, 2, 1.3f}}},
    };
    const int before = scene.objectCount();
    for (const auto& c : cuts) {
        for (int part : CubeParts(c[0], c[1], c[2])) {
            SCOPED_TRACE("cube part");
            ASSERT_NE(part, 0);
            poly::CompleteObject(env, part);
            const std::optional<nets::Solid> solid = nets::FacesOf(Object(part));
            ASSERT_TRUE(solid);
            CheckNet(Object(part), *solid, nets::Unfold(*solid));
        }
        DropTo(before);
    }
}

TEST_F(NetsTest, OverlapsAreFoundAndNeverCalledGood) {
    // A flat lens laid out along a depth-first tree of its faces winds over itself.
    std::vector<Point3> lens = Scaled(RandomSpherePoints(300, 11), 100);
    for (Point3& p : lens)
        p.z *= 0.1f;
    const auto solid = nets::FacesOf(Object(Hull(lens)));
    ASSERT_TRUE(solid);
    std::vector<bool> cut(solid->edges.size(), true), in(solid->faces.size(), false);
    std::function<void(int)> grow = [&](int f) {
        in[static_cast<std::size_t>(f)] = true;
        for (std::size_t e = 0; e < solid->edges.size(); ++e) {
            const nets::SolidEdge& edge = solid->edges[e];
            const int g = edge.faceA == f ? edge.faceB : edge.faceB == f ? edge.faceA : -1;
            if (g < 0 || in[static_cast<std::size_t>(g)]) continue;
            cut[e] = false;
            grow(g);
        }
    };
    grow(0);
    const std::optional<nets::Net> net = nets::LayOut(*solid, cut);
    ASSERT_TRUE(net);
    EXPECT_TRUE(net->whole());
    EXPECT_FALSE(net->good());
    EXPECT_GT(net->overlaps.size(), 0u);
    EXPECT_EQ(static_cast<int>(net->overlaps.size()), BruteOverlaps(net->flat, 1e-6 * 100));
    // Not a spanning tree: one hinge too many, or one too few.
    for (std::size_t e : {std::size_t{0}, solid->edges.size() - 1}) {
        cut[e] = !cut[e];
        EXPECT_FALSE(nets::LayOut(*solid, cut));
        cut[e] = !cut[e];
    }
}

TEST_F(NetsTest, OnlyClosedConvexPolyhedraHaveFaces) {
    std::vector<Point3> points;
    std::vector<std::array<int, 3>> faces;
    LPrism(points, faces);
    EXPECT_FALSE(nets::FacesOf(Object(AddMesh(points, faces))));
    std::vector<std::array<int, 3>> open = kCubeTriangles;
    open.pop_back();
    EXPECT_FALSE(nets::FacesOf(Object(AddMesh(CubeCorners(), open))));
    EXPECT_FALSE(nets::FacesOf(Object(AddPoints(CubeCorners()))));
    EXPECT_FALSE(nets::FacesOf(Object(AddHorizontalPlane(1))));
    EXPECT_FALSE(nets::FacesOf(Object(Round("1", 0, 2))));
    EXPECT_TRUE(nets::FacesOf(Object(AddMesh(CubeCorners(), kCubeTriangles))));
}

// Square centres of a cube net, in the same shape whichever way it is turned or mirrored.
std::vector<std::pair<int, int>> Shape(const nets::Net& net) {
    std::vector<std::pair<double, double>> c;
    for (const auto& f : net.flat) {
        double x = 0, y = 0;
        for (const Point2& p : f) {
            x += p.x / 4;
            y += p.y / 4;
        }
        c.emplace_back(x, y);
    }
    std::vector<std::pair<int, int>> best;
    for (int m = 0; m < 8; ++m) {
        std::vector<std::pair<int, int>> s;
        for (const auto& [x, y] : c) {
            int u = static_cast<int>(std::lround(x - c[0].first));
            int v = static_cast<int>(std::lround(y - c[0].second));
            if (m & 1) std::swap(u, v);
            if (m & 2) u = -u;
            if (m & 4) v = -v;
            s.emplace_back(u, v);
        }
        std::sort(s.begin(), s.end());
        const auto low = s.front();
        for (auto& [u, v] : s) {
            u -= low.first;
            v -= low.second;
        }
        if (best.empty() || s < best) best = s;
    }
    return best;
}

bool Same(const nets::Net& a, const nets::Net& b) {
    if (a.cut != b.cut || a.parent != b.parent || a.piece != b.piece || a.hinge != b.hinge)
        return false;
    for (std::size_t f = 0; f < a.flat.size(); ++f)
        for (std::size_t k = 0; k < a.flat[f].size(); ++k)
            if (Dist(a.flat[f][k], b.flat[f][k]) != 0) return false;
    return true;
}

TEST_F(NetsTest, ClicksReachEveryNetOfTheCube) {
    const std::optional<nets::Solid> cube = nets::FacesOf(Object(Hull(CubeCorners())));
    ASSERT_TRUE(cube);
    ASSERT_EQ(cube->edges.size(), 12u);
    // Every edge unfolding: 5 hinges of 12 that make a spanning tree.
    std::set<std::vector<bool>> trees;
    std::set<std::vector<std::pair<int, int>>> shapes;
    for (int mask = 0; mask < 1 << 12; ++mask) {
        if (__builtin_popcount(mask) != 5) continue;
        std::vector<bool> cut(12);
        for (int e = 0; e < 12; ++e)
            cut[static_cast<std::size_t>(e)] = !(mask >> e & 1);
        if (const auto net = nets::LayOut(*cube, cut)) {
            EXPECT_TRUE(net->good());
            trees.insert(cut);
            shapes.insert(Shape(*net));
        }
    }
    EXPECT_EQ(trees.size(), 384u);
    EXPECT_EQ(shapes.size(), 11u);
    // Breadth-first over the clicks: cut a hinge, then click every edge.
    std::map<std::vector<bool>, nets::Net> seen;
    std::vector<nets::Net> queue{nets::Unfold(*cube)};
    seen.emplace(queue[0].cut, queue[0]);
    std::set<std::vector<std::pair<int, int>>> reached;
    for (std::size_t q = 0; q < queue.size(); ++q) {
        const nets::Net net = queue[q];
        reached.insert(Shape(net));
        for (int h = 0; h < 12; ++h) {
            nets::Net one = net;
            if (net.cut[static_cast<std::size_t>(h)]) {
                EXPECT_EQ(nets::ToggleEdge(*cube, one, h), nets::EdgeToggle::WouldCloseCycle);
                EXPECT_TRUE(Same(one, net));
                continue;
            }
            ASSERT_EQ(nets::ToggleEdge(*cube, one, h), nets::EdgeToggle::Cut);
            EXPECT_FALSE(one.whole());
            EXPECT_EQ(std::count(one.piece.begin(), one.piece.end(), 1) > 0, true);
            for (std::size_t f = 0; f < 6; ++f)
                ASSERT_EQ(Dist(one.flat[f][0], net.flat[f][0]), 0); // nothing moved
            for (int e = 0; e < 12; ++e) {
                nets::Net two = one;
                const nets::EdgeToggle r = nets::ToggleEdge(*cube, two, e);
                const nets::SolidEdge& se = cube->edges[static_cast<std::size_t>(e)];
                const bool across = one.piece[static_cast<std::size_t>(se.faceA)] !=
                                    one.piece[static_cast<std::size_t>(se.faceB)];
                if (!one.cut[static_cast<std::size_t>(e)]) {
                    EXPECT_EQ(r, nets::EdgeToggle::WouldDisconnect);
                } else if (!across) {
                    EXPECT_EQ(r, nets::EdgeToggle::WouldCloseCycle);
                } else {
                    ASSERT_EQ(r, nets::EdgeToggle::Joined);
                    EXPECT_TRUE(two.good());
                    if (seen.emplace(two.cut, two).second) queue.push_back(two);
                    continue;
                }
                EXPECT_TRUE(Same(two, one));
            }
        }
    }
    EXPECT_EQ(seen.size(), 384u);
    EXPECT_EQ(reached, shapes);
}

TEST_F(NetsTest, StraightRoundSolidsDevelop) {
    using K = nets::Development::Kind;
    struct Row {
        std::string generatrix;
        double from, to;
        K kind;
        double width, outer, inner, angle, area;
    };
    const double l = std::sqrt(17.0);
    const std::vector<Row> rows = {
        {"1", 0, 2, K::Cylinder, 2 * kPi, 0, 0, 0, 4 * kPi + 2 * kPi},
        {"3*(1-X/(4))", 0, 4, K::Cone, 0, 5, 0, 6 * kPi / 5, 15 * kPi + 9 * kPi},
        {"3*(1-X/(12))", 0, 4, K::TruncatedCone, 0, 3 * l, 2 * l, 2 * kPi / l,
         5 * kPi * l + 13 * kPi},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.generatrix);
        const auto d = nets::DevelopmentOf(Object(Round(r.generatrix, r.from, r.to)));
        ASSERT_TRUE(d);
        EXPECT_EQ(d->kind, r.kind);
        EXPECT_NEAR(d->width, r.width, 1e-9);
        EXPECT_NEAR(d->sectorOuter, r.outer, 1e-9);
        EXPECT_NEAR(d->sectorInner, r.inner, 1e-9);
        EXPECT_NEAR(d->sectorAngle, r.angle, 1e-9);
        EXPECT_NEAR(d->area, r.area, 1e-9);
        // The discs touch the lateral part without overlapping it.
        const nets::Sheet sheet = nets::SheetOf(*d, {});
        const std::size_t discs = r.kind == K::Cone ? 1 : 2;
        ASSERT_EQ(sheet.faces.size(), 1 + discs);
        const double fine = 1e-3 * d->slant;
        EXPECT_EQ(BruteOverlaps(sheet.faces, fine), 0);
        for (std::size_t k = 1; k <= discs; ++k) {
            double gap = 1e300;
            for (const Point2& p : sheet.faces[k])
                for (const Point2& q : sheet.faces[0])
                    gap = std::min(gap, Dist(p, q));
            EXPECT_LT(gap, fine);
        }
        // Glue tabs stay on the paper outside every part: a seam tab and teeth for the discs.
        const nets::Sheet tabbed = nets::SheetOf(*d, {true, {}});
        int tabs = 0;
        for (const nets::Sheet::Line& line : tabbed.lines) {
            if (line.kind != nets::Sheet::LineKind::Tab) continue;
            ++tabs;
            const Point2 mid{(line.a.x + line.b.x) / 2, (line.a.y + line.b.y) / 2};
            for (const std::vector<Point2>& face : tabbed.faces) {
                bool inside = false; // even-odd: the lateral part of a truncated cone is not convex
                for (std::size_t k = 0; k < face.size(); ++k) {
                    const Point2 a = face[k], b = face[(k + 1) % face.size()];
                    EXPECT_FALSE(Cross(line.a, line.b, a, b));
                    if ((a.y > mid.y) != (b.y > mid.y) &&
                        mid.x < a.x + (mid.y - a.y) * (b.x - a.x) / (b.y - a.y))
                        inside = !inside;
                }
                EXPECT_FALSE(inside);
            }
        }
        EXPECT_GT(tabs, 3 * 6);
        EXPECT_EQ(tabbed.labels.size(), 1 + discs);
        // Rolled up: flat at 0; at 1 the seam closes and each disc lies on the rim it closes,
        // its centre on the solid's axis (Oy, or the cone's own) at the rim's distance.
        const auto flat = nets::RollUp(*d, 0);
        const auto closed = nets::RollUp(*d, 1);
        ASSERT_EQ(closed.size(), flat.size());
        const std::size_t strips = closed.size() - discs;
        for (const auto& polygon : flat)
            for (const geo::Vec3& v : polygon)
                EXPECT_NEAR(v.z, 0, 1e-12);
        const auto near = [&](const geo::Vec3& a, const geo::Vec3& b) {
            return Dist(a, b) < 1e-9 * d->slant;
        };
        EXPECT_TRUE(near(closed[0][0], closed[strips - 1][1]));
        for (std::size_t k = 0; k < discs; ++k) {
            const std::vector<geo::Vec3>& disc = closed[strips + k];
            geo::Vec3 centre;
            for (const geo::Vec3& v : disc)
                centre = centre + v * (1.0 / static_cast<double>(disc.size()));
            const double radius = k == 0 ? d->radius1 : d->radius2;
            const geo::Vec3 normal = geo::cross(disc[1] - disc[0], disc[2] - disc[0]);
            const double unit = std::sqrt(geo::dot(normal, normal));
            for (std::size_t s = 0; s < strips; ++s)
                for (std::size_t c : {k == 0 ? 0u : 2u, k == 0 ? 1u : 3u}) {
                    EXPECT_NEAR(Dist(closed[s][c], centre), radius, 1e-9 * d->slant);
                    EXPECT_NEAR(geo::dot(closed[s][c] - centre, normal) / unit, 0, 1e-9 * d->slant);
                }
        }
    }
    // Curved or turned about the other axis: no development.
    EXPECT_FALSE(nets::DevelopmentOf(Object(Round("sqrt(sqr(1)-sqr(X))", -1, 1))));
    EXPECT_FALSE(nets::DevelopmentOf(Object(Round("X*X", 0, 1))));
    const int turned = Round("1", 0, 2);
    scene.object(turned).param1 = 1;
    EXPECT_FALSE(nets::DevelopmentOf(Object(turned)));
    EXPECT_FALSE(nets::DevelopmentOf(Object(Hull(CubeCorners()))));
}

TEST_F(NetsTest, SheetDrawsEachCutTwiceAndOneTabPerCut) {
    const int slot = Hull(RandomSpherePoints(30, 3));
    const auto solid = nets::FacesOf(Object(slot));
    ASSERT_TRUE(solid);
    const nets::Net net = nets::Unfold(*solid);
    std::vector<std::string> names;
    for (int v = 1; v <= Object(slot).vertexCount; ++v)
        names.push_back("V" + std::to_string(v));
    const nets::Sheet sheet = nets::SheetOf(*solid, net, {true, names});
    std::map<int, int> cuts, folds;
    int tabs = 0;
    for (const nets::Sheet::Line& line : sheet.lines) {
        if (line.kind == nets::Sheet::LineKind::Cut) ++cuts[line.edge];
        if (line.kind == nets::Sheet::LineKind::Fold) ++folds[line.edge];
        if (line.kind == nets::Sheet::LineKind::Tab) ++tabs;
    }
    for (std::size_t e = 0; e < solid->edges.size(); ++e) {
        EXPECT_EQ(cuts[static_cast<int>(e)], net.cut[e] ? 2 : 0);
        EXPECT_EQ(folds[static_cast<int>(e)], net.cut[e] ? 0 : 1);
    }
    EXPECT_EQ(tabs, 3 * static_cast<int>(std::count(net.cut.begin(), net.cut.end(), true)));
    // One name per point of the paper where corners of one vertex meet.
    std::set<std::tuple<int, long, long>> points;
    for (std::size_t f = 0; f < solid->faces.size(); ++f)
        for (std::size_t k = 0; k < net.flat[f].size(); ++k)
            points.insert({solid->faces[f].vertices[k], std::lround(net.flat[f][k].x * 1e6),
                           std::lround(net.flat[f][k].y * 1e6)});
    EXPECT_EQ(sheet.labels.size(), solid->faces.size() + points.size());
    for (const nets::Sheet::Label& label : sheet.labels)
        EXPECT_TRUE(label.at.x >= sheet.low.x && label.at.x <= sheet.high.x &&
                    label.at.y >= sheet.low.y && label.at.y <= sheet.high.y);
}

} // namespace
} // namespace vorn::test
