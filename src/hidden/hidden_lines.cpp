// Hidden lines: every drawn line is clipped against the projections of the opaque triangles in
// front of it; the parameter intervals where it runs behind one are hidden.
#include "hidden/hidden_lines.h"

#include "core/object_view.h"
#include "geometry/angle_tables.h"
#include "geometry/tolerances.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>
#include <unordered_set>

namespace vorn::hidden {

namespace {

using core::ObjectType;
using core::SceneObject;

// Pieces shorter than this share of the scene's size are slivers left by the tolerances at a
// line's end on a face; they go to their neighbours. A thousandth is under a pixel at the sizes
// the picture is drawn.
constexpr double kSliver = 1e-3;
// A piece in fractions of its line is never taken for a sliver beyond this.
constexpr double kMaxSliverFraction = 0.01;

struct ViewPoint {
    double u = 0, v = 0, z = 0; // picture plane and depth, growing away from the viewer
};

struct Triangle {
    double minU, maxU, minV, maxV, minZ;
    double u[3], v[3];
    double edgeU[3], edgeV[3];  // unit directions of the edges, counter-clockwise
    double a = 0, b = 0, c = 0; // depth of the face plane: a u + b v + c
};

bool UsableScale(float s) {
    return std::isfinite(s) && s > 0;
}

ViewPoint Project(const pic::ViewState& view, const core::Vec3f& p) {
    const pic::Projected q = pic::ProjectPoint(view, p.x, p.y, p.z);
    return {q.px, q.py, q.depth};
}

bool ValidFace(const SceneObject& o, const core::Face& f) {
    for (const int v : {f.vertex1, f.vertex2, f.vertex3})
        if (v < 1 || v > o.vertexCount) return false;
    return true;
}

bool Opaque(const SceneObject& o) {
    return o.visible != 0 && (o.type == ObjectType::Polyhedron || o.type == ObjectType::Surface ||
                              o.type == ObjectType::RevolutionSurface);
}

// Clips lo..hi to where g0 + t (g1 - g0) >= 0; false when nothing is left.
inline bool Clip(double g0, double g1, double& lo, double& hi) {
    if (g0 < 0 && g1 < 0) return false;
    if (g0 >= 0 && g1 >= 0) return lo < hi;
    const double t = g0 / (g0 - g1);
    if (g0 < 0)
        lo = std::max(lo, t);
    else
        hi = std::min(hi, t);
    return lo < hi;
}

// The axis the view looks along (1..3), whose line the picture leaves out; 0 for none.
int DegenerateAxis(const SceneObject& axes, const pic::ViewState& view) {
    if (axes.vertexCount < 1) return 0;
    const ViewPoint o = Project(view, axes.vertex(1));
    for (int k = 1; k <= 3 && k + 1 <= axes.vertexCount; ++k) {
        const ViewPoint e = Project(view, axes.vertex(k + 1));
        const double du = e.u - o.u, dv = e.v - o.v, dz = e.z - o.z;
        const double len = std::sqrt(du * du + dv * dv + dz * dz);
        const double q = len < geo::kEpsCoord ? 0.0 : -dz / len;
        if (std::fabs(std::fabs(q) - 1) < 0.0001) return k;
    }
    return 0;
}

struct Segment {
    int slot, vertex1, vertex2;
    LineKind kind = LineKind::Edge;
};

// Every edge of the object's faces, each once: the lines of the mesh style.
void MeshLines(const core::Scene& scene, const core::Settings& settings, const pic::ViewState& view,
               int slot, std::vector<Segment>& lines) {
    const SceneObject& o = scene.object(slot);
    const bool polyhedron = o.type == ObjectType::Polyhedron;
    const int skipFace = o.type == ObjectType::Axes ? DegenerateAxis(o, view) : 0;
    const core::EdgeFlags& edges = scene.edgeVisibility(slot);
    const int faces = core::UsableFaceCount(o);
    std::unordered_set<int> seen;
    for (int f = 1; f <= faces; ++f) {
        if (f == skipFace) continue;
        const core::Face& face = o.face(f);
        if (!ValidFace(o, face)) continue;
        const int vi[4] = {face.vertex1, face.vertex2, face.vertex3, face.vertex1};
        for (std::size_t e = 0; e < 3; ++e) {
            if (settings.DrawContur && polyhedron && edges[static_cast<std::size_t>(f - 1)][e] == 0)
                continue;
            const int a = vi[e], b = vi[e + 1];
            if (a == b) continue;
            if (!seen.insert(std::min(a, b) * (core::kMaxVertices + 1) + std::max(a, b)).second)
                continue;
            lines.push_back({slot, a, b});
        }
    }
}

// Vertices nearer than this share of the mesh's size are one point: a ring of a solid of
// revolution shrunk to a point on its axis, the two ends of a closed generatrix.
constexpr double kWeld = 1e-6;
// A triangle whose doubled area is below this share of the size squared has no facing.
constexpr double kFlat = 1e-10;

bool Finite(const geo::Vec3& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// The vertices of a mesh, those at one point numbered alike, and the weld distance; a vertex
// that is not a number stays alone.
struct Welded {
    std::vector<geo::Vec3> points; // 1-based like the record
    std::vector<int> id;
    double eps = 0, size = 0;
};

Welded Weld(const SceneObject& o) {
    Welded w;
    const int n = o.vertexCount;
    w.points.resize(static_cast<std::size_t>(n) + 1);
    w.id.resize(static_cast<std::size_t>(n) + 1);
    geo::Vec3 lo(HUGE_VAL, HUGE_VAL, HUGE_VAL), hi(-HUGE_VAL, -HUGE_VAL, -HUGE_VAL);
    std::vector<int> order;
    for (int i = 1; i <= n; ++i) {
        const geo::Vec3 p = core::VertexAt(o, i);
        w.points[static_cast<std::size_t>(i)] = p;
        w.id[static_cast<std::size_t>(i)] = i;
        if (!Finite(p)) continue;
        order.push_back(i);
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    if (order.empty()) return w;
    const geo::Vec3 span = hi - lo;
    w.size = std::sqrt(geo::dot(span, span));
    w.eps = kWeld * w.size;
    const auto at = [&](int i) -> const geo::Vec3& {
        return w.points[static_cast<std::size_t>(i)];
    };
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return at(a).x != at(b).x ? at(a).x < at(b).x : a < b; });
    for (std::size_t k = 1; k < order.size(); ++k) {
        const geo::Vec3& p = at(order[k]);
        for (std::size_t j = k; j-- > 0 && p.x - at(order[j]).x <= w.eps;) {
            const geo::Vec3& q = at(order[j]);
            if (std::fabs(p.y - q.y) <= w.eps && std::fabs(p.z - q.z) <= w.eps) {
                w.id[static_cast<std::size_t>(order[k])] = w.id[static_cast<std::size_t>(order[j])];
                break;
            }
        }
    }
    return w;
}

// The grid lines of a surface z = f(x, y): its nodes lie on a regular grid in x and y (whose
// spacing is the shortest step along a row or column of the mesh), counted from the smallest
// x and y the mesh reaches. A mesh edge along a column or a row gets the column's or row's
// number, any other edge -1.
class SurfaceGrid {
  public:
    SurfaceGrid(const Welded& w, const std::vector<std::array<int, 3>>& triangles) {
        m_eps = w.eps;
        m_x0 = m_y0 = HUGE_VAL;
        for (const auto& t : triangles)
            for (int e = 0; e < 3; ++e) {
                const geo::Vec3& a = w.points[static_cast<std::size_t>(t[e])];
                const geo::Vec3& b = w.points[static_cast<std::size_t>(t[(e + 1) % 3])];
                const double dx = std::fabs(b.x - a.x), dy = std::fabs(b.y - a.y);
                if (dy <= m_eps && dx > m_eps) m_dx = std::min(m_dx, dx);
                if (dx <= m_eps && dy > m_eps) m_dy = std::min(m_dy, dy);
                m_x0 = std::min(m_x0, a.x), m_y0 = std::min(m_y0, a.y);
            }
    }

