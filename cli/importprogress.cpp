#include "cli/importprogress.h"

#include <filesystem>
#include <ostream>

namespace relperm::cli {

namespace {

// "412 MB", "1.7 GB": enough to see an import move.
std::string sizeText(std::uintmax_t bytes) {
    if (bytes >= 1000000000)
        return std::to_string(bytes / 1000000000) + "." + std::to_string(bytes / 100000000 % 10) +
               " GB";
    if (bytes >= 1000000)
        return std::to_string(bytes / 1000000) + " MB";
    if (bytes >= 1000)
        return std::to_string(bytes / 1000) + " kB";
    return std::to_string(bytes) + " bytes";
}

// "312 000": a count in groups of three digits.
std::string groupedCount(int count) {
    std::string digits = std::to_string(count);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), " ");
    return digits;
}

} // namespace

ImportProgressLine::ImportProgressLine(std::ostream& err, bool terminal)
    : err_(err), terminal_(terminal), start_(std::chrono::steady_clock::now()) {}

void ImportProgressLine::update(const ImportProgress& now) {
    if (!terminal_)
        return;
    last_ = now;
    fileName_ = std::filesystem::path(now.fileName).filename().string(); // the line stays short
    const auto time = std::chrono::steady_clock::now();
    if (time - start_ < std::chrono::seconds(1) ||
        (shown_ && time - shownAt_ < std::chrono::milliseconds(250)))
        return;
    show();
    shownAt_ = time;
}

void ImportProgressLine::end() {
    if (!shown_)
        return;
    show();
    err_ << "\n" << std::flush;
    shown_ = false;
}

void ImportProgressLine::show() {
    std::string text = "relperm db: importing " + fileName_ + ": " + sizeText(last_.bytesRead);
    if (last_.fileBytes > 0)
        text += " of " + sizeText(last_.fileBytes);
    text += ", " + groupedCount(last_.sets) + " sets";
    const std::size_t width = text.size();
    if (width < width_)
        text.append(width_ - width, ' '); // covers the end of a longer line before it
    width_ = width;
    err_ << "\r" << text << std::flush;
    shown_ = true;
}

} // namespace relperm::cli
