// Edge unfoldings: laying the faces out along a spanning tree, the overlap check, the choice of
// cuts and the user's clicks.
#include "nets/net.h"
#include "nets/nets_detail.h"
#include "nets/unfold_detail.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <random>

namespace vorn::nets {

using detail::Cross2;
using detail::Length;
using detail::Sub;

bool Net::whole() const {
    return !parent.empty() && std::count(parent.begin(), parent.end(), -1) == 1 &&
           std::all_of(piece.begin(), piece.end(), [](int p) { return p == 0; });
}

namespace detail {

Frames::Frames(const Solid& solid) {
    local.resize(solid.faces.size());
    double longest = 0;
    for (std::size_t f = 0; f < solid.faces.size(); ++f) {
        const SolidFace& face = solid.faces[f];
        const geo::Vec3 o = face.corners[0];
        const geo::Vec3 e1 = Unit(face.corners[1] - o);
        const geo::Vec3 e2 = geo::cross(face.normal, e1);
        for (const geo::Vec3& c : face.corners)
            local[f].push_back({geo::dot(c - o, e1), geo::dot(c - o, e2)});
        for (std::size_t k = 0; k < face.corners.size(); ++k)
            longest = std::max(
                longest, Length(face.corners[(k + 1) % face.corners.size()] - face.corners[k]));
    }
    // Faces may touch along edges and at corners; only a deeper overlap counts.
    tolerance = 1e-7 * longest;
    cornerA.resize(solid.edges.size());
    cornerB.resize(solid.edges.size());
    faceEdges.resize(solid.faces.size());
    for (std::size_t e = 0; e < solid.edges.size(); ++e) {
        const SolidEdge& edge = solid.edges[e];
        const auto find = [&](int f, int v) {
            const std::vector<int>& vs = solid.faces[static_cast<std::size_t>(f)].vertices;
            return static_cast<int>(std::find(vs.begin(), vs.end(), v) - vs.begin());
        };
        cornerA[e] = find(edge.faceA, edge.v1);
        cornerB[e] = find(edge.faceB, edge.v1);
        faceEdges[static_cast<std::size_t>(edge.faceA)].push_back(static_cast<int>(e));
        faceEdges[static_cast<std::size_t>(edge.faceB)].push_back(static_cast<int>(e));
    }
}

// Corner of `face` where edge `e` starts and where it ends, as they run along `face`.
std::pair<int, int> Frames::ends(const Solid& solid, int e, int face) const {
    const SolidEdge& edge = solid.edges[static_cast<std::size_t>(e)];
    const int n = static_cast<int>(solid.faces[static_cast<std::size_t>(face)].vertices.size());
    if (face == edge.faceA) {
        const int a = cornerA[static_cast<std::size_t>(e)];
        return {a, (a + 1) % n};
    }
    const int b = cornerB[static_cast<std::size_t>(e)];
    return {(b + n - 1) % n, b};
}

namespace {

bool Separates(const std::vector<Point2>& a, const std::vector<Point2>& b, double tol) {
    const std::size_t n = a.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Point2 p = a[i], q = a[(i + 1) % n];
        const Point2 d = Sub(q, p);
        const double len = std::hypot(d.x, d.y);
        if (!(len > 0)) continue;
        // Outward side of a counter-clockwise polygon's edge is to the right.
        bool all = true;
        for (const Point2& r : b)
            if (-Cross2(d, Sub(r, p)) / len < -tol) {
                all = false;
                break;
            }
        if (all) return true;
    }
    return false;
}

} // namespace

bool InteriorsOverlap(const std::vector<Point2>& a, const std::vector<Point2>& b, double tol) {
    return !Separates(a, b, tol) && !Separates(b, a, tol);
}

std::vector<std::pair<int, int>> Overlaps(const std::vector<std::vector<Point2>>& flat, double tol,
                                          std::size_t limit) {
    struct Box {
        double x0, x1, y0, y1;
        int face;
    };
    std::vector<Box> boxes;
    boxes.reserve(flat.size());
    for (std::size_t f = 0; f < flat.size(); ++f) {
        if (flat[f].empty()) continue;
        Box b{flat[f][0].x, flat[f][0].x, flat[f][0].y, flat[f][0].y, static_cast<int>(f)};
        for (const Point2& p : flat[f]) {
            b.x0 = std::min(b.x0, p.x);
            b.x1 = std::max(b.x1, p.x);
            b.y0 = std::min(b.y0, p.y);
            b.y1 = std::max(b.y1, p.y);
        }
        boxes.push_back(b);
    }
    // Sweep along x: only boxes overlapping by more than the tolerance are tested.
    std::sort(boxes.begin(), boxes.end(), [](const Box& l, const Box& r) { return l.x0 < r.x0; });
    std::vector<std::pair<int, int>> found;
    for (std::size_t i = 0; i < boxes.size(); ++i)
        for (std::size_t j = i + 1; j < boxes.size() && boxes[j].x0 < boxes[i].x1 - tol; ++j) {
            if (boxes[j].y0 >= boxes[i].y1 - tol || boxes[i].y0 >= boxes[j].y1 - tol) continue;
            const int f = boxes[i].face, g = boxes[j].face;
            if (!InteriorsOverlap(flat[static_cast<std::size_t>(f)],
                                  flat[static_cast<std::size_t>(g)], tol))
                continue;
            found.emplace_back(std::min(f, g), std::max(f, g));
            if (found.size() >= limit) {
                std::sort(found.begin(), found.end());
                return found;
            }
        }
    std::sort(found.begin(), found.end());
    return found;
}

// Where `child` lies when hinged across edge `e` to `parent`, whose corners are `P`.
std::vector<Point2> PlacedAcross(const Solid& solid, const Frames& frames,
                                 const std::vector<Point2>& P, int parent, int child, int e) {
    const auto [pa, pb] = frames.ends(solid, e, parent);
    const auto [ca, cb] = frames.ends(solid, e, child);
    const std::vector<Point2>& L = frames.local[static_cast<std::size_t>(child)];
    // The edge runs pa -> pb along the parent and cb -> ca along the child: pa and cb are
    // the same vertex.
    const Point2 p0 = P[static_cast<std::size_t>(pa)], p1 = P[static_cast<std::size_t>(pb)];
    const Point2 l0 = L[static_cast<std::size_t>(cb)], l1 = L[static_cast<std::size_t>(ca)];
    const double angle =
        std::atan2(p1.y - p0.y, p1.x - p0.x) - std::atan2(l1.y - l0.y, l1.x - l0.x);
    const double c = std::cos(angle), s = std::sin(angle);
    const Point2 pm{(p0.x + p1.x) / 2, (p0.y + p1.y) / 2};
    const Point2 lm{(l0.x + l1.x) / 2, (l0.y + l1.y) / 2};
    std::vector<Point2> out;
    out.reserve(L.size());
    for (const Point2& q : L) {
        const double x = q.x - lm.x, y = q.y - lm.y;
        out.push_back({pm.x + c * x - s * y, pm.y + s * x + c * y});
    }
    return out;
}

// Places `child` beside its already placed `parent` across edge `e`.
void PlaceChild(const Solid& solid, const Frames& frames, int parent, int child, int e,
                std::vector<std::vector<Point2>>& flat) {
    flat[static_cast<std::size_t>(child)] =
        PlacedAcross(solid, frames, flat[static_cast<std::size_t>(parent)], parent, child, e);
}

// Parents and hinges of the tree of the hinges from `root`; false when they are no spanning tree.
bool BuildTree(const Solid& solid, const Frames& frames, const std::vector<bool>& cut, int root,
               std::vector<int>& parent, std::vector<int>& hinge, std::vector<int>& order) {
    const std::size_t n = solid.faces.size();
    parent.assign(n, -2);
    hinge.assign(n, -1);
    order.clear();
    std::size_t hinges = 0;
    for (std::size_t e = 0; e < cut.size(); ++e)
        if (!cut[e]) ++hinges;
    if (hinges + 1 != n) return false;
    parent[static_cast<std::size_t>(root)] = -1;
    order.push_back(root);
    for (std::size_t q = 0; q < order.size(); ++q) {
        const int f = order[q];
        for (int e : frames.faceEdges[static_cast<std::size_t>(f)]) {
            if (cut[static_cast<std::size_t>(e)]) continue;
            const SolidEdge& edge = solid.edges[static_cast<std::size_t>(e)];
            const int g = edge.faceA == f ? edge.faceB : edge.faceA;
            if (e == hinge[static_cast<std::size_t>(f)]) continue;
            if (parent[static_cast<std::size_t>(g)] != -2) return false; // a cycle
            parent[static_cast<std::size_t>(g)] = f;
            hinge[static_cast<std::size_t>(g)] = e;
            order.push_back(g);
        }
    }
    return order.size() == n;
}

std::optional<Net> LayOut(const Solid& solid, const Frames& frames, const std::vector<bool>& cut,
                          int root, std::size_t overlapLimit) {
    const std::size_t n = solid.faces.size();
    if (cut.size() != solid.edges.size() || root < 0 || static_cast<std::size_t>(root) >= n)
        return std::nullopt;
    Net net;
    std::vector<int> order;
    if (!BuildTree(solid, frames, cut, root, net.parent, net.hinge, order)) return std::nullopt;
    net.cut = cut;
    net.root = root;
    net.piece.assign(n, 0);
    net.flat.resize(n);
    net.flat[static_cast<std::size_t>(root)] = frames.local[static_cast<std::size_t>(root)];
    for (std::size_t q = 1; q < order.size(); ++q) {
        const int g = order[q];
        PlaceChild(solid, frames, net.parent[static_cast<std::size_t>(g)], g,
                   net.hinge[static_cast<std::size_t>(g)], net.flat);
    }
    for (const std::vector<Point2>& f : net.flat)
        net.area += std::fabs(SignedArea(f));
    net.overlaps = Overlaps(net.flat, frames.tolerance, overlapLimit);
    return net;
}

} // namespace detail