    int line(const geo::Vec3& a, const geo::Vec3& b) const {
        const double dx = std::fabs(b.x - a.x), dy = std::fabs(b.y - a.y);
        if (dx <= m_eps && dy > m_eps && std::isfinite(m_dx))
            return static_cast<int>(std::lround((a.x - m_x0) / m_dx));
        if (dy <= m_eps && dx > m_eps && std::isfinite(m_dy))
            return static_cast<int>(std::lround((a.y - m_y0) / m_dy));
        return -1;
    }

  private:
    double m_eps = 0, m_x0 = 0, m_y0 = 0, m_dx = HUGE_VAL, m_dy = HUGE_VAL;
};

// What the outline style needs of the view: the direction toward the viewer, and the width in
// the picture below which a face is seen edge-on.
struct Sight {
    const pic::ViewState& view;
    geo::Vec3 toward;
    double tolerance;
};

// The feature lines of a surface's or solid of revolution's mesh for the outline style. Edges
// are found by their welded ends, so that triangles shrunk to a segment or a point (at a pole,
// an apex) drop out and the triangles on either side of them meet. An edge that is several
// kinds counts as the first of rim, crease, silhouette and grid line.
void FeatureLines(const SceneObject& o, int slot, const Sight& sight, const LineChoice& choice,
                  std::vector<Segment>& lines) {
    const Welded w = Weld(o);
    const auto id = [&](int v) { return w.id[static_cast<std::size_t>(v)]; };
    const auto at = [&](int v) -> const geo::Vec3& {
        return w.points[static_cast<std::size_t>(v)];
    };
    // Triangles with a facing, as record vertex numbers, their normals as wound, and how far
    // they turn toward the viewer (none when seen edge-on).
    std::vector<std::array<int, 3>> triangles;
    std::vector<geo::Vec3> normals;
    std::vector<double> facing;
    std::vector<int> faceOf;
    const int faces = core::UsableFaceCount(o);
    for (int f = 1; f <= faces; ++f) {
        const core::Face& face = o.face(f);
        if (!ValidFace(o, face)) continue;
        const std::array<int, 3> v = {face.vertex1, face.vertex2, face.vertex3};
        if (id(v[0]) == id(v[1]) || id(v[1]) == id(v[2]) || id(v[2]) == id(v[0])) continue;
        if (!Finite(at(v[0])) || !Finite(at(v[1])) || !Finite(at(v[2]))) continue;
        const geo::Vec3 n = geo::cross(at(v[1]) - at(v[0]), at(v[2]) - at(v[0]));
        if (!(std::sqrt(geo::dot(n, n)) > kFlat * w.size * w.size)) continue;
        // A face whose picture is thinner than the tolerance hides nothing; counting it with
        // the faces turned away puts the silhouette on its edge nearer to the viewer, not on
        // the one right behind it.
        ViewPoint p[3];
        double longest = 0;
        for (int k = 0; k < 3; ++k)
            p[k] = Project(sight.view, o.vertex(v[static_cast<std::size_t>(k)]));
        for (int k = 0; k < 3; ++k)
            longest =
                std::max(longest, std::hypot(p[(k + 1) % 3].u - p[k].u, p[(k + 1) % 3].v - p[k].v));
        const double area =
            (p[1].u - p[0].u) * (p[2].v - p[0].v) - (p[2].u - p[0].u) * (p[1].v - p[0].v);
        const bool edgeOn = !(std::fabs(area) > sight.tolerance * longest);
        triangles.push_back(v);
        normals.push_back(n);
        facing.push_back(edgeOn ? 0.0 : geo::dot(n, sight.toward));
        faceOf.push_back(f);
    }

    struct Use {
        int key;   // the welded ends, lower first
        int order; // 3 (face - 1) + edge: where the mesh style meets the edge
        int triangle;
        bool rising; // the triangle runs from the lower welded end to the higher
        int v1, v2;  // record vertices as the triangle runs
    };
    std::vector<Use> uses;
    uses.reserve(3 * triangles.size());
    for (std::size_t t = 0; t < triangles.size(); ++t)
        for (int e = 0; e < 3; ++e) {
            const int v1 = triangles[t][static_cast<std::size_t>(e)];
            const int v2 = triangles[t][static_cast<std::size_t>((e + 1) % 3)];
            const int a = id(v1), b = id(v2);
            uses.push_back({std::min(a, b) * (core::kMaxVertices + 1) + std::max(a, b),
                            3 * (faceOf[t] - 1) + e, static_cast<int>(t), a < b, v1, v2});
        }
    std::sort(uses.begin(), uses.end(), [](const Use& a, const Use& b) {
        return a.key != b.key ? a.key < b.key : a.order < b.order;
    });

    const int every = o.type == ObjectType::Surface ? std::max(choice.gridEvery, 0) : 0;
    const SurfaceGrid grid = every > 0 ? SurfaceGrid(w, triangles) : SurfaceGrid({}, {});
    // Without a usable angle no edge is a crease.
    const double cosCrease = std::isfinite(choice.creaseDegrees)
                                 ? std::cos(choice.creaseDegrees * std::numbers::pi / 180)
                                 : -2;
    std::vector<std::pair<int, Segment>> found;
    for (std::size_t k = 0; k < uses.size();) {
        std::size_t end = k + 1;
        while (end < uses.size() && uses[end].key == uses[k].key)
            ++end;
        const Use& first = uses[k];
        std::optional<LineKind> kind;
        if (end - k == 1) {
            kind = LineKind::Rim;
        } else if (end - k > 2) {
            kind = LineKind::Crease; // where more than two sheets meet
        } else {
            const Use& second = uses[k + 1];
            const auto t1 = static_cast<std::size_t>(first.triangle);
            const auto t2 = static_cast<std::size_t>(second.triangle);
            // Two triangles wound alike run through their common edge in opposite directions;
            // when they run alike, one of them is wound the other way round.
            const double turn = first.rising == second.rising ? -1.0 : 1.0;
            const geo::Vec3& n1 = normals[t1];
            const geo::Vec3 n2 = normals[t2] * turn;
            const double cosine = geo::dot(n1, n2) / std::sqrt(geo::dot(n1, n1) * geo::dot(n2, n2));
            if (cosine < cosCrease) {
                kind = LineKind::Crease;
            } else if ((facing[t1] > 0) != (facing[t2] * turn > 0)) {
                kind = LineKind::Silhouette;
            } else if (every > 0) {
                const int line = grid.line(at(first.v1), at(first.v2));
                if (line >= 0 && line % every == 0) kind = LineKind::Grid;
            }
        }
        if (kind) found.push_back({first.order, {slot, first.v1, first.v2, *kind}});
        k = end;
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& f : found)
        lines.push_back(f.second);
}

// The lines the wire-frame picture draws, each once.
std::vector<Segment> DrawnLines(const core::Scene& scene, const core::Settings& settings,
                                const Sight& sight, const LineChoice& choice) {
    std::vector<Segment> lines;
    const int count = std::min(scene.objectCount(), core::kMaxObjectCount);
    for (int slot = 1; slot <= count; ++slot) {
        const SceneObject& o = scene.object(slot);
        if (!o.visible || o.vertexCount < 1 || o.vertexCount > core::kMaxVertices) continue;
        if (choice.style == LineStyle::Outline &&
            (o.type == ObjectType::Surface || o.type == ObjectType::RevolutionSurface))
            FeatureLines(o, slot, sight, choice, lines);
        else
            MeshLines(scene, settings, sight.view, slot, lines);
    }
    return lines;
}

// Opaque triangles bucketed by their picture boxes on a grid.
class Occluders {
  public:
    Occluders(const core::Scene& scene, const pic::ViewState& view, double size) {
        m_tol = geo::kEpsPlane * size;
        const double minArea = geo::kEpsDuplicate * size * size;
        const int count = std::min(scene.objectCount(), core::kMaxObjectCount);
        for (int slot = 1; slot <= count; ++slot) {
            const SceneObject& o = scene.object(slot);
            if (!Opaque(o) || o.vertexCount > core::kMaxVertices) continue;
            const int faces = core::UsableFaceCount(o);
            for (int f = 1; f <= faces; ++f) {
                const core::Face& face = o.face(f);
                if (!ValidFace(o, face)) continue;
                ViewPoint p[3] = {Project(view, o.vertex(face.vertex1)),
                                  Project(view, o.vertex(face.vertex2)),
                                  Project(view, o.vertex(face.vertex3))};
                double area =
                    (p[1].u - p[0].u) * (p[2].v - p[0].v) - (p[2].u - p[0].u) * (p[1].v - p[0].v);
                // A face seen edge-on covers nothing.
                if (!(std::fabs(area) > minArea)) continue;
                if (area < 0) {
                    std::swap(p[1], p[2]);
                    area = -area;
                }
                add(p, area);
            }
        }
        buildGrid();
    }

