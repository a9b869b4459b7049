// The library's error codes in plain words, and the shape of the tool's messages.
#ifndef GIBO_TOOLS_CLI_ERRORS_H
#define GIBO_TOOLS_CLI_ERRORS_H

#include <string>

// "0x10000005: no header between \HS and \HE". The words depend on the operation, since
// LoadFile and SaveFile use the same codes for different reasons.
std::string LoadErrorText(unsigned long code);
std::string SaveErrorText(unsigned long code);

// Exit statuses of every subcommand.
enum ExitStatus { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

#endif  // GIBO_TOOLS_CLI_ERRORS_H