std::optional<Net> LayOut(const Solid& solid, const std::vector<bool>& cut, int root) {
    if (solid.faces.empty()) return std::nullopt;
    const detail::Frames frames(solid);
    return detail::LayOut(solid, frames, cut, root, SIZE_MAX);
}

namespace {

// A deterministic generator whose numbers do not depend on the standard library's make.
class Random {
  public:
    explicit Random(std::uint32_t seed) : m_engine(seed) {}
    double unit() { return (m_engine() >> 5) * (1.0 / 134217728.0); } // [0, 1)
    std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>(unit() * n); }
    geo::Vec3 direction() {
        for (;;) {
            const geo::Vec3 v{2 * unit() - 1, 2 * unit() - 1, 2 * unit() - 1};
            const double l = Length(v);
            if (l > 0.1 && l <= 1) return v * (1 / l);
        }
    }

  private:
    std::mt19937 m_engine;
};

// Steepest-edge cuts: every vertex but the highest toward `c` cuts its steepest rising edge.
std::vector<bool> SteepestCuts(const Solid& solid, const geo::Vec3& c,
                               const std::vector<geo::Vec3>& at) {
    std::vector<double> best(at.size(), 0);
    std::vector<int> chosen(at.size(), -1);
    for (std::size_t e = 0; e < solid.edges.size(); ++e) {
        const SolidEdge& edge = solid.edges[e];
        const geo::Vec3 d =
            at[static_cast<std::size_t>(edge.v2)] - at[static_cast<std::size_t>(edge.v1)];
        const double slope = geo::dot(c, d) / Length(d);
        const int low = slope > 0 ? edge.v1 : edge.v2;
        if (std::fabs(slope) > best[static_cast<std::size_t>(low)]) {
            best[static_cast<std::size_t>(low)] = std::fabs(slope);
            chosen[static_cast<std::size_t>(low)] = static_cast<int>(e);
        }
    }
    std::vector<bool> cut(solid.edges.size(), false);
    for (int e : chosen)
        if (e >= 0) cut[static_cast<std::size_t>(e)] = true;
    return cut;
}

