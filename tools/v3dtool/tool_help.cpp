// The command list of v3dtool: dispatching a command line and the help it asks for.
#include "v3dtool/commands.h"

#include <algorithm>
#include <string_view>

namespace vorn::tool {

namespace {

bool asksHelp(std::string_view a) {
    return a == "--help" || a == "-h";
}

const Command* find(const std::vector<Command>& commands, std::string_view name) {
    const auto it = std::find_if(commands.begin(), commands.end(),
                                 [name](const Command& c) { return name == c.name; });
    return it == commands.end() ? nullptr : &*it;
}

// Each line of `text` after `indent`.
void printIndented(std::ostream& os, std::string_view text, std::string_view indent) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        os << indent << text.substr(0, end) << '\n';
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

void printOverview(std::ostream& os, const std::vector<Command>& commands) {
    os << "usage: v3dtool COMMAND ARGUMENTS...\n"
          "       v3dtool help [COMMAND]\n"
          "\n"
          "commands:\n";
    for (const Command& c : commands) {
        const std::string name = c.name;
        os << "  " << name << std::string(name.size() < 10 ? 10 - name.size() : 1, ' ')
           << c.help->summary << '\n';
        printIndented(os, c.help->usage, "            ");
    }
    os << "\n\"v3dtool help COMMAND\" or \"v3dtool COMMAND --help\" tells what the arguments "
          "mean.\n";
}

void printCommand(std::ostream& os, const Command& c) {
    os << "v3dtool " << c.name << ": " << c.help->summary << "\n\n";
    PrintUsage(os, *c.help);
    os << '\n' << c.help->details;
}

} // namespace

void PrintUsage(std::ostream& os, const CommandHelp& help) {
    std::string_view text = help.usage;
    const std::size_t end = text.find('\n');
    os << "usage: " << text.substr(0, end) << '\n';
    if (end != std::string_view::npos) printIndented(os, text.substr(end + 1), "       ");
}

std::vector<Command> EngineCommands() {
    return {{"info", runInfo, &kInfoHelp},          {"eval", runEval, &kEvalHelp},
            {"calc", runCalc, &kCalcHelp},          {"section", runSection, &kSectionHelp},
            {"measure", runMeasure, &kMeasureHelp}, {"sample", runSample, &kSampleHelp},
            {"edges", runEdges, &kEdgesHelp},       {"net", runNet, &kNetHelp},
            {"form", runForm, &kFormHelp}};
}

int RunTool(const std::vector<Command>& commands, const Args& args, std::ostream& out,
            std::ostream& err) {
    if (args.empty()) {
        printOverview(err, commands);
        return 2;
    }
    const std::string& first = args[0];
    if (first == "help" || asksHelp(first)) {
        if (args.size() == 1) {
            printOverview(out, commands);
            return 0;
        }
        const Command* c = args.size() == 2 && first == "help" ? find(commands, args[1]) : nullptr;
        if (c) {
            printCommand(out, *c);
            return 0;
        }
        err << "v3dtool: no help for \"" << args[1] << "\"\n";
        printOverview(err, commands);
        return 2;
    }
    const Command* c = find(commands, first);
    if (!c) {
        err << "v3dtool: unknown command \"" << first << "\"\n";
        printOverview(err, commands);
        return 2;
    }
    const Args rest(args.begin() + 1, args.end());
    if (rest.size() == 1 && asksHelp(rest[0])) {
        printCommand(out, *c);
        return 0;
    }
    return c->run(rest, out, err);
}

} // namespace vorn::tool
