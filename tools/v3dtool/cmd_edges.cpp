// v3dtool edges: which pieces of every drawn line of a scene file are seen and which hidden.
#include "v3dtool/commands.h"
#include "v3dtool/tool_support.h"

#include "hidden/hidden_lines.h"
#include "view/view_state.h"

#include <charconv>
#include <cmath>

namespace vorn::tool {

namespace {

// "H,V", each 0..71.
bool ParseTurn(const std::string& s, int& h, int& v) {
    const auto at = s.find(',');
    if (at == std::string::npos) return false;
    const char* end = s.data() + s.size();
    const auto r1 = std::from_chars(s.data(), s.data() + at, h);
    const auto r2 = std::from_chars(s.data() + at + 1, end, v);
    return r1.ec == std::errc() && r1.ptr == s.data() + at && r2.ec == std::errc() &&
           r2.ptr == end && h >= 0 && h < pic::kTurnSteps && v >= 0 && v < pic::kTurnSteps;
}

// A whole number 0..1000.
bool ParseGrid(const std::string& s, int& k) {
    const char* end = s.data() + s.size();
    const auto r = std::from_chars(s.data(), end, k);
    return r.ec == std::errc() && r.ptr == end && k >= 0 && k <= 1000;
}

const char* KindWord(hidden::LineKind kind) {
    switch (kind) {
    case hidden::LineKind::Edge:
        return "edge";
    case hidden::LineKind::Silhouette:
        return "silhouette";
    case hidden::LineKind::Rim:
        return "rim";
    case hidden::LineKind::Crease:
        return "crease";
    case hidden::LineKind::Grid:
        return "grid";
    }
    return "edge";
}

// A component that is zero but for rounding prints as 0, not as 6.1e-17.
double Clean(double x) {
    return std::fabs(x) < 1e-12 ? 0.0 : x;
}

} // namespace

const CommandHelp kEdgesHelp = {
    .summary = "the visible and hidden pieces of every line of a scene file's picture",
    .usage = "v3dtool edges FILE.v3d [--turn H,V] [--style mesh|outline] [--grid K]",
    .details =
        "Loads FILE.v3d and prints, for the picture's view, the unit vector from the scene toward\n"
        "the viewer as \"view DX DY DZ\", then one line per piece of every drawn line:\n"
        "  OBJECT V1 V2 T0 T1 visible|hidden\n"
        "OBJECT is the object's number in the list (0 for the axes), V1 V2 the vertex numbers of\n"
        "the line's ends in the object's record (a surface's mesh nodes are its vertices), T0 T1\n"
        "the piece as fractions from V1 to V2; the pieces of a line cover 0..1 in order. A point\n"
        "object shows as its vertex twice with the piece 0 1. Faces of polyhedra and surfaces\n"
        "hide what lies behind them; lines lying on a face are not hidden by it.\n"
        "  --turn H,V   the rotation scroll bars' positions, each 0..71 (default: the file's)\n"
        "  --style S    mesh (the default): every mesh line of surfaces and solids of revolution;\n"
        "               outline: only their silhouettes, rims (edges of one face: a cylinder's\n"
        "               base circles, a surface's border) and creases sharper than 40 degrees.\n"
        "               Each piece's line then ends in its kind: edge (polyhedra, planes,\n"
        "               polylines, axes), silhouette, rim, crease or grid; a point's in point\n"
        "  --grid K     with --style outline, every K-th mesh line of a surface z = f(x, y) in\n"
        "               each direction too, as grid (0..1000, default 0: none)\n",
};

int runEdges(const Args& args, std::ostream& out, std::ostream& err) {
    std::string input;
    int turnH = -1, turnV = -1;
    hidden::LineChoice choice;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--turn" && i + 1 < args.size()) {
            if (!ParseTurn(args[++i], turnH, turnV)) {
                err << "--turn wants H,V, each 0..71\n";
                return 2;
            }
        } else if (a == "--style" && i + 1 < args.size()) {
            const std::string& style = args[++i];
            if (style != "mesh" && style != "outline") {
                err << "--style wants mesh or outline\n";
                return 2;
            }
            choice.style =
                style == "outline" ? hidden::LineStyle::Outline : hidden::LineStyle::Mesh;
        } else if (a == "--grid" && i + 1 < args.size()) {
            if (!ParseGrid(args[++i], choice.gridEvery)) {
                err << "--grid wants a whole number K, 0..1000\n";
                return 2;
            }
        } else if (!a.empty() && a[0] != '-' && input.empty()) {
            input = a;
        } else {
            PrintUsage(err, kEdgesHelp);
            return 2;
        }
    }
    if (input.empty()) {
        PrintUsage(err, kEdgesHelp);
        return 2;
    }
    ToolSession session(err, err);
    if (!session.load(input)) return 1;
    pic::ViewState view(session.scene.header);
    if (turnH >= 0) view.setTurn(turnH, turnV);
    const hidden::Visibility vis =
        hidden::VisibleSpans(session.scene, session.settings, view, choice);
    // Only the outline style adds the kind, so that the mesh style's rows stay as they were.
    const bool kinds = choice.style == hidden::LineStyle::Outline;
    out << "view " << Clean(vis.towardViewer.x) << ' ' << Clean(vis.towardViewer.y) << ' '
        << Clean(vis.towardViewer.z) << '\n';
    // Object numbers of the list count from the axes' slot.
    const auto number = [](int slot) { return slot - core::kAxesSlot; };
    for (const hidden::LineSpans& line : vis.lines)
        for (const hidden::Piece& p : line.pieces) {
            out << number(line.slot) << ' ' << line.vertex1 << ' ' << line.vertex2 << ' ' << p.t0
                << ' ' << p.t1 << ' ' << (p.visible ? "visible" : "hidden");
            if (kinds) out << ' ' << KindWord(line.kind);
            out << '\n';
        }
    for (const hidden::PointSpan& p : vis.points)
        if (session.scene.object(p.slot).type == core::ObjectType::Point)
            out << number(p.slot) << ' ' << p.vertex << ' ' << p.vertex << " 0 1 "
                << (p.visible ? "visible" : "hidden") << (kinds ? " point" : "") << '\n';
    return 0;
}

} // namespace vorn::tool