// The hinges of a spanning tree grown from `root`, breadth-first, depth-first or at random.
enum class Growth { Breadth, Depth, Random };
std::vector<bool> GrownCuts(const Solid& solid, const detail::Frames& frames, int root,
                            Growth growth, Random& random) {
    std::vector<bool> cut(solid.edges.size(), true);
    std::vector<bool> in(solid.faces.size(), false);
    std::vector<int> frontier; // edges leaving the tree
    const auto add = [&](int f) {
        in[static_cast<std::size_t>(f)] = true;
        for (int e : frames.faceEdges[static_cast<std::size_t>(f)])
            frontier.push_back(e);
    };
    add(root);
    std::size_t head = 0;
    while (head < frontier.size()) {
        std::size_t at = head;
        if (growth == Growth::Depth) at = frontier.size() - 1;
        if (growth == Growth::Random)
            at = head + random.below(static_cast<std::uint32_t>(frontier.size() - head));
        const int e = frontier[at];
        if (growth == Growth::Depth) {
            frontier.pop_back();
            if (frontier.size() < head) head = frontier.size();
        } else {
            std::swap(frontier[at], frontier[head]);
            ++head;
        }
        const SolidEdge& edge = solid.edges[static_cast<std::size_t>(e)];
        const bool a = in[static_cast<std::size_t>(edge.faceA)],
                   b = in[static_cast<std::size_t>(edge.faceB)];
        if (a && b) continue;
        cut[static_cast<std::size_t>(e)] = false;
        add(a ? edge.faceB : edge.faceA);
    }
    return cut;
}

