// Meshes of surfaces z = f(x, y): grid sampling with narrowing, triangulation, value at a point.
#pragma once

#include "core/scene_object.h"
#include "expr/expression_engine.h"
#include "expr/region.h"
#include "geometry/vec3.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorn::surf {

// Below two nodes per axis the grid spacing is undefined.
inline constexpr int kMinGridNodes = 2;
// The coarsest grid a quality may ask for, the floor the points and rings of a surface of
// revolution have too: on two to four nodes a region inside its rectangle, like the disc of a
// new surface, keeps at most four of them.
inline constexpr int kMinSurfaceGrid = 5;
// The grid of the default quality (0.51).
inline constexpr int kDefaultSurfaceGrid = 16;
// A region true only on a set thinner than any spacing would otherwise narrow forever.
inline constexpr int kMaxNarrowingPasses = 64;
// Fewer sampled vertices than this make no surface.
inline constexpr int kMinSurfacePoints = 3;

// Nodes per axis of a surface grid: trunc(quality * sqrt(1000)), at least kMinSurfaceGrid.
int SurfaceGridSize(double quality);

// The extra region of the double integral: a system in x, y or a polygon (entries 1..n).
struct ClipRegion {
    bool isPolygon = false;
    std::string system;
    geo::PointList polygon;
};

bool InClipRegion(expr::ExpressionEngine& engine, const ClipRegion& clip, double x, double y);

// Region test of one surface part (polygon or system).
bool InPartRegion(expr::ExpressionEngine& engine, const core::ObjectPart& part, double x, double y);
// The part's formula at (x, y); none when it has no value or the value does not fit a float.
std::optional<double> PartValueAt(expr::ExpressionEngine& engine, const core::ObjectPart& part,
                                  double x, double y);

// Puts each pair of bounds in increasing order; false when a pair is equal or not finite.
bool NormaliseRectangle(expr::RegionBounds& rect);

// Result of the sampling step: the final (narrowed) rectangle and the grids of its last pass.
struct SurfaceSample {
    int n = 0;
    expr::RegionBounds rect;
    std::vector<std::uint8_t> owners; // part number per node, 0 none
    std::vector<int> vertexAt;        // 1-based number into `vertices`, 0 none
    std::vector<geo::Vec3> vertices;

    std::size_t index(int i, int j) const {
        return static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(n) +
               static_cast<std::size_t>(j - 1);
    }
    int owner(int i, int j) const { return owners[index(i, j)]; }
};

// Samples the parts of `surface` on an n x n grid over `rect` (already normalised), narrowing
// the rectangle to the claimed nodes until a pass leaves it unchanged. With `clip`, only nodes
// inside it count. The surface record is not changed.
SurfaceSample SampleSurface(expr::ExpressionEngine& engine, const core::SceneObject& surface, int n,
                            expr::RegionBounds rect, const ClipRegion* clip);

struct TriangleIndices {
    int v1, v2, v3;
};

// Faces of the sampled grid: per cell, the corners of the first part owning at least three.
std::vector<TriangleIndices> TriangulateSurface(const SurfaceSample& sample, int partCount);

// Samples and triangulates a surface from its rectangle and parts, writes the narrowed
// rectangle, the mesh and the face planes. A grid coarser than the default one that finds too
// few points gives way to the default grid. False (record untouched) for too few points.
bool BuildSurface(expr::ExpressionEngine& engine, core::SceneObject& surface, double quality);

// z of the surface at (x, y): the first part whose region holds the point and whose formula has
// a value there; none outside the surface's domain.
std::optional<double> SurfaceValueAt(expr::ExpressionEngine& engine,
                                     const core::SceneObject& surface, double x, double y);

// Plane of every face from its three vertices; a degenerate face gets the zero plane.
void SetFacePlanes(core::SceneObject& object);

// Number of parts a record may really use (a file may hold any byte).
int UsablePartCount(const core::SceneObject& object);

// The polygon of a part as a kernel point list (count cut to the record's capacity).
geo::PointList PartPolygon(const core::ObjectPart& part);

} // namespace vorn::surf
