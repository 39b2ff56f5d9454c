#include "common/quotedtext.h"

namespace relperm {

namespace {

// The length of the well-formed UTF-8 character at the start of `text`, or 0 when its
// first byte starts none (a stray continuation byte, an overlong form, a surrogate, a cut
// sequence).
std::size_t utf8Length(std::string_view text) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char c = at(0);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // the allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        low = c == 0xE0 ? 0xA0 : 0x80;
        high = c == 0xED ? 0x9F : 0xBF;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        low = c == 0xF0 ? 0x90 : 0x80;
        high = c == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || at(1) < low || at(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if ((at(i) & 0xC0) != 0x80)
            return 0;
    return length;
}

// `text` in double quotes, cut after `longest` characters, escaped as the header says.
std::string quoted(std::string_view text, std::size_t longest) {
    constexpr char hex[] = "0123456789abcdef";
    std::string shown = "\"";
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (characters++ == longest) {
            shown += "...";
            break;
        }
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80 ? 1 : utf8Length(text.substr(i));
        if (c < 0x20 || c == 0x7f || length == 0) {
            shown += "\\x";
            shown += hex[c >> 4];
            shown += hex[c & 0xF];
            ++i;
        } else {
            shown.append(text.substr(i, length));
            i += length;
        }
    }
    return shown + "\"";
}

} // namespace

std::string quotedText(std::string_view text) {
    return quoted(text, 40);
}

std::string quotedName(std::string_view name) {
    return quoted(name, std::string_view::npos);
}

} // namespace relperm
