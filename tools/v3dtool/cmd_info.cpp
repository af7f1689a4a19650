// v3dtool info: load a scene as the program does and print every object's characteristics.
#include "v3dtool/cli_host.h"
#include "v3dtool/commands.h"
#include "v3dtool/tool_support.h"

#include "core/object_report.h"
#include "core/scene_file.h"

namespace vorn::tool {

const CommandHelp kInfoHelp = {
    .summary = "the objects of a scene file and their characteristics",
    .usage = "v3dtool info [--digits N] FILE.v3d",
    .details =
        "Loads FILE.v3d as \"&Завантажити\" does (loading reports and errors go to the error\n"
        "stream) and prints, for every object, its line of the object list and its "
        "characteristics.\n"
        "A measure with no finite value shows its failure message instead, and the status is 1.\n"
        "  --digits N  digits after the decimal point, 0..16 (default 6)\n",
};

int runInfo(const Args& args, std::ostream& out, std::ostream& err) {
    ToolOptions opt;
    std::vector<std::string> rest;
    if (!parseCommonOptions(args, opt, rest, err) || rest.size() != 1) {
        PrintUsage(err, kInfoHelp);
        return 2;
    }
    ToolSession session(err, err);
    if (!session.load(rest[0])) return 2;
    session.settings.answerDigits = opt.digits;
    core::Scene& scene = session.scene;
    bool complete = true;
    for (int slot = 2; slot <= scene.objectCount(); ++slot) {
        core::ComputeBoundsAndPivot(scene.object(slot));
        if (slot > 2) out << '\n';
        out << core::ListCaption(scene, slot) << '\n';
        bool shown = true;
        for (const std::string& line :
             core::ShowObjectReport(scene, session.settings, session.messages, slot, &shown))
            out << line << '\n';
        complete = complete && shown;
    }
    return complete ? 0 : 1;
}

} // namespace vorn::tool
