// Moving, turning, resizing and deforming objects, and the value of a surface at a point: the
// arithmetic behind the picture interaction.
#pragma once

#include "core/scene.h"
#include "expr/expression_engine.h"
#include "geometry/vec3.h"
#include "polyhedra/measurements.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vorn::entry {

// Neither a Surface nor a RevolutionSurface: only these may be turned, resized or reshaped.
bool IsTurnable(core::ObjectType type);

// v turned by phi radians about the coordinate axis `axis` (1 Ox, 2 Oy, 3 Oz) through `centre`.
geo::Vec3 RotateAboutAxis(int axis, double phi, const geo::Vec3& v, const geo::Vec3& centre = {});

// Vertices and origin moved by d.
void TranslateObject(core::SceneObject& o, const geo::Vec3& d);
void RotateObject(core::SceneObject& o, int axis, double phi, const geo::Vec3& centre);
// Every coordinate's distance from `centre` times f.
void ScaleObject(core::SceneObject& o, double f, const geo::Vec3& centre);
// Per axis: distance from `centre` times q; a factor below kDeformFloor in size leaves the axis.
inline constexpr double kDeformFloor = 1e-8;
void DeformObject(core::SceneObject& o, const std::array<double, 3>& q, const geo::Vec3& centre);
// The vertex mean the drag and deformation turn about, refreshed from the vertices.
geo::Vec3 CurrentPivot(core::SceneObject& o);

// Face planes after a change of the vertices: surfaces give degenerate faces the zero plane,
// other kinds stop at the first bad face. Returns the polyhedron verdict (0 good).
int RefreshFacePlanes(core::SceneObject& o);

// The drag arithmetic in picture pixels; none when the reference leaves nothing to measure.
// Angle of one rotation step: the turn from the last pointer position to the new one about q.
std::optional<double> DragRotationAngle(const geo::Vec3& lastMouse, const geo::Vec3& q,
                                        const geo::Vec3& mouse);
// Factor of one resize step: distance of the new pointer from q over that of the last one.
std::optional<double> DragScaleFactor(const geo::Vec3& lastMouse, const geo::Vec3& q,
                                      const geo::Vec3& mouse);

// The transformation modes, numbered as their commands are ordered (the first is
// tag::FirstMode); 0 is none.
enum DragMode : int { kDragTranslate = 1, kDragRotate = 2, kDragResize = 3, kDragReshape = 4 };

// One drag step on `slot`: translation or reshaping of `vertex` by `shift` (whose component
// along the degenerate axis is dropped), rotation by `angle` about that axis through the pivot,
// resizing by `factor`. Kinds that refuse the mode stay as they are.
struct DragMove {
    int mode = 0; // a DragMode
    int axis = 0; // the degenerate axis, 1..3
    int vertex = 0;
    geo::Vec3 shift;
    double angle = 0;
    double factor = 1;
};
void ApplyDragMove(core::Scene& scene, int slot, const DragMove& move);

// The pages of "Операції над об'єктом".
enum class ObjectOperation { Translate = 1, Rotate = 2, Deform = 3 };
struct OperationValues {
    std::array<double, 3> shift{}; // a, b, c
    int axis = 1;                  // 1 Ox, 2 Oy, 3 Oz
    double degrees = 1;
    std::array<double, 3> factors{1, 1, 1};
};
inline constexpr double kPi = 3.1415926535897932385;
// Applies a page to `slot`; a page that does not suit the kind shows message 9 and returns false.
bool ApplyObjectOperation(core::Env& env, int slot, ObjectOperation page,
                          const OperationValues& values);

// A number as the surface-value questions accept it: digits with "." and an optional exponent.
std::optional<double> ParseDecimal(std::string_view text);
// "(x, y)" with both numbers in the answer format.
std::string PointText(const core::Env& env, double x, double y);
// Message 111: the report heading of the surface-value command.
std::string SurfaceValueHeading(const core::Env& env, int slot);
// The report of the value of the surface in `slot` at (x, y) and the offer of the point.
void ReportSurfaceValue(core::Env& env, expr::ExpressionEngine& engine, int slot, double x,
                        double y);

} // namespace vorn::entry
