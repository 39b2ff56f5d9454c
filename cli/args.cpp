#include "cli/args.h"

#include "common/numbers.h"
#include "common/quotedtext.h"

#include <algorithm>
#include <cmath>

namespace relperm::cli {

std::optional<std::string> Options::get(const std::string& name) const {
    auto it = values.find(name);
    if (it == values.end())
        return std::nullopt;
    return it->second;
}

std::optional<Options> parseOptions(const std::vector<std::string>& args, const OptionTable& known,
                                    std::string& error) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            options.positional.insert(options.positional.end(), args.begin() + i + 1, args.end());
            break;
        }
        if (arg == "-h" || arg == "-V") {
            const std::string name = arg == "-h" ? "help" : "version";
            options.switches.insert(name);
            continue;
        }
        // The one short option with a value: -o FILE, wherever the command writes --out.
        const bool shortOut = arg == "-o" && known.withValue.count("out");
        // A lone "-" is a name (standard input or output); "-x" is no option we know.
        if (!shortOut && arg.size() > 1 && arg[0] == '-' && arg[1] != '-') {
            error = "unknown option " + quotedText(arg);
            return std::nullopt;
        }
        if (!shortOut && arg.rfind("--", 0) != 0) {
            options.positional.push_back(arg);
            continue;
        }
        std::string name = shortOut ? "out" : arg.substr(2);
        std::optional<std::string> inlineValue;
        if (auto eq = name.find('='); eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.erase(eq);
        }
        const bool isSwitch = name == "help" || name == "version" || known.switches.count(name);
        if (!isSwitch && !known.withValue.count(name)) {
            error = "unknown option " + quotedText("--" + name);
            return std::nullopt;
        }
        // A flag given twice is most likely a slip (an edited command line); which of the
        // two was meant cannot be known, so neither is taken.
        if (options.switches.count(name) || options.values.count(name)) {
            error = "option --" + name + (name == "out" ? " (or -o)" : "") + " is given twice";
            return std::nullopt;
        }
        if (isSwitch) {
            if (inlineValue) {
                error = "option --" + name + " takes no value";
                return std::nullopt;
            }
            options.switches.insert(name);
        } else if (inlineValue) {
            options.values[name] = *inlineValue;
        } else if (i + 1 < args.size()) {
            // The next word is the value even when it starts with a hyphen ("--swc -5").
            options.values[name] = args[++i];
        } else {
            error = "option --" + name + " needs a value";
            return std::nullopt;
        }
    }
    return options;
}

std::optional<double> numberOption(const Options& options, const std::string& name,
                                   std::string& error) {
    const std::optional<std::string> text = options.get(name);
    if (!text)
        return std::nullopt;
    const std::optional<double> value = parseNumber(*text);
    if (!value) {
        error = "--" + name + " must be a number, not " + quotedText(*text);
        return std::nullopt;
    }
    if (!std::isfinite(*value)) {
        error = "--" + name + " is too large to be a number: " + quotedText(*text);
        return std::nullopt;
    }
    return value;
}

std::string inputPath(const std::string& name) {
    // The descriptor's own path: a pipe is read as a pipe, a redirected file as that file
    // (so an --out over it is still refused), and a terminal is refused as a device.
    return name == "-" ? "/dev/stdin" : name;
}

bool sameListText(std::string_view typed, std::string_view entry) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return typed.size() == entry.size() &&
           std::equal(typed.begin(), typed.end(), entry.begin(),
                      [&](char a, char b) { return lower(a) == lower(b); });
}

bool allNumbers(const Options& options, std::initializer_list<const char*> names,
                std::string& error) {
    for (const char* name : names)
        if (options.get(name) && !numberOption(options, name, error))
            return false;
    return true;
}

} // namespace relperm::cli
