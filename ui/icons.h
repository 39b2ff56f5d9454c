// The suite's icons, drawn by us as SVG and rendered at the sizes the desktop asks for.
#pragma once

#include <QIcon>
#include <QString>

namespace relperm::ui {

// An icon from the resource folder ":/icons", e.g. "relperm" for the suite's icon.
QIcon svgIcon(const QString& name);

inline QIcon suiteIcon() {
    return svgIcon("relperm");
}

} // namespace relperm::ui
