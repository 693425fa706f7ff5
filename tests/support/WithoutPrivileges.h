// Runs a piece of a test as an ordinary user when the tests run as root, so that file
// permissions really apply (root ignores them).
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <QtGlobal>

namespace qz::test {

// The uid and gid the work runs as under root.
constexpr uid_t kUnprivilegedId = 65534;

// Runs fn (returning a quint64) in a child process with dropped privileges when running as
// root, otherwise here; ~0 when the child could not run it.
template <typename Fn>
quint64 runWithoutPrivileges(Fn fn) {
    if (::geteuid() != 0) {
        return fn();
    }
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return ~0ull;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        quint64 result = ~0ull;
        if (::setgid(kUnprivilegedId) == 0 && ::setuid(kUnprivilegedId) == 0) {
            result = fn();
        }
        (void)!::write(pipeFds[1], &result, sizeof result);
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    quint64 result = ~0ull;
    (void)!::read(pipeFds[0], &result, sizeof result);
    ::close(pipeFds[0]);
    ::waitpid(child, nullptr, 0);
    return result;
}

}  // namespace qz::test
