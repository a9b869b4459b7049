// The one way the tool opens a file it reads: regular files only (a FIFO would stop the run,
// a device or directory is no record), refused with the system's reason otherwise; and reading
// such a file in pieces, so that a file of any size costs no more memory than a piece.
#ifndef GIBO_TOOLS_OS_INPUT_H
#define GIBO_TOOLS_OS_INPUT_H

#include <string>

#include "framework/SysFile.h"

// The system's words for an errno value.
std::string SystemReason(int err);

class InputFile {
public:
    InputFile() = default;
    ~InputFile() { Close(); }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // False with the reason ("No such file or directory", "not a regular file ...").
    // With follow false a link at path is not opened (a race with its check loses nothing).
    bool Open(const std::string& path, std::string& error, bool follow = true);
    void Close();
    int Fd() const { return m_fd; }
    long long Size() const { return m_size; }
    // A name under which the library opens this very file, not whatever stands at its path
    // by then: /proc/self/fd/N where the system has it, else the path itself.
    const std::string& OpenedName() const { return m_name; }
    // What was opened, for a replacement that must find this very file at its name.
    const gibo::FileId& Identity() const { return m_id; }

private:
    int m_fd = -1;
    long long m_size = 0;
    std::string m_name;
    gibo::FileId m_id;
};

// Reads up to nCount bytes at offset, fewer only at the end of the file. False with the reason.
bool ReadAt(int fd, long long offset, char* pBuf, size_t nCount, size_t& nGot, std::string& error);

// True when the bytes of a from offset aOffset to its end equal those of b from bOffset.
bool SameTail(int a, long long aOffset, int b, long long bOffset, std::string& error);

#endif  // GIBO_TOOLS_OS_INPUT_H
