#include "cli/args.h"

namespace relperm::cli {

std::optional<std::string> Options::get(const std::string& name) const {
    auto it = values.find(name);
    if (it == values.end())
        return std::nullopt;
    return it->second;
}

std::optional<Options> parseOptions(const std::vector<std::string>& args, const OptionSpec& known,
                                    std::string& error) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.rfind("--", 0) != 0 || arg == "--") {
            options.positional.push_back(arg);
            continue;
        }
        std::string name = arg.substr(2);
        std::optional<std::string> inlineValue;
        if (auto eq = name.find('='); eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.erase(eq);
        }
        if (name == "help" || known.switches.count(name)) {
            if (inlineValue) {
                error = "option --" + name + " takes no value";
                return std::nullopt;
            }
            options.switches.insert(name);
        } else if (known.withValue.count(name)) {
            if (inlineValue) {
                options.values[name] = *inlineValue;
            } else if (i + 1 < args.size()) {
                // The next word is the value even when it starts with a hyphen ("--swc -5").
                options.values[name] = args[++i];
            } else {
                error = "option --" + name + " needs a value";
                return std::nullopt;
            }
        } else {
            error = "unknown option --" + name;
            return std::nullopt;
        }
    }
    return options;
}

} // namespace relperm::cli
