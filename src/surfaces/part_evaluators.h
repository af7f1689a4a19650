// The formulas and regions of a surface's parts compiled once for the bulk samplers.
#pragma once

#include "core/scene_object.h"
#include "expr/compiled_expression.h"
#include "geometry/vec3.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::surf {

// Part k (1-based) answers as InPartRegion and PartValueAt would, without text substitution.
// A region test ends at the first relation that fails, so it leaves no error code to rely on.
class PartEvaluators {
  public:
    PartEvaluators(const core::SceneObject& surface, bool validate);

    bool inRegion(expr::ExpressionEngine& engine, int k, double x, double y) const;
    std::optional<double> valueAt(expr::ExpressionEngine& engine, int k, double x, double y) const;
    // Whether part k's region is the system `system` itself, so that a point in the part's
    // region needs no second test against that system.
    bool regionIsSystem(int k, std::string_view system) const;

  private:
    std::vector<std::string> m_systemTexts;
    std::vector<expr::CompiledExpression> m_formulas;
    std::vector<expr::CompiledSystem> m_systems;
    std::vector<geo::PointList> m_polygons;
    std::vector<bool> m_isPolygon;
};

// A clip region (system or polygon) tested as InClipRegion would.
class CompiledClip {
  public:
    CompiledClip(bool isPolygon, std::string_view system, const geo::PointList& polygon,
                 bool validate);
    bool contains(expr::ExpressionEngine& engine, double x, double y) const;

  private:
    bool m_isPolygon;
    expr::CompiledSystem m_system;
    const geo::PointList& m_polygon;
};

} // namespace vorn::surf
