#pragma once

#include <string>
#include <vector>

namespace qv::cli {

// A sub-command of quorvane-cli. Each command's source file registers itself with
// a static RegisterCommand, so commands can be added without touching main().
struct Command {
    const char* name;
    const char* summary;
    int (*run)(const std::vector<std::string>& args);  // args after the command name
};

struct RegisterCommand {
    explicit RegisterCommand(const Command& command);
};

const std::vector<Command>& commands();

}  // namespace qv::cli
