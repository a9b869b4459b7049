// The subcommands: each file commands/NAME.cpp holds one of them with its help text.
#ifndef GIBO_TOOLS_CLI_COMMAND_H
#define GIBO_TOOLS_CLI_COMMAND_H

#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/tool.h"

struct Command {
    const char* name;
    const char* summary;  // one line for "gibo --help"
    const char* help;     // the whole text of "gibo NAME --help"
    std::vector<OptionSpec> options;
    int (*run)(Tool& tool, const Args& args);
};

Command ShowCommand();
Command SplitCommand();
Command JoinCommand();
Command GetCommand();
Command SetCommand();
Command RefsCommand();
Command AddRefCommand();
Command ParseCommand();
Command CheckCommand();
#ifdef GIBO_HAVE_INDEX
Command IndexCommand();  // tools/index/: built where SQLite is found
Command FindCommand();
Command PlayersCommand();
#endif

#endif  // GIBO_TOOLS_CLI_COMMAND_H
