// Polyhedron metrics: triangle areas, closedness by vertical test lines, volume by columns.
#include "polyhedra/metrics.h"

#include "lang/message_ids.h"
#include "polyhedra/detail.h"
#include "polyhedra/formation.h"

#include "geometry/polygon.h"
#include "geometry/primitives.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace vorn::poly {

using core::Face;
using core::SceneObject;
using detail::FaceCount;
using detail::VertexAt;
using detail::VertexCount;

namespace {

constexpr int kUnknown =
    2; // role of a face not yet classified; else +1 upper, -1 lower, 0 vertical

geo::PointList Triangle(const SceneObject& o, const Face& f, double zShift) {
    geo::PointList t;
    for (int v : {f.vertex1, f.vertex2, f.vertex3}) {
        geo::Vec3 p = VertexAt(o, v);
        p.z += zShift;
        t.push(p);
    }
    return t;
}

struct Crossing {
    int face;
    double z;
};

// Outcome of one vertical test line through (x, y).
enum class Line { Usable, Abandoned };

Line CrossFaces(const SceneObject& o, const std::vector<geo::PointList>& flat, double x, double y,
                std::vector<Crossing>& crossings) {
    crossings.clear();
    for (int g = 1; g <= FaceCount(o); ++g) {
        const geo::PolygonTest t = geo::PointInPolygon2D(flat[static_cast<std::size_t>(g)], x, y);
        // A line through an edge would count the faces meeting there ambiguously.
        if (t.onEdge) return Line::Abandoned;
        if (!t.inside) continue;
        const Face& face = o.face(g);
        const geo::LinePlaneHit hit =
            geo::LinePlaneIntersection({x, y, 1}, {x, y, 2}, {face.a, face.b, face.c, face.d});
        if (hit.ok) crossings.push_back({g, hit.point.z});
    }
    return Line::Usable;
}

enum class Classified { Closed, Open, NoLine };

// Whether a face has three corners and no side much shorter than its height over it: the
// smallest height is at least a twentieth of the longest side.
bool WellShaped(const SceneObject& o, const Face& face) {
    if (face.vertex1 == face.vertex2 || face.vertex2 == face.vertex3 ||
        face.vertex1 == face.vertex3)
        return false;
    const geo::Vec3 a = VertexAt(o, face.vertex1), b = VertexAt(o, face.vertex2),
                    c = VertexAt(o, face.vertex3);
    const geo::Vec3 n = geo::cross(b - a, c - a);
    const double twiceArea = std::sqrt(geo::dot(n, n));
    const double longest =
        std::max({geo::dot(b - a, b - a), geo::dot(c - b, c - b), geo::dot(a - c, a - c)});
    return longest > 0 && twiceArea / longest >= 0.05;
}

// Classifies face f and every face its first usable test line crosses; Open when the line meets
// the surface an odd number of times, NoLine when no line through the face could be used.
Classified ClassifyByTestLine(const SceneObject& o, const std::vector<geo::PointList>& flat, int f,
                              std::vector<int>& role) {
    const geo::PointList& tri = flat[static_cast<std::size_t>(f)];
    double minX = tri[1].x, maxX = minX, minY = tri[1].y, maxY = minY;
    for (int k = 2; k <= 3; ++k) {
        minX = std::min(minX, tri[k].x);
        maxX = std::max(maxX, tri[k].x);
        minY = std::min(minY, tri[k].y);
        maxY = std::max(maxY, tri[k].y);
    }
    // The central fifth of the bounding box, scanned on a 99 x 99 grid.
    const double cx = (minX + maxX) / 2, hx = (maxX - minX) / 2;
    const double cy = (minY + maxY) / 2, hy = (maxY - minY) / 2;
    const double x0 = cx - hx / 5, y0 = cy - hy / 5;
    const double sx = (2 * hx / 5) / 100, sy = (2 * hy / 5) / 100;
    std::vector<Crossing> crossings;
    // Some: a line was used, and the surface is closed along it or not.
    auto tryLine = [&](double x, double y) -> std::optional<Classified> {
        const geo::PolygonTest own = geo::PointInPolygon2D(tri, x, y);
        if (!own.inside || own.onEdge) return std::nullopt;
        if (CrossFaces(o, flat, x, y, crossings) == Line::Abandoned) return std::nullopt;
        if (crossings.size() % 2 == 1) return Classified::Open;
        std::stable_sort(crossings.begin(), crossings.end(),
                         [](const Crossing& a, const Crossing& b) { return a.z > b.z; });
        for (std::size_t c = 0; c < crossings.size(); ++c)
            role[static_cast<std::size_t>(crossings[c].face)] = c % 2 == 0 ? 1 : -1;
        return Classified::Closed;
    };
    for (int k = 1; k <= 99; ++k)
        for (int l = 1; l <= 99; ++l)
            if (const auto closed = tryLine(x0 + k * sx, y0 + l * sy)) return *closed;
    // A steep face seen from above is a sliver, which the central fifth of its box may miss
    // (dense points on a sphere give such faces near the equator): lines through points inside
    // the triangle itself.
    constexpr int kSteps = 24;
    for (int i = 1; i < kSteps; ++i)
        for (int j = 1; i + j < kSteps; ++j) {
            const double u = double(i) / kSteps, v = double(j) / kSteps, w = 1 - u - v;
            const double x = u * tri[1].x + v * tri[2].x + w * tri[3].x;
            const double y = u * tri[1].y + v * tri[2].y + w * tri[3].y;
            if (const auto closed = tryLine(x, y)) return *closed;
        }
    return Classified::NoLine;
}

// Vertex numbers with every later copy of a point mapped to its first copy (within kEpsEdge in
// each coordinate), so faces glued through copies still share their edges.
std::vector<int> FirstCopies(const SceneObject& o) {
    const int n = VertexCount(o);
    std::vector<int> first(static_cast<std::size_t>(n) + 1);
    for (int m = 1; m <= n; ++m) {
        first[static_cast<std::size_t>(m)] = m;
        const core::Vec3f& p = o.vertex(m);
        for (int k = 1; k < m; ++k) {
            const core::Vec3f& q = o.vertex(k);
            if (first[static_cast<std::size_t>(k)] == k && geo::IsNear(p.x, q.x, geo::kEpsEdge) &&
                geo::IsNear(p.y, q.y, geo::kEpsEdge) && geo::IsNear(p.z, q.z, geo::kEpsEdge)) {
                first[static_cast<std::size_t>(m)] = k;
                break;
            }
        }
    }
    return first;
}

// Whether every edge is shared by an even number of faces once edges are split at the vertices
// lying inside them. Vertical test lines never meet a vertical face, so a hole there shows only
// in the edges around it.
bool EdgesPairUp(const SceneObject& o) {
    const std::vector<int> first = FirstCopies(o);
    std::vector<std::pair<int, int>> pieces;
    std::vector<std::pair<double, int>> inside; // position along the edge, vertex
    for (int f = 1; f <= FaceCount(o); ++f) {
        const Face& face = o.face(f);
        const int v[3] = {first[static_cast<std::size_t>(face.vertex1)],
                          first[static_cast<std::size_t>(face.vertex2)],
                          first[static_cast<std::size_t>(face.vertex3)]};
        for (int k = 0; k < 3; ++k) {
            const int a = v[k], b = v[(k + 1) % 3];
            if (a == b) continue;
            const geo::Vec3 pa = VertexAt(o, a), d = VertexAt(o, b) - pa;
            const double length = std::sqrt(geo::dot(d, d));
            inside.clear();
            for (int m = 1; m <= VertexCount(o); ++m) {
                if (first[static_cast<std::size_t>(m)] != m || m == a || m == b) continue;
                const geo::Vec3 r = VertexAt(o, m) - pa;
                const double along = geo::dot(r, d) / length;
                if (along <= geo::kEpsEdge || along >= length - geo::kEpsEdge) continue;
                const geo::Vec3 off = r - d * (along / length);
                if (std::sqrt(geo::dot(off, off)) < geo::kEpsPlane) inside.push_back({along, m});
            }
            std::sort(inside.begin(), inside.end());
            int from = a;
            for (const auto& [along, m] : inside) {
                pieces.push_back(std::minmax(from, m));
                from = m;
            }
            pieces.push_back(std::minmax(from, b));
        }
    }
    std::sort(pieces.begin(), pieces.end());
    for (std::size_t i = 0; i < pieces.size();) {
        std::size_t j = i;
        while (j < pieces.size() && pieces[j] == pieces[i])
            ++j;
        if ((j - i) % 2 == 1) return false;
        i = j;
    }
    return true;
}

} // namespace

