// Command-line options of the form --name VALUE or --name=VALUE, and bare switches.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace relperm::cli {

struct OptionSpec {
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
// nothing and sets `error` to a sentence naming it. "--help" is always a known switch.
std::optional<Options> parseOptions(const std::vector<std::string>& args, const OptionSpec& known,
                                    std::string& error);

} // namespace relperm::cli
