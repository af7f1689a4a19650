// v3dtool net: the net of one object of a scene file, as text.
#include "v3dtool/commands.h"
#include "v3dtool/tool_support.h"

#include "core/format.h"
#include "core/vertex_labels.h"
#include "nets/net.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace vorn::tool {

namespace {

// Rounding leftovers print as 0, not as 1e-17.
std::string Number(double x, double scale) {
    return core::FormatNumber(true, std::fabs(x) < 1e-13 * scale ? 0.0 : x);
}

const char* KindName(nets::Development::Kind kind) {
    switch (kind) {
    case nets::Development::Kind::Cylinder:
        return "cylinder";
    case nets::Development::Kind::Cone:
        return "cone";
    case nets::Development::Kind::TruncatedCone:
        return "truncated-cone";
    }
    return "";
}

void PrintPolygons(std::ostream& out, const char* word,
                   const std::vector<std::vector<geo::Vec3>>& polygons, double scale) {
    for (std::size_t k = 0; k < polygons.size(); ++k) {
        out << word << ' ' << k + 1 << ':';
        for (const geo::Vec3& v : polygons[k])
            out << ' ' << Number(v.x, scale) << ' ' << Number(v.y, scale) << ' '
                << Number(v.z, scale);
        out << '\n';
    }
}

// A vertex named as the net letters it, or by its number in the object's record; 0 for none.
int VertexOf(const std::string& token, const std::vector<std::string>& names) {
    int v = 0;
    const char* end = token.data() + token.size();
    if (const auto r = std::from_chars(token.data(), end, v); r.ec == std::errc() && r.ptr == end)
        return v >= 1 && v <= static_cast<int>(names.size()) ? v : 0;
    int found = 0;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == token) {
            if (found != 0) return 0; // two vertices of that name: not one vertex
            found = static_cast<int>(i) + 1;
        }
    return found;
}

// The edges of a list "A-B,C-D" (names or numbers); false, with the reason, for an edge that is
// none of the solid's.
bool EdgesOf(const std::string& list, const nets::Solid& solid,
             const std::vector<std::string>& names, std::vector<bool>& chosen, std::ostream& err) {
    chosen.assign(solid.edges.size(), false);
    std::size_t from = 0;
    while (from <= list.size()) {
        const std::size_t comma = std::min(list.find(',', from), list.size());
        const std::string item = list.substr(from, comma - from);
        from = comma + 1;
        if (item.empty()) continue;
        int found = -1;
        // A name may hold a dash itself: each dash is tried as the one between the two ends.
        for (std::size_t dash = item.find('-'); dash != std::string::npos && found < 0;
             dash = item.find('-', dash + 1)) {
            const int a = VertexOf(item.substr(0, dash), names);
            const int b = VertexOf(item.substr(dash + 1), names);
            if (a == 0 || b == 0) continue;
            for (std::size_t e = 0; e < solid.edges.size(); ++e) {
                const nets::SolidEdge& edge = solid.edges[e];
                if ((edge.v1 == a && edge.v2 == b) || (edge.v1 == b && edge.v2 == a))
                    found = static_cast<int>(e);
            }
        }
        if (found < 0) {
            err << "\"" << item
                << "\" is not an edge of the solid (V1-V2, the vertices' letters or "
                   "numbers)\n";
            return false;
        }
        chosen[static_cast<std::size_t>(found)] = true;
    }
    return true;
}

} // namespace

bool ChooseNet(const core::Scene& scene, const core::Settings& settings, int slot,
               const nets::Solid& solid, const NetArgs& args, nets::Net& net, std::ostream& err) {
    if (args.cut.empty() && args.tree.empty()) {
        net = nets::Unfold(solid);
        return true;
    }
    const core::SceneLabels labels(scene, settings);
    std::vector<std::string> names;
    for (int v = 1; v <= scene.object(slot).vertexCount; ++v)
        names.push_back(labels.nameOf(slot, v));
    std::vector<bool> cut;
    if (!EdgesOf(args.cut.empty() ? args.tree : args.cut, solid, names, cut, err)) return false;
    if (args.cut.empty()) cut.flip(); // the tree's edges are folded, the others cut
    const std::size_t folded = static_cast<std::size_t>(std::count(cut.begin(), cut.end(), false));
    // The largest face in the middle, as the program's own nets have it.
    std::size_t root = 0;
    for (std::size_t f = 1; f < solid.faces.size(); ++f)
        if (solid.faces[f].area > solid.faces[root].area) root = f;
    if (std::optional<nets::Net> laid = nets::LayOut(solid, cut, static_cast<int>(root))) {
        net = std::move(*laid);
        return true;
    }
    err << "the folded edges (" << folded << " of " << solid.edges.size() << ") do not hold the "
        << solid.faces.size() << " faces together as one piece without a ring: a net folds along "
        << solid.faces.size() - 1 << " edges that join every face\n";
    return false;
}

