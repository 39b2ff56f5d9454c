// The subcommands of relperm. Each takes its arguments (after the subcommand name) and the
// two output streams, and returns the exit status: 0 success, 1 a file could not be read
// or written, 2 input refused, 3 (db show only) the match asked for is past the last one.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace relperm::cli {

inline constexpr int exitOk = 0;
inline constexpr int exitFileError = 1;
inline constexpr int exitRefused = 2;
inline constexpr int exitPastLastMatch = 3;

int runGenerate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runDb(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runFit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runRecommend(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runTables(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runDeck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The whole command line: program arguments without the program name.
int runRelperm(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Writes `bytes` to the file named by --out (atomically), or to `out` when there is none or
// it is "-". A failed write is reported on `err` after `prefix` ("relperm generate") and
// gives exit status 1.
int emit(const std::string& bytes, const std::string* outFile, std::ostream& out, std::ostream& err,
         const std::string& prefix);

} // namespace relperm::cli
