// Temporaries the tool creates, and the signals that must not leave them behind. A stopped run
// (SIGINT, SIGTERM, SIGHUP, or SIGPIPE when the reader of its output went away) removes every
// temporary still registered and then ends as the signal would have ended it. SIGXFSZ is
// ignored, so that a write over the file-size limit fails with EFBIG and is reported.
#ifndef GIBO_TOOLS_OS_SIGNALS_H
#define GIBO_TOOLS_OS_SIGNALS_H

#include <string>

void InstallSignalHandlers();

// For a command that stops between steps and cleans up after itself: from here on SIGINT and
// SIGTERM only ask it to stop (StopRequested), and a system call they interrupt fails with
// EINTR, so that a read waiting on a slow file gives up.
void StopBetweenSteps();
bool StopRequested();

// Registers a file (or an empty directory, removed after the files) to be removed when a
// signal stops the run; the slot for ForgetTemporary, or -1 when every slot is taken or the
// path is too long, and the caller must then not create it.
int RegisterTemporary(const std::string& path, bool isDirectory = false);
void ForgetTemporary(int slot);

// Holds the stopping signals back while it lives: around library writes whose temporaries
// the tool cannot name, so that a stop waits until the library has cleaned up after itself.
class DeferSignals {
public:
    DeferSignals();
    ~DeferSignals();
    DeferSignals(const DeferSignals&) = delete;
    DeferSignals& operator=(const DeferSignals&) = delete;
};

#endif  // GIBO_TOOLS_OS_SIGNALS_H
