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

// `q` inside the simple polygon (either winding, by the even-odd rule) further than `margin`
// from its outline.
bool InsideBy(const std::vector<Point2>& poly, Point2 q, double margin) {
    bool in = false;
    for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const Point2 a = poly[i], b = poly[j];
        if ((a.y > q.y) != (b.y > q.y) && q.x < a.x + (q.y - a.y) * (b.x - a.x) / (b.y - a.y))
            in = !in;
    }
    if (!in) return false;
    for (std::size_t i = 0; i < poly.size(); ++i) {
        const Point2 a = poly[i], b = poly[(i + 1) % poly.size()];
        const double len2 = (b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y);
        const double t =
            len2 > 0 ? std::clamp(((q.x - a.x) * (b.x - a.x) + (q.y - a.y) * (b.y - a.y)) / len2,
                                  0.0, 1.0)
                     : 0;
        if (Dist(q, {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)}) <= margin) return false;
    }
    return true;
}

bool InsideOrNear(const std::vector<Point2>& poly, Point2 q, double near) {
    for (std::size_t i = 0; i < poly.size(); ++i) {
        const Point2 a = poly[i], b = poly[(i + 1) % poly.size()];
        const double len2 = (b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y);
        const double t =
            std::clamp(((q.x - a.x) * (b.x - a.x) + (q.y - a.y) * (b.y - a.y)) / len2, 0.0, 1.0);
        if (Dist(q, {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)}) <= near) return true;
    }
    return InsideBy(poly, q, 0);
}

// Paper shared by a tab and another piece: a lattice of points inside the tab, or a corner of
// either, inside the other by more than `margin`.
bool TabMeets(const std::vector<Point2>& tab, const std::vector<Point2>& other, double step,
              double margin) {
    for (const Point2& p : other)
        if (InsideBy(tab, p, margin)) return true;
    for (const Point2& p : tab)
        if (InsideBy(other, p, margin)) return true;
    double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300;
    for (const Point2& p : tab)
        x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y),
        y1 = std::max(y1, p.y);
    for (double x = x0 + step / 2; x < x1; x += step)
        for (double y = y0 + step / 2; y < y1; y += step)
            if (InsideBy(tab, {x, y}, margin) && InsideBy(other, {x, y}, margin)) return true;
    return false;
}

double SegmentDistance(Point2 q, Point2 a, Point2 b) {
    const double len2 = (b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y);
    const double t =
        len2 > 0
            ? std::clamp(((q.x - a.x) * (b.x - a.x) + (q.y - a.y) * (b.y - a.y)) / len2, 0.0, 1.0)
            : 0.0;
    return Dist(q, {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)});
}

// How far a tab reaches from its fold line: the least distance between the fold line (its first
// `along` corners) and its far side (the other corners).
double TabDepth(const nets::Sheet::Tab& tab) {
    const std::vector<Point2> fold(tab.outline.begin(), tab.outline.begin() + tab.along);
    std::vector<Point2> far(tab.outline.begin() + tab.along, tab.outline.end());
    if (far.size() == 1) far.push_back(far[0]);
    double depth = 1e300;
    for (std::size_t i = 0; i + 1 < fold.size(); ++i)
        for (std::size_t j = 0; j + 1 < far.size(); ++j)
            depth = std::min({depth, SegmentDistance(fold[i], far[j], far[j + 1]),
                              SegmentDistance(fold[i + 1], far[j], far[j + 1]),
                              SegmentDistance(far[j], fold[i], fold[i + 1]),
                              SegmentDistance(far[j + 1], fold[i], fold[i + 1])});
    return depth;
}

