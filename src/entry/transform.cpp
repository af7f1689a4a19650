// Transformations of object records and the surface value report.
#include "entry/transform.h"

#include "core/format.h"
#include "core/object_view.h"
#include "geometry/primitives.h"
#include "lang/message_ids.h"
#include "polyhedra/formation.h"
#include "polyhedra/metrics.h"
#include "surfaces/surface_mesh.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <regex>
#include <string>

namespace vorn::entry {

namespace {

using core::ObjectType;
using core::SceneObject;

double Component(const geo::Vec3& v, int axis) {
    return axis == 1 ? v.x : (axis == 2 ? v.y : v.z);
}
void SetComponent(geo::Vec3& v, int axis, double value) {
    (axis == 1 ? v.x : (axis == 2 ? v.y : v.z)) = value;
}

} // namespace

bool IsTurnable(ObjectType type) {
    return type != ObjectType::Surface && type != ObjectType::RevolutionSurface;
}

geo::Vec3 RotateAboutAxis(int axis, double phi, const geo::Vec3& v, const geo::Vec3& centre) {
    const double c = std::cos(phi), s = std::sin(phi);
    const geo::Vec3 d = v - centre;
    geo::Vec3 r = d;
    switch (axis) {
    case 1:
        r.y = d.y * c + d.z * s;
        r.z = d.z * c - d.y * s;
        break;
    case 2:
        r.x = d.x * c + d.z * s;
        r.z = d.z * c - d.x * s;
        break;
    case 3:
        r.x = d.x * c - d.y * s;
        r.y = d.y * c + d.x * s;
        break;
    default:
        break;
    }
    return centre + r;
}

void TranslateObject(SceneObject& o, const geo::Vec3& d) {
    for (int i = 1; i <= core::UsableVertexCount(o); ++i)
        o.vertex(i) = core::Narrow(core::VertexAt(o, i) + d);
    o.origin[0] += d.x;
    o.origin[1] += d.y;
    o.origin[2] += d.z;
}

void RotateObject(SceneObject& o, int axis, double phi, const geo::Vec3& centre) {
    for (int i = 1; i <= core::UsableVertexCount(o); ++i)
        o.vertex(i) = core::Narrow(RotateAboutAxis(axis, phi, core::VertexAt(o, i), centre));
}

void ScaleObject(SceneObject& o, double f, const geo::Vec3& centre) {
    for (int i = 1; i <= core::UsableVertexCount(o); ++i)
        o.vertex(i) = core::Narrow(centre + (core::VertexAt(o, i) - centre) * f);
}

void DeformObject(SceneObject& o, const std::array<double, 3>& q, const geo::Vec3& centre) {
    for (int i = 1; i <= core::UsableVertexCount(o); ++i) {
        geo::Vec3 v = core::VertexAt(o, i);
        for (int axis = 1; axis <= 3; ++axis) {
            const double f = q[static_cast<std::size_t>(axis - 1)];
            if (std::fabs(f) < kDeformFloor) continue;
            const double p = Component(centre, axis);
            SetComponent(v, axis, p + (Component(v, axis) - p) * f);
        }
        o.vertex(i) = core::Narrow(v);
    }
}

geo::Vec3 CurrentPivot(SceneObject& o) {
    core::ComputeBoundsAndPivot(o);
    return {o.pivot[0], o.pivot[1], o.pivot[2]};
}

int RefreshFacePlanes(SceneObject& o) {
    if (!IsTurnable(o.type)) {
        surf::SetFacePlanes(o);
        return 0;
    }
    return poly::RecomputeFacePlanes(o);
}

std::optional<double> DragRotationAngle(const geo::Vec3& lastMouse, const geo::Vec3& q,
                                        const geo::Vec3& mouse) {
    const geo::AngleResult r = geo::SignedAngle2D(lastMouse, q, mouse, q);
    if (r.error) return std::nullopt;
    return -r.radians;
}

std::optional<double> DragScaleFactor(const geo::Vec3& lastMouse, const geo::Vec3& q,
                                      const geo::Vec3& mouse) {
    const double before = std::hypot(lastMouse.x - q.x, lastMouse.y - q.y);
    const double after = std::hypot(mouse.x - q.x, mouse.y - q.y);
    if (before == 0) return std::nullopt;
    const double f = after / before;
    if (!std::isfinite(f)) return std::nullopt;
    return f;
}

void ApplyDragMove(core::Scene& scene, int slot, const DragMove& move) {
    if (!scene.isUserSlot(slot)) return;
    SceneObject& o = scene.object(slot);
    geo::Vec3 d = move.shift;
    if (move.axis >= 1 && move.axis <= 3) SetComponent(d, move.axis, 0);
    switch (move.mode) {
    case kDragTranslate:
        TranslateObject(o, d);
        break;
    case kDragReshape:
        if (IsTurnable(o.type) && move.vertex >= 1 && move.vertex <= core::UsableVertexCount(o))
            o.vertex(move.vertex) = core::Narrow(core::VertexAt(o, move.vertex) + d);
        break;
    case kDragRotate:
        if (IsTurnable(o.type)) RotateObject(o, move.axis, move.angle, CurrentPivot(o));
        break;
    case kDragResize:
        if (IsTurnable(o.type)) ScaleObject(o, move.factor, CurrentPivot(o));
        break;
    default:
        break;
    }
    core::ComputeBoundsAndPivot(o);
}

bool ApplyObjectOperation(core::Env& env, int slot, ObjectOperation page,
                          const OperationValues& values) {
    core::Scene& scene = env.scene;
    if (!scene.isUserSlot(slot)) return false;
    SceneObject& o = scene.object(slot);
    const bool applies =
        page == ObjectOperation::Translate ? o.type != ObjectType::Surface : IsTurnable(o.type);
    if (!applies) {
        env.host.showMessage(core::BoxKind::Information, env.msg(lang::msg::kNotApplicable));
        return false;
    }
    scene.sceneModified = true;
    switch (page) {
    case ObjectOperation::Translate:
        TranslateObject(o, {values.shift[0], values.shift[1], values.shift[2]});
        RefreshFacePlanes(o);
        break;
    case ObjectOperation::Rotate:
        RotateObject(o, values.axis, values.degrees / 180 * kPi, {});
        RefreshFacePlanes(o);
        break;
    case ObjectOperation::Deform:
        DeformObject(o, values.factors, CurrentPivot(o));
        RefreshFacePlanes(o);
        poly::CompleteObject(env, slot);
        break;
    }
    // The characteristics shown next read the box.
    core::ComputeBoundsAndPivot(o);
    return true;
}

std::optional<double> ParseDecimal(std::string_view text) {
    static const std::regex number(R"(\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?\s*)");
    const std::string s(text);
    if (!std::regex_match(s, number)) return std::nullopt;
    const double v = std::strtod(s.c_str(), nullptr);
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

std::string PointText(const core::Env& env, double x, double y) {
    const int digits = env.settings.answerDigits;
    return "(" + core::FormatNumber(false, x, digits) + ", " +
           core::FormatNumber(false, y, digits) + ")";
}

void ReportSurfaceValue(core::Env& env, expr::ExpressionEngine& engine, int slot, double x,
                        double y) {
    const std::string point = PointText(env, x, y);
    const std::optional<double> value = surf::SurfaceValueAt(engine, env.scene.object(slot), x, y);
    if (!value) {
        env.host.addReportLine(env.messages.format(lang::msg::kOutsideDomain, {point}));
        return;
    }
    env.host.addReportLine("F" + point + "= " +
                           core::FormatNumber(false, *value, env.settings.answerDigits));
    core::OfferPointObject(
        env, env.messages.format(lang::msg::kPointOnSurface, {core::DisplayName(env.scene, slot)}),
        x, y, *value);
}

std::string SurfaceValueHeading(const core::Env& env, int slot) {
    return env.messages.format(lang::msg::kFunctionValueHeading,
                               {core::DisplayName(env.scene, slot)});
}

} // namespace vorn::entry
