#include "support/unprivileged.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace parvion::test {

int runUnprivileged(const std::function<int()>& fn) {
    const pid_t pid = ::fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        if (::geteuid() == 0) {
            constexpr unsigned kNobody = 65534;
            if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
                ::_exit(255);
            }
        }
        int result = 255;
        try {
            result = fn();
        } catch (...) {
            result = 254;
        }
        ::_exit(result & 0xFF);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    if (!WIFEXITED(status)) return -1;
    const int code = WEXITSTATUS(status);
    return code == 255 ? -1 : code;
}

}  // namespace parvion::test
