// Option parsing shared by the subcommands.
#include "cli/args.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

const std::vector<OptionSpec>& Args::Common() {
    static const std::vector<OptionSpec> common = {
        {"--help", false}, {"-h", false},        {"--json", false},
        {"--raw", false},  {"--encoding", true}, {"--nation", true},
    };
    return common;
}

bool Args::Parse(const std::vector<std::string>& argv, const std::vector<OptionSpec>& specs,
                 std::string& error) {
    std::vector<OptionSpec> all = Common();
    all.insert(all.end(), specs.begin(), specs.end());
    bool optionsEnded = false;
    for (size_t i = 0; i < argv.size(); ++i) {
        const std::string& arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg;
        std::string value;
        bool inlineValue = false;
        const size_t eq = arg.find('=');
        if (arg.compare(0, 2, "--") == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            inlineValue = true;
        }
        const auto known = std::find_if(all.begin(), all.end(),
                                        [&name](const OptionSpec& s) { return name == s.name; });
        if (known == all.end()) {
            error = "unknown option " + name;
            return false;
        }
        if (known->hasValue && !inlineValue) {
            if (i + 1 >= argv.size()) {
                error = "option " + name + " needs a value";
                return false;
            }
            value = argv[++i];
        } else if (!known->hasValue && inlineValue) {
            error = "option " + name + " takes no value";
            return false;
        }
        if (known->hasValue && !known->repeatable && Has(name)) {
            error = "option " + name + " given twice";
            return false;
        }
        if (known->pair) {  // "--vs A B": the second value is the next argument
            if (i + 1 >= argv.size()) {
                error = "option " + name + " needs two values";
                return false;
            }
            m_options.emplace_back(name, value);
            value = argv[++i];
        }
        m_options.emplace_back(name, value);
    }
    return true;
}

bool Args::Has(const std::string& name) const {
    return !GetAll(name).empty();
}

std::string Args::Get(const std::string& name) const {
    const std::vector<std::string> values = GetAll(name);
    return values.empty() ? std::string() : values.back();
}

std::vector<std::string> Args::GetAll(const std::string& name) const {
    std::vector<std::string> values;
    for (const auto& option : m_options) {
        if (option.first == name) {
            values.push_back(option.second);
        }
    }
    return values;
}

bool ParseNumber(const std::string& text, long lo, long hi, long& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || n < lo || n > hi) {
        return false;
    }
    value = n;
    return true;
}
