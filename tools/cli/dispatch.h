// The whole run of the tool: "gibo COMMAND [OPTIONS] ...", the overview, the version, and the
// subcommand's help, options, run and output.
#ifndef GIBO_TOOLS_CLI_DISPATCH_H
#define GIBO_TOOLS_CLI_DISPATCH_H

// The exit status.
int RunTool(int argc, char** argv);

#endif  // GIBO_TOOLS_CLI_DISPATCH_H
