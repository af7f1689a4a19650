// v3dtool entry point: dispatches to a subcommand.
#include "v3dtool/commands.h"

#include <iostream>
#include <string_view>

int main(int argc, char** argv) {
    using namespace vorn::tool;
    std::vector<Command> commands = EngineCommands();
#ifdef VORN_WITH_RENDER
    commands.push_back({"render", runRender, &kRenderHelp});
    // With Qt the net can be drawn too.
    for (Command& c : commands)
        if (std::string_view(c.name) == "net") c = {"net", runNetDrawing, &kNetDrawingHelp};
#endif
    return RunTool(commands, Args(argv + 1, argv + argc), std::cout, std::cerr);
}
