// v3dtool sample: writes the teaching scenes, built with the program's own engine.
#include "v3dtool/cli_host.h"
#include "v3dtool/commands.h"
#include "v3dtool/samples.h"

#include "core/scene_file.h"

#include <filesystem>
#include <sstream>

namespace vorn::tool {

const CommandHelp kSampleHelp = {
    .summary = "writes the teaching scenes, built with the program's own steps",
    .usage = "v3dtool sample --list\n"
             "v3dtool sample NAME OUT.v3d\n"
             "v3dtool sample --all DIR",
    .details = "  --list         the names of the scenes and what each shows\n"
               "  NAME OUT.v3d   writes the scene NAME into OUT.v3d\n"
               "  --all DIR      writes every scene into DIR as NAME.v3d\n",
};

namespace {

bool WriteSample(const std::string& name, const std::string& file, std::ostream& out,
                 std::ostream& err) {
    core::Scene scene;
    const core::Settings settings = SampleSettings();
    std::ostringstream report;
    if (!BuildSample(scene, settings, name, report, err)) return false;
    lang::MessageTable messages;
    CliHost host(report, err);
    core::Env env{scene, settings, messages, host};
    if (!core::WriteSceneFile(env, file)) {
        err << "cannot write " << file << '\n';
        return false;
    }
    out << file << ": " << scene.objectCount() - 1 << " objects\n" << report.str();
    return true;
}

} // namespace

int runSample(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 1 && args[0] == "--list") {
        for (const SampleScene& s : SampleScenes())
            out << s.name << "\t" << s.title << '\n';
        return 0;
    }
    if (args.size() != 2) {
        PrintUsage(err, kSampleHelp);
        return 2;
    }
    if (args[0] != "--all") return WriteSample(args[0], args[1], out, err) ? 0 : 1;
    std::error_code ec;
    std::filesystem::create_directories(args[1], ec);
    for (const SampleScene& s : SampleScenes())
        if (!WriteSample(s.name, (std::filesystem::path(args[1]) / (s.name + ".v3d")).string(), out,
                         err))
            return 1;
    return 0;
}

} // namespace vorn::tool
