// Shared plumbing of the v3dtool subcommands: options, and a scene loaded as the program does.
#pragma once

#include "v3dtool/cli_host.h"
#include "v3dtool/commands.h"

#include "core/scene.h"
#include "core/settings.h"
#include "lang/message_table.h"

#include <memory>
#include <ostream>
#include <string>

namespace vorn::tool {

struct ToolOptions {
    int digits = 6;
    bool yes = false;
    std::string save;
};

// Takes --digits N (and --yes, --save F) out of `args`; false on a malformed option.
bool parseCommonOptions(const Args& args, ToolOptions& opt, std::vector<std::string>& rest,
                        std::ostream& err);

// A scene with its settings, texts and a stream host.
struct ToolSession {
    ToolSession(std::ostream& report, std::ostream& boxes);
    core::Scene scene;
    core::Settings settings;
    lang::MessageTable messages;
    CliHost host;
    core::Env env;

    // Loads all objects as "&Завантажити" does; false (message 87 shown) for a non-scene file.
    bool load(const std::string& fileName);
};

} // namespace vorn::tool
