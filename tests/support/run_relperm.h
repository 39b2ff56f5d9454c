// Runs the relperm command line in the test's own process and keeps what it printed.
#pragma once

#include "cli/commands.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace relperm::testing {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

inline Outcome relperm(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = cli::runRelperm(args, out, err);
    return {status, out.str(), err.str()};
}

// The worked example with Corey, as a script would ask for it.
inline const std::vector<std::string> coreyWorkedExample = {"generate",
                                                            "--fluids",
                                                            "Water-Oil-Gas",
                                                            "--correlation",
                                                            "Corey",
                                                            "--swc",
                                                            "20",
                                                            "--sorw",
                                                            "25",
                                                            "--sorg",
                                                            "10",
                                                            "--sgc",
                                                            "5"};

// `args` with each flag of `more` (a flag and its value, or a switch) set: a flag already
// there takes the new value, since a flag given twice is refused.
inline std::vector<std::string> with(std::vector<std::string> args,
                                     const std::vector<std::string>& more) {
    for (std::size_t i = 0; i < more.size(); ++i) {
        const bool hasValue = i + 1 < more.size() && more[i + 1].rfind("--", 0) != 0;
        auto at = std::find(args.begin(), args.end(), more[i]);
        if (at != args.end() && hasValue)
            *(at + 1) = more[i + 1];
        else if (at == args.end())
            args.insert(args.end(), more.begin() + static_cast<long>(i),
                        more.begin() + static_cast<long>(i + (hasValue ? 2 : 1)));
        i += hasValue ? 1 : 0;
    }
    return args;
}

} // namespace relperm::testing
