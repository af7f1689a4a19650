// The object builder: turns the entry buffer and the entry dialog's values into a finished object.
#pragma once

#include "core/scene.h"
#include "expr/expression_engine.h"
#include "expr/region.h"

#include <string>

namespace vorn::entry {

inline constexpr int kDefaultColorIndex = 10;
// Normals and plane coefficients closer to zero than this define no plane.
inline constexpr double kZeroNormal = 0.00001;
// Half-width of the triangle a plane given by a normal or an equation is drawn with.
inline constexpr double kPlaneSpread = 3;

// What the entry dialog's controls hold, as values. Grids (polyline and polyhedron vertices,
// surface parts, the plane's nine point fields, the polyline generatrix) are in the entry buffer.
struct EntryValues {
    std::string name;
    int colorIndex = kDefaultColorIndex;
    double pointX = 3, pointY = 3, pointZ = 3;
    int polylineMode = 0; // 0 by points, 1 a point and direction vectors
    bool closed = false;
    int planeMode = 0; // 0 three points, 1 point and normal, 2 equation
    double planeD = 0; // "D=" of the equation
    expr::RegionBounds bounds{-3, 3, -3, 3};
    int partCount = 1;
    int generatrixType = 0; // 0 y=f(x), 1 x=f(t), y=g(t), 2 polyline
    int axis = 0;           // 0 Ox, 1 Oy
    double rangeFrom = -3, rangeTo = 3;
    std::string func1 = "sin(x)", func2 = "cos(t)";
    double shiftX = 0, shiftY = 0, shiftZ = 0;
};

// The values the dialog shows for an existing object.
EntryValues EntryValuesFromRecord(const core::SceneObject& o);

// Builds the object in `slot` from the entry buffer (slot 0) and `values`. With `fromDialog`
// the entry buffer's record header is taken over and the volume and area of a surface of
// revolution are integrated; without it (a silent rebuild) the stored header, rectangle, parts,
// volume and area stay. On failure the slot keeps its previous record, false is returned, and
// with `fromDialog` the failure is shown (message 94 for a surface). The object count is left
// to the caller: a new object is given back by the creation path, an edited one keeps its
// previous definition, a loaded one is kept unbuilt by the file reader. Success clears the
// slot's unbuilt state.
bool BuildObject(core::Env& env, expr::ExpressionEngine& engine, int slot, core::ObjectType type,
                 const EntryValues& values, bool fromDialog);

// Silent rebuild of a surface or surface of revolution from its stored definition, through the
// entry buffer; other kinds are left alone. False when no mesh can be made.
bool RebuildObject(core::Env& env, expr::ExpressionEngine& engine, int slot);

} // namespace vorn::entry
