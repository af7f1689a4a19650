// Regions of the x-y plane: a system of relations in x and y, or a polygon of vertices.
#pragma once

#include "expr/expression_engine.h"
#include "geometry/vec3.h"

#include <string_view>

namespace vorn::expr {

// Rectangle "Від"/"До" of a region.
struct RegionBounds {
    double xFrom = 0, xTo = 0, yFrom = 0, yTo = 0;
};

// Substitutes x, then y, into the system and tests it; a malformed system admits no point.
bool pointInSystem(ExpressionEngine& engine, std::string_view system, long double x, long double y);

// Check while typing: rejected only when the probe point is refused with CalcError > 0.
bool acceptsTypedSystem(ExpressionEngine& engine, std::string_view system);

// Point test against a polygon of entries 1..n (x, y used, implicitly closed). A point on an
// edge is inside.
bool pointInPolygonRegion(const geo::PointList& vertices, double x, double y);

// Bounding box of the polygon's vertices; all 0 for an empty polygon.
RegionBounds polygonBounds(const geo::PointList& vertices);

} // namespace vorn::expr
