// Developments of the round solids with a straight generatrix: cylinder, cone, truncated cone.
#include "nets/net.h"

#include "core/object_view.h"
#include "expr/expression_engine.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace vorn::nets {

std::optional<Development> DevelopmentOf(const core::SceneObject& o) {
    // Only y = f(x) turned about Ox, as the standard objects make them.
    if (o.type != core::ObjectType::RevolutionSurface || o.param0 != 0 || o.param1 != 0)
        return std::nullopt;
    const std::string text(o.part(2).text.raw());
    const auto [from, to] = core::GeneratrixRangeOf(o);
    if (!std::isfinite(from) || !std::isfinite(to) || !(to > from) || text.empty())
        return std::nullopt;
    expr::ExpressionEngine engine;
    const auto f = [&](double x, double& y) {
        const expr::Evaluation r =
            engine.Evaluate(expr::ExpressionEngine::SubstituteVariable(text, 'X', x));
        y = static_cast<double>(r.value);
        return r.ok() && std::isfinite(y);
    };
    double r0 = 0, r1 = 0;
    if (!f(from, r0) || !f(to, r1)) return std::nullopt;
    const double h = to - from;
    const double scale = std::max({std::fabs(r0), std::fabs(r1), h});
    // Straight: interior points on the chord (the texts hold 15 digits).
    for (double s : {0.13, 0.29, 0.5, 0.71, 0.87}) {
        double y = 0;
        if (!f(from + s * h, y)) return std::nullopt;
        if (std::fabs(y - (r0 + s * (r1 - r0))) > 1e-7 * scale) return std::nullopt;
    }
    // A generatrix crossing the axis makes two cones, not one solid of the kind.
    if (r0 * r1 < 0) return std::nullopt;
    r0 = std::fabs(r0);
    r1 = std::fabs(r1);
    const double tiny = 1e-12 * scale;
    if (r0 <= tiny && r1 <= tiny) return std::nullopt;
    constexpr double kPi = std::numbers::pi;
    Development d;
    d.height = h;
    d.radius1 = std::max(r0, r1);
    d.radius2 = std::min(r0, r1) <= tiny ? 0 : std::min(r0, r1);
    d.slant = std::hypot(h, d.radius1 - d.radius2);
    if (std::fabs(r0 - r1) <= 1e-12 * scale) {
        d.kind = Development::Kind::Cylinder;
        d.radius1 = d.radius2 = (r0 + r1) / 2;
        d.slant = h;
        d.width = 2 * kPi * d.radius1;
        d.lateralArea = d.width * h;
        d.baseArea = 2 * kPi * d.radius1 * d.radius1;
    } else {
        d.kind = d.radius2 == 0 ? Development::Kind::Cone : Development::Kind::TruncatedCone;
        d.sectorOuter = d.slant * d.radius1 / (d.radius1 - d.radius2);
        d.sectorInner = d.sectorOuter - d.slant;
        if (d.radius2 == 0) d.sectorInner = 0;
        d.sectorAngle = 2 * kPi * d.radius1 / d.sectorOuter;
        d.lateralArea = kPi * (d.radius1 + d.radius2) * d.slant;
        d.baseArea = kPi * (d.radius1 * d.radius1 + d.radius2 * d.radius2);
    }
    d.area = d.lateralArea + d.baseArea;
    if (!std::isfinite(d.area)) return std::nullopt;
    return d;
}

} // namespace vorn::nets