const CommandHelp kNetHelp = {
    .summary = "the net of a convex polyhedron or the development of a straight round solid",
    .usage = "v3dtool net FILE.v3d OBJECT [--text] [--cuts] [--fold T] [--cut V1-V2,... | --tree "
             "V1-V2,...]",
    .details =
        "Loads FILE.v3d and unfolds object number OBJECT of the object list. A closed convex\n"
        "polyhedron is cut along edges and laid flat without overlaps; the first line is\n"
        "  net FACES N AREA A\n"
        "(N flat faces, A the area of the net, equal to the surface area). With --text one line\n"
        "per face follows:\n"
        "  face K: V1 V2 ... Vm | x1 y1 x2 y2 ... xm ym\n"
        "the vertex numbers of its corners in order, counter-clockwise seen from outside, and\n"
        "their places in the plane of the net in scene units. Should no net without overlaps be\n"
        "found, lines \"overlap K L\" name the faces that overlap (a warning goes to stderr).\n"
        "A cylinder, cone or truncated cone of the standard objects gives one line:\n"
        "  net DEVELOPMENT KIND RADIUS1 R1 RADIUS2 R2 HEIGHT H SLANT L WIDTH W OUTER RO INNER RI\n"
        "      ANGLE T AREA A\n"
        "KIND is cylinder, cone or truncated-cone; R1 >= R2 the base radii (R2 0 for a cone), L\n"
        "the generatrix, W the width of a cylinder's lateral rectangle, RO, RI and T (radians)\n"
        "the annular sector of a cone's lateral surface, A lateral surface and bases together.\n"
        "Any other object is refused with status 1.\n"
        "  --text     every face of the net\n"
        "  --cuts     the cut edges, \"cuts V1-V2,...\" by vertex numbers (to give back to --cut)\n"
        "  --cut LIST the net cut along the edges of LIST and folded along the others, as the\n"
        "             net window's clicks choose them: LIST is V1-V2,V3-V4,... with each edge's\n"
        "             vertices by their letters in the net (or the names of points there) or by\n"
        "             their numbers in the object's record\n"
        "  --tree LIST the net folded along the edges of LIST and cut along the others; the\n"
        "             folded edges must join all faces into one piece without a ring (a net of\n"
        "             N faces folds along N-1 edges), else status 2\n"
        "  --fold T   then the net folded by T (0 flat .. 1 the closed solid), one line per face\n"
        "             \"folded K: x1 y1 z1 ... xm ym zm\", its corners in space in the order\n"
        "             above (at 1 the vertices); a development rolled up, one line per piece\n"
        "             \"rolled K: ...\" (the lateral strips, then the base discs)\n"
        "  -o FILE    (only in the program built with Qt) the net drawn as SVG or PDF\n",
};

bool ParseNetArgs(const Args& args, NetArgs& parsed, std::ostream& err) {
    parsed = {};
    bool haveObject = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--text") {
            parsed.text = true;
        } else if (a == "--cuts") {
            parsed.cuts = true;
        } else if (a == "--fold" && i + 1 < args.size()) {
            const std::string& t = args[++i];
            const char* end = t.data() + t.size();
            const auto r = std::from_chars(t.data(), end, parsed.fold);
            if (r.ec != std::errc() || r.ptr != end || !(parsed.fold >= 0 && parsed.fold <= 1)) {
                err << "--fold wants a number from 0 to 1, not \"" << t << "\"\n";
                return false;
            }
        } else if ((a == "--cut" || a == "--tree") && i + 1 < args.size()) {
            (a == "--cut" ? parsed.cut : parsed.tree) = args[++i];
            if (!parsed.cut.empty() && !parsed.tree.empty()) {
                err << "--cut and --tree are two ways of giving one choice: give one of them\n";
                return false;
            }
        } else if (a == "-o" && i + 1 < args.size()) {
            parsed.output = args[++i];
        } else if (!a.empty() && a[0] != '-' && parsed.file.empty()) {
            parsed.file = a;
        } else if (!a.empty() && a[0] != '-' && !haveObject) {
            const char* end = a.data() + a.size();
            const auto r = std::from_chars(a.data(), end, parsed.object);
            if (r.ec != std::errc() || r.ptr != end || parsed.object < 1) {
                err << "OBJECT wants the object's number in the list, not \"" << a << "\"\n";
                return false;
            }
            haveObject = true;
        } else {
            PrintUsage(err, kNetHelp);
            return false;
        }
    }
    if (parsed.file.empty() || !haveObject) {
        PrintUsage(err, kNetHelp);
        return false;
    }
    return true;
}

