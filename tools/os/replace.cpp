// Replacing files through a temporary beside them.
#include "os/replace.h"

#include <cerrno>
#include <cstdio>
#include <random>

#include "os/input.h"
#include "os/signals.h"
#include "os/system.h"

namespace {

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string RandomName() {
    static std::random_device rd;
    char name[40];
    std::snprintf(name, sizeof name, ".gibo-%08x%08x.tmp", rd(), rd());
    return name;
}

}  // namespace

FileReplacement::~FileReplacement() {
    Discard();
}

void FileReplacement::Discard() {
    CloseFd(m_fd);
    if (!m_temp.empty()) {
        std::remove(m_temp.c_str());
        m_temp.clear();
    }
    ForgetTemporary(m_slot);
    m_slot = -1;
}

bool FileReplacement::Begin(const std::string& target, const InputFile* source,
                            std::string& error) {
    Discard();
    m_target = target;
    os::Entry there;
    const bool exists = os::LookNoFollow(target, there);
    if (exists && there.directory) {
        error = "is a directory";
        return false;
    }
    if (exists && source && there.dev == source->Device() && there.ino == source->Inode()) {
        error = "is the file being read; it is not replaced by a part of itself";
        return false;
    }
    const std::string dir = DirectoryOf(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp = dir + RandomName();
        m_slot = RegisterTemporary(temp);
        if (m_slot < 0) {
            error = "the path is too long";
            return false;
        }
        m_fd = os::CreateExclusive(temp, 0600);
        if (m_fd >= 0) {
            m_temp = temp;
            return true;
        }
        const int err = errno;
        ForgetTemporary(m_slot);
        m_slot = -1;
        if (err != EEXIST) {
            error = "cannot create a file in " + (dir.empty() ? std::string(".") : dir) + ": " +
                    SystemReason(err);
            return false;
        }
    }
    error = "cannot find a free temporary name in " + dir;
    return false;
}

bool FileReplacement::CopyFrom(int fd, long long offset, std::string& error) {
    auto write = [this, &error](const char* p, size_t n) {
        if (WriteAll(m_fd, p, n)) {
            return true;
        }
        error = SystemReason(errno);
        return false;
    };
    return ReadPieces(fd, offset, write, error);
}

bool FileReplacement::Commit(std::string& error) {
    const int fd = m_fd;
    m_fd = -1;
    if (!os::PutInPlace(fd, m_temp, m_target, DirectoryOf(m_target), error)) {
        return false;
    }
    m_temp.clear();
    ForgetTemporary(m_slot);
    m_slot = -1;
    return true;
}
