#include "common/quotedtext.h"

namespace relperm {

std::string quotedText(std::string_view text) {
    constexpr std::size_t longest = 40;
    std::string shown;
    std::size_t characters = 0;
    for (const char byte : text) {
        const auto c = static_cast<unsigned char>(byte);
        // A UTF-8 continuation byte belongs to the character before it.
        if ((c & 0xC0) != 0x80 && characters++ == longest) {
            shown += "...";
            break;
        }
        shown += c < 0x20 || c == 0x7f ? '?' : byte;
    }
    return "\"" + shown + "\"";
}

} // namespace relperm
