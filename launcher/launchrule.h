// What an entry of the launcher's list does, decided by the entry's last four characters,
// compared exactly: "ions" the calculator, "base" the database browser, "Exit" the end.
#pragma once

#include <string_view>

namespace relperm {

enum class LaunchAction { None, StartCalculator, StartBrowser, Exit };

inline LaunchAction launchActionFor(std::string_view entry) {
    const std::string_view last4 = entry.size() >= 4 ? entry.substr(entry.size() - 4) : entry;
    if (last4 == "ions")
        return LaunchAction::StartCalculator;
    if (last4 == "base")
        return LaunchAction::StartBrowser;
    if (last4 == "Exit")
        return LaunchAction::Exit;
    return LaunchAction::None;
}

} // namespace relperm
