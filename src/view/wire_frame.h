// The wire-frame picture engine: projection pass, axis pass and drawing pass into a display list.
#pragma once

#include "core/scene.h"
#include "core/vertex_labels.h"
#include "geometry/vec3.h"
#include "view/display_list.h"
#include "view/view_state.h"

#include <array>
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace vorn::pic {

inline constexpr std::uint32_t kRgbRed = 0x0000FF; // 0x00BBGGRR
inline constexpr std::uint32_t kRgbWhite = 0xFFFFFF;
inline constexpr int kFontSize = 10;
inline constexpr int kObjectNumberFontSize = 7;
// Doublings of one axis end per axis pass; enough to leave any picture from a tiny scale.
inline constexpr int kMaxAxisDoublings = 60;
// A drag keeps the hidden-line pass while the last one took less than this: the pointer's pace
// leaves the picture about this much room.
inline constexpr std::chrono::milliseconds kDragHiddenPassBudget{8};
// Whether a redraw during a drag does the hidden-line pass, by how long the last one took; with
// none measured yet it does, and so measures it.
bool HiddenPassDuringDrag(std::optional<std::chrono::nanoseconds> lastPass);
// Lines are cut this far outside the picture before their ends are rounded. Ends within it keep
// their exact pixels; a cut end this far out turns the line by under 1e-5 radians.
inline constexpr double kClipMargin = 65536;

// A line as drawn: an end outside the picture (grown by kClipMargin) is moved along the line to
// where it leaves it, so a line of any length keeps its direction and fits an integer.
struct ScreenSegment {
    ScreenPoint p1, p2;
    double t1 = 0, t2 = 1; // where p1 and p2 lie on a + t (b - a)
    bool cut() const { return t1 != 0 || t2 != 1; }
};
// The part of a to b within the picture of this size (empty when none or when an end is not a
// number); with `wholeLine`, a segment that misses the picture gives the part of its line.
std::optional<ScreenSegment> ClipToPicture(double ax, double ay, double bx, double by, int width,
                                           int height, bool wholeLine = false);

struct ProjectedVertex {
    float px = 0, py = 0, depth = 0;
};

// The element under the pointer, found by the hit test of an interactive pass.
struct Pick {
    int object = 0;  // slot, 0 for none
    int vertex1 = 0; // vertex pick: vertex1 alone; edge pick: vertex1 -> vertex2
    int vertex2 = 0;
    geo::Vec3 point; // the space point picked
    bool any() const { return object != 0; }
};

// An element the keyboard can pick: a vertex, an edge or a whole plane, with the pick it gives
// (a plane has no vertices set and its centre as the point) and where it lies on the picture.
enum class PickKind { Vertex, Edge, Plane };
struct PickTarget {
    PickKind kind = PickKind::Vertex;
    Pick pick;
    double x = 0, y = 0; // picture position: the vertex, the edge's middle, the plane's centre
};

// A fixed measurement element or a point placed on the screen.
struct MarkedElement {
    int object = 0;
    int pointCount = 0; // 1 point, 2 line, 3 plane
    std::array<geo::Vec3, 4> points{};
    std::array<ScreenPoint, 4> screen{}; // refreshed by every redraw
};

// What the picture interaction plugs into a drawing pass. The defaults do nothing, which is a
// picture without interaction.
class PassHooks {
  public:
    virtual ~PassHooks() = default;
    // How far from the pointer the pass's own hit test picks, in picture pixels; 0 picks
    // nothing. Among the elements within it a vertex goes before an edge, a visible element
    // before one behind a face, then the nearer; what is not drawn is never picked.
    virtual double pickRadius() const { return 0; }
    // A further say on the pick after the pass's own test of one drawn edge of a visible
    // object, walked in slot, face and edge order; only in an interactive pass. May change
    // `pick`, and a pick changed here stands against the rest of the walk. An end far outside
    // the picture comes moved along the edge as ClipToPicture moves it; a picked point is then
    // mapped back onto the edge.
    virtual void hitTestEdge(Pick& /*pick*/, int /*slot*/, int /*vertex1*/, int /*vertex2*/,
                             ScreenPoint /*p1*/, ScreenPoint /*p2*/, ScreenPoint /*mouse*/) {}
    // After the objects and the highlight: mouse coordinates, transformation state, status line.
    virtual void afterObjects(const Pick& /*pick*/, ScreenPoint /*mouse*/, bool /*interactive*/) {}
    // The elements fixed by a running measurement (empty otherwise).
    virtual std::span<MarkedElement> measureElements() { return {}; }
    // The points placed so far by an on-screen creation (empty otherwise).
    virtual std::span<MarkedElement> placedPoints() { return {}; }
    // End of a pass: cursor and status layout; `before` is the pick of the previous pass.
    virtual void endPass(const Pick& /*pick*/, const Pick& /*before*/) {}
};

// What lies behind faces for one view, supplied by a caller that can work it out: hidden parts
// t0..t1 of the line from vertex1 to vertex2 of an object, and hidden vertices.
struct HiddenParts {
    using Key = std::tuple<int, int, int>; // slot, vertex1, vertex2
    std::map<Key, std::vector<std::pair<double, double>>> lines;
    std::set<std::pair<int, int>> points; // slot, vertex
    // With outlines: per slot of a surface or a solid of revolution, the mesh lines drawn (its
    // feature lines); the others are left out.
    std::map<int, std::set<std::pair<int, int>>> meshLines;
    bool outlines = false;
};
using HiddenPartsSource = std::function<HiddenParts(const ViewState&)>;

// Width in pixels of a text in the picture font; the canvas supplies the real one.
using TextMeasure = std::function<int(std::string_view text, int size, bool bold)>;

enum class RedrawResult { Drawn, NotReady, HalfTone, Busy };

class WireFrame {
  public:
    explicit WireFrame(core::Env& env);

    core::Env& env() { return m_env; }
    ViewState& view() { return m_view; }
    const ViewState& view() const { return m_view; }

    // Nothing is drawn until the window says all its parts exist.
    void setReady(bool ready) { m_ready = ready; }
    bool ready() const { return m_ready; }
    // Picture size; fitBase follows it.
    void resize(int width, int height);
    int width() const { return m_width; }
    int height() const { return m_height; }

    void setHooks(PassHooks* hooks) { m_hooks = hooks ? hooks : &m_noHooks; }
    void setTextMeasure(TextMeasure measure) { m_measure = std::move(measure); }
    // Asked by every redraw while the hidden-line mode is not solid or outlines are drawn;
    // without it all is visible and every mesh line drawn.
    void setHiddenPartsSource(HiddenPartsSource source) { m_hiddenSource = std::move(source); }
    // While deferred (a drag goes on), redraws skip a hidden-line pass that is too slow for the
    // drag (HiddenPassDuringDrag) and draw every line solid; the redraw after it ends does the
    // pass again. A fast pass is done as ever.
    void setHiddenPassDeferred(bool deferred) { m_hiddenDeferred = deferred; }
    bool hiddenPassDeferred() const { return m_hiddenDeferred; }
    // How long the last hidden-line pass took, measured where it runs; what the next redraw of
    // a drag goes by. Set from outside, it stands for a pass of that length.
    std::optional<std::chrono::nanoseconds> lastHiddenPassTime() const { return m_lastHiddenPass; }
    void setLastHiddenPassTime(std::chrono::nanoseconds time) { m_lastHiddenPass = time; }
    // The hidden-line mode the passes draw in: the settings' unless overridden (a
    // black-and-white copy of the picture).
    void setHiddenModeOverride(std::optional<int> mode) { m_modeOverride = mode; }
    int hiddenMode() const;

    // The single entry point for a new picture: projection pass, axis pass, clearing and a
    // drawing pass (interactive with `mouse` when `interactive`). Appends the primitives to `out`.
    RedrawResult redraw(DisplayList& out, bool interactive = false, ScreenPoint mouse = {});
    // A drawing pass over the existing picture; `mouse` is given for an interactive pass.
    RedrawResult drawPass(DisplayList& out, std::optional<ScreenPoint> mouse);
    // An interactive pass that shows `target` picked, as the hit test would at its position.
    RedrawResult pickPass(DisplayList& out, const PickTarget& target);
    // The elements the keyboard steps through, from the last redraw: vertices, then edges, then
    // planes of the visible objects, each group nearest to the picture's centre first (ties in
    // the hit test's walking order). Only what the pointer could pick inside the picture: no
    // vertex, nor edge by its middle, left out as hidden.
    std::vector<PickTarget> pickTargets() const;
    // The keyboard's stops: pickTargets grouped by kind and picture pixel, so that a place
    // where several objects have a vertex is one stop. Stops and their members keep the order
    // of pickTargets.
    std::vector<std::vector<PickTarget>> pickStops() const;
    // FitPicture on this scene and view; the axis ends go back to the unit points.
    void fit();

    // True while a pass runs: a redraw asked for meanwhile does nothing.
    bool busy() const { return m_busy; }
    const Pick& pick() const { return m_pick; }

    // Projected vertex `vertex` (1-based) of `slot` as stored by the last redraw.
    const ProjectedVertex& projected(int slot, int vertex) const;
    ScreenPoint screen(int slot, int vertex) const;
    // Label position j (0 origin, 1..3 axes) of the last axis pass; empty when unset.
    std::optional<ScreenPoint> axisLabel(int j) const {
        return m_labels[static_cast<std::size_t>(j)];
    }
    int degenerateAxis() const { return m_view.degenerateAxis; }

    // The point of the coordinate plane across the degenerate axis that projects onto the
    // mouse pixel; coordinates that cannot be found keep their value in `previous`.
    geo::Vec3 screenToPlane(double mx, double my, geo::Vec3 previous) const;

  private:
    void projectionPass();
    void axisPass();
    void drawObjects(DisplayList& out, int slot, bool interactive, ScreenPoint mouse);
    std::optional<ScreenSegment> segment(int slot, int vertex1, int vertex2,
                                         bool wholeLine = false) const;
    void hitTest(int slot, int vertex1, int vertex2, const ScreenSegment& s, ScreenPoint mouse);
    void hitNearest(int slot, int vertex1, int vertex2, const ScreenSegment& s, ScreenPoint mouse,
                    double radius);
    void drawPickHighlight(DisplayList& out);
    void drawNodes(DisplayList& out, int slot);
    // The hidden parts of the line vertex1 -> vertex2 of `slot` in that direction, in order.
    std::vector<std::pair<double, double>> hiddenParts(int slot, int vertex1, int vertex2) const;
    void drawMarked(DisplayList& out);
    void drawProjectionLines(DisplayList& out, bool interactive, ScreenPoint mouse);
    ProjectedVertex& table(int slot, int vertex);
    std::uint32_t roleRgb(core::ColorRole role) const;
    int textWidth(std::string_view text, int size, bool bold) const;

    core::Env& m_env;
    ViewState m_view;
    bool m_ready = false;
    bool m_busy = false;
    int m_width = 0, m_height = 0;
    std::vector<ProjectedVertex> m_projected; // kSlotCount x kMaxVertices
    std::vector<ScreenPoint> m_screen;        // rounded vertices of the object being drawn
    std::vector<char> m_near;                 // and whether they lie near enough to the picture
    std::array<std::optional<ScreenPoint>, 4> m_labels{};
    Pick m_pick;
    // What makes one candidate of the hit test better than another, of m_pick.
    struct PickRank {
        int kind = 0; // -1 chosen by the hooks, 0 vertex, 1 edge
        bool hidden = false;
        double distance = 0;
    };
    PickRank m_pickRank;
    std::optional<Pick> m_forcedPick; // set during pickPass: no hit test
    PassHooks m_noHooks;
    PassHooks* m_hooks = &m_noHooks;
    TextMeasure m_measure;
    HiddenPartsSource m_hiddenSource;
    std::optional<HiddenParts> m_hidden; // of the last redraw, when the mode is not solid
    bool m_hiddenDeferred = false;
    std::optional<std::chrono::nanoseconds> m_lastHiddenPass;
    std::optional<int> m_modeOverride;
    std::optional<core::SceneLabels> m_vertexLabels; // of the running interactive pass

    // The picked edge lines of the last pass: the next pass's dotted and dashed lines leave
    // their gaps unpainted, so it erases them first.
    std::vector<ScreenSegment> m_highlightShown;
    // Projection lines left on the picture by the last pass, for erasing them.
    bool m_projectionShown = false;
    ScreenPoint m_projectionMouse;
    std::array<ScreenPoint, 3> m_projectionEnds{};
};

// The hidden-line mode of a black-and-white picture: hidden lines dashed unless left out.
int BlackAndWhiteHiddenMode(int mode);
// `list` for black-and-white printing and export: white paper, every line, frame and text black,
// no coloured fills (marks filled in their own colour stay filled, in black); nodes and labels
// behind faces grey.
void MakeBlackAndWhite(DisplayList& list);

} // namespace vorn::pic
