// User text inside a message: in double quotes, at most its first 40 characters (then
// "..."), control characters and bytes that are no UTF-8 shown as \x00 to \xff. A message
// names the bad input so the user can find it; it does not need the whole of a pasted
// paragraph (or of a 10 MB field), and a line break, terminal control sequence or stray
// byte in it would garble the message.
#pragma once

#include <string>
#include <string_view>

namespace relperm {

std::string quotedText(std::string_view text);

// A file or folder name inside a message: quoted and escaped as above but whole, since the
// user must find the very file the message is about.
std::string quotedName(std::string_view name);

} // namespace relperm
