// Texts of the core (UTF-8 std::string) shown in widgets.
#pragma once

#include <QString>

#include <string>

namespace relperm::ui {

inline QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace relperm::ui
