// The command table of the main window: every menu item and tool button with its Tag.
#pragma once

#include <span>

namespace vorn::app {

// Tags of the main dispatcher (the view commands 1..7 go to their own handler).
namespace tag {
inline constexpr int Exit = 0, NewFile = 1, LoadFile = 2, SaveFile = 3, SaveAs = 4, LoadSel = 5;
inline constexpr int StandObj = 10, Edit = 12, Delete = 13, MakeCut = 14;
inline constexpr int FirstMeasure = 21, LastMeasure = 28, Sides = 30;
inline constexpr int Calculator = 31, Integral = 32, DoubleIntegral = 33;
inline constexpr int Settings = 41, ClearReport = 44, Hint = 43, HelpTopics = 50, HalfTone = 61;
// The three "Невидимі лінії" items, in the order of core::kHiddenSolid..kHiddenRemoved.
inline constexpr int FirstHiddenLines = 62, LastHiddenLines = 64;
// "Контури": round solids and surfaces by their outlines, beside the hidden-line mode.
inline constexpr int Outlines = 65;
inline constexpr int Transform = 100, FirstMode = 101, LastMode = 104;
// "Розгортка многогранника": the net window.
inline constexpr int Unfold = 105;
inline constexpr int FirstCreate = 110, LastCreate = 115, FuncValue = 292;
inline constexpr int FirstToolBar = 421, LastToolBar = 425;
inline constexpr int FirstScreenCreate = 1101, LastScreenCreate = 1103, CancelOperation = 1234;
inline constexpr int Undo = 1301, Redo = 1302;
inline constexpr int ExportPicture = 46, Print = 47;
// Not in the menu: the report pane's context menu.
inline constexpr int SaveReport = 45;
} // namespace tag

enum class Handler { Main, View };
enum class Bar { None, Disk, View, Calc, Mode, Objs };

struct MenuInfo {
    const char* key;  // how commands refer to it
    const char* name; // object name
    const char* caption;
    const char* parent; // key of the enclosing menu, nullptr for the menu bar
};

struct CommandInfo {
    int tag;
    const char* name; // component name without the m_/k_ prefix
    const char* caption;
    const char* menu;     // MenuInfo::key; nullptr: not in the main menu
    const char* shortcut; // portable key text, "" for none
    const char* hint;
    Handler handler;
    Bar bar; // tool bar of its button, None for a menu item only
    // Every row is true; false would show the command and keep it disabled.
    bool ready;
    bool checkable;
    bool createsObject; // disabled while the scene is full
};

std::span<const MenuInfo> Menus();
std::span<const CommandInfo> Commands();
const CommandInfo* FindCommand(const char* name);

struct ToolBarInfo {
    Bar bar;
    const char* name; // tb_...
    const char* caption;
    int toggleTag; // the "Панель інструментів" item that shows it
};
std::span<const ToolBarInfo> ToolBars();

} // namespace vorn::app
