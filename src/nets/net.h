// Nets of solids: edge unfoldings of convex polyhedra and developments of round solids, without Qt.
#pragma once

#include "core/scene_object.h"
#include "geometry/vec3.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vorn::nets {

struct Point2 {
    double x = 0, y = 0;
};

// One flat face of the solid: coplanar triangles merged, corners in order, counter-clockwise
// seen from outside.
struct SolidFace {
    std::vector<int> vertices;      // vertex numbers in the object's record (1-based)
    std::vector<geo::Vec3> corners; // their positions, same order
    geo::Vec3 normal;               // outward unit normal
    double area = 0;
};

// An edge shared by two faces; `v1`, `v2` in the order they run along `faceA`.
struct SolidEdge {
    int faceA = 0, faceB = 0; // indices into Solid::faces
    int v1 = 0, v2 = 0;       // vertex numbers
};

struct Solid {
    std::vector<SolidFace> faces;
    std::vector<SolidEdge> edges;
    double area = 0; // sum of the faces' areas
};

// The flat faces of a closed convex polyhedron object; nothing when the object is not one
// (not a polyhedron, open, not convex, degenerate faces).
std::optional<Solid> FacesOf(const core::SceneObject& o);

// An edge unfolding: every edge is cut or a hinge; the hinges form a spanning tree of the
// face graph rooted at `root`. While the user swaps one hinge for another the hinges may form
// a forest of two pieces for one click; faces of the second piece keep their last place.
struct Net {
    std::vector<bool> cut; // per edge of the solid
    int root = 0;
    std::vector<int> parent;               // per face: parent face, -1 for a piece's root
    std::vector<int> hinge;                // per face: edge index to its parent, -1 for a root
    std::vector<int> piece;                // per face: 0, or 1 for the piece cut loose
    std::vector<std::vector<Point2>> flat; // per face: its corners laid flat, order of SolidFace
    std::vector<std::pair<int, int>> overlaps; // face pairs whose interiors overlap
    double area = 0;                           // sum of the flat faces' areas
    bool whole() const;                        // one piece: the hinges are a spanning tree
    bool good() const { return whole() && overlaps.empty(); }
};

// Lays the faces out for a given choice of cuts, the hinges being a spanning tree, and runs
// the overlap check. Nothing when the hinges are not a spanning tree.
std::optional<Net> LayOut(const Solid& solid, const std::vector<bool>& cut, int root = 0);

// Picks cuts by heuristics (steepest-edge cuts first, then other trees) within a bounded
// effort and returns the first net without overlap, or, when every tree tried overlaps, the
// one with the fewest overlaps (its `overlaps` not empty).
Net Unfold(const Solid& solid);

enum class EdgeToggle {
    Cut,             // a hinge was cut: the net is in two pieces until a cut edge joins them
    Joined,          // a cut edge joined the two pieces: whole again, laid out and checked
    WouldDisconnect, // refused: the net is already in two pieces
    WouldCloseCycle, // refused: both faces of the cut edge are in one piece
    NoSuchEdge,      // nothing changed: the solid has no edge by that number, or the net is
                     // of another solid
};
// One click of the user on an edge. Every edge unfolding is reachable by such clicks. A join
// leaves the faces of the root's piece exactly where they were and brings the loose piece over.
EdgeToggle ToggleEdge(const Solid& solid, Net& net, int edge);

// The net folded by `t` (0 flat, 1 closed): per face, its corners in space. At t = 0 the
// faces lie in the root face's plane as in `net.flat`; at t = 1 every corner is on its vertex.
std::vector<std::vector<geo::Vec3>> Fold(const Solid& solid, const Net& net, double t);

// The exact development of a solid of revolution with a straight generatrix (cylinder, cone,
// truncated cone of the standard objects): lateral rectangle or annular/circular sector with
// the base discs attached.
struct Development {
    enum class Kind { Cylinder, Cone, TruncatedCone } kind = Kind::Cylinder;
    double radius1 = 0, radius2 = 0, height = 0; // base radii (radius2 = 0 for a cone) and height
    double slant = 0;                            // generatrix length
    // Lateral surface: a rectangle width × height for the cylinder; for the cones an annular
    // sector with outer radius `sectorOuter`, inner radius `sectorInner` (0 for a cone) and
    // angle `sectorAngle` in radians.
    double width = 0;
    double sectorOuter = 0, sectorInner = 0, sectorAngle = 0;
    double lateralArea = 0, baseArea = 0, area = 0; // area = lateral + bases
};
std::optional<Development> DevelopmentOf(const core::SceneObject& o);

