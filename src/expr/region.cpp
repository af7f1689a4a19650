// Point tests against regions: systems of relations and polygons.
#include "expr/region.h"

#include "geometry/polygon.h"

#include <algorithm>

namespace vorn::expr {

bool pointInSystem(ExpressionEngine& engine, std::string_view system, long double x,
                   long double y) {
    const std::string withX = ExpressionEngine::SubstituteVariable(system, 'X', x);
    return engine.EvaluateSystem(ExpressionEngine::SubstituteVariable(withX, 'Y', y));
}

bool acceptsTypedSystem(ExpressionEngine& engine, std::string_view system) {
    const bool inside = pointInSystem(engine, system, kTypingProbe, kTypingProbe);
    return inside || engine.CalcError <= 0;
}

bool pointInPolygonRegion(const geo::PointList& vertices, double x, double y) {
    const geo::PolygonTest t = geo::PointInPolygon2D(vertices, x, y);
    return t.inside || t.onEdge;
}

RegionBounds polygonBounds(const geo::PointList& vertices) {
    const int n = std::clamp<int>(vertices.n, 0, geo::PointList::kCapacity);
    if (n == 0) return {};
    RegionBounds b{vertices[1].x, vertices[1].x, vertices[1].y, vertices[1].y};
    for (int j = 2; j <= n; ++j) {
        b.xFrom = std::min(b.xFrom, vertices[j].x);
        b.xTo = std::max(b.xTo, vertices[j].x);
        b.yFrom = std::min(b.yFrom, vertices[j].y);
        b.yTo = std::max(b.yTo, vertices[j].y);
    }
    return b;
}

} // namespace vorn::expr
