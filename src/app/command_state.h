// Which commands are enabled for the current state of the window and the scene.
#pragma once

#include "app/command_table.h"
#include "core/scene_object.h"

#include <optional>

namespace vorn::app {

struct WindowState {
    bool listHasItems = false;
    std::optional<core::ObjectType> currentType; // kind of the selected object
    bool sceneFull = false;
    bool halfTone = false;
    int degenerateAxis = 0;  // 0 none, 1..3 Ox, Oy, Oz
    bool unfoldable = false; // the selected object has a net (a convex polyhedron, a round solid)
};

bool CommandEnabled(const CommandInfo& command, const WindowState& state);
// The commands that start a pending operation of the picture: the measurements, the section,
// the on-screen creations and the transformations by dragging. Ending an operation unmarks them
// and enables each as CommandEnabled says, which for them reads only `halfTone`,
// `degenerateAxis` and `sceneFull`.
bool StartsPictureOperation(const CommandInfo& command);
// The transformations by dragging: they follow the view, so a pass looking along no axis ends
// the one running.
bool IsDragTransformation(const CommandInfo& command);
// The submenus "Многогранник..." and "Поверхня..." follow the kind of the selected object.
bool MenuEnabled(const MenuInfo& menu, const WindowState& state);

} // namespace vorn::app
