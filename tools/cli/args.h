// Command-line options of a subcommand: "--name value", "--name=value", "-r DIR", flags, and
// "--" before operands that begin with a dash.
#ifndef GIBO_TOOLS_CLI_ARGS_H
#define GIBO_TOOLS_CLI_ARGS_H

#include <string>
#include <vector>

struct OptionSpec {
    const char* name;  // "--json", "-r"
    bool hasValue;
    bool repeatable = false;  // a value option given twice is a usage error unless this is set
    bool pair = false;        // takes two values ("--vs A B"), both in GetAll
};

class Args {
public:
    // Options every subcommand takes: --help, --json, --raw, --encoding, --nation.
    static const std::vector<OptionSpec>& Common();

    // False with a message for an unknown option, a missing value, or a second value of an
    // option that takes one.
    bool Parse(const std::vector<std::string>& argv, const std::vector<OptionSpec>& specs,
               std::string& error);

    bool Has(const std::string& name) const;
    std::string Get(const std::string& name) const;  // the last value given
    std::vector<std::string> GetAll(const std::string& name) const;

    std::vector<std::string> operands;

private:
    std::vector<std::pair<std::string, std::string>> m_options;
};

// Parses a decimal integer in [lo, hi]; false for anything else.
bool ParseNumber(const std::string& text, long lo, long hi, long& value);

#endif  // GIBO_TOOLS_CLI_ARGS_H
