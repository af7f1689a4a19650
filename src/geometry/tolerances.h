// Absolute tolerances of the geometry kernel and of the code that calls it.
#pragma once

namespace vorn::geo {

// Coincident points and lengths, degenerate normals and cosines, parallel lines,
// SignTol dead band, hull side test.
inline constexpr double kEpsCoord = 1e-9;
// Duplicate crossing in PointInPolygon2D; two lines meeting; equal vertices of duplicate objects.
inline constexpr double kEpsDuplicate = 1e-7;
// On-edge test and horizontal edges of PointInPolygon2D; coplanarity of two lines;
// coincident vertices and half-space test of cross-sections.
inline constexpr double kEpsEdge = 1e-6;
// ProjectionRule; point on a face plane; convexity; vertical face.
inline constexpr double kEpsPlane = 0.00001;
// Point on a segment in PlanarConvexHull and for crossings in PointInPolygon2D.
inline constexpr double kEpsSegment = 0.0001;
// Within-segment bound of LinePlaneIntersection: deliberately loose, see that routine.
inline constexpr double kWithinSegmentBound = 0.1;

} // namespace vorn::geo