// Every tab clear of every face and of every other tab.
void CheckTabsOnOwnPaper(const nets::Sheet& sheet, double mmPerUnit) {
    const double margin = 0.01 / mmPerUnit, step = 1 / mmPerUnit;
    for (std::size_t t = 0; t < sheet.tabs.size(); ++t) {
        const std::vector<Point2>& tab = sheet.tabs[t].outline;
        double twice = 0;
        for (std::size_t i = 0; i < tab.size(); ++i)
            twice +=
                tab[i].x * tab[(i + 1) % tab.size()].y - tab[(i + 1) % tab.size()].x * tab[i].y;
        EXPECT_GT(twice, 0) << "counter-clockwise";
        for (std::size_t f = 0; f < sheet.faces.size(); ++f)
            ASSERT_FALSE(TabMeets(tab, sheet.faces[f], step, margin))
                << "tab " << t << " face " << f;
        for (std::size_t u = t + 1; u < sheet.tabs.size(); ++u)
            ASSERT_FALSE(TabMeets(tab, sheet.tabs[u].outline, step, margin))
                << "tabs " << t << " " << u;
    }
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

TEST_F(NetsTest, AnEdgeThatIsNotThereIsNoSuchEdgeAndChangesNothing) {
    const std::optional<nets::Solid> cube = nets::FacesOf(Object(Hull(CubeCorners())));
    ASSERT_TRUE(cube);
    const nets::Net whole = nets::Unfold(*cube);
    nets::Net cut = whole;
    const int hinge =
        static_cast<int>(std::find(whole.cut.begin(), whole.cut.end(), false) - whole.cut.begin());
    ASSERT_EQ(nets::ToggleEdge(*cube, cut, hinge), nets::EdgeToggle::Cut);
    nets::Net foreign = whole; // a net of a solid with fewer edges
    foreign.cut.pop_back();
    for (const nets::Net& net : {whole, cut})
        for (const int edge : {-1, 12, 1000}) {
            nets::Net n = net;
            EXPECT_EQ(nets::ToggleEdge(*cube, n, edge), nets::EdgeToggle::NoSuchEdge) << edge;
            EXPECT_TRUE(Same(n, net)) << edge;
        }
    nets::Net n = foreign;
    EXPECT_EQ(nets::ToggleEdge(*cube, n, 0), nets::EdgeToggle::NoSuchEdge);
    EXPECT_EQ(n.cut, foreign.cut);
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
                    // The root's piece stays exactly where it was; the loose one meets it.
                    for (std::size_t f = 0; f < 6; ++f)
                        for (std::size_t k = 0; k < 4 && one.piece[f] == 0; ++k) {
                            ASSERT_EQ(two.flat[f][k].x, one.flat[f][k].x);
                            ASSERT_EQ(two.flat[f][k].y, one.flat[f][k].y);
                        }
                    const std::optional<nets::Net> fresh = nets::LayOut(*cube, two.cut, two.root);
                    ASSERT_TRUE(fresh);
                    for (std::size_t f = 0; f < 6; ++f)
                        for (std::size_t k = 0; k < 4; ++k)
                            ASSERT_LT(Dist(two.flat[f][k], fresh->flat[f][k]), 1e-12);
                    EXPECT_EQ(two.parent, fresh->parent);
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
    // A sphere of radius 1 at 40 mm a unit: room for a tab on every cut edge.
    const nets::Sheet sheet = nets::SheetOf(*solid, net, {true, names, 40, true});
    std::map<int, int> cuts, folds, tabs;
    int tabLines = 0;
    for (const nets::Sheet::Line& line : sheet.lines) {
        if (line.kind == nets::Sheet::LineKind::Cut) ++cuts[line.edge];
        if (line.kind == nets::Sheet::LineKind::Fold) ++folds[line.edge];
        if (line.kind == nets::Sheet::LineKind::Tab) ++tabLines;
    }
    int tabSides = 0;
    for (const nets::Sheet::Tab& tab : sheet.tabs) {
        ++tabs[tab.edge];
        tabSides += static_cast<int>(tab.outline.size()) - 1;
    }
    // A cut edge with a tab is cut on one copy and folded on the other, where its tab hangs;
    // its tab's other sides are cut. A sphere's net leaves little room at some corners: nearly
    // every cut edge has its tab, the others are cut on both copies.
    int tabbed = 0;
    for (std::size_t e = 0; e < solid->edges.size(); ++e) {
        const int edge = static_cast<int>(e);
        ASSERT_LE(tabs[edge], net.cut[e] ? 1 : 0);
        tabbed += tabs[edge];
        EXPECT_EQ(cuts[edge], net.cut[e] ? 2 - tabs[edge] : 0);
        EXPECT_EQ(folds[edge], net.cut[e] ? tabs[edge] : 1);
    }
    EXPECT_GE(tabbed, 0.9 * static_cast<double>(std::count(net.cut.begin(), net.cut.end(), true)));
    EXPECT_EQ(tabLines, tabSides);
    // One name per point of the paper where corners of one vertex meet, off the tabs.
    std::set<std::tuple<int, long, long>> points;
    for (std::size_t f = 0; f < solid->faces.size(); ++f)
        for (std::size_t k = 0; k < net.flat[f].size(); ++k)
            points.insert({solid->faces[f].vertices[k], std::lround(net.flat[f][k].x * 1e6),
                           std::lround(net.flat[f][k].y * 1e6)});
    std::map<std::string, std::vector<Point2>> marks;
    int vertexNames = 0;
    for (const nets::Sheet::Label& label : sheet.labels) {
        EXPECT_TRUE(label.at.x >= sheet.low.x && label.at.x <= sheet.high.x &&
                    label.at.y >= sheet.low.y && label.at.y <= sheet.high.y);
        if (label.glueMark) marks[label.text].push_back(label.at);
        if (label.faceNumber || label.glueMark) continue;
        ++vertexNames;
        for (const nets::Sheet::Tab& tab : sheet.tabs)
            EXPECT_FALSE(InsideBy(tab.outline, label.at, 0)) << label.text;
    }
    EXPECT_EQ(vertexNames, static_cast<int>(points.size()));
    // Glue marks: one letter per cut edge, on both of its copies, just inside each.
    const std::size_t cutCount =
        static_cast<std::size_t>(std::count(net.cut.begin(), net.cut.end(), true));
    EXPECT_EQ(marks.size(), cutCount);
    for (const auto& [text, at] : marks) {
        ASSERT_EQ(at.size(), 2u) << text;
        int inside = 0;
        for (const Point2& p : at)
            for (const auto& face : net.flat)
                inside += InsideBy(face, p, 0);
        EXPECT_EQ(inside, 2) << text;
    }
}

// Tabs on the solids of a lesson: one per cut edge, at least 5 mm deep when the edges are
// 25 mm long, on paper of their own, and inside the face they are glued to once folded.
TEST_F(NetsTest, GlueTabsStayOnTheirOwnPaperAndInsideTheFaceTheyAreGluedTo) {
    struct Row {
        std::string name;
        std::vector<Point3> points;
    };
    std::vector<Row> rows = {
        {"tetrahedron", {{1, 1, 1}, {1, -1, -1}, {-1, 1, -1}, {-1, -1, 1}}},
        {"cube", CubeCorners(2)},
        {"octahedron", {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}}},
        {"dodecahedron", Dodecahedron()},
        {"icosahedron", Icosahedron()},
    };
    for (int n : {3, 5, 8, 12}) {
        Row prism{"prism " + std::to_string(n), {}}, anti{"antiprism " + std::to_string(n), {}};
        Ring(prism.points, n, 3, 0);
        Ring(prism.points, n, 3, 4);
        Ring(anti.points, n, 3, 0);
        Ring(anti.points, n, 3, 3, kPi / n);
        rows.push_back(prism);
        rows.push_back(anti);
    }
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const int slot = Hull(r.points);
        const std::optional<nets::Solid> solid = nets::FacesOf(Object(slot));
        ASSERT_TRUE(solid);
        const nets::Net net = nets::Unfold(*solid);
        ASSERT_TRUE(net.good());
        double shortest = 1e300;
        for (const nets::SolidEdge& e : solid->edges)
            for (const nets::SolidFace& f : {solid->faces[static_cast<std::size_t>(e.faceA)]})
                for (std::size_t k = 0; k < f.vertices.size(); ++k)
                    if (f.vertices[k] == e.v1)
                        shortest = std::min(
                            shortest, Dist(f.corners[k], f.corners[(k + 1) % f.vertices.size()]));
        const auto corner = [&](int f, int v) {
            const std::vector<int>& vs = solid->faces[static_cast<std::size_t>(f)].vertices;
            return static_cast<std::size_t>(std::find(vs.begin(), vs.end(), v) - vs.begin());
        };
        for (const double mm : {25 / shortest, 10.0}) {
            SCOPED_TRACE(mm);
            const nets::Sheet sheet = nets::SheetOf(*solid, net, {true, {}, mm, false});
            CheckTabsOnOwnPaper(sheet, mm);
            std::vector<int> perEdge(solid->edges.size(), 0);
            for (const nets::Sheet::Tab& tab : sheet.tabs) {
                ASSERT_GE(tab.edge, 0);
                ++perEdge[static_cast<std::size_t>(tab.edge)];
                EXPECT_NEAR(TabDepth(tab), tab.depth, 1e-9 * tab.depth);
                if (mm > 10) {
                    EXPECT_GE(tab.depth * mm, nets::kMinTabDepthMm * (1 - 1e-9));
                }
                // The face it is glued to, laid beside the edge from the vertices' distances.
                const nets::SolidEdge& se = solid->edges[static_cast<std::size_t>(tab.edge)];
                const int f = tab.face, g = f == se.faceA ? se.faceB : se.faceA;
                const nets::SolidFace& ff = solid->faces[static_cast<std::size_t>(f)];
                const Point2 a = net.flat[static_cast<std::size_t>(f)][corner(f, se.v1)];
                const Point2 b = net.flat[static_cast<std::size_t>(f)][corner(f, se.v2)];
                const geo::Vec3 a3 = ff.corners[corner(f, se.v1)],
                                b3 = ff.corners[corner(f, se.v2)];
                const double l = Dist(a, b);
                const Point2 t{(b.x - a.x) / l, (b.y - a.y) / l};
                Point2 away{-t.y, t.x};
                const Point2 mid = net.flat[static_cast<std::size_t>(f)]
                                           [(corner(f, se.v2) + 1) % ff.vertices.size()];
                if ((mid.x - a.x) * away.x + (mid.y - a.y) * away.y > 0) away = {t.y, -t.x};
                std::vector<Point2> glued;
                for (const geo::Vec3& x : solid->faces[static_cast<std::size_t>(g)].corners) {
                    const double da = Dist(x, a3), db = Dist(x, b3);
                    const double u = (da * da - db * db + l * l) / (2 * l);
                    const double w = std::sqrt(std::max(0.0, da * da - u * u));
                    glued.push_back({a.x + u * t.x + w * away.x, a.y + u * t.y + w * away.y});
                }
                for (const Point2& q : tab.outline) {
                    double out = 0;
                    for (std::size_t k = 0; k < glued.size(); ++k)
                        out = std::max(
                            out,
                            -((glued[(k + 1) % glued.size()].x - glued[k].x) * (q.y - glued[k].y) -
                              (glued[(k + 1) % glued.size()].y - glued[k].y) * (q.x - glued[k].x)) /
                                Dist(glued[k], glued[(k + 1) % glued.size()]));
                    EXPECT_TRUE(InsideOrNear(glued, q, 1e-6 * shortest)) << out;
                }
            }
            for (std::size_t e = 0; e < solid->edges.size(); ++e)
                if (mm > 10 || !net.cut[e]) {
                    EXPECT_EQ(perEdge[e], net.cut[e] ? 1 : 0) << e;
                }
        }
        DropTo(slot - 1);
    }
}

