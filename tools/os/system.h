// What the tool asks of the operating system: os/system_posix.cpp and os/system_windows.cpp
// implement it, so that no other file of the tool depends on the system. Failures set errno.
#ifndef GIBO_TOOLS_OS_SYSTEM_H
#define GIBO_TOOLS_OS_SYSTEM_H

#include <cstddef>
#include <functional>
#include <string>

class InputFile;

namespace os {

// The process as the tool wants it before it starts: UTF-8 on a Windows console, and a C
// library that keeps the memory a batch frees and asks for again.
void PrepareProcess();

// Descriptors. OpenForReading does not wait for a FIFO's writer, and with follow false opens
// no link (fails with ELOOP where the system can tell); -1 on failure.
int OpenForReading(const std::string& path, bool follow = true);
// See InputFile::OpenedName.
std::string DescriptorName(int fd, const std::string& path);
bool IsTerminal(int fd);

// True when a symbolic link stands at path (never on Windows, where the tool does not tell).
bool IsLink(const std::string& path);
// Why the file at path cannot be replaced: the file itself (when file is true), or its
// directory, is not writable (with the system's reason); empty when neither, or where the
// system does not say.
std::string WhyNotReplaceable(const std::string& path, bool file = true);
// Whether a file can be replaced while it is open: where not, the tool closes it first.
bool ReplacesOpenFiles();
// Opens path into in and locks it for a read-modify-write, so that parallel edits run one after
// another; opens it again when another run replaced it meanwhile. With follow false a link at
// path is not opened. waiting is called once when another run holds the lock.
bool LockForEdit(const std::string& path, InputFile& in, std::string& error, bool follow = true,
                 const std::function<void()>& waiting = nullptr);

// Where private temporary directories go: $TMPDIR when set, else a RAM-backed folder where the
// system has one, else its temporary folder.
std::string TempBase();
// A new directory only this user can enter, below base, its name beginning with prefix and
// telling which run made it; empty when none can be made.
std::string MakePrivateDir(const std::string& base, const std::string& prefix);
// Removes what MakePrivateDir made below base with prefix for runs of this user on this machine
// that have ended (killed before they could remove it).
void RemoveStaleDirs(const std::string& base, const std::string& prefix);

// Signals that stop a run; the list ends with 0.
const int* StopSignals();
// The file-size limit makes a write fail (EFBIG) instead of ending the run.
void IgnoreFileSizeSignal();
// Holds the stop signals back (block) or lets them through; nothing where the system cannot.
void HoldStops(bool block);
// Runs handler for SIGINT and SIGTERM; a system call it interrupts fails with EINTR.
void CatchStops(void (*handler)(int));
// Removes a file or an empty directory; safe in a signal handler.
void RemoveNow(const char* path, bool directory);

}  // namespace os

#endif  // GIBO_TOOLS_OS_SYSTEM_H
