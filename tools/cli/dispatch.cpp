// The whole run of the tool: "gibo COMMAND [OPTIONS] ...", the overview, the version, and the
// subcommand's help, options, run and output.
#include <cerrno>
#include <cstdio>
#include <exception>
#include <iostream>

#include "cli/command.h"
#include "cli/errors.h"
#include "os/input.h"
#include "text/converter.h"

namespace {

std::vector<Command> AllCommands() {
    std::vector<Command> all = {ShowCommand(),   SplitCommand(), JoinCommand(),
                                GetCommand(),    SetCommand(),   RefsCommand(),
                                AddRefCommand(), ParseCommand(), CheckCommand()};
#ifdef GIBO_HAVE_INDEX
    all.push_back(IndexCommand());
    all.push_back(FindCommand());
    all.push_back(PlayersCommand());
#endif
    return all;
}

void PrintOverview(std::ostream& out) {
    out << "Usage: gibo COMMAND [OPTIONS] ...\n"
           "\n"
           "Reads and writes Go game records (\\HS...\\HE header, \\GS...\\GE body, audio "
           "trailer)\n"
           "and shows their game information as a host application does.\n"
           "\n"
           "Commands:\n";
    for (const Command& c : AllCommands()) {
        out << "  " << c.name << std::string(10 - std::string(c.name).size(), ' ') << c.summary
            << '\n';
    }
    out << "\nText is written in the locale's character set (UTF-8 in a C locale); see\n"
           "'gibo COMMAND --help' for the options of each command.\n"
           "\n"
           "  -V, --version      the version of gibo and its library\n"
           "  -h, --help         this help\n";
}

// Output that did not arrive is a failure, except when its reader went away: that is how
// "gibo show ... | head" ends.
int CheckOutput(Tool& tool, int status) {
    errno = 0;
    std::cout.flush();
    int err = tool.OutputError();
    if (err == 0 && (std::fflush(stdout) != 0 || std::ferror(stdout) || !std::cout)) {
        err = errno ? errno : EIO;
    }
    if (err == 0 || err == EPIPE) {
        return status;
    }
    tool.Error("", "cannot write the output: " + SystemReason(err));
    return kExitFailed;
}

// "gibo help [COMMAND]", "gibo --help [COMMAND]".
int PrintHelp(const std::vector<std::string>& rest) {
    const std::string topic = rest.empty() ? std::string() : rest[0];
    for (const Command& c : AllCommands()) {
        if (topic == c.name) {
            std::cout << c.help << kCommonOptionsHelp;
            return kExitOk;
        }
    }
    PrintOverview(std::cout);
    return kExitOk;
}

int RunCommand(const Command& command, const std::vector<std::string>& rest) {
    Tool tool(command.name, LocaleCharset());
    Args args;
    std::string error;
    if (!args.Parse(rest, command.options, error)) {
        return tool.Usage(error);
    }
    if (args.Has("--help") || args.Has("-h")) {
        std::cout << command.help << kCommonOptionsHelp;
        return kExitOk;
    }
    if (!tool.Configure(args, error)) {
        return tool.Usage(error);
    }
    int status = kExitFailed;
    try {
        status = command.run(tool, args);
    } catch (const std::exception& e) {
        tool.Error("", std::string("unexpected failure: ") + e.what());
    }
    return CheckOutput(tool, status);
}

}  // namespace

int RunTool(int argc, char** argv) {
    const std::vector<std::string> rest(argv + (argc > 1 ? 2 : 1), argv + argc);
    const std::string name = argc > 1 ? argv[1] : "";
    if (name == "--help" || name == "-h" || name == "help") {
        return PrintHelp(rest);
    }
    if (name == "--version" || name == "-V") {
        std::cout << "gibo " GIBO_VERSION "\nlibgibo " GIBO_VERSION " (ABI " GIBO_SOVERSION ")\n";
        return kExitOk;
    }
    if (name.empty()) {
        PrintOverview(std::cerr);
        return kExitUsage;
    }
    for (const Command& command : AllCommands()) {
        if (name == command.name) {
            return RunCommand(command, rest);
        }
    }
    std::cerr << "gibo: unknown command " << name << "\nTry 'gibo --help'." << std::endl;
    return kExitUsage;
}
