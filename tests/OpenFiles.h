// Counting the process's open file descriptors, to show that no failure leaks one.
#ifndef GIBO_TESTS_OPENFILES_H
#define GIBO_TESTS_OPENFILES_H

#include <dirent.h>

// The number of entries in /proc/self/fd; 0 where the system has no such folder, and on
// Windows, where under wine it lists the emulator's own descriptors, which come and go.
inline int OpenDescriptors() {
    int n = 0;
#ifndef _WIN32
    if (DIR* d = ::opendir("/proc/self/fd")) {
        while (::readdir(d)) {
            ++n;
        }
        ::closedir(d);
    }
#endif
    return n;
}

#endif  // GIBO_TESTS_OPENFILES_H
