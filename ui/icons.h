// The suite's icons, drawn by us as SVG and rendered at the sizes the desktop asks for.
#pragma once

#include <QIcon>
#include <QString>

namespace relperm::ui {

// An icon from the resource folder ":/icons", e.g. "open" for the toolbar's Open.
QIcon svgIcon(const QString& name);

// Each program's windows carry the icon its desktop entry shows, so a task bar and the menu
// agree: the name is the program's. The data browser's fit and recommendation windows are
// the browser's too, as they start from it.
inline QIcon calculatorIcon() {
    return svgIcon("vomar");
}
inline QIcon browserIcon() {
    return svgIcon("pellam");
}
inline QIcon launcherIcon() {
    return svgIcon("ostilo");
}

// The suite's emblem, pictured in the launcher's window beside its menu.
inline QIcon suiteIcon() {
    return svgIcon("relperm");
}

} // namespace relperm::ui