    double tolerance() const { return m_tol; }

    // Sorted, merged intervals of a..b behind some triangle.
    void hiddenIntervals(const ViewPoint& a, const ViewPoint& b,
                         std::vector<std::pair<double, double>>& out) {
        out.clear();
        const double minU = std::min(a.u, b.u), maxU = std::max(a.u, b.u);
        const double minV = std::min(a.v, b.v), maxV = std::max(a.v, b.v);
        visit(minU, maxU, minV, maxV, std::max(a.z, b.z), [&](const Triangle& t) {
            // A line along an edge of the triangle's picture counts as inside it, a line in the
            // triangle's plane as on it; otherwise the boundaries are where the line crosses.
            double lo = 0, hi = 1;
            for (int i = 0; i < 3; ++i) {
                const auto inside = [&](const ViewPoint& x) {
                    return t.edgeU[i] * (x.v - t.v[i]) - t.edgeV[i] * (x.u - t.u[i]);
                };
                const double g0 = inside(a), g1 = inside(b);
                if (std::fabs(g0) <= m_tol && std::fabs(g1) <= m_tol) continue;
                if (!Clip(g0, g1, lo, hi)) return;
            }
            const auto behind = [&](const ViewPoint& x) {
                return x.z - (t.a * x.u + t.b * x.v + t.c);
            };
            const double d0 = behind(a), d1 = behind(b);
            if (std::fabs(d0) <= m_tol && std::fabs(d1) <= m_tol) return;
            if (!Clip(d0, d1, lo, hi)) return;
            out.emplace_back(lo, hi);
        });
        if (out.size() > 1) std::sort(out.begin(), out.end());
    }

