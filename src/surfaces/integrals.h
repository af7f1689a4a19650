// Numerical integration: trapezoid sums, derivatives, solids of revolution, contour and double
// integrals.
#pragma once

#include "core/scene.h"
#include "expr/expression_engine.h"
#include "expr/region.h"
#include "surfaces/surface_mesh.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::surf {

inline constexpr int kMinIntegrationPoints = 2;
inline constexpr int kMaxIntegrationPoints = 1000;
// First half-step of NumericDerivative and the change under which its quotients have settled.
inline constexpr long double kDerivativeStep = 1e-7L;
inline constexpr long double kDerivativeSettled = 0.00001L;
// Widening of the interval of the areas of explicit curves: 1e-9 at both ends, plus 1e-7 about Ox.
inline constexpr long double kAreaWidening = 1e-9L;
inline constexpr long double kAreaWideningOx = 1e-7L;
// Crossings closer than this to a segment's end are not split off.
inline constexpr double kAxisCrossingMargin = 0.0001;
inline constexpr int kContourPieces = 100;
inline constexpr int kContourProgressFrom = 30; // segments; more show the progress window
inline constexpr int kMaxContourPoints = 1001;  // 1000 points and a closing copy

inline constexpr long double kPi = 3.1415926535897932385L;

enum class Axis { Ox = 0, Oy = 1 };

struct RevolutionMeasures {
    double volume = 0, area = 0;
    // Tends to infinity, or is beyond what a double holds (the value is then 0).
    bool volumeInfinite = false, areaInfinite = false;
    // The integrand had a value at no node (y = 1/0): the value 0 means nothing.
    bool volumeUndefined = false, areaUndefined = false;
};

// Holds the engine, the host for progress and the number of subintervals N of every
// one-dimensional integral; `InfiniteFlag` tells whether the last derivative did not settle.
class Integrator {
  public:
    Integrator(core::Env& env, expr::ExpressionEngine& engine, int points);

    bool InfiniteFlag = false;
    int points() const { return m_points; }

    // Integral of f(letter) over [from, to] by the trapezoid rule with N subintervals.
    long double TrapezoidIntegral(std::string_view f, char letter, long double from,
                                  long double to);
    // Central difference quotient with halving steps; sets InfiniteFlag when it diverges.
    long double NumericDerivative(std::string_view f, char letter, long double x);

    // y = f(x) on [a, b] turned about an axis.
    long double VolumeExplicit(std::string_view f, Axis axis, long double a, long double b);
    long double AreaExplicit(std::string_view f, Axis axis, long double a, long double b);
    // Curve (radius F(t), coordinate along the axis G(t)) on [t0, t1].
    long double VolumeParametric(std::string_view F, std::string_view G, long double t0,
                                 long double t1);
    long double AreaParametric(std::string_view F, std::string_view G, long double t0,
                               long double t1);

    // Volume and area with their infinity flags.
    RevolutionMeasures RevolveExplicit(std::string_view f, Axis axis, long double a, long double b);
    RevolutionMeasures RevolveParametric(std::string_view F, std::string_view G, long double t0,
                                         long double t1);

  private:
    // The trapezoid rule over [t0, t1] in m_points steps, each node counted.
    template <class Integrand>
    long double parametricTrapezoid(int progressText, long double t0, long double t1,
                                    const Integrand& g);
    // The volume, then the area, each with its flags of the nodes it met.
    template <class Volume, class Area>
    RevolutionMeasures revolve(const Volume& volumeOf, const Area& areaOf);
    long double value(std::string_view f, char letter, long double x);
    // Starts counting the nodes of an integral; nodeDone ends one and counts it when every
    // value it needed was there.
    void countNodes() {
        m_nodeFailed = false;
        m_definedNodes = 0;
    }
    void nodeDone();

    core::Env& m_env;
    expr::ExpressionEngine& m_engine;
    int m_points;
    bool m_nodeFailed = false;
    int m_definedNodes = 0;
};

// Polyline (x, y) points with a point inserted wherever a segment crosses an axis inside.
std::vector<geo::Vec3> SplitAtAxes(std::span<const geo::Vec3> points);

struct PolylineRevolution {
    double volumeOx = 0, volumeOy = 0, areaOx = 0, areaOy = 0;
};
// Frustum sums over the split polyline, about both axes at once.
PolylineRevolution RevolvePolyline(std::span<const geo::Vec3> points);

struct ContourResult {
    long double value = 0;
    bool error = false; // a function value failed (`value` is the partial sum), or the sum is not
                        // finite
};
// Integral of f(X, Y, Z) ds along the polyline `points` (100 midpoints per segment).
ContourResult ContourIntegral(core::Env& env, expr::ExpressionEngine& engine, std::string_view f,
                              std::span<const geo::Vec3> points);

// The calculator's integration region: its bounds and a system or a polygon.
struct CalcRegion {
    expr::RegionBounds bounds{-3, 3, -3, 3};
    ClipRegion region;
};

// What a double integral may be asked for: a polygon of 3..40 vertices, 50..1000 grid nodes per
// axis (the setting's range).
inline constexpr int kMinRegionVertices = 3; // fewer enclose nothing
inline constexpr int kMaxRegionVertices = 40;
inline constexpr int kMinDoubleIntegralPoints = 50;

enum class RequestFault {
    None,
    PointsOutOfRange, // outside kMinDoubleIntegralPoints..kMaxIntegrationPoints
    TooFewVertices,
    TooManyVertices,
    BadSystem, // malformed where the typing check probes it
};
// The checks of a request before it runs, in this order: points, then the region. The system is
// probed with `engine`, whose CalcError is left clear.
RequestFault CheckDoubleIntegralRequest(expr::ExpressionEngine& engine, const CalcRegion& region,
                                        long double points);

inline constexpr int kDoubleIntegralDone = 0;
inline constexpr int kDoubleIntegralStopped = 3;
inline constexpr int kDoubleIntegralNoValue = 6; // a sum beyond what a double holds

struct DoubleIntegralResult {
    int code = kDoubleIntegralDone;
    double integral = 0, area = 0;
};

// Double integral of the surface over the region and the area of the surface above it on a
// grid of `points` nodes per axis. Stores the integral in `areaInfinite`, the area in
// `surfaceArea` and 0 in `volume` of the surface; code kDoubleIntegralStopped when stopped,
// kDoubleIntegralNoValue when a sum is not finite (that sum is stored as 0).
// The grid rows are shared by `threads` threads, kAllCores for one per core; the sums are the
// same, bit for bit, for any count.
inline constexpr int kAllCores = 0;
DoubleIntegralResult DoubleIntegral(core::Env& env, expr::ExpressionEngine& engine,
                                    core::SceneObject& surface, const CalcRegion& region,
                                    int points, int threads = kAllCores);

} // namespace vorn::surf
