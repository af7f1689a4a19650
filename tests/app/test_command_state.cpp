// Enabling rules of the commands, including those whose windows are still to come.
#include "app/command_state.h"
#include "row_name.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace vorn::app {
namespace {

using core::ObjectType;

// A command of the table, found by its name.
CommandInfo readyCommand(const char* name) {
    const CommandInfo* c = FindCommand(name);
    EXPECT_NE(c, nullptr) << name;
    CommandInfo copy = *c;
    copy.ready = true;
    return copy;
}

struct Case {
    const char* command;
    bool listHasItems;
    std::optional<ObjectType> current;
    bool full;
    bool halfTone;
    int degenerate;
    bool enabled;
};

class CommandRule : public ::testing::TestWithParam<Case> {};

TEST_P(CommandRule, EnabledAsTheStateAllows) {
    const Case& c = GetParam();
    const WindowState s{c.listHasItems, c.current, c.full, c.halfTone, c.degenerate};
    EXPECT_EQ(CommandEnabled(readyCommand(c.command), s), c.enabled);
}

constexpr auto P = ObjectType::Point;
constexpr auto H = ObjectType::Polyhedron;
constexpr auto S = ObjectType::Surface;

INSTANTIATE_TEST_SUITE_P(
    Rules, CommandRule,
    ::testing::Values(
        // A full scene (19 user objects) has no slot for a new object.
        Case{"CrPoint", true, P, false, false, 0, true},
        Case{"CrPoint", true, P, true, false, 0, false},
        Case{"CrRevolution", true, P, true, false, 0, false},
        Case{"StandObj", true, P, true, false, 0, false},
        Case{"ScrPlane", true, P, true, false, 3, false},
        Case{"FuncValue", true, S, true, false, 0, false},
        // Saving, loading and deleting do not create objects.
        Case{"LoadFile", true, P, true, false, 0, true},
        Case{"Delete", true, P, true, false, 0, true},
        // Commands on the selected object need one.
        Case{"Delete", false, std::nullopt, false, false, 0, false},
        Case{"Edit", false, std::nullopt, false, false, 0, false},
        Case{"Edit", true, P, false, false, 0, true},
        Case{"HalfTone", false, std::nullopt, false, false, 0, false},
        Case{"Sides", true, H, false, false, 0, true},
        Case{"Sides", true, P, false, false, 0, false},
        Case{"FuncValue", true, S, false, false, 0, true},
        Case{"FuncValue", true, H, false, false, 0, false},
        // Picking needs the wire-frame picture; dragging also a view along an axis.
        Case{"Ugol3p", false, std::nullopt, false, false, 0, true},
        Case{"Ugol3p", false, std::nullopt, false, true, 0, false},
        Case{"MakeCut", false, std::nullopt, false, true, 0, false},
        Case{"ScrPoint", false, std::nullopt, false, true, 3, false},
        Case{"mode1", true, P, false, false, 0, false},
        Case{"mode1", true, P, false, false, 2, true},
        Case{"mode4", true, P, false, true, 2, false},
        // The view commands work in every state.
        Case{"ZoomIn", false, std::nullopt, true, true, 0, true}),
    [](const auto& info) { return vorn::test::RowName(info.index, info.param.command); });

// Every command of the table works; a row marked not ready would stay disabled in every state,
// even in one where the command itself is enabled.
TEST(CommandTable, EveryCommandIsReadyAndAnUnreadyOneStaysDisabled) {
    std::vector<WindowState> states;
    for (const std::optional<ObjectType> type :
         {std::optional<ObjectType>{}, std::optional{ObjectType::Point},
          std::optional{ObjectType::Polyhedron}, std::optional{ObjectType::Surface}})
        for (const bool halfTone : {false, true})
            for (const int axis : {0, 3})
                states.push_back({type.has_value(), type, false, halfTone, axis, true});
    for (const CommandInfo& c : Commands()) {
        EXPECT_TRUE(c.ready) << c.name;
        CommandInfo unready = c;
        unready.ready = false;
        bool everEnabled = false;
        for (const WindowState& s : states) {
            everEnabled = everEnabled || CommandEnabled(c, s);
            EXPECT_FALSE(CommandEnabled(unready, s)) << c.name;
        }
        EXPECT_TRUE(everEnabled) << c.name << " is enabled in no state";
    }
}

// Ending a pending operation enables its commands from the half-tone picture, the view and the
// scene's room alone: nothing else of the window's state may change them.
TEST(CommandTable, OperationCommandsReadOnlyThePictureAndTheRoom) {
    int operations = 0;
    for (const CommandInfo& c : Commands()) {
        if (!StartsPictureOperation(c)) continue;
        ++operations;
        for (const bool full : {false, true})
            for (const bool halfTone : {false, true})
                for (const int axis : {0, 3}) {
                    WindowState bare;
                    bare.sceneFull = full;
                    bare.halfTone = halfTone;
                    bare.degenerateAxis = axis;
                    WindowState busy = bare;
                    busy.listHasItems = true;
                    busy.currentType = ObjectType::Polyhedron;
                    busy.unfoldable = true;
                    EXPECT_EQ(CommandEnabled(c, bare), CommandEnabled(c, busy)) << c.name;
                }
    }
    // The measurements, the section, the on-screen creations and the drag transformations.
    EXPECT_EQ(operations, 8 + 1 + 3 + 4);
}

TEST(CommandTable, NamesAreUniqueAndMenusExist) {
    std::set<std::string> names;
    std::set<std::string> menus;
    for (const MenuInfo& m : Menus()) {
        if (m.parent) {
            EXPECT_TRUE(menus.count(m.parent)) << m.key << " before its parent";
        }
        menus.insert(m.key);
    }
    for (const CommandInfo& c : Commands()) {
        EXPECT_TRUE(names.insert(c.name).second) << c.name;
        if (c.menu) {
            EXPECT_TRUE(menus.count(c.menu)) << c.name;
        }
    }
}

TEST(CommandTable, SubmenusFollowTheSelectedKind) {
    const MenuInfo* poly = nullptr;
    const MenuInfo* surf = nullptr;
    for (const MenuInfo& m : Menus()) {
        if (std::strcmp(m.key, "Poly") == 0) poly = &m;
        if (std::strcmp(m.key, "Surf") == 0) surf = &m;
    }
    ASSERT_TRUE(poly && surf);
    EXPECT_TRUE(MenuEnabled(*poly, {true, ObjectType::Polyhedron, false, false, 0}));
    EXPECT_FALSE(MenuEnabled(*poly, {true, ObjectType::Surface, false, false, 0}));
    EXPECT_TRUE(MenuEnabled(*surf, {true, ObjectType::Surface, false, false, 0}));
    EXPECT_FALSE(MenuEnabled(*surf, {false, std::nullopt, false, false, 0}));
}

} // namespace
} // namespace vorn::app
