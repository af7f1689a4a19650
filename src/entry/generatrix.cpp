// Mesh sizes of surfaces of revolution and the sampling of their generating curve.
#include "entry/generatrix.h"

#include "core/object_view.h"
#include "expr/compiled_expression.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace vorn::entry {

namespace {

// nearbyint rounds halves to even in the default rounding mode.
int roundedAtLeastFive(double v) {
    const double r = std::nearbyint(v);
    if (!(r >= kMinCurvePoints)) return kMinCurvePoints;
    return static_cast<int>(std::min(r, 1000.0));
}

// A function value the record can hold, or 0 as the engine gives for a failure.
float valueOrZero(expr::ExpressionEngine& engine, const expr::CompiledExpression& f,
                  long double at) {
    const long double v = f.Evaluate(engine, at);
    if (engine.CalcError != expr::kCalcOk || !std::isfinite(v) || std::fabs(v) > FLT_MAX) return 0;
    return static_cast<float>(v);
}

} // namespace

int CurvePointLimit(double quality) {
    return roundedAtLeastFive(quality * 25);
}

int RingCount(double quality) {
    return roundedAtLeastFive(quality * 40);
}

void SampleGeneratrix(expr::ExpressionEngine& engine, core::SceneObject& entry, double quality,
                      GeneratrixType type, std::string_view func1, std::string_view func2,
                      double from, double to) {
    core::SetGeneratrixRange(entry, {from, to});
    const int limit = std::min(CurvePointLimit(quality), core::kMaxPartPoints);
    const core::ObjectPart& polyline = entry.part(3);
    const int m = type == GeneratrixType::Polyline
                      ? std::min<int>(polyline.area.polygon.pointCount, core::kMaxPartPoints)
                      : limit;
    const long double h = (static_cast<long double>(to) - from) / (limit - 1);
    const char* letter = type == GeneratrixType::Explicit ? "X" : "T";
    const expr::CompiledExpression f1(func1, letter, engine.ValidateCharacters);
    const expr::CompiledExpression f2(func2, letter, engine.ValidateCharacters);
    core::PartPoint points[core::kMaxPartPoints];
    for (int i = 1; i <= m; ++i) {
        const long double p = from + (i - 1) * h;
        core::PartPoint& q = points[i - 1];
        switch (type) {
        case GeneratrixType::Explicit:
            q = {static_cast<float>(p), valueOrZero(engine, f1, p)};
            break;
        case GeneratrixType::Parametric:
            q = {valueOrZero(engine, f2, p), valueOrZero(engine, f1, p)};
            break;
        case GeneratrixType::Polyline:
            q = polyline.area.polygon.points[i - 1];
            break;
        }
        if (!std::isfinite(q.x)) q.x = 0;
        if (!std::isfinite(q.y)) q.y = 0;
    }
    core::ObjectPart& target = entry.part(1);
    target.domainKind = 0;
    target.area.polygon.pointCount = static_cast<std::uint8_t>(m);
    if (m <= 0) return;
    std::copy(points, points + m, target.area.polygon.points);
    const auto [minX, maxX] = std::minmax_element(
        points, points + m, [](const auto& a, const auto& b) { return a.x < b.x; });
    const auto [minY, maxY] = std::minmax_element(
        points, points + m, [](const auto& a, const auto& b) { return a.y < b.y; });
    entry.minX = minX->x;
    entry.maxX = maxX->x;
    entry.minY = minY->y;
    entry.maxY = maxY->y;
}

} // namespace vorn::entry
