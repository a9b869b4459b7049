// gibo: the command-line face of the library.
#include "cli/dispatch.h"
#include "os/signals.h"
#include "os/system.h"

int main(int argc, char** argv) {
    os::PrepareProcess();
    InstallSignalHandlers();
    return RunTool(argc, argv);
}
