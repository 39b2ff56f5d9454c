// How the core says no. A refusal names the input that must change (by the name of the
// box that holds it, so a window can put the focus there) and says, in the user's terms,
// what range that input needs. The core never prints and never exits; the programs show
// the message.
#pragma once

#include <string>

namespace relperm {

struct Refusal {
    std::string input;   // the box that holds the input, e.g. "spo", "Swco"
    std::string message; // one sentence naming the input and the range it needs
};

} // namespace relperm
