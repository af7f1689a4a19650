// v3dtool section: cut a polyhedron of a scene file by one of its planes, as the program does.
#include "v3dtool/cli_host.h"
#include "v3dtool/commands.h"
#include "v3dtool/tool_support.h"

#include "core/scene_file.h"
#include "lang/message_ids.h"
#include "polyhedra/cross_section.h"

#include <charconv>

namespace vorn::tool {

const CommandHelp kSectionHelp = {
    .summary = "the section of a polyhedron by a plane of a scene file",
    .usage = "v3dtool section FILE.v3d PLANE POLYHEDRON [--yes] [--save OUT.v3d] [--digits N]",
    .details =
        "Cuts POLYHEDRON by PLANE as \"Виконати переріз\" does and prints its report lines; the\n"
        "questions it asks are printed after \"? \" and error boxes after \"! \".\n"
        "  PLANE, POLYHEDRON  numbers in the object list (1 = first object)\n"
        "  --yes              answer Yes to the questions: create the contour polyline and the "
        "two\n"
        "                     parts (default: No)\n"
        "  --save OUT.v3d     write the scene afterwards, with the objects created\n"
        "  --digits N         digits after the decimal point, 0..16 (default 6)\n",
};

namespace {

// The slot of object number `text` as the object list shows it (1 = first user object).
int ObjectSlot(const core::Scene& scene, const std::string& text) {
    int number = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), number);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return 0;
    return scene.isUserSlot(number + 1) ? number + 1 : 0;
}

} // namespace

int runSection(const Args& args, std::ostream& out, std::ostream& err) {
    ToolOptions opt;
    std::vector<std::string> rest;
    if (!parseCommonOptions(args, opt, rest, err) || rest.size() != 3) {
        PrintUsage(err, kSectionHelp);
        return 2;
    }
    // Loading reports go to err; from the section on, everything goes to out.
    std::ostream channel(err.rdbuf());
    ToolSession session(channel, channel);
    if (!session.load(rest[0])) return 2;
    const int plane = ObjectSlot(session.scene, rest[1]);
    const int polyhedron = ObjectSlot(session.scene, rest[2]);
    if (plane == 0 || polyhedron == 0) {
        err << "no such object\n";
        PrintUsage(err, kSectionHelp);
        return 2;
    }
    channel.rdbuf(out.rdbuf());
    session.settings.answerDigits = opt.digits;
    session.host.markBoxes = true;
    session.host.answerYes = opt.yes;
    // The picture refuses other kinds with this box before any section runs.
    const auto wrongKind = [&](int slot, core::ObjectType kind, int kindMessage) {
        if (session.scene.object(slot).type == kind) return false;
        session.host.showMessage(core::BoxKind::Error,
                                 session.env.msg(lang::msg::kNeedObjectOfKind) + " " +
                                     session.env.msg(kindMessage));
        return true;
    };
    if (wrongKind(plane, core::ObjectType::Plane, lang::msg::kNeedPlane) ||
        wrongKind(polyhedron, core::ObjectType::Polyhedron, lang::msg::kNeedPolyhedron))
        return 1;
    poly::CrossSection(session.env, plane, polyhedron);
    if (!opt.save.empty() && !core::WriteSceneFile(session.env, opt.save)) return 1;
    return 0;
}

} // namespace vorn::tool
