// v3dtool info: load a scene as the program does and print every object's characteristics.
#include "v3dtool/cli_host.h"
#include "v3dtool/commands.h"
#include "v3dtool/tool_support.h"

#include "core/object_report.h"
#include "core/scene_file.h"

namespace vorn::tool {

int runInfo(const Args& args, std::ostream& out, std::ostream& err) {
    ToolOptions opt;
    std::vector<std::string> rest;
    if (!parseCommonOptions(args, opt, rest, err) || rest.size() != 1) {
        err << "usage: v3dtool info [--digits N] FILE.v3d\n";
        return 2;
    }
    ToolSession session(err, err);
    if (!session.load(rest[0])) return 2;
    session.settings.answerDigits = opt.digits;
    core::Scene& scene = session.scene;
    for (int slot = 2; slot <= scene.objectCount(); ++slot) {
        core::ComputeBoundsAndPivot(scene.object(slot));
        if (slot > 2) out << '\n';
        out << core::ListCaption(scene, slot) << '\n';
        for (const std::string& line :
             core::ShowObjectReport(scene, session.settings, session.messages, slot))
            out << line << '\n';
    }
    return 0;
}

} // namespace vorn::tool