    bool pointHidden(const ViewPoint& p) {
        bool hidden = false;
        visit(p.u, p.u, p.v, p.v, p.z, [&](const Triangle& t) {
            if (hidden) return;
            for (int i = 0; i < 3; ++i)
                if (t.edgeU[i] * (p.v - t.v[i]) - t.edgeV[i] * (p.u - t.u[i]) + m_tol < 0) return;
            hidden = p.z - (t.a * p.u + t.b * p.v + t.c) > m_tol;
        });
        return hidden;
    }

  private:
    void add(const ViewPoint (&p)[3], double area) {
        Triangle t;
        for (int i = 0; i < 3; ++i) {
            t.u[i] = p[i].u;
            t.v[i] = p[i].v;
            const ViewPoint& q = p[(i + 1) % 3];
            const double du = q.u - p[i].u, dv = q.v - p[i].v, len = std::hypot(du, dv);
            t.edgeU[i] = du / len;
            t.edgeV[i] = dv / len;
        }
        t.a =
            ((p[1].z - p[0].z) * (p[2].v - p[0].v) - (p[2].z - p[0].z) * (p[1].v - p[0].v)) / area;
        t.b =
            ((p[1].u - p[0].u) * (p[2].z - p[0].z) - (p[2].u - p[0].u) * (p[1].z - p[0].z)) / area;
        t.c = p[0].z - t.a * p[0].u - t.b * p[0].v;
        t.minU = std::min({t.u[0], t.u[1], t.u[2]});
        t.maxU = std::max({t.u[0], t.u[1], t.u[2]});
        t.minV = std::min({t.v[0], t.v[1], t.v[2]});
        t.maxV = std::max({t.v[0], t.v[1], t.v[2]});
        t.minZ = std::min({p[0].z, p[1].z, p[2].z});
        m_triangles.push_back(t);
    }

