// Which program's icon a window carries, told by the picture it shows rather than by the
// QIcon object, which is made afresh at every call.
#pragma once

#include "ui/icons.h"

#include <QIcon>
#include <QImage>
#include <QString>

namespace relperm::testing {

inline QImage iconPicture(const QIcon& icon, int size) {
    return icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
}

// "vomar", "pellam" or "ostilo" for the one program whose icon looks like `icon` at title-bar
// and menu sizes; empty for none, and for more than one, as icons alike tell nothing.
inline QString programOfIcon(const QIcon& icon) {
    const std::pair<const char*, QIcon> programs[] = {{"vomar", ui::calculatorIcon()},
                                                      {"pellam", ui::browserIcon()},
                                                      {"ostilo", ui::launcherIcon()}};
    QString found;
    for (const auto& [program, candidate] : programs) {
        bool same = true;
        for (int size : {16, 32, 48})
            same = same && iconPicture(icon, size) == iconPicture(candidate, size);
        if (same && !found.isEmpty())
            return {};
        if (same)
            found = program;
    }
    return found;
}

} // namespace relperm::testing
