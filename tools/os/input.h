// The one way the tool opens a file it reads: regular files only (a FIFO would stop the run,
// a device or directory is no record), refused with the system's reason otherwise.
#ifndef GIBO_TOOLS_OS_INPUT_H
#define GIBO_TOOLS_OS_INPUT_H

#include <string>

// The system's words for an errno value.
std::string SystemReason(int err);

// Closes a descriptor the tool opened, if open, and marks it closed.
void CloseFd(int& fd);

class InputFile {
public:
    InputFile() = default;
    ~InputFile() { Close(); }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // False with the reason ("No such file or directory", "not a regular file ...").
    bool Open(const std::string& path, std::string& error);
    void Close();
    int Fd() const { return m_fd; }
    long long Size() const { return m_size; }
    unsigned long long Device() const { return m_dev; }
    unsigned long long Inode() const { return m_ino; }
    unsigned Mode() const { return m_mode; }  // permission bits
    // A name under which the library opens this very file, not whatever stands at its path
    // by then: /proc/self/fd/N where the system has it, else the path itself.
    const std::string& OpenedName() const { return m_name; }
    // True when path names this very file (following links).
    bool IsAt(const std::string& path) const;

private:
    int m_fd = -1;
    long long m_size = 0;
    unsigned long long m_dev = 0, m_ino = 0;
    unsigned m_mode = 0;
    std::string m_name;
};

// True when a symbolic link stands at path.
bool IsLink(const std::string& path);

// Why a record at path cannot be replaced: the record itself, or its directory, is not
// writable (with the system's reason); empty when neither.
std::string WhyNotReplaceable(const std::string& path);

// Holds InputFile open with an exclusive advisory lock for a read-modify-write, so that
// parallel edits of one record run one after another. A run that waited for a record that
// another run has meanwhile replaced opens and locks the new one.
bool LockForEdit(const std::string& path, InputFile& in, std::string& error);

#endif  // GIBO_TOOLS_OS_INPUT_H
