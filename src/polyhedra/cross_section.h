// Cutting a convex polyhedron by a plane object: section polygon, contour and the two parts.
#pragma once

#include "core/scene.h"

#include <array>

namespace vorn::poly {

// Most vertices the working copy of a cut may reach (the record's vertex array).
inline constexpr int kMaxSectionVertices = core::kMaxVertices;

// What one section did, for the caller and for tests.
struct SectionResult {
    bool computed = false; // area and perimeter were reported
    double area = 0;
    double perimeter = 0;
    int contourSlot = 0;            // the new contour polyline, 0 when none was kept
    std::array<int, 2> partSlots{}; // the new parts 1 and 2, 0 for a part not created
};

// Cuts the Polyhedron in `polyhedronSlot` by the Plane in `planeSlot`, reporting through the
// host: refuses a non-convex polyhedron, reports area and perimeter, offers the contour polyline
// and, when the plane cuts through (vertices lie beyond kEpsEdge on both sides), the two parts
// (hiding the cut polyhedron). Only points on an edge within kEpsEdge become section points. A cut
// that needs more than kMaxSectionVertices vertices or more than kMaxPlanePoints section points is
// reported as not completed. Questions whose objects would not fit in the scene are not asked. Does
// nothing unless the kinds match.
SectionResult CrossSection(core::Env& env, int planeSlot, int polyhedronSlot);

} // namespace vorn::poly
