// Subcommands of v3dtool; each takes the arguments after its name and returns the exit status.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vorn::tool {

using Args = std::vector<std::string>;

int runInfo(const Args& args, std::ostream& out, std::ostream& err);
int runEval(const Args& args, std::ostream& out, std::ostream& err);
int runCalc(const Args& args, std::ostream& out, std::ostream& err);
int runSection(const Args& args, std::ostream& out, std::ostream& err);
int runMeasure(const Args& args, std::ostream& out, std::ostream& err);
// The teaching scenes: --list, NAME OUT.v3d, or --all DIR.
int runSample(const Args& args, std::ostream& out, std::ostream& err);
// Built only with Qt (VORN_WITH_RENDER): the wire-frame picture of a scene file as a PNG.
int runRender(const Args& args, std::ostream& out, std::ostream& err);

} // namespace vorn::tool
