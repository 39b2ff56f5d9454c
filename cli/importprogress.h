// The progress of a long `relperm db import`, on one line of a terminal rewritten in place.
#pragma once

#include "database/importfile.h"

#include <chrono>
#include <iosfwd>
#include <string>

namespace relperm::cli {

// A large import runs for minutes and would otherwise look hung. Where standard error is
// not a terminal (a log, a script) nothing is shown, so the messages stay alone.
class ImportProgressLine {
  public:
    ImportProgressLine(std::ostream& err, bool terminal);

    void update(const ImportProgress& now);
    // Shows the final figures and ends the line, so what follows starts on its own line.
    void end();

  private:
    void show();

    std::ostream& err_;
    bool terminal_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point shownAt_;
    ImportProgress last_;
    std::string fileName_;
    std::size_t width_ = 0;
    bool shown_ = false;
};

} // namespace relperm::cli
