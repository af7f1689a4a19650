// Enabling rules of the commands: readiness, the object list, the scene's room and the view.
#include "app/command_state.h"

#include <cstring>

namespace vorn::app {

namespace {
bool isCurrent(const WindowState& s, core::ObjectType t) {
    return s.listHasItems && s.currentType == t;
}
bool between(int v, int lo, int hi) {
    return v >= lo && v <= hi;
}
} // namespace

bool CommandEnabled(const CommandInfo& c, const WindowState& s) {
    if (!c.ready) return false;
    if (c.createsObject && s.sceneFull) return false;
    const int t = c.tag;
    if (c.handler == Handler::View) return true;
    if (t == tag::Delete || t == tag::Edit || t == tag::HalfTone) return s.listHasItems;
    if (t == tag::Sides) return isCurrent(s, core::ObjectType::Polyhedron);
    if (t == tag::FuncValue) return isCurrent(s, core::ObjectType::Surface);
    if (t == tag::Unfold) return s.listHasItems && s.unfoldable;
    // Picking needs the wire-frame picture.
    if (t == tag::MakeCut || between(t, tag::FirstMeasure, tag::LastMeasure) ||
        between(t, tag::FirstScreenCreate, tag::LastScreenCreate))
        return !s.halfTone;
    // Dragging maps the mouse into space, which needs a view along an axis.
    if (between(t, tag::FirstMode, tag::LastMode)) return !s.halfTone && s.degenerateAxis != 0;
    return true;
}

bool StartsPictureOperation(const CommandInfo& c) {
    const int t = c.tag;
    return t == tag::MakeCut || between(t, tag::FirstMeasure, tag::LastMeasure) ||
           between(t, tag::FirstScreenCreate, tag::LastScreenCreate) || IsDragTransformation(c);
}

bool IsDragTransformation(const CommandInfo& c) {
    return between(c.tag, tag::FirstMode, tag::LastMode);
}

bool MenuEnabled(const MenuInfo& m, const WindowState& s) {
    // Measuring picks on the wire-frame picture.
    if (std::strcmp(m.key, "Angle") == 0 || std::strcmp(m.key, "Distance") == 0) return !s.halfTone;
    if (std::strcmp(m.key, "Poly") == 0) return isCurrent(s, core::ObjectType::Polyhedron);
    if (std::strcmp(m.key, "Surf") == 0) return isCurrent(s, core::ObjectType::Surface);
    return true;
}

} // namespace vorn::app
