// The picking steps of the measurements and the elements fixed from picked points.
#include "entry/measure_steps.h"

#include "core/object_view.h"
#include "geometry/primitives.h"

namespace vorn::entry {

namespace {

// PromptTable entries by kind: one pick of a kind is asked for plainly, several as the first,
// the second and the third.
constexpr int kPointPrompts[2][3] = {{1, 0, 0}, {2, 3, 4}};
constexpr int kLinePrompts[2][2] = {{5, 0}, {6, 7}};
constexpr int kPlanePrompts[2][2] = {{8, 0}, {9, 10}};

} // namespace

int MeasureStepKind(int mode, int step) {
    const std::span<const poly::PickKind> picks = poly::MeasurementPicks(mode);
    if (step < 0 || step >= static_cast<int>(picks.size())) return 0;
    return static_cast<int>(picks[static_cast<std::size_t>(step)]) + 1;
}

int MeasureStepPrompt(int mode, int step) {
    const std::span<const poly::PickKind> picks = poly::MeasurementPicks(mode);
    if (step < 0 || step >= static_cast<int>(picks.size())) return 0;
    const poly::PickKind kind = picks[static_cast<std::size_t>(step)];
    int count = 0, order = 0;
    for (std::size_t s = 0; s < picks.size(); ++s)
        if (picks[s] == kind) {
            if (static_cast<int>(s) < step) ++order;
            ++count;
        }
    const int several = count > 1 ? 1 : 0;
    switch (kind) {
    case poly::PickKind::Point:
        return kPointPrompts[several][order];
    case poly::PickKind::Line:
        return kLinePrompts[several][order];
    case poly::PickKind::Plane:
        return kPlanePrompts[several][order];
    }
    return 0;
}

std::optional<std::array<geo::Vec3, 3>> PlaneVertices(const core::SceneObject& o) {
    // Every way of making a plane leaves it with three vertices; the plane runs through them.
    if (o.type != core::ObjectType::Plane || core::UsableVertexCount(o) < 3) return std::nullopt;
    const std::array<geo::Vec3, 3> p = {core::VertexAt(o, 1), core::VertexAt(o, 2),
                                        core::VertexAt(o, 3)};
    if (geo::PlaneThroughPoints(p[0], p[1], p[2]).degenerate) return std::nullopt;
    return p;
}

poly::Pick FixedPick(int slot, std::span<const geo::Vec3> points) {
    poly::Pick pick;
    pick.slot = slot;
    if (points.size() >= 3) {
        pick.kind = poly::PickKind::Plane;
        pick.plane = geo::PlaneThroughPoints(points[0], points[1], points[2]).plane;
    } else if (points.size() == 2) {
        pick.kind = poly::PickKind::Line;
        pick.a = points[0];
        pick.b = points[1];
    } else if (points.size() == 1) {
        pick.a = points[0];
    }
    return pick;
}

} // namespace vorn::entry
