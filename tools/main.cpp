// gibo: the command-line face of the library.
#include "os/signals.h"
#include "os/system.h"

int RunTool(int argc, char** argv);  // cli/dispatch.cpp: the exit status

int main(int argc, char** argv) {
    os::PrepareProcess();
    InstallSignalHandlers();
    return RunTool(argc, argv);
}
