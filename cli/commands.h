// The subcommands of relperm. Each takes its arguments (after the subcommand name) and the
// two output streams, and returns the exit status: 0 success, 1 a file could not be read
// or written, 2 input refused, 3 (db show only) the match asked for is past the last one.
#pragma once

#include "common/filewrite.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
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

// "relperm 1.0" and a line end: what --version (-V) prints at every level.
std::string versionLine();

// The whole command line: program arguments without the program name.
int runRelperm(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Writes `bytes` to the file named by --out (atomically), or to `out` when there is none or
// it is "-". A failed write is reported on `err` after `prefix` ("relperm generate") and
// gives exit status 1.
int emit(const std::string& bytes, const std::string* outFile, std::ostream& out, std::ostream& err,
         const std::string& prefix);

// The same output written piece by piece, for text that grows with a data file (db dump,
// db list, db show --all), so a command holds one piece and never the whole text. A file
// named by --out is written to its temporary file as the pieces come and replaces the
// target only at finish, as emit's does.
class StreamedOutput {
  public:
    StreamedOutput(const std::string* outFile, std::ostream& out);

    // False once a write has failed: what follows is dropped, and finish reports why.
    bool write(std::string_view bytes);
    // Commits the file; reports a failed write on `err` after `prefix` and gives status 1.
    int finish(std::ostream& err, const std::string& prefix);

  private:
    std::ostream& out_;
    std::optional<AtomicFileWriter> file_;
    std::optional<std::string> failure_;
};

} // namespace relperm::cli
