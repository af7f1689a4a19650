// v3dtool's command line as a whole: the command list, --help and help COMMAND, and the README.
#include "v3dtool/commands.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace vorn::tool {
namespace {

TEST(V3dtoolHelp, AnswersHelpAndListsEveryCommandWithItsArguments) {
    const std::vector<Command> commands = EngineCommands();
    struct Row {
        Args args;
        int status;
        bool toOut; // the text goes to the output, else to the error stream
        std::vector<std::string> shows;
    };
    const std::vector<std::string> overview = {
        "usage: v3dtool COMMAND ARGUMENTS...\n       v3dtool help [COMMAND]\n",
        "v3dtool info [--digits N] FILE.v3d\n",
        "v3dtool eval --system TEXT [X=v] [Y=v]\n",
        "v3dtool calc double FILE.v3d SURFACE [--region TEXT | --polygon x1,y1,...]\n",
        "v3dtool calc contour EXPR --polyline x1,y1,z1,x2,y2,z2,... [--digits N]\n",
        "v3dtool calc revolve --type fx|param|polyline --axis ox|oy [--y TEXT] [--x TEXT]\n",
        "v3dtool section FILE.v3d PLANE POLYHEDRON [--yes] [--save OUT.v3d] [--digits N]\n",
        "v3dtool measure FILE.v3d MODE PICK... [--digits N]\n",
        "v3dtool sample --all DIR\n"};
    const Row rows[] = {
        {{}, 2, false, overview},
        {{"--help"}, 0, true, overview},
        {{"-h"}, 0, true, overview},
        {{"help"}, 0, true, overview},
        {{"help", "measure"},
         0,
         true,
         {"usage: v3dtool measure FILE.v3d MODE PICK...", "l:OBJ:V1:V2", "8 from a line"}},
        {{"section", "--help"}, 0, true, {"usage: v3dtool section FILE.v3d", "--yes"}},
        {{"calc", "-h"}, 0, true, {"\n       v3dtool calc revolve", "--type param"}},
        {{"help", "render"}, 2, false, {"no help for \"render\"", overview[0]}},
        {{"help", "calc", "double"}, 2, false, {overview[0]}},
        {{"frobnicate"}, 2, false, {"unknown command \"frobnicate\"", overview[0]}},
        // A command's own usage errors show its usage lines.
        {{"calc"}, 2, false, {"usage: v3dtool calc double", "\n       v3dtool calc contour"}},
        {{"section", "a.v3d"}, 2, false, {"usage: v3dtool section FILE.v3d PLANE POLYHEDRON"}},
        {{"measure", "a.v3d", "9", "p:1:1"}, 2, false, {"usage: v3dtool measure FILE.v3d"}},
    };
    for (const Row& r : rows) {
        std::string line;
        for (const std::string& a : r.args)
            line += a + " ";
        SCOPED_TRACE(line);
        std::ostringstream out, err;
        EXPECT_EQ(RunTool(commands, r.args, out, err), r.status);
        const std::string text = r.toOut ? out.str() : err.str();
        EXPECT_TRUE((r.toOut ? err : out).str().empty());
        for (const std::string& s : r.shows)
            EXPECT_NE(text.find(s), std::string::npos) << s << "\nin:\n" << text;
    }
    // Every command's summary and usage lines are in the overview.
    std::ostringstream out, err;
    RunTool(commands, {"--help"}, out, err);
    for (const Command& c : commands) {
        EXPECT_NE(out.str().find(c.help->summary), std::string::npos) << c.name;
        std::istringstream usage(c.help->usage);
        for (std::string u; std::getline(usage, u);)
            EXPECT_NE(out.str().find(u), std::string::npos) << u;
    }
}

TEST(V3dtoolHelp, TheReadmeShowsEveryCommand) {
    std::ifstream in(VORN_SOURCE_DIR "/README.md");
    ASSERT_TRUE(in);
    std::stringstream readme;
    readme << in.rdbuf();
    std::vector<Command> commands = EngineCommands();
#ifdef VORN_WITH_RENDER
    commands.push_back({"render", runRender, &kRenderHelp});
#endif
    for (const Command& c : commands) {
        std::istringstream usage(c.help->usage);
        std::string first;
        std::getline(usage, first);
        EXPECT_NE(readme.str().find(first), std::string::npos) << first;
    }
    EXPECT_NE(readme.str().find("v3dtool help COMMAND"), std::string::npos);
}

} // namespace
} // namespace vorn::tool