// The developments' teeth and seam tab: at least 5 mm deep at every scale, on paper of their own
// (none reaches into a base disc or another tooth), along every rim.
TEST_F(NetsTest, RoundDevelopmentsHaveTeethFiveMillimetresDeep) {
    struct Row {
        std::string generatrix;
        double from, to;
        std::size_t rims;
    };
    const std::vector<Row> rows = {
        {"1.5", 0, 3, 2}, {"3*(1-X/(4))", 0, 4, 1}, {"3*(1-X/(12))", 0, 4, 2}, {"0.8", 0, 6, 2}};
    for (const Row& r : rows) {
        const auto d = nets::DevelopmentOf(Object(Round(r.generatrix, r.from, r.to)));
        ASSERT_TRUE(d);
        for (const double mm : {8.0, 10.0, 30.0, 100.0}) {
            SCOPED_TRACE(r.generatrix + " at " + std::to_string(mm));
            const nets::Sheet sheet = nets::SheetOf(*d, {true, {}, mm, true});
            CheckTabsOnOwnPaper(sheet, mm);
            int seam = 0;
            for (const nets::Sheet::Tab& tab : sheet.tabs) {
                EXPECT_GE(TabDepth(tab) * mm, nets::kMinTabDepthMm * (1 - 1e-9));
                EXPECT_GE(TabDepth(tab), tab.depth * (1 - 1e-9));
                // The seam: the cylinder's side x = 0, a cone's side on a ray from the apex.
                const Point2 a = tab.outline[0], b = tab.outline[1];
                const bool onSeam =
                    d->kind == nets::Development::Kind::Cylinder
                        ? std::fabs(a.x) + std::fabs(b.x) < 1e-9
                        : std::fabs(a.x * b.y - a.y * b.x) < 1e-9 * d->slant * d->slant;
                seam += tab.along == 2 && onSeam;
            }
            EXPECT_EQ(seam, 1);
            const int teeth = static_cast<int>(sheet.tabs.size()) - seam;
            // Teeth on every rim, but where the discs are too small for teeth that deep.
            if (std::min(d->radius1, r.rims > 1 ? d->radius2 : d->radius1) * mm >= 10) {
                EXPECT_GE(teeth, 3 * static_cast<int>(r.rims));
            }
            // The seam's tab, and its glue mark on both sides of the seam.
            int marks = 0;
            for (const nets::Sheet::Label& l : sheet.labels)
                marks += l.glueMark && l.text == "a";
            EXPECT_EQ(marks, 2);
            int folds = 0;
            for (const nets::Sheet::Line& l : sheet.lines)
                folds += l.kind == nets::Sheet::LineKind::Fold;
            EXPECT_GE(folds, teeth + 1);
        }
    }
}

