// The subcommands of relperm. Each takes its arguments (after the subcommand name) and the
// two output streams, and returns the exit status: 0 success, 1 a file could not be read
// or written, 2 input refused.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace relperm::cli {

inline constexpr int exitOk = 0;
inline constexpr int exitFileError = 1;
inline constexpr int exitRefused = 2;

int runGenerate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runDb(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The whole command line: program arguments without the program name.
int runRelperm(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Writes `bytes` to the file named by --out, or to `out` when there is none.
int emit(const std::string& bytes, const std::string* outFile, std::ostream& out,
         std::ostream& err);

} // namespace relperm::cli
