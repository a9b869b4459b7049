// Running a check as another user, for the promises that depend on what the caller may do.
#ifndef GIBO_TESTS_NOBODY_H
#define GIBO_TESTS_NOBODY_H

#ifndef _WIN32
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

// fn in a child that became nobody with one more group: 0 held, 1 did not, 2 could not drop
// privileges or, as nobody, reach the directory dir (a private temporary folder above it).
inline int AsNobody(gid_t group, const std::string& dir, const std::function<bool()>& fn) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const bool dropped = ::setgroups(1, &group) == 0 && ::setgid(65534) == 0 &&
                             ::setuid(65534) == 0 && ::access(dir.c_str(), X_OK) == 0;
        ::_exit(!dropped ? 2 : fn() ? 0 : 1);
    }
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) ? WEXITSTATUS(status)
                                                                             : 1;
}
#endif

#endif  // GIBO_TESTS_NOBODY_H
