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
// The submenus "Многогранник..." and "Поверхня..." follow the kind of the selected object.
bool MenuEnabled(const MenuInfo& menu, const WindowState& state);

} // namespace vorn::app
