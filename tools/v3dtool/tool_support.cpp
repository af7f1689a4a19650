// Option parsing and scene loading shared by the subcommands.
#include "v3dtool/tool_support.h"

#include "core/scene_file.h"
#include "entry/scene_loader.h"

#include <charconv>

namespace vorn::tool {

bool parseCommonOptions(const Args& args, ToolOptions& opt, std::vector<std::string>& rest,
                        std::ostream& err) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--digits" || a == "--save") {
            if (i + 1 >= args.size()) {
                err << "missing value after " << a << '\n';
                return false;
            }
            const std::string& v = args[++i];
            if (a == "--save") {
                opt.save = v;
                continue;
            }
            int n = 0;
            const auto r = std::from_chars(v.data(), v.data() + v.size(), n);
            if (r.ec != std::errc() || r.ptr != v.data() + v.size() || n < 0 || n > 16) {
                err << "--digits wants a whole number 0..16\n";
                return false;
            }
            opt.digits = n;
        } else if (a == "--yes") {
            opt.yes = true;
        } else {
            rest.push_back(a);
        }
    }
    return true;
}

ToolSession::ToolSession(std::ostream& report, std::ostream& boxes)
    : host(report, boxes), env{scene, settings, messages, host} {}

bool ToolSession::load(const std::string& fileName) {
    entry::SceneLoader loader;
    return core::ReadSceneFile(env, fileName, false, true, &loader) != core::kNotSceneFile;
}

} // namespace vorn::tool