int PrintNet(const NetArgs& args, std::ostream& out, std::ostream& err) {
    ToolSession session(err, err);
    if (!session.load(args.file)) return 1;
    const int slot = args.object + core::kAxesSlot;
    if (!session.scene.isUserSlot(slot)) {
        err << "the scene has no object number " << args.object << '\n';
        return 1;
    }
    const core::SceneObject& o = session.scene.object(slot);
    if (const std::optional<nets::Solid> solid = nets::FacesOf(o)) {
        nets::Net net;
        if (!ChooseNet(session.scene, session.settings, slot, *solid, args, net, err)) return 2;
        const double scale = std::sqrt(net.area);
        out << "net FACES " << solid->faces.size() << " AREA " << Number(net.area, net.area)
            << '\n';
        if (args.cuts) {
            out << "cuts ";
            bool first = true;
            for (std::size_t e = 0; e < solid->edges.size(); ++e) {
                if (!net.cut[e]) continue;
                out << (first ? "" : ",") << solid->edges[e].v1 << '-' << solid->edges[e].v2;
                first = false;
            }
            out << '\n';
        }
        if (args.text)
            for (std::size_t f = 0; f < solid->faces.size(); ++f) {
                out << "face " << f + 1 << ":";
                for (int v : solid->faces[f].vertices)
                    out << ' ' << v;
                out << " |";
                for (const nets::Point2& p : net.flat[f])
                    out << ' ' << Number(p.x, scale) << ' ' << Number(p.y, scale);
                out << '\n';
            }
        if (args.fold >= 0) PrintPolygons(out, "folded", nets::Fold(*solid, net, args.fold), scale);
        for (const auto& [a, b] : net.overlaps)
            out << "overlap " << a + 1 << ' ' << b + 1 << '\n';
        if (!net.overlaps.empty())
            err << "no net without overlapping faces was found for object " << args.object << '\n';
        return 0;
    }
    if (const std::optional<nets::Development> d = nets::DevelopmentOf(o)) {
        if (!args.cut.empty() || !args.tree.empty()) {
            err << "object " << args.object
                << " is a round solid: its development has no edges to cut\n";
            return 2;
        }
        const double s = d->slant;
        out << "net DEVELOPMENT " << KindName(d->kind) << " RADIUS1 " << Number(d->radius1, s)
            << " RADIUS2 " << Number(d->radius2, s) << " HEIGHT " << Number(d->height, s)
            << " SLANT " << Number(d->slant, s) << " WIDTH " << Number(d->width, s) << " OUTER "
            << Number(d->sectorOuter, s) << " INNER " << Number(d->sectorInner, s) << " ANGLE "
            << Number(d->sectorAngle, 1) << " AREA " << Number(d->area, d->area) << '\n';
        if (args.fold >= 0) PrintPolygons(out, "rolled", nets::RollUp(*d, args.fold), s);
        return 0;
    }
    err << "object " << args.object
        << " is neither a closed convex polyhedron nor a cylinder or cone with a straight "
           "generatrix\n";
    return 1;
}

int runNet(const Args& args, std::ostream& out, std::ostream& err) {
    NetArgs parsed;
    if (!ParseNetArgs(args, parsed, err)) return 2;
    if (!parsed.output.empty()) {
        err << "-o needs the program built with Qt; this v3dtool prints the net as text only\n";
        return 2;
    }
    return PrintNet(parsed, out, err);
}

} // namespace vorn::tool
