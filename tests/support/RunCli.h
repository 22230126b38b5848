#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "support/ScriptedDialogHost.h"

namespace qv::test {

struct CliRun {
    int status = 0;
    std::string out;
    std::string err;
};

// Runs quorvane-cli (QV_CLI_PATH, set by the test build) with the given shell-quoted
// arguments and no standard input; stderr goes through a file in tmp.
inline CliRun runCli(const std::string& args, const TempDir& tmp) {
    const std::string errFile = tmp.file("cli-stderr.txt");
    const std::string command =
        std::string(QV_CLI_PATH) + " " + args + " 2>'" + errFile + "' </dev/null";
    CliRun r;
    std::FILE* p = popen(command.c_str(), "r");
    if (!p)
        return {127, {}, "popen failed"};
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        r.out.append(buf, n);
    const int raw = pclose(p);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + (WIFSIGNALED(raw) ? WTERMSIG(raw) : 0);
    std::ifstream e(errFile);
    r.err.assign(std::istreambuf_iterator<char>(e), {});
    return r;
}

}  // namespace qv::test