// Fitting to a page takes the largest scale, to a tenth of a millimetre, at which the sheet
// turned the best way fits the printable area; a brute search over the turns finds no larger.
TEST_F(NetsTest, FitToPaperTakesTheLargestScaleAndTheBestTurn) {
    const auto dodeca = nets::FacesOf(Object(Hull(Dodecahedron())));
    ASSERT_TRUE(dodeca);
    const nets::Net dodecaNet = nets::Unfold(*dodeca);
    std::vector<Point3> ring;
    Ring(ring, 20, 3, 0);
    Ring(ring, 20, 3, 1);
    const auto prism = nets::FacesOf(Object(Hull(ring)));
    ASSERT_TRUE(prism);
    const nets::Net prismNet = nets::Unfold(*prism);
    const auto cylinder = nets::DevelopmentOf(Object(Round("1.5", 0, 3)));
    ASSERT_TRUE(cylinder);
    const std::vector<std::pair<std::string, std::function<nets::Sheet(double)>>> sheets = {
        {"dodecahedron",
         [&](double mm) {
             return nets::SheetOf(*dodeca, dodecaNet, {true, {}, mm, true});
         }},
        {"prism 20",
         [&](double mm) {
             return nets::SheetOf(*prism, prismNet, {true, {}, mm, false});
         }},
        {"cylinder",
         [&](double mm) {
             return nets::SheetOf(*cylinder, {true, {}, mm, false});
         }},
    };
    for (const auto& [name, sheetAt] : sheets)
        for (const bool landscape : {false, true})
            for (const nets::PaperFormat format : {nets::PaperFormat::A4, nets::PaperFormat::A3}) {
                SCOPED_TRACE(name + (landscape ? " landscape" : " portrait"));
                const nets::Paper paper = nets::PaperOf(format, landscape);
                EXPECT_EQ(paper.width < paper.height, !landscape);
                EXPECT_EQ(std::min(paper.width, paper.height),
                          format == nets::PaperFormat::A4 ? 210 : 297);
                const nets::PrintPlan plan = nets::FitToPaper(sheetAt, paper, 1, 500);
                ASSERT_EQ(plan.pages.size(), 1u);
                EXPECT_NEAR(plan.mmPerUnit * 10, std::round(plan.mmPerUnit * 10), 1e-9);
                EXPECT_LE(plan.width, paper.width - 20 + 1e-9);
                EXPECT_LE(plan.height, paper.height - 20 + 1e-9);
                // The plan's sheet is the sheet at that scale, turned.
                const nets::Sheet own = sheetAt(plan.mmPerUnit);
                ASSERT_EQ(own.faces.size(), plan.sheet.faces.size());
                const nets::Sheet back = nets::Turned(plan.sheet, -plan.angle);
                EXPECT_LT(Dist(back.faces[0][0], own.faces[0][0]), 1e-9);
                double brute = 0;
                for (int i = 0; i < 1800; ++i) {
                    const nets::Sheet turned = nets::Turned(own, kPi * i / 1800);
                    brute = std::max(
                        brute, std::min((paper.width - 20) / (turned.high.x - turned.low.x),
                                        (paper.height - 20) / (turned.high.y - turned.low.y)));
                }
                EXPECT_LE(plan.mmPerUnit, brute * (1 + 1e-4));
                // A tenth of a millimetre more fits at no turn (its tabs sized for it).
                const nets::Sheet larger = sheetAt(plan.mmPerUnit + 0.1);
                double more = 0;
                for (int i = 0; i < 1800; ++i) {
                    const nets::Sheet turned = nets::Turned(larger, kPi * i / 1800);
                    more = std::max(more,
                                    std::min((paper.width - 20) / (turned.high.x - turned.low.x),
                                             (paper.height - 20) / (turned.high.y - turned.low.y)));
                }
                EXPECT_LT(more, plan.mmPerUnit + 0.1);
                // Centred on its page.
                EXPECT_NEAR(plan.pages[0].origin.x, (plan.width - (paper.width - 20)) / 2, 1e-9);
                EXPECT_NEAR(plan.pages[0].origin.y, (plan.height - (paper.height - 20)) / 2, 1e-9);
            }
}

