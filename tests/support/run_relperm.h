// Runs the relperm command line in the test's own process and keeps what it printed.
#pragma once

#include "cli/commands.h"

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

} // namespace relperm::testing
