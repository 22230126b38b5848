#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Command.h"

namespace qv::cli {
namespace {

std::vector<Command>& registry() {
    static std::vector<Command> all;
    return all;
}

void printUsage(std::FILE* out) {
    std::fprintf(out,
                 "usage: quorvane-cli COMMAND [OPTIONS] ARGS...\n"
                 "       quorvane-cli COMMAND --help\n\ncommands:\n");
    std::vector<Command> sorted = registry();
    std::sort(sorted.begin(), sorted.end(),
              [](const Command& a, const Command& b) { return std::string(a.name) < b.name; });
    for (const Command& c : sorted)
        std::fprintf(out, "  %-12s %s\n", c.name, c.summary);
}

}  // namespace

RegisterCommand::RegisterCommand(const Command& command) {
    registry().push_back(command);
}

const std::vector<Command>& commands() {
    return registry();
}

}  // namespace qv::cli

int main(int argc, char** argv) {
    using namespace qv::cli;
    if (argc < 2) {
        printUsage(stderr);
        return 2;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printUsage(stdout);
        return 0;
    }
    if (name == "--version") {
        std::printf("quorvane-cli %s\n", QV_VERSION);
        return 0;
    }
    for (const Command& c : commands()) {
        if (name == c.name)
            return c.run(std::vector<std::string>(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "quorvane-cli: unknown command '%s' (see quorvane-cli --help)\n",
                 name.c_str());
    return 2;
}
