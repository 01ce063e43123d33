#pragma once

// Running a check as a user without special rights. Root may write any
// file, so checks of what a user may not do run, under root, in a forked
// child that has become "nobody"; for any other user they run in place.

#include <cerrno>
#include <cstdio>
#include <functional>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace fixtures {

inline constexpr uid_t kNobody = 65534;

// True when checks run as "nobody", so files they must reach belong to it.
inline bool RunsAsNobody()
{
    return ::geteuid() == 0;
}

// What check reports as wrong (empty when all is well), as the unprivileged
// user found it; a description of the failure when the child could not run.
inline std::string AsUnprivilegedUser(const std::function<std::string()> &check)
{
    if (!RunsAsNobody())
        return check();
    int channel[2];
    if (::pipe(channel) != 0)
        return "cannot make a pipe";
    std::fflush(nullptr); // nothing buffered is written twice
    const pid_t child = ::fork();
    if (child < 0)
        return "cannot fork";
    if (child == 0) {
        ::close(channel[0]);
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(3);
        const std::string faults = check();
        const bool sent = ::write(channel[1], faults.data(), faults.size()) ==
                          static_cast<ssize_t>(faults.size());
        ::_exit(sent ? 0 : 4);
    }
    ::close(channel[1]);
    std::string faults;
    char buffer[512];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) != 0;) {
        if (n > 0)
            faults.append(buffer, static_cast<std::size_t>(n));
        else if (errno != EINTR)
            break;
    }
    ::close(channel[0]);
    int status = 0;
    if (::waitpid(child, &status, 0) != child)
        return "cannot wait for the child";
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        faults += "child status " + std::to_string(status) + " (3: could not become nobody)";
    return faults;
}

} // namespace fixtures