    void buildGrid() {
        if (m_triangles.empty()) return;
        m_u0 = m_triangles[0].minU, m_v0 = m_triangles[0].minV;
        double u1 = m_triangles[0].maxU, v1 = m_triangles[0].maxV;
        for (const Triangle& t : m_triangles) {
            m_u0 = std::min(m_u0, t.minU), m_v0 = std::min(m_v0, t.minV);
            u1 = std::max(u1, t.maxU), v1 = std::max(v1, t.maxV);
        }
        // About two triangles to a cell.
        m_cells = std::clamp(
            static_cast<int>(std::sqrt(static_cast<double>(m_triangles.size()) / 2)), 1, 512);
        m_cellU = std::max((u1 - m_u0) / m_cells, geo::kEpsCoord);
        m_cellV = std::max((v1 - m_v0) / m_cells, geo::kEpsCoord);
        const auto cells = static_cast<std::size_t>(m_cells) * static_cast<std::size_t>(m_cells);
        m_start.assign(cells + 1, 0);
        const auto each = [&](const Triangle& t, auto&& f) {
            const int i0 = cell(t.minU, m_u0, m_cellU), i1 = cell(t.maxU, m_u0, m_cellU);
            const int j0 = cell(t.minV, m_v0, m_cellV), j1 = cell(t.maxV, m_v0, m_cellV);
            for (int j = j0; j <= j1; ++j)
                for (int i = i0; i <= i1; ++i)
                    f(index(i, j), i0, j0);
        };
        for (const Triangle& t : m_triangles)
            each(t, [&](std::size_t c, int, int) { ++m_start[c + 1]; });
        for (std::size_t c = 0; c < cells; ++c)
            m_start[c + 1] += m_start[c];
        m_items.resize(m_start[cells]);
        std::vector<std::size_t> fill(m_start.begin(), m_start.end() - 1);
        for (std::size_t k = 0; k < m_triangles.size(); ++k) {
            const Triangle& t = m_triangles[k];
            each(t, [&](std::size_t c, int i0, int j0) {
                m_items[fill[c]++] = {t.minU,
                                      t.maxU,
                                      t.minV,
                                      t.maxV,
                                      t.minZ,
                                      static_cast<int>(k),
                                      static_cast<std::int16_t>(i0),
                                      static_cast<std::int16_t>(j0)};
            });
        }
    }

