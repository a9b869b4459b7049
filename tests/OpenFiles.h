// Counting the process's open file descriptors, to show that no failure leaks one.
#ifndef GIBO_TESTS_OPENFILES_H
#define GIBO_TESTS_OPENFILES_H

#include <dirent.h>

// Entries in /proc/self/fd; 0 without it, and on Windows (wine lists its own descriptors there).
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
