// v3dtool form: the faces of a polyhedron's points, formed as the entry dialog's button does.
#include "v3dtool/cli_host.h"
#include "v3dtool/commands.h"
#include "v3dtool/tool_support.h"

#include "core/object_report.h"
#include "core/scene_file.h"
#include "lang/message_ids.h"
#include "polyhedra/formation.h"
#include "polyhedra/metrics.h"

#include <charconv>

namespace vorn::tool {

const CommandHelp kFormHelp = {
    .summary = "form the faces of a polyhedron from its points",
    .usage = "v3dtool form [--digits N] FILE.v3d OBJECT [-o OUT.v3d]",
    .details =
        "Loads FILE.v3d, forms the faces of polyhedron OBJECT (its number in the object list)\n"
        "from its points as \"Сформувати грані опуклого об'єкта\" does, and prints its\n"
        "characteristics. When the faces come from the extended-precision hull (dense point\n"
        "sets), one line says so first. Status 1 when the points give no solid.\n"
        "  -o OUT.v3d  also save the scene with the formed object\n"
        "  --digits N  digits after the decimal point, 0..16 (default 6)\n",
};

int runForm(const Args& args, std::ostream& out, std::ostream& err) {
    Args rest0;
    std::string output;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size())
            output = args[++i];
        else
            rest0.push_back(args[i]);
    }
    ToolOptions opt;
    std::vector<std::string> rest;
    if (!parseCommonOptions(rest0, opt, rest, err) || rest.size() != 2) {
        PrintUsage(err, kFormHelp);
        return 2;
    }
    ToolSession session(err, err);
    if (!session.load(rest[0])) return 2;
    session.settings.answerDigits = opt.digits;
    core::Scene& scene = session.scene;
    int number = 0;
    const std::string& text = rest[1];
    const auto r = std::from_chars(text.data(), text.data() + text.size(), number);
    const int slot = number + 1;
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !scene.isUserSlot(slot) ||
        scene.object(slot).type != core::ObjectType::Polyhedron) {
        err << "v3dtool form: object " << text << " is no polyhedron of the scene\n";
        return 2;
    }
    bool fromHull = false;
    if (!poly::FormConvexFaces(session.env, slot, &fromHull) ||
        !poly::CompleteObject(session.env, slot)) {
        err << session.env.msg(lang::msg::kCannotFormPolyhedron) << '\n';
        return 1;
    }
    if (fromHull) out << session.env.msg(lang::msg::kFacesFromHull) << '\n';
    core::ComputeBoundsAndPivot(scene.object(slot));
    out << core::ListCaption(scene, slot) << '\n';
    for (const std::string& line :
         core::ShowObjectReport(scene, session.settings, session.messages, slot, nullptr))
        out << line << '\n';
    if (!output.empty() && !core::WriteSceneFile(session.env, output)) return 2;
    return 0;
}

} // namespace vorn::tool