    std::size_t index(int i, int j) const {
        return static_cast<std::size_t>(j) * static_cast<std::size_t>(m_cells) +
               static_cast<std::size_t>(i);
    }

    int cell(double x, double origin, double size) const {
        // A point that is not a number (from a damaged record) goes to the first cell.
        const double k = std::floor((x - origin) / size);
        if (!(k > 0)) return 0;
        return k < m_cells - 1 ? static_cast<int>(k) : m_cells - 1;
    }

    // Calls f once for each triangle whose box meets the given one (grown by the tolerance),
    // and with a depth reaching below maxZ. The cells hold the boxes, so that most triangles
    // are passed over without being read; a triangle in several cells is taken in the first
    // cell shared by both boxes.
    template <class F>
    void visit(double minU, double maxU, double minV, double maxV, double maxZ, F&& f) {
        if (m_triangles.empty()) return;
        minU -= m_tol, maxU += m_tol, minV -= m_tol, maxV += m_tol, maxZ -= m_tol;
        const int i0 = cell(minU, m_u0, m_cellU), i1 = cell(maxU, m_u0, m_cellU);
        const int j0 = cell(minV, m_v0, m_cellV), j1 = cell(maxV, m_v0, m_cellV);
        for (int j = j0; j <= j1; ++j)
            for (int i = i0; i <= i1; ++i) {
                const std::size_t c = index(i, j);
                for (std::size_t k = m_start[c]; k < m_start[c + 1]; ++k) {
                    const Item& e = m_items[k];
                    if (e.maxU < minU || e.minU > maxU || e.maxV < minV || e.minV > maxV ||
                        maxZ <= e.minZ || std::max<int>(e.i0, i0) != i ||
                        std::max<int>(e.j0, j0) != j)
                        continue;
                    f(m_triangles[static_cast<std::size_t>(e.triangle)]);
                }
            }
    }