// Mends a net with overlaps by swapping hinges: a hinge on the tree path between two overlapping
// faces is cut and another edge joins the two pieces again; a swap that does not add overlaps is
// kept. Returns the best net seen; spends at most `budget` layouts.
Net Repair(const Solid& solid, const detail::Frames& frames, Net net, int budget, Random& random) {
    const std::size_t n = solid.faces.size();
    Net best = net;
    std::vector<int> depth(n), enter(n), leave(n);
    std::vector<std::vector<int>> children(n);
    const auto index = [&]() {
        for (auto& c : children)
            c.clear();
        for (std::size_t f = 0; f < n; ++f)
            if (net.parent[f] >= 0)
                children[static_cast<std::size_t>(net.parent[f])].push_back(static_cast<int>(f));
        // Entry and exit times of a depth-first walk: g lies under f when enter[f] <= enter[g]
        // < leave[f].
        int clock = 0;
        std::vector<std::pair<int, std::size_t>> stack{{net.root, 0}};
        depth[static_cast<std::size_t>(net.root)] = 0;
        enter[static_cast<std::size_t>(net.root)] = clock++;
        while (!stack.empty()) {
            auto& [f, next] = stack.back();
            const std::vector<int>& kids = children[static_cast<std::size_t>(f)];
            if (next < kids.size()) {
                const int g = kids[next++];
                depth[static_cast<std::size_t>(g)] = depth[static_cast<std::size_t>(f)] + 1;
                enter[static_cast<std::size_t>(g)] = clock++;
                stack.emplace_back(g, 0);
            } else {
                leave[static_cast<std::size_t>(f)] = clock;
                stack.pop_back();
            }
        }
    };
    index();
    while (budget > 0 && !net.overlaps.empty()) {
        const auto [f0, g0] =
            net.overlaps[random.below(static_cast<std::uint32_t>(net.overlaps.size()))];
        // The hinges on the path between the two faces.
        std::vector<int> path;
        for (int f = f0, g = g0; f != g;) {
            int& deeper =
                depth[static_cast<std::size_t>(f)] >= depth[static_cast<std::size_t>(g)] ? f : g;
            path.push_back(deeper);
            deeper = net.parent[static_cast<std::size_t>(deeper)];
        }
        if (path.empty()) break;
        const int child = path[random.below(static_cast<std::uint32_t>(path.size()))];
        const int hinge = net.hinge[static_cast<std::size_t>(child)];
        const auto under = [&](int f) {
            return enter[static_cast<std::size_t>(child)] <= enter[static_cast<std::size_t>(f)] &&
                   enter[static_cast<std::size_t>(f)] < leave[static_cast<std::size_t>(child)];
        };
        std::vector<int> joins;
        for (std::size_t e = 0; e < solid.edges.size(); ++e)
            if (net.cut[e] && under(solid.edges[e].faceA) != under(solid.edges[e].faceB))
                joins.push_back(static_cast<int>(e));
        if (joins.empty()) { // cannot happen on a polyhedron; the budget still ends the loop
            --budget;
            continue;
        }
        std::optional<Net> chosen;
        for (int k = 0; k < 6 && !joins.empty() && budget > 0; ++k, --budget) {
            const std::size_t pick = random.below(static_cast<std::uint32_t>(joins.size()));
            std::vector<bool> cut = net.cut;
            cut[static_cast<std::size_t>(hinge)] = true;
            cut[static_cast<std::size_t>(joins[pick])] = false;
            joins.erase(joins.begin() + static_cast<std::ptrdiff_t>(pick));
            const std::size_t limit = (chosen ? chosen->overlaps.size() : net.overlaps.size()) + 1;
            std::optional<Net> next = detail::LayOut(solid, frames, cut, net.root, limit);
            if (next && next->overlaps.size() < limit) chosen = std::move(next);
        }
        if (!chosen) continue;
        net = std::move(*chosen);
        index();
        if (net.overlaps.size() < best.overlaps.size()) best = net;
    }
    return best;
}

} // namespace

