// Subcommands of v3dtool; each takes the arguments after its name and returns the exit status.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vorn::core {
class Scene;
struct Settings;
} // namespace vorn::core
namespace vorn::nets {
struct Solid;
struct Net;
} // namespace vorn::nets

namespace vorn::tool {

using Args = std::vector<std::string>;
using RunCommand = int (*)(const Args& args, std::ostream& out, std::ostream& err);

// What `v3dtool help NAME` prints: one line for the command list, the usage lines (each one
// "v3dtool NAME ...") and what the arguments mean.
struct CommandHelp {
    const char* summary;
    const char* usage;
    const char* details;
};

struct Command {
    const char* name;
    RunCommand run;
    const CommandHelp* help;
};

int runInfo(const Args& args, std::ostream& out, std::ostream& err);
// The faces of a polyhedron formed from its points, with its characteristics.
int runForm(const Args& args, std::ostream& out, std::ostream& err);
int runEval(const Args& args, std::ostream& out, std::ostream& err);
int runCalc(const Args& args, std::ostream& out, std::ostream& err);
int runSection(const Args& args, std::ostream& out, std::ostream& err);
int runMeasure(const Args& args, std::ostream& out, std::ostream& err);
// The teaching scenes: --list, NAME OUT.v3d, or --all DIR.
int runSample(const Args& args, std::ostream& out, std::ostream& err);
// The visible and hidden pieces of every drawn line for the picture's view.
int runEdges(const Args& args, std::ostream& out, std::ostream& err);
// The net of one object as text; refuses -o, which only the build with Qt can draw.
int runNet(const Args& args, std::ostream& out, std::ostream& err);
// The arguments of `v3dtool net FILE OBJECT [--text] [-o OUT]`, for the Qt build's own runner.
struct NetArgs {
    std::string file;
    int object = 0; // number in the object list
    bool text = false;
    bool cuts = false;  // --cuts: the cut edges as a line
    std::string output; // -o, empty when not given
    double fold = -1;   // --fold T (0..1), negative when not given
    std::string cut;    // --cut V1-V2,...: the edges cut, the others folded
    std::string tree;   // --tree V1-V2,...: the edges folded, the others cut
};
// False, with the reason or the usage on `err`, when the arguments are not of that form.
bool ParseNetArgs(const Args& args, NetArgs& parsed, std::ostream& err);
// Loads the file and prints the net's summary line (with `text` every face too); `output` is
// not looked at. Returns the exit status: 1 when the file or object gives no net, 2 when the
// cuts asked for make none.
int PrintNet(const NetArgs& args, std::ostream& out, std::ostream& err);
// The net of `solid`, object `slot` of `scene`, that the arguments ask for: the given cuts, or
// the program's own choice. False, with the reason on `err`, when an edge named is none of the
// solid's or the folded edges do not hold the faces together as one tree.
bool ChooseNet(const core::Scene& scene, const core::Settings& settings, int slot,
               const nets::Solid& solid, const NetArgs& args, nets::Net& net, std::ostream& err);
// Built only with Qt (VORN_WITH_RENDER): the wire-frame picture of a scene file as a PNG.
int runRender(const Args& args, std::ostream& out, std::ostream& err);
// Built only with Qt, in the place of runNet: the net as text, or with -o drawn as SVG or PDF.
int runNetDrawing(const Args& args, std::ostream& out, std::ostream& err);
extern const CommandHelp kNetDrawingHelp;
// For the commands built with Qt: the headless application they draw in, made on first use
// (`openGL` asks for the display's driver when there is a display).
void EnsureGuiApp(bool openGL);
// A file name's extension in lower case, empty when it has none.
std::string LowerExtension(const std::string& path);

extern const CommandHelp kInfoHelp, kEvalHelp, kCalcHelp, kSectionHelp, kMeasureHelp, kSampleHelp,
    kEdgesHelp, kRenderHelp, kNetHelp, kFormHelp;

// The commands of the engine library, in the order the help lists them (render is added by the
// program when it is built with Qt).
std::vector<Command> EngineCommands();

// Writes `help.usage` with "usage: " before the first line and an indent before the others.
void PrintUsage(std::ostream& os, const CommandHelp& help);

// The whole command line after the program's name: a command and its arguments, "help",
// "help NAME", "--help" or "-h" (also after a command's name). Help asked for goes to `out`
// with status 0; a missing or unknown command gives the usage on `err` and status 2.
int RunTool(const std::vector<Command>& commands, const Args& args, std::ostream& out,
            std::ostream& err);

} // namespace vorn::tool
