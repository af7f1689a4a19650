// Trapezoid sums, numeric derivatives, volumes and areas of solids of revolution, contour and
// double integrals.
#include "surfaces/integrals.h"

#include "expr/compiled_expression.h"
#include "geometry/polygon.h"
#include "geometry/primitives.h"
#include "lang/message_ids.h"
#include "surfaces/part_evaluators.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <memory>
#include <system_error>
#include <thread>

namespace vorn::surf {

namespace {

// Start value of the derivative loop, far from any quotient it will meet.
constexpr long double kDerivativeStart = 99999999999.0L;
// The step halves below any value the 20-decimal substitution can carry long before this.
constexpr int kMaxDerivativeHalvings = 200;

// The progress window, hidden again however the loop ends.
class ProgressScope {
  public:
    ProgressScope(core::Host& host, const std::string& text, int maximum, bool show = true)
        : m_host(host), m_shown(show) {
        if (m_shown) m_host.progressBegin(text, maximum);
    }
    ~ProgressScope() {
        if (m_shown) m_host.progressEnd();
    }
    void step(int position) {
        if (!m_shown) return;
        m_host.progressStep(position);
        m_host.processEvents();
    }

  private:
    core::Host& m_host;
    bool m_shown;
};

// The few formulas of one revolution integral are evaluated at every node and again inside
// every derivative, so their compiled forms are kept; the engine is single-threaded.
const expr::CompiledExpression& compiledFor(std::string_view f, char letter, bool validate) {
    constexpr std::size_t kKept = 8;
    static std::deque<std::pair<char, expr::CompiledExpression>> kept;
    for (const auto& [l, c] : kept)
        if (l == letter && c.text() == f && c.validates() == validate) return c;
    if (kept.size() == kKept) kept.pop_back();
    kept.emplace_front(letter, expr::CompiledExpression(f, std::string_view(&letter, 1), validate));
    return kept.front().second;
}

// A measure that a double cannot hold is flagged like one that tends to infinity.
double finiteOr(long double v, bool& infinite) {
    const double d = static_cast<double>(v);
    if (std::isfinite(d)) return d;
    infinite = true;
    return 0;
}

} // namespace

Integrator::Integrator(core::Env& env, expr::ExpressionEngine& engine, int points)
    : m_env(env), m_engine(engine),
      m_points(std::clamp(points, kMinIntegrationPoints, kMaxIntegrationPoints)) {}

long double Integrator::value(std::string_view f, char letter, long double x) {
    const long double v = compiledFor(f, letter, m_engine.ValidateCharacters).Evaluate(m_engine, x);
    m_nodeFailed = m_nodeFailed || m_engine.CalcError != expr::kCalcOk;
    return v;
}

void Integrator::nodeDone() {
    if (!m_nodeFailed) ++m_definedNodes;
    m_nodeFailed = false;
}

long double Integrator::TrapezoidIntegral(std::string_view f, char letter, long double from,
                                          long double to) {
    InfiniteFlag = false;
    ProgressScope progress(m_env.host, m_env.msg(lang::msg::kComputingIntegral), m_points);
    const long double h = (to - from) / m_points;
    long double sum = 0;
    for (int i = 0; i <= m_points; ++i) {
        progress.step(i + 1);
        const long double v = value(f, letter, from + i * h);
        nodeDone();
        sum += (i == 0 || i == m_points) ? v / 2 : v;
    }
    return h * sum;
}

long double Integrator::NumericDerivative(std::string_view f, char letter, long double x) {
    InfiniteFlag = false;
    long double h = kDerivativeStep;
    long double d = kDerivativeStart;
    long double diff = 0, previous = 0;
    for (int k = 1; k <= kMaxDerivativeHalvings; ++k) {
        h /= 2;
        const long double old = d;
        d = (value(f, letter, x + h) - value(f, letter, x - h)) / (2 * h);
        if (!std::isfinite(d)) {
            InfiniteFlag = true;
            return 0;
        }
        previous = diff;
        diff = std::fabs(old - d);
        if (k >= 2 && diff < kDerivativeSettled) break;
        if (k >= 3 && diff > previous) break;
    }
    if (diff > previous && diff > kDerivativeSettled) InfiniteFlag = true;
    return d;
}

long double Integrator::VolumeExplicit(std::string_view f, Axis axis, long double a,
                                       long double b) {
    const std::string body(f);
    if (axis == Axis::Ox) return std::fabs(TrapezoidIntegral("pi*(" + body + ")^2", 'X', a, b));
    return std::fabs(2 * kPi * TrapezoidIntegral("X*(" + body + ")", 'X', a, b));
}

long double Integrator::AreaExplicit(std::string_view f, Axis axis, long double a, long double b) {
    const long double widen = kAreaWidening + (axis == Axis::Ox ? kAreaWideningOx : 0);
    const long double lo = std::min(a, b) - widen;
    const long double hi = std::max(a, b) + widen;
    // The nodes run from hi down to lo, so the last derivative is the one at the lower end.
    const long double h = (lo - hi) / m_points;
    ProgressScope progress(m_env.host, m_env.msg(lang::msg::kComputingRevolutionArea), m_points);
    // The widening can put an end node just outside the curve's domain (a ball's pole is the
    // interval's own end); such a node takes the integrand of the node next to it rather than 0.
    // The pole itself is no better: its radius is 0 and its slope unbounded, so it gives 0 about
    // Ox and any size about Oy.
    const std::size_t count = static_cast<std::size_t>(m_points) + 1;
    std::vector<long double> g(count, 0);
    std::vector<char> defined(count, 0);
    for (std::size_t i = 0; i < count; ++i) {
        progress.step(static_cast<int>(i) + 1);
        const long double x = hi + static_cast<int>(i) * h;
        const long double fx = value(f, 'X', x);
        defined[i] = m_engine.CalcError == expr::kCalcOk;
        // No derivative there: the flag stays the one of the neighbour whose value is taken.
        if (i + 1 == count && !defined[i] && defined[i - 1]) {
            g[i] = g[i - 1];
            break;
        }
        const long double slope = NumericDerivative(f, 'X', x);
        const long double radius = axis == Axis::Ox ? fx : x;
        g[i] = std::fabs(2 * kPi * radius * std::sqrt(1 + slope * slope));
        nodeDone();
    }
    if (!defined[0] && defined[1]) g[0] = g[1];
    long double sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum += (i == 0 || i + 1 == count) ? g[i] / 2 : g[i];
    return std::fabs(h * sum);
}

template <class Integrand>
long double Integrator::parametricTrapezoid(int progressText, long double t0, long double t1,
                                            const Integrand& g) {
    const long double h = (t1 - t0) / m_points;
    ProgressScope progress(m_env.host, m_env.msg(progressText), m_points);
    long double sum = 0;
    for (int i = 0; i <= m_points; ++i) {
        progress.step(i + 1);
        const long double v = g(t0 + i * h);
        nodeDone();
        sum += (i == 0 || i == m_points) ? v / 2 : v;
    }
    return std::fabs(h * sum);
}

long double Integrator::VolumeParametric(std::string_view F, std::string_view G, long double t0,
                                         long double t1) {
    return parametricTrapezoid(lang::msg::kComputingRevolutionVolume, t0, t1, [&](long double t) {
        const long double r = value(F, 'T', t);
        return kPi * r * r * NumericDerivative(G, 'T', t);
    });
}

long double Integrator::AreaParametric(std::string_view F, std::string_view G, long double t0,
                                       long double t1) {
    return parametricTrapezoid(lang::msg::kComputingRevolutionArea, t0, t1, [&](long double t) {
        const long double r = value(F, 'T', t);
        const long double dF = NumericDerivative(F, 'T', t);
        const long double dG = NumericDerivative(G, 'T', t);
        return 2 * kPi * r * std::sqrt(dF * dF + dG * dG);
    });
}

template <class Volume, class Area>
RevolutionMeasures Integrator::revolve(const Volume& volumeOf, const Area& areaOf) {
    const auto measure = [this](const auto& integral, double& value, bool& infinite,
                                bool& undefined) {
        InfiniteFlag = false;
        countNodes();
        const long double v = integral();
        infinite = InfiniteFlag;
        undefined = m_definedNodes == 0;
        value = finiteOr(v, infinite);
    };
    RevolutionMeasures m;
    measure(volumeOf, m.volume, m.volumeInfinite, m.volumeUndefined);
    measure(areaOf, m.area, m.areaInfinite, m.areaUndefined);
    return m;
}

RevolutionMeasures Integrator::RevolveExplicit(std::string_view f, Axis axis, long double a,
                                               long double b) {
    return revolve([&] { return VolumeExplicit(f, axis, a, b); },
                   [&] { return AreaExplicit(f, axis, a, b); });
}

RevolutionMeasures Integrator::RevolveParametric(std::string_view F, std::string_view G,
                                                 long double t0, long double t1) {
    return revolve([&] { return VolumeParametric(F, G, t0, t1); },
                   [&] { return AreaParametric(F, G, t0, t1); });
}

std::vector<geo::Vec3> SplitAtAxes(std::span<const geo::Vec3> points) {
    std::vector<geo::Vec3> out;
    if (points.empty()) return out;
    const geo::Vec3 xAxis[2] = {{-10, 0, 0}, {10, 0, 0}};
    const geo::Vec3 yAxis[2] = {{0, -10, 0}, {0, 10, 0}};
    for (std::size_t k = 0; k + 1 < points.size(); ++k) {
        const geo::Vec3& p = points[k];
        const geo::Vec3& q = points[k + 1];
        out.push_back(p);
        const double length = std::hypot(q.x - p.x, q.y - p.y);
        struct Crossing {
            double distance;
            geo::Vec3 point;
        };
        std::vector<Crossing> kept;
        for (const geo::Vec3* axis : {xAxis, yAxis}) {
            const geo::Point2Result r = geo::LineIntersection2D(p, q, axis[0], axis[1]);
            if (r.error) continue;
            const bool inBox = std::min(p.x, q.x) <= r.x && r.x <= std::max(p.x, q.x) &&
                               std::min(p.y, q.y) <= r.y && r.y <= std::max(p.y, q.y);
            const double distance = std::hypot(r.x - p.x, r.y - p.y);
            if (inBox && distance >= kAxisCrossingMargin &&
                std::fabs(length - distance) >= kAxisCrossingMargin)
                kept.push_back({distance, {r.x, r.y, 0}});
        }
        std::sort(kept.begin(), kept.end(),
                  [](const Crossing& a, const Crossing& b) { return a.distance < b.distance; });
        for (const Crossing& c : kept)
            out.push_back(c.point);
    }
    out.push_back(points.back());
    return out;
}

PolylineRevolution RevolvePolyline(std::span<const geo::Vec3> points) {
    const std::vector<geo::Vec3> split = SplitAtAxes(points);
    long double vx = 0, vy = 0, sx = 0, sy = 0;
    for (std::size_t k = 0; k + 1 < split.size(); ++k) {
        const long double x0 = split[k].x, y0 = split[k].y;
        const long double x1 = split[k + 1].x, y1 = split[k + 1].y;
        const long double length = std::hypot(x1 - x0, y1 - y0);
        vx += (y0 * y0 + y0 * y1 + y1 * y1) * (x1 - x0);
        vy += (x0 * x0 + x0 * x1 + x1 * x1) * (y1 - y0);
        sx += kPi * std::fabs(y0 + y1) * length;
        sy += kPi * std::fabs(x0 + x1) * length;
    }
    return {static_cast<double>(std::fabs(vx * kPi / 3)),
            static_cast<double>(std::fabs(vy * kPi / 3)), static_cast<double>(sx),
            static_cast<double>(sy)};
}

ContourResult ContourIntegral(core::Env& env, expr::ExpressionEngine& engine, std::string_view f,
                              std::span<const geo::Vec3> points) {
    ContourResult result;
    const expr::CompiledExpression compiled(f, "XYZ", engine.ValidateCharacters);
    const int n = static_cast<int>(points.size());
    ProgressScope progress(env.host, env.msg(lang::msg::kComputingContourIntegral),
                           std::max(n - 1, 0), n > kContourProgressFrom);
    for (int k = 1; k <= n - 1; ++k) {
        progress.step(k);
        const geo::Vec3& p = points[static_cast<std::size_t>(k - 1)];
        const geo::Vec3 d = points[static_cast<std::size_t>(k)] - p;
        const long double piece =
            std::sqrt(static_cast<long double>(geo::dot(d, d))) / kContourPieces;
        for (int m = 0; m < kContourPieces; ++m) {
            const geo::Vec3 mid = p + d * ((m + 0.5) / kContourPieces);
            const long double at[3] = {mid.x, mid.y, mid.z};
            const long double v = compiled.Evaluate(engine, at);
            if (engine.CalcError != expr::kCalcOk) {
                result.error = true;
                return result;
            }
            result.value += v * piece;
        }
    }
    result.error = !std::isfinite(result.value);
    return result;
}

namespace {

// What a thread needs to evaluate a surface's parts and the clip region: compiled programs keep
// scratch registers, so each thread has its own. Its own cache lines too: the engine's error code
// is written at every point.
struct alignas(64) RowTools {
    expr::ExpressionEngine engine;
    PartEvaluators evaluators;
    CompiledClip clip;
};
// One set per thread, each allocated on its own.
using ToolSet = std::vector<std::unique_ptr<RowTools>>;

// Rows handled between two looks at the stop button.
constexpr int kRowBlock = 32;

int ThreadCount(int threads) {
    const int wanted =
        threads > 0 ? threads : static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(wanted, 1, kRowBlock); // more would leave threads without a row
}

// Runs `row(tools, i)` for the rows first..last, split into as many runs of neighbouring rows as
// there are tool sets; the first run stays on the calling thread. Rows write only their own
// results, so the outcome does not depend on the split. Each other thread runs its own copy of
// `row`: rows read what the row captured at every point, and that must not share cache lines
// with the calling thread's stack, which it writes all the time.
template <typename Row> void RunRows(ToolSet& tools, int first, int last, const Row& row) {
    const int rows = last - first + 1;
    const int runs = std::min(static_cast<int>(tools.size()), rows);
    const auto runStart = [first, rows, runs](int k) { return first + k * rows / runs; };
    std::vector<std::thread> helpers;
    helpers.reserve(static_cast<std::size_t>(runs));
    for (int k = 1; k < runs; ++k) {
        RowTools& own = *tools[static_cast<std::size_t>(k)];
        own.engine = tools.front()->engine; // copied here: the first set is busy below
        const auto work = [&own, &row, from = runStart(k), to = runStart(k + 1)] {
            const Row copy = row;
            for (int i = from; i < to; ++i)
                copy(own, i);
        };
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            work(); // no thread to be had: the same rows on this one
        }
    }
    for (int i = first; i < runStart(1); ++i)
        row(*tools.front(), i);
    for (std::thread& helper : helpers)
        helper.join();
}

// The nodes of the double integral: n per axis over `rect`, node (i, j) for i, j = 1..n.
struct Grid {
    expr::RegionBounds rect;
    int n = 0;
    double dx = 0, dy = 0;
    // The last node of an axis is its bound itself: from + (n - 1)·d can miss it by a rounding
    // step, and a polygon's edge there would lose the whole row of nodes.
    double x(int i) const { return i == n ? rect.xTo : rect.xFrom + (i - 1) * dx; }
    double y(int j) const { return j == n ? rect.yTo : rect.yFrom + (j - 1) * dy; }
    std::size_t at(int i, int j) const {
        return static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(n) +
               static_cast<std::size_t>(j - 1);
    }
    std::size_t size() const { return at(n, n) + 1; }
};

// The rectangle of a polygon's vertices, or the bounds narrowed to where the surface has values
// inside the system, with `points` nodes per axis.
Grid IntegrationGrid(core::Env& env, expr::ExpressionEngine& engine, core::SceneObject& surface,
                     const CalcRegion& region, int points) {
    Grid g;
    g.rect = region.bounds;
    if (region.region.isPolygon) {
        g.rect = expr::polygonBounds(region.region.polygon);
    } else if (NormaliseRectangle(g.rect)) {
        g.rect = SampleSurface(engine, surface, SurfaceGridSize(env.settings.Quality()), g.rect,
                               &region.region)
                     .rect;
    }
    g.n = std::clamp(points, kMinIntegrationPoints, kMaxIntegrationPoints);
    g.dx = (g.rect.xTo - g.rect.xFrom) / (g.n - 1);
    g.dy = (g.rect.yTo - g.rect.yFrom) / (g.n - 1);
    return g;
}

// Each node's owner (the first part whose region holds it and whose formula has a value there,
// 0 for none or outside the integration region) and its height. True when stopped.
bool OwnershipPass(core::Env& env, const Grid& grid, const CalcRegion& region, int parts,
                   ToolSet& tools, std::vector<std::uint8_t>& owner, std::vector<double>& z) {
    // A part whose region is the clip system itself has already passed the clip test.
    std::vector<std::uint8_t> clippedByPart(static_cast<std::size_t>(parts) + 1, 0);
    for (int k = 1; k <= parts && !region.region.isPolygon; ++k)
        clippedByPart[static_cast<std::size_t>(k)] =
            tools.front()->evaluators.regionIsSystem(k, region.region.system);
    const int n = grid.n;
    const std::string count = std::to_string(n);
    ProgressScope progress(env.host,
                           env.messages.format(lang::msg::kRefiningRegion, {count, count}), n);
    // Captured by value, arrays by their data: see RunRows.
    std::uint8_t* const owners = owner.data();
    double* const heights = z.data();
    const std::uint8_t* const clipped = clippedByPart.data();
    const auto row = [grid, parts, owners, heights, clipped](RowTools& tools, int i) {
        const double x = grid.x(i);
        for (int j = 1; j <= grid.n; ++j) {
            const double y = grid.y(j);
            const std::size_t node = grid.at(i, j);
            for (int k = 1; k <= parts; ++k) {
                if (!tools.evaluators.inRegion(tools.engine, k, x, y)) continue;
                const auto value = tools.evaluators.valueAt(tools.engine, k, x, y);
                if (!value) continue;
                owners[node] = static_cast<std::uint8_t>(k);
                heights[node] = *value;
                break;
            }
            const int k = owners[node];
            if (k != 0 && !clipped[static_cast<std::size_t>(k)] &&
                !tools.clip.contains(tools.engine, x, y))
                owners[node] = 0;
        }
    };
    bool stopped = false;
    for (int block = 1; block <= n && !stopped; block += kRowBlock) {
        const int last = std::min(n, block + kRowBlock - 1);
        RunRows(tools, block, last, row);
        // The window hears of the rows in order, as if they had been done one by one.
        for (int i = block; i <= last && !stopped; ++i) {
            progress.step(i);
            stopped = env.host.abortRequested();
        }
    }
    return stopped;
}

struct Sums {
    long double integral = 0, area = 0;
};

// The integral and the area over the owned triangles, two per cell split along the diagonal from
// (i, j) to (i + 1, j + 1), each integral term its projected area times the mean of the corners'
// mean height and the shared corner's formula at the centroid. Each row's terms are kept and
// added in the order of the cells, so the sums do not depend on the threads. Runs until
// `stopped` (also none when it already is).
Sums TriangleSums(core::Env& env, const Grid& grid, ToolSet& tools,
                  const std::vector<std::uint8_t>& owner, const std::vector<double>& z,
                  bool& stopped) {
    const int n = grid.n;
    const long double cell = std::fabs(static_cast<long double>(grid.dx) * grid.dy);
    ProgressScope progress(env.host, env.msg(lang::msg::kComputingDoubleIntegral), n);
    const std::size_t perRow = 2 * static_cast<std::size_t>(n - 1);
    std::vector<long double> areaTerm(static_cast<std::size_t>(kRowBlock) * perRow);
    std::vector<long double> integralTerm(areaTerm.size());
    std::vector<std::uint8_t> counted(areaTerm.size()); // bytes: rows are written at once
    long double* const areas = areaTerm.data();
    long double* const integrals = integralTerm.data();
    std::uint8_t* const counts = counted.data();
    const std::uint8_t* const owners = owner.data();
    const double* const heights = z.data();
    // Captured by value, arrays by their data: see RunRows. Blocks start at rows
    // 1 + k·kRowBlock.
    const auto row = [grid, cell, perRow, areas, integrals, counts, owners,
                      heights](RowTools& tools, int i) {
        geo::PointList triangle;
        triangle.n = 3;
        std::size_t t = static_cast<std::size_t>((i - 1) % kRowBlock) * perRow;
        for (int j = 1; j < grid.n; ++j) {
            const int shared = owners[grid.at(i + 1, j + 1)];
            const int corners[2][3][2] = {{{i, j}, {i, j + 1}, {i + 1, j + 1}},
                                          {{i + 1, j + 1}, {i + 1, j}, {i, j}}};
            for (const auto& tri : corners) {
                bool owned = true;
                long double xc = 0, yc = 0, zc = 0;
                for (int c = 0; c < 3; ++c) {
                    const int ci = tri[c][0], cj = tri[c][1];
                    owned = owned && owners[grid.at(ci, cj)] != 0;
                    const geo::Vec3 p{grid.x(ci), grid.y(cj), heights[grid.at(ci, cj)]};
                    triangle[c + 1] = p;
                    xc += p.x / 3;
                    yc += p.y / 3;
                    zc += p.z / 3;
                }
                counts[t] = owned;
                if (owned) {
                    // Where the shared corner's formula has no value at the centroid, the
                    // corners' mean stands in for it rather than a zero.
                    const auto fc = tools.evaluators.valueAt(
                        tools.engine, shared, static_cast<double>(xc), static_cast<double>(yc));
                    const long double centre = fc ? *fc : zc;
                    areas[t] = std::fabs(geo::PolygonArea3D(triangle));
                    integrals[t] = cell / 2 * (zc + (centre - zc) / 2);
                }
                ++t;
            }
        }
    };
    Sums sums;
    for (int blockStart = 1; blockStart < n && !stopped; blockStart += kRowBlock) {
        const int last = std::min(n - 1, blockStart + kRowBlock - 1);
        RunRows(tools, blockStart, last, row);
        for (int i = blockStart; i <= last && !stopped; ++i) {
            progress.step(i);
            const std::size_t from = static_cast<std::size_t>(i - blockStart) * perRow;
            for (std::size_t t = from; t < from + perRow; ++t)
                if (counted[t]) {
                    sums.area += areaTerm[t];
                    sums.integral += integralTerm[t];
                }
            stopped = env.host.abortRequested();
        }
    }
    return sums;
}

} // namespace