Net Unfold(const Solid& solid) {
    if (solid.faces.empty()) return {};
    const detail::Frames frames(solid);
    const std::size_t faces = solid.faces.size();
    int maxVertex = 0;
    for (const SolidFace& f : solid.faces)
        for (int v : f.vertices)
            maxVertex = std::max(maxVertex, v);
    std::vector<geo::Vec3> at(static_cast<std::size_t>(maxVertex) + 1);
    for (const SolidFace& f : solid.faces)
        for (std::size_t k = 0; k < f.vertices.size(); ++k)
            at[static_cast<std::size_t>(f.vertices[k])] = f.corners[k];

    // Bounded effort: a number of layouts, fewer for larger solids; a quarter of them for
    // trees of their own, the rest for mending the best of them.
    const int budget = static_cast<int>(std::clamp<std::size_t>(1500000 / faces, 40, 3000));
    const int tries = std::max(24, budget / 4);
    Random random(20261208);
    std::optional<Net> best;
    const auto consider = [&](const std::vector<bool>& cut, int root) {
        const std::size_t limit = best ? best->overlaps.size() : SIZE_MAX;
        std::optional<Net> net = detail::LayOut(solid, frames, cut, root, limit);
        if (!net) return false;
        if (!best || net->overlaps.size() < best->overlaps.size()) best = std::move(net);
        return best->overlaps.empty();
    };
    // The largest face as the root keeps the middle of the net steady.
    int bigRoot = 0;
    for (std::size_t f = 1; f < faces; ++f)
        if (solid.faces[f].area > solid.faces[static_cast<std::size_t>(bigRoot)].area)
            bigRoot = static_cast<int>(f);
    // Steepest-edge cuts toward random directions first (they seldom overlap on convex solids);
    // in the second half every other try grows a breadth-first, depth-first or random tree
    // from a random face instead.
    for (int t = 0; t < tries; ++t) {
        const int kind = t % 4;
        std::vector<bool> cut;
        int root = bigRoot;
        if (kind == 0 || kind == 1 || t < tries / 2) {
            cut = SteepestCuts(solid, random.direction(), at);
        } else {
            root = static_cast<int>(random.below(static_cast<std::uint32_t>(faces)));
            cut = GrownCuts(solid, frames, root,
                            kind == 2 ? (t % 8 == 2 ? Growth::Breadth : Growth::Depth)
                                      : Growth::Random,
                            random);
        }
        if (consider(cut, root)) return std::move(*best);
    }
    if (!best) {
        // Every tree tried was broken by ties: a breadth-first tree always is one.
        best = detail::LayOut(solid, frames, GrownCuts(solid, frames, 0, Growth::Breadth, random),
                              0, SIZE_MAX);
    }
    Net net = Repair(solid, frames, std::move(*best), budget - tries, random);
    // The final count is the full one, not the cut-off count of the search.
    net.overlaps = detail::Overlaps(net.flat, frames.tolerance, SIZE_MAX);
    return net;
}

