// The hidden-line pass in the form the wire-frame picture asks for it.
#include "hidden/wire_frame_parts.h"

#include "hidden/hidden_lines.h"

namespace vorn::hidden {

pic::HiddenParts WireFrameHiddenParts(const core::Env& env, const pic::ViewState& view,
                                      bool solid) {
    LineChoice choice;
    if (env.settings.outlines) choice.style = LineStyle::Outline;
    const Visibility seen = VisibleSpans(env.scene, env.settings, view, choice);
    pic::HiddenParts parts;
    parts.outlines = env.settings.outlines;
    const auto isMesh = [&](int slot) {
        const core::ObjectType type = env.scene.object(slot).type;
        return type == core::ObjectType::Surface || type == core::ObjectType::RevolutionSurface;
    };
    // A mesh with no feature line in this view draws nothing of its mesh.
    for (int slot = 2; parts.outlines && slot <= env.scene.objectCount(); ++slot)
        if (isMesh(slot)) parts.meshLines[slot];
    for (const LineSpans& line : seen.lines) {
        if (parts.outlines && isMesh(line.slot))
            parts.meshLines[line.slot].insert({line.vertex1, line.vertex2});
        auto& hiddenHere = parts.lines[{line.slot, line.vertex1, line.vertex2}];
        // Outlines in the solid mode: every piece drawn as it is.
        if (solid) continue;
        for (const Piece& piece : line.pieces)
            if (!piece.visible) hiddenHere.emplace_back(piece.t0, piece.t1);
    }
    for (const PointSpan& point : seen.points)
        if (!point.visible) parts.points.insert({point.slot, point.vertex});
    return parts;
}

} // namespace vorn::hidden
