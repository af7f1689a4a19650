// What each display list of the half-tone picture receives: primitive, normals and vertices.
#pragma once

#include "core/scene.h"
#include "expr/expression_engine.h"
#include "geometry/vec3.h"
#include "view/halftone_materials.h"
#include "view/halftone_view.h"

#include <cstdint>
#include <vector>

namespace vorn::pic {

enum class HtPrimitive { Points, Lines, LineStrip, Triangles, QuadStrip };

// One primitive from its begin to its end: a normal is sent before every `verticesPerNormal`
// vertices (3 for faces and triangles, 2 for the pairs of a quad strip).
struct HtBlock {
    HtPrimitive primitive = HtPrimitive::Triangles;
    int verticesPerNormal = 3;
    std::vector<geo::Vec3> normals;
    std::vector<geo::Vec3> vertices;

    void add(const geo::Vec3& normal, std::initializer_list<geo::Vec3> group) {
        normals.push_back(normal);
        vertices.insert(vertices.end(), group);
    }
};

// The display list of one object slot and the material it is drawn with.
struct HalfToneList {
    int number = 0; // the slot
    Material material{};
    std::vector<HtBlock> blocks;
    bool stopped = false; // the user stopped the build: the blocks are incomplete
};

// Everything the panel needs for a rebuild.
struct HalfToneScene {
    SceneBox box;
    std::uint32_t background = 0; // 0x00BBGGRR
    int count = 0;                // list numbers 1..count
    std::vector<HalfToneList> lists;
    bool stopped = false; // the user stopped a surface's list; the last list is incomplete
};

// Nodes per axis of the surface grid and sectors of a surface of revolution.
inline constexpr int kHalfToneGrid = 60;
inline constexpr int kRevolutionSectors = 100;
inline constexpr int kRevolutionProfilePoints = 100;
inline constexpr double kSectorAngle = 0.06283185307179586; // 2 pi / 100
inline constexpr int kSurfaceProgressMaximum = 120;

// Bounding box of the visible user objects from their vertices; the unit cube when none.
SceneBox HalfToneSceneBox(const core::Scene& scene);

// The list of one slot by its kind; a surface shows the progress window of message 30, whose
// stop button ends its list with `stopped` set.
HalfToneList BuildObjectList(core::Env& env, expr::ExpressionEngine& engine, int slot);
HalfToneList BuildSurfaceList(core::Env& env, expr::ExpressionEngine& engine, int slot);
HalfToneList BuildRevolutionList(expr::ExpressionEngine& engine, const core::SceneObject& o,
                                 int slot);

// Box, background and one list for each visible slot (the axes when the settings show them);
// a stopped surface ends the build with `stopped` set.
HalfToneScene BuildHalfToneScene(core::Env& env, expr::ExpressionEngine& engine);

} // namespace vorn::pic
