// Command-line options of the form --name VALUE or --name=VALUE, and bare switches, with the
// conventions every subcommand shares: -h and --help, -- ending the options, a flag given
// twice refused, numbers that must be wholly numbers, bad text quoted short.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace relperm::cli {

struct OptionTable {
    std::set<std::string> withValue; // names (without "--") that take a value
    std::set<std::string> switches;  // names that take none
};

struct Options {
    std::map<std::string, std::string> values;
    std::set<std::string> switches;
    std::vector<std::string> positional;

    std::optional<std::string> get(const std::string& name) const;
    bool has(const std::string& name) const { return switches.count(name) > 0; }
};

// Parses `args` (without the program and subcommand names). On a bad option returns
// nothing and sets `error` to a sentence naming it. "--help" (also "-h") is always a known
// switch; every word after "--" is positional.
std::optional<Options> parseOptions(const std::vector<std::string>& args, const OptionTable& known,
                                    std::string& error);

// The value of option `name` when it is wholly a finite number (blanks around it allowed),
// else nothing and `error` names the flag and quotes the text.
std::optional<double> numberOption(const Options& options, const std::string& name,
                                   std::string& error);

// Refuses, in `error`, the first of `names` that is given but is not wholly a number.
bool allNumbers(const Options& options, std::initializer_list<const char*> names,
                std::string& error);

} // namespace relperm::cli