RequestFault CheckDoubleIntegralRequest(expr::ExpressionEngine& engine, const CalcRegion& region,
                                        long double points) {
    engine.CalcError = expr::kCalcOk;
    // Written so that a NaN fails too.
    if (!(points >= kMinDoubleIntegralPoints && points <= kMaxIntegrationPoints))
        return RequestFault::PointsOutOfRange;
    if (region.region.isPolygon) {
        if (region.region.polygon.n < kMinRegionVertices) return RequestFault::TooFewVertices;
        if (region.region.polygon.n > kMaxRegionVertices) return RequestFault::TooManyVertices;
        return RequestFault::None;
    }
    const bool accepted = expr::acceptsTypedSystem(engine, region.region.system);
    engine.CalcError = expr::kCalcOk;
    return accepted ? RequestFault::None : RequestFault::BadSystem;
}

DoubleIntegralResult DoubleIntegral(core::Env& env, expr::ExpressionEngine& engine,
                                    core::SceneObject& surface, const CalcRegion& region,
                                    int points, int threads) {
    const Grid grid = IntegrationGrid(env, engine, surface, region, points);
    ToolSet tools;
    for (int k = ThreadCount(threads); k > 0; --k)
        tools.push_back(std::unique_ptr<RowTools>(
            new RowTools{engine, PartEvaluators(surface, engine.ValidateCharacters),
                         CompiledClip(region.region.isPolygon, region.region.system,
                                      region.region.polygon, engine.ValidateCharacters)}));
    std::vector<std::uint8_t> owner(grid.size(), 0);
    std::vector<double> z(grid.size(), 0);
    bool stopped = OwnershipPass(env, grid, region, UsablePartCount(surface), tools, owner, z);

    surface.volume = 0;
    surface.areaInfinite = 0;
    surface.surfaceArea = 0;
    const Sums sums = TriangleSums(env, grid, tools, owner, z, stopped);
    DoubleIntegralResult result;
    const double sumI = static_cast<double>(sums.integral);
    const double sumS = static_cast<double>(sums.area);
    const bool finite = std::isfinite(sumI) && std::isfinite(sumS);
    result.code = stopped  ? kDoubleIntegralStopped
                  : finite ? kDoubleIntegralDone
                           : kDoubleIntegralNoValue;
    // What a double cannot hold is stored as 0, which the surface's file can hold.
    result.integral = std::isfinite(sumI) ? sumI : 0;
    result.area = std::isfinite(sumS) ? sumS : 0;
    surface.areaInfinite = result.integral;
    surface.surfaceArea = result.area;
    return result;
}

} // namespace vorn::surf