// A net larger than a page: pages overlapping by 10 mm cover it, and wherever a seam runs
// through a face or a tab an alignment cross lies inside it within the overlap, so both pages
// show it.
TEST_F(NetsTest, LargeNetsAreTiledWithOverlapsAndMarksInEveryCutFace) {
    const auto cylinder = nets::DevelopmentOf(Object(Round("1.5", 0, 3)));
    const auto cone = nets::DevelopmentOf(Object(Round("3*(1-X/(12))", 0, 4)));
    const auto dodeca = nets::FacesOf(Object(Hull(Dodecahedron())));
    ASSERT_TRUE(cylinder && cone && dodeca);
    const nets::Net dodecaNet = nets::Unfold(*dodeca);
    struct Case {
        std::string name;
        std::function<nets::Sheet(double)> sheetAt;
        double mm;
        bool landscape;
    };
    const std::vector<Case> cases = {
        {"cylinder",
         [&](double mm) {
             return nets::SheetOf(*cylinder, {true, {}, mm, false});
         },
         30, false},
        {"truncated cone",
         [&](double mm) {
             return nets::SheetOf(*cone, {true, {}, mm, false});
         },
         25, true},
        {"dodecahedron",
         [&](double mm) {
             return nets::SheetOf(*dodeca, dodecaNet, {true, {}, mm, true});
         },
         45, false},
        {"small dodecahedron",
         [&](double mm) {
             return nets::SheetOf(*dodeca, dodecaNet, {false, {}, mm, false});
         },
         10, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const nets::Paper paper = nets::PaperOf(nets::PaperFormat::A4, c.landscape);
        const nets::PrintPlan plan = nets::PlanPages(c.sheetAt, c.mm, paper);
        const double aw = paper.width - 20, ah = paper.height - 20;
        ASSERT_EQ(plan.pages.size(), static_cast<std::size_t>(plan.rows * plan.columns));
        EXPECT_EQ(plan.columns, plan.width <= aw
                                    ? 1
                                    : static_cast<int>(std::ceil((plan.width - 10) / (aw - 10))));
        EXPECT_EQ(plan.rows, plan.height <= ah
                                 ? 1
                                 : static_cast<int>(std::ceil((plan.height - 10) / (ah - 10))));
        EXPECT_EQ(plan.pages.size() > 1, c.name != "small dodecahedron");
        const auto& first = plan.pages.front();
        const auto& last = plan.pages.back();
        EXPECT_LE(first.origin.x, 1e-9);
        EXPECT_LE(first.origin.y, 1e-9);
        EXPECT_GE(last.origin.x + aw, plan.width - 1e-9);
        EXPECT_GE(last.origin.y + ah, plan.height - 1e-9);
        std::vector<std::vector<Point2>> pieces = plan.sheet.faces;
        for (const nets::Sheet::Tab& t : plan.sheet.tabs)
            pieces.push_back(t.outline);
        for (auto& p : pieces)
            for (Point2& q : p)
                q = plan.toMm(q);
        for (const auto& page : plan.pages) {
            if (page.column + 1 < plan.columns) {
                const auto& right =
                    plan.pages[static_cast<std::size_t>(page.row * plan.columns + page.column + 1)];
                EXPECT_NEAR(page.origin.x + aw - right.origin.x, 10, 1e-9);
                EXPECT_EQ(page.origin.y, right.origin.y);
            }
            if (page.row + 1 < plan.rows) {
                const auto& below = plan.pages[static_cast<std::size_t>(
                    (page.row + 1) * plan.columns + page.column)];
                EXPECT_NEAR(page.origin.y + ah - below.origin.y, 10, 1e-9);
            }
        }
        // Seams: the overlaps' middle lines.
        for (int axis = 0; axis < 2; ++axis) {
            const int count = axis == 0 ? plan.columns : plan.rows;
            for (int k = 1; k < count; ++k) {
                const double lo =
                    axis == 0 ? plan.pages[static_cast<std::size_t>(k)].origin.x
                              : plan.pages[static_cast<std::size_t>(k * plan.columns)].origin.y;
                const double seam = lo + 5;
                for (std::size_t p = 0; p < pieces.size(); ++p) {
                    bool crossed = false;
                    for (std::size_t i = 0; i < pieces[p].size(); ++i) {
                        const Point2 a = pieces[p][i], b = pieces[p][(i + 1) % pieces[p].size()];
                        const double ua = axis == 0 ? a.x : a.y, ub = axis == 0 ? b.x : b.y;
                        crossed = crossed || (ua - seam) * (ub - seam) < 0;
                    }
                    if (!crossed) continue;
                    const bool marked =
                        std::any_of(plan.marks.begin(), plan.marks.end(), [&](Point2 m) {
                            const double u = axis == 0 ? m.x : m.y;
                            return u > lo && u < lo + 10 && InsideBy(pieces[p], m, 0);
                        });
                    EXPECT_TRUE(marked)
                        << "piece " << p << " across seam " << k << " of axis " << axis;
                }
            }
        }
        if (plan.pages.size() == 1) {
            EXPECT_TRUE(plan.marks.empty());
        }
    }
}

} // namespace
} // namespace vorn::test
