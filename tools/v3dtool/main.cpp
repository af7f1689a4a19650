// v3dtool entry point: dispatches to a subcommand.
#include "v3dtool/commands.h"

#include <iostream>
#include <map>

namespace {
void usage(std::ostream& err) {
    err << "usage: v3dtool info [--digits N] FILE.v3d\n"
           "       v3dtool eval [--system] TEXT [X=v] [Y=v] [Z=v] [T=v]\n"
           "       v3dtool sample --list | NAME OUT.v3d | --all DIR\n"
#ifdef VORN_WITH_RENDER
           "       v3dtool render FILE.v3d -o OUT.png [--size WxH] [--turn H,V] [--labels] [--fit]\n"
           "                      [--halftone]\n"
#endif
        ;
}
} // namespace

int main(int argc, char** argv) {
    using namespace vorn::tool;
    if (argc < 2) {
        usage(std::cerr);
        return 2;
    }
    const std::map<std::string, int (*)(const Args&, std::ostream&, std::ostream&)> commands = {
        {"info", runInfo},
        {"eval", runEval},
        {"calc", runCalc},
        {"section", runSection},
        {"measure", runMeasure},
        {"sample", runSample},
#ifdef VORN_WITH_RENDER
        {"render", runRender},
#endif
    };
    const auto it = commands.find(argv[1]);
    if (it == commands.end()) {
        usage(std::cerr);
        return 2;
    }
    Args args(argv + 2, argv + argc);
    return it->second(args, std::cout, std::cerr);
}