EdgeToggle ToggleEdge(const Solid& solid, Net& net, int edge) {
    // A click beside the solid's edges, or on a net of another solid, changes nothing.
    const std::size_t faces = solid.faces.size();
    if (edge < 0 || static_cast<std::size_t>(edge) >= solid.edges.size() ||
        net.cut.size() != solid.edges.size() || net.parent.size() != faces ||
        net.hinge.size() != faces || net.piece.size() != faces || net.flat.size() != faces)
        return EdgeToggle::NoSuchEdge;
    const std::size_t e = static_cast<std::size_t>(edge);
    const SolidEdge& se = solid.edges[e];
    if (net.whole()) {
        if (net.cut[e]) return EdgeToggle::WouldCloseCycle;
        // The face below the hinge and everything under it come loose.
        const int child = net.parent[static_cast<std::size_t>(se.faceA)] == se.faceB &&
                                  net.hinge[static_cast<std::size_t>(se.faceA)] == edge
                              ? se.faceA
                              : se.faceB;
        net.cut[e] = true;
        net.parent[static_cast<std::size_t>(child)] = -1;
        net.hinge[static_cast<std::size_t>(child)] = -1;
        for (std::size_t f = 0; f < net.piece.size(); ++f) {
            int g = static_cast<int>(f);
            while (g != child && net.parent[static_cast<std::size_t>(g)] >= 0)
                g = net.parent[static_cast<std::size_t>(g)];
            net.piece[f] = g == child ? 1 : 0;
        }
        return EdgeToggle::Cut;
    }
    if (!net.cut[e]) return EdgeToggle::WouldDisconnect;
    if (net.piece[static_cast<std::size_t>(se.faceA)] ==
        net.piece[static_cast<std::size_t>(se.faceB)])
        return EdgeToggle::WouldCloseCycle;
    // The piece of the root stays where it is; the loose piece swings over to the edge, its
    // tree now hanging from the face there.
    const int stay = net.piece[static_cast<std::size_t>(se.faceA)] == 0 ? se.faceA : se.faceB;
    const int move = stay == se.faceA ? se.faceB : se.faceA;
    const detail::Frames frames(solid);
    net.cut[e] = false;
    net.parent[static_cast<std::size_t>(move)] = stay;
    net.hinge[static_cast<std::size_t>(move)] = edge;
    std::vector<int> order{move};
    std::vector<bool> seen(faces, false);
    seen[static_cast<std::size_t>(move)] = true;
    for (std::size_t q = 0; q < order.size(); ++q) {
        const int f = order[q];
        const int p = net.parent[static_cast<std::size_t>(f)];
        net.flat[static_cast<std::size_t>(f)] =
            detail::PlacedAcross(solid, frames, net.flat[static_cast<std::size_t>(p)], p, f,
                                 net.hinge[static_cast<std::size_t>(f)]);
        for (int h : frames.faceEdges[static_cast<std::size_t>(f)]) {
            if (net.cut[static_cast<std::size_t>(h)] || h == edge) continue;
            const SolidEdge& he = solid.edges[static_cast<std::size_t>(h)];
            const int g = he.faceA == f ? he.faceB : he.faceA;
            if (seen[static_cast<std::size_t>(g)] || net.piece[static_cast<std::size_t>(g)] != 1)
                continue;
            seen[static_cast<std::size_t>(g)] = true;
            net.parent[static_cast<std::size_t>(g)] = f;
            net.hinge[static_cast<std::size_t>(g)] = h;
            order.push_back(g);
        }
    }
    net.piece.assign(faces, 0);
    net.overlaps = detail::Overlaps(net.flat, frames.tolerance, SIZE_MAX);
    return EdgeToggle::Joined;
}

} // namespace vorn::nets