// The development rolled up by `t` (0 flat as SheetOf lays it out, 1 the closed solid), for a
// preview: first the lateral surface as strips (each strip's corners 0 and 1 on the rim of the
// first base: the cylinder's edge y = 0, the cone's outer arc; corners 2 and 3, if any, on the
// other rim), then the first base's disc, then the second's when there is one. Each disc turns
// about the tangent where it touches the lateral surface.
std::vector<std::vector<geo::Vec3>> RollUp(const Development& development, double t);

// What a net looks like on paper, in scene units (y up), for the window, the tool and export.
struct Sheet {
    // Cut: cut along it; Fold: fold there (a hinge, or the edge a glue tab hangs on); Tab: the
    // outline of a glue tab, cut too.
    enum class LineKind { Cut, Fold, Tab };
    struct Line {
        Point2 a, b;
        LineKind kind = LineKind::Cut;
        int edge = -1; // edge of the solid, -1 for round outlines and tabs' outlines
    };
    struct Label {
        Point2 at;
        std::string text;
        bool faceNumber = false; // else a vertex letter or a glue mark
        bool glueMark = false;   // the same text on both edges that are glued together
    };
    // A glue tab: counter-clockwise, its first `along` corners on the line it folds about (two
    // on a straight edge, more on a round rim).
    struct Tab {
        std::vector<Point2> outline;
        std::size_t along = 2;
        int edge = -1;    // edge of the solid, -1 on a round solid's development
        int face = -1;    // the face it hangs on (index into `faces`)
        double depth = 0; // how far it reaches from its fold line at least
    };
    std::vector<std::vector<Point2>> faces; // filled outlines (round parts as fine polygons)
    std::vector<Line> lines;
    std::vector<Tab> tabs;
    std::vector<Label> labels;
    Point2 low, high; // bounding box of everything drawn
};

// Glue tabs are sized on paper: a tab is made this deep where the paper has room, never less
// on a round solid's development (whose teeth would otherwise be a millimetre deep).
inline constexpr double kTabDepthMm = 6, kMinTabDepthMm = 5;

struct SheetOptions {
    bool tabs = false;                    // a glue tab on one edge of each pair glued together
    std::vector<std::string> vertexNames; // by vertex number - 1; empty: no vertex labels
    double mmPerUnit = 10;                // the print scale the tabs are sized for
    bool glueMarks = false;               // a matching letter on both edges of each cut
};
Sheet SheetOf(const Solid& solid, const Net& net, const SheetOptions& options);
Sheet SheetOf(const Development& development, const SheetOptions& options);

// The sheet turned by `angle` radians about the origin.
Sheet Turned(const Sheet& sheet, double angle);

// ---- Paper ---------------------------------------------------------------------------------

enum class PaperFormat { A4, A3 };
// A page in millimetres as it lies, with the free margin kept on each side.
struct Paper {
    double width = 210, height = 297;
    double margin = 10;
    double printableWidth() const { return width - 2 * margin; }
    double printableHeight() const { return height - 2 * margin; }
};
Paper PaperOf(PaperFormat format, bool landscape);

// Neighbouring pages of a net too large for one share this much of it.
inline constexpr double kTileOverlapMm = 10;

// How a sheet goes onto paper. Positions on the net are "net millimetres": x to the right and
// y downward from the top left corner of the sheet's bounding box, as printed.
struct PrintPlan {
    struct Page {
        int row = 0, column = 0;
        Point2 origin; // the net millimetre at the top left corner of the page's printable area
    };
    Paper paper;
    double mmPerUnit = 10;
    double angle = 0;             // the sheet is turned by this on the paper (radians)
    Sheet sheet;                  // as printed: tabs sized for `mmPerUnit`, turned by `angle`
    double width = 0, height = 0; // the net's size in millimetres
    int rows = 1, columns = 1;
    std::vector<Page> pages;   // row by row
    std::vector<Point2> marks; // alignment crosses in net millimetres, on every page showing one
    // Net millimetres of a sheet point, and back.
    Point2 toMm(Point2 p) const;
    Point2 fromMm(Point2 mm) const;
};

// The plan at `mmPerUnit`: one page with the net in the middle when it fits the printable area,
// else pages overlapping by kTileOverlapMm whose seams carry alignment crosses, one in every
// face a seam runs through. `sheetAt` gives the sheet for a scale (its tabs depend on it).
PrintPlan PlanPages(const std::function<Sheet(double mmPerUnit)>& sheetAt, double mmPerUnit,
                    const Paper& paper);
// The largest scale, down to a tenth of a millimetre per unit and within [minMm, maxMm], at
// which the sheet, turned as suits the page best, fits the printable area of one page.
PrintPlan FitToPaper(const std::function<Sheet(double mmPerUnit)>& sheetAt, const Paper& paper,
                     double minMm, double maxMm);

} // namespace vorn::nets
