// User text inside a message: in double quotes, at most its first 40 characters (then
// "..."), control characters shown as "?". A message names the bad input so the user can
// find it; it does not need the whole of a pasted paragraph, and a line break or terminal
// control sequence in it would garble the message.
#pragma once

#include <string>
#include <string_view>

namespace relperm {

std::string quotedText(std::string_view text);

} // namespace relperm