    struct Item {
        double minU, maxU, minV, maxV, minZ;
        int triangle;
        std::int16_t i0, j0; // the triangle's first cell
    };

    std::vector<Triangle> m_triangles;
    double m_tol = 0;
    double m_u0 = 0, m_v0 = 0, m_cellU = 1, m_cellV = 1;
    int m_cells = 1;
    std::vector<std::size_t> m_start;
    std::vector<Item> m_items;
};

// The pieces of a line from its merged hidden intervals, slivers shorter than `sliver` dropped.
std::vector<Piece> Pieces(std::vector<std::pair<double, double>>& hidden, double sliver) {
    std::vector<std::pair<double, double>> merged;
    for (const auto& h : hidden) {
        if (!merged.empty() && h.first - merged.back().second < sliver)
            merged.back().second = std::max(merged.back().second, h.second);
        else
            merged.push_back(h);
    }
    std::erase_if(merged, [&](const auto& h) { return h.second - h.first < sliver; });
    std::vector<Piece> pieces;
    double at = 0;
    for (auto& [lo, hi] : merged) {
        if (lo < sliver) lo = 0;
        if (hi > 1 - sliver) hi = 1;
        if (lo > at) pieces.push_back({at, lo, true});
        pieces.push_back({lo, hi, false});
        at = hi;
    }
    if (at < 1) pieces.push_back({at, 1, true});
    return pieces;
}

} // namespace

geo::Vec3 TowardViewer(const pic::ViewState& view) {
    const auto a = static_cast<std::size_t>(view.turnHorizontal());
    const auto b = static_cast<std::size_t>(view.turnVertical());
    const double sa = geo::SinTable()[a], ca = geo::CosTable()[a];
    const double sb = geo::SinTable()[b], cb = geo::CosTable()[b];
    const auto scale = [](float s) { return UsableScale(s) ? double(s) : 1.0; };
    const double zx = scale(view.zoomX()), zy = scale(view.zoomY()), zz = scale(view.zoomZ());
    // The picture's x and y as functions of a scene step; the step that changes neither is
    // their cross product (the tables' rounding keeps the rows from being exactly orthonormal,
    // so the depth row would be off by a few millionths).
    const geo::Vec3 across(ca * zx, sa * zy, 0), down(-sa * cb * zx, ca * cb * zy, sb * zz);
    geo::Vec3 d(across.y * down.z - across.z * down.y, across.z * down.x - across.x * down.z,
                across.x * down.y - across.y * down.x);
    // Toward the viewer is where the depth falls.
    if (sa * sb * zx * d.x - ca * sb * zy * d.y + cb * zz * d.z > 0) d = d * -1;
    const double len = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    return d * (1 / len);
}

Visibility VisibleSpans(const core::Scene& scene, const core::Settings& settings,
                        const pic::ViewState& picture, const LineChoice& choice) {
    // Scales a file leaves unusable count as 1: the pieces depend only on their ratios.
    core::SceneHeader header = *picture.header;
    pic::ViewState view(header);
    view.centerX = picture.centerX;
    view.centerY = picture.centerY;
    view.centerZ = picture.centerZ;
    view.setZoom(UsableScale(header.zoomX) ? header.zoomX : 1.f,
                 UsableScale(header.zoomY) ? header.zoomY : 1.f,
                 UsableScale(header.zoomZ) ? header.zoomZ : 1.f);

    Visibility result;
    result.towardViewer = TowardViewer(view);
    // The size of what takes part sets the tolerances, so they follow the scene's scale.
    double lo[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    const int count = std::min(scene.objectCount(), core::kMaxObjectCount);
    for (int slot = 1; slot <= count; ++slot) {
        const SceneObject& o = scene.object(slot);
        if (!o.visible || o.vertexCount > core::kMaxVertices) continue;
        for (int i = 1; i <= o.vertexCount; ++i) {
            const ViewPoint p = Project(view, o.vertex(i));
            const double c[3] = {p.u, p.v, p.z};
            for (int k = 0; k < 3; ++k)
                if (std::isfinite(c[k]))
                    lo[k] = std::min(lo[k], c[k]), hi[k] = std::max(hi[k], c[k]);
        }
    }
    double size = 0;
    for (int k = 0; k < 3; ++k)
        if (hi[k] >= lo[k]) size += (hi[k] - lo[k]) * (hi[k] - lo[k]);
    size = std::sqrt(size);
    if (!(size > 0) || !std::isfinite(size)) size = 1;

    Occluders occluders(scene, view, size);
    const std::vector<Segment> lines =
        DrawnLines(scene, settings, {view, result.towardViewer, occluders.tolerance()}, choice);
    std::vector<std::pair<double, double>> hidden;
    result.lines.reserve(lines.size());
    for (const Segment& s : lines) {
        const SceneObject& o = scene.object(s.slot);
        const ViewPoint a = Project(view, o.vertex(s.vertex1));
        const ViewPoint b = Project(view, o.vertex(s.vertex2));
        const double length = std::sqrt((b.u - a.u) * (b.u - a.u) + (b.v - a.v) * (b.v - a.v) +
                                        (b.z - a.z) * (b.z - a.z));
        LineSpans line{s.slot, s.vertex1, s.vertex2, {}, s.kind};
        if (std::isfinite(length) && length > 0) {
            occluders.hiddenIntervals(a, b, hidden);
            line.pieces = Pieces(hidden, std::min(kSliver * size / length, kMaxSliverFraction));
        } else {
            line.pieces = {{0, 1, true}};
        }
        result.lines.push_back(std::move(line));
    }

    for (int slot = 1; slot <= count; ++slot) {
        const SceneObject& o = scene.object(slot);
        // Nodes and labels: of every point, of other vertices only when they are drawn.
        const bool nodes = o.type == ObjectType::Point ||
                           ((settings.IsUsel || settings.PutVerNum) &&
                            (o.type == ObjectType::Polyline || o.type == ObjectType::Polyhedron));
        if (!o.visible || o.vertexCount > core::kMaxVertices || !nodes) continue;
        for (int i = 1; i <= o.vertexCount; ++i)
            result.points.push_back({slot, i, !occluders.pointHidden(Project(view, o.vertex(i)))});
    }
    return result;
}

} // namespace vorn::hidden
