// Compiled region tests and formula values of surface parts.
#include "surfaces/part_evaluators.h"

#include "expr/region.h"
#include "surfaces/surface_mesh.h"

#include <cfloat>
#include <cmath>

namespace vorn::surf {

PartEvaluators::PartEvaluators(const core::SceneObject& surface, bool validate) {
    const int parts = UsablePartCount(surface);
    for (int k = 1; k <= parts; ++k) {
        const core::ObjectPart& part = surface.part(k);
        const bool polygon = part.domainKind == 0;
        m_formulas.emplace_back(part.text.raw(), "XY", validate);
        m_systemTexts.emplace_back(polygon ? std::string_view() : part.area.domainText.raw());
        m_systems.emplace_back(m_systemTexts.back(), validate);
        m_polygons.push_back(polygon ? PartPolygon(part) : geo::PointList{});
        m_isPolygon.push_back(polygon);
    }
}

bool PartEvaluators::inRegion(expr::ExpressionEngine& engine, int k, double x, double y) const {
    const std::size_t i = static_cast<std::size_t>(k - 1);
    if (m_isPolygon[i]) return expr::pointInPolygonRegion(m_polygons[i], x, y);
    return m_systems[i].Holds(engine, x, y);
}

std::optional<double> PartEvaluators::valueAt(expr::ExpressionEngine& engine, int k, double x,
                                              double y) const {
    const long double z = m_formulas[static_cast<std::size_t>(k - 1)].Evaluate(engine, x, y);
    // The filter of PartValueAt: a value a float vertex cannot hold does not exist.
    if (engine.CalcError != expr::kCalcOk || !std::isfinite(z) || std::fabs(z) > FLT_MAX)
        return std::nullopt;
    return static_cast<double>(z);
}

bool PartEvaluators::regionIsSystem(int k, std::string_view system) const {
    const std::size_t i = static_cast<std::size_t>(k - 1);
    return !m_isPolygon[i] && m_systemTexts[i] == system;
}

CompiledClip::CompiledClip(bool isPolygon, std::string_view system, const geo::PointList& polygon,
                           bool validate)
    : m_isPolygon(isPolygon), m_system(isPolygon ? std::string_view() : system, validate),
      m_polygon(polygon) {}

bool CompiledClip::contains(expr::ExpressionEngine& engine, double x, double y) const {
    if (m_isPolygon) return expr::pointInPolygonRegion(m_polygon, x, y);
    return m_system.Holds(engine, x, y);
}

} // namespace vorn::surf
