// v3dtool entry point: dispatches to a subcommand.
#include "v3dtool/commands.h"

#include <iostream>

int main(int argc, char** argv) {
    using namespace vorn::tool;
    std::vector<Command> commands = EngineCommands();
#ifdef VORN_WITH_RENDER
    commands.push_back({"render", runRender, &kRenderHelp});
#endif
    return RunTool(commands, Args(argv + 1, argv + argc), std::cout, std::cerr);
}
