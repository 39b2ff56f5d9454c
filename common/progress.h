// Work that can run long, a scan of a large data file or the fits of every matching set:
// how it says how far it has come and how it is told to stop. A window runs such work off
// its own thread, with a progress bar and a Cancel button; the command line leaves both
// empty and waits. Both are called on the thread that does the work.
#pragma once

#include <functional>
#include <string_view>

namespace relperm {

struct WorkControl {
    // Told the fraction done, 0 to 1, as the work goes on: at most once a thousandth, so a
    // caller may pass each report on to another thread as it comes.
    std::function<void(double fraction)> progress;
    // Asked between steps (before each record read). Once it answers true the work stops at
    // the next step and says it was cancelled, never handing over what it had so far; it
    // must go on answering true from then on.
    std::function<bool()> cancelled;

    bool stopRequested() const { return cancelled && cancelled(); }
    void report(double fraction) const {
        if (progress)
            progress(fraction);
    }
};

// The input a Refusal names when the work was cancelled rather than its input refused.
inline constexpr std::string_view cancelledWork = "cancelled";

} // namespace relperm