bool CompleteObject(core::Env& env, int slot) {
    SceneObject& o = env.scene.object(slot);
    if (o.type != core::ObjectType::Polyhedron) return true;
    if (!detail::FacesAreValid(o)) return false;
    const int faces = FaceCount(o);
    const int n = VertexCount(o);

    // Lift every vertex to at least z = 1 so no column is cut by z = 0; the shift cancels in
    // the signed sum of columns.
    double zMin = 0;
    for (int i = 1; i <= n; ++i)
        zMin = i == 1 ? double(o.vertex(i).z) : std::min(zMin, double(o.vertex(i).z));
    const double zShift = 1 - zMin;
    std::vector<double> column(static_cast<std::size_t>(faces) + 1, 0);
    std::vector<geo::PointList> flat(static_cast<std::size_t>(faces) + 1);
    for (int f = 1; f <= faces; ++f) {
        const Face& face = o.face(f);
        const geo::PointList lifted = Triangle(o, face, zShift);
        o.face(f).area = static_cast<float>(std::fabs(geo::PolygonArea3D(lifted)));
        column[static_cast<std::size_t>(f)] = std::fabs(geo::PolygonColumnVolume(lifted));
        flat[static_cast<std::size_t>(f)] = Triangle(o, face, 0);
    }
    o.volume = 0;
    std::vector<int> role(static_cast<std::size_t>(faces) + 1, kUnknown);

    detail::Progress progress(
        env.host,
        env.messages.format(lang::msg::kComputingVolume, {core::DisplayName(env.scene, slot)}),
        faces, 100);
    for (int f = 1; f <= faces; ++f) {
        progress.step(f);
        int& r = role[static_cast<std::size_t>(f)];
        if (std::fabs(o.face(f).c) < geo::kEpsPlane) {
            r = 0;
        } else if (r == kUnknown) {
            const Classified c = ClassifyByTestLine(o, flat, f, role);
            if (c == Classified::Open) return false;
            // A well-shaped triangle seen edge-on from above (its shadow has no inside point a
            // line could use) has no column; whether the surface is closed there the edges
            // tell. A face squashed in space stays a fault: a distorted solid, not a steep side.
            if (c == Classified::NoLine && !WellShaped(o, o.face(f))) return false;
            if (c == Classified::NoLine) r = 0;
        }
    }
    if (!EdgesPairUp(o)) return false;
    long double volume = 0;
    for (int f = 1; f <= faces; ++f) {
        const int r = role[static_cast<std::size_t>(f)];
        if (r != kUnknown) volume += r * column[static_cast<std::size_t>(f)];
    }
    o.volume = static_cast<double>(volume);
    progress.end();
    MarkFaceEdges(env, slot);
    return true;
}

double SurfaceArea(const SceneObject& o) {
    long double sum = 0;
    for (int f = 1; f <= FaceCount(o); ++f)
        sum += o.face(f).area;
    return static_cast<double>(sum);
}

} // namespace vorn::poly
