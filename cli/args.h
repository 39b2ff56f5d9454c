// Command-line options of the form --name VALUE or --name=VALUE, and bare switches, with the
// conventions every subcommand shares: -h and --help, -V and --version, -o for --out, --
// ending the options, a flag given twice refused, numbers that must be wholly numbers, bad
// text quoted short, - for standard input, list texts in any case.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
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
// nothing and sets `error` to a sentence naming it. "--help" (also "-h") and "--version"
// (also "-V") are always known switches; "-o" is "--out" where --out is known; every word
// after "--" is positional.
std::optional<Options> parseOptions(const std::vector<std::string>& args, const OptionTable& known,
                                    std::string& error);

// The value of option `name` when it is wholly a finite number (blanks around it allowed),
// else nothing and `error` names the flag and quotes the text.
std::optional<double> numberOption(const Options& options, const std::string& name,
                                   std::string& error);

// Refuses, in `error`, the first of `names` that is given but is not wholly a number.
bool allNumbers(const Options& options, std::initializer_list<const char*> names,
                std::string& error);

// The path to read for a file named on the command line: "-" is standard input.
std::string inputPath(const std::string& name);

// Whether two list texts are the same but for the case of ASCII letters: "water-oil data"
// picks "Water-Oil Data" on the command line, whose outputs then name the list's own text.
bool sameListText(std::string_view typed, std::string_view entry);

} // namespace relperm::cli
