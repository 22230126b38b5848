#include "support/AsOrdinaryUser.h"

#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qv::test {

std::optional<int> runAsOrdinaryUser(const std::function<int()>& body) {
    if (::geteuid() != 0)
        return body();
    const pid_t child = ::fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0) {
        // 125: the rights could not be given up; nothing of BODY ran.
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(125);
        ::_exit(body() & 0x7F);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return 126;
    if (WEXITSTATUS(status) == 125)
        return std::nullopt;
    return WEXITSTATUS(status);
}

}  // namespace qv::test
