// Hidden lines of the wire-frame picture: which pieces of every drawn line lie behind an opaque
// face in the picture's parallel projection, computed in scene space without pixels.
#pragma once

#include "core/scene.h"
#include "core/settings.h"
#include "geometry/vec3.h"
#include "view/view_state.h"

#include <cstdint>
#include <vector>

namespace vorn::hidden {

// A piece t0..t1 of a line, as fractions from its first end to its second.
struct Piece {
    double t0 = 0, t1 = 1;
    bool visible = true;
};

// What a drawn line is: an edge of a polyhedron or of a face outline (every line of the mesh
// style), or one of a mesh's feature lines in the outline style.
enum class LineKind : std::uint8_t { Edge, Silhouette, Rim, Crease, Grid };

// How the meshes of surfaces and solids of revolution are drawn: every mesh line, or only
// their feature lines (silhouettes, boundary rims, creases sharper than `creaseDegrees`), and
// for surfaces z = f(x, y) every `gridEvery`-th mesh line besides (0: none). Polyhedra, planes,
// polylines and the axes are drawn as they are in both.
// A silhouette is an edge between a face turned toward the viewer and one turned away (a face
// seen edge-on counts as turned away, so the silhouette is its nearer edge); a rim an edge of
// one face only; a crease an edge whose two faces' normals differ by more than the angle. The
// faces' winding plays no part, and vertices at one point (a pole, an apex, the closing end of
// a generatrix) count as one. An edge that is several of these is the first of rim, crease,
// silhouette and grid line.
enum class LineStyle : std::uint8_t { Mesh, Outline };
struct LineChoice {
    LineStyle style = LineStyle::Mesh;
    int gridEvery = 0;
    double creaseDegrees = 40;
};

// One drawn line: an edge of a face outline of the object in `slot`, from record vertex
// `vertex1` to `vertex2` (mesh lines of surfaces use the mesh's node numbers, which are the
// record's vertex numbers). Its pieces cover 0..1 in order, neighbours differing in visibility.
struct LineSpans {
    int slot = 0;
    int vertex1 = 0, vertex2 = 0;
    std::vector<Piece> pieces;
    LineKind kind = LineKind::Edge;
};

// A vertex drawn as a mark or carrying a label.
struct PointSpan {
    int slot = 0;
    int vertex = 0;
    bool visible = true;
};

struct Visibility {
    geo::Vec3 towardViewer; // unit vector from the scene toward the viewer, scene coordinates
    std::vector<LineSpans> lines;
    std::vector<PointSpan> points;
};

// The unit vector from the scene toward the viewer for the view's turn and scales: the scene
// direction that the projection flattens to one picture point, pointing out of the picture.
geo::Vec3 TowardViewer(const pic::ViewState& view);

// Visibility of every line the wire-frame picture draws for this scene and view (visible
// objects: polyhedron edges after the superfluous-edge filter, face outlines of the others,
// the axes but the one seen end-on), and of the vertices of points, polylines and polyhedra.
// Faces of visible polyhedra and surfaces are opaque; a line lying on a face is not hidden by it.
Visibility VisibleSpans(const core::Scene& scene, const core::Settings& settings,
                        const pic::ViewState& view, const LineChoice& choice = {});

} // namespace vorn::hidden
