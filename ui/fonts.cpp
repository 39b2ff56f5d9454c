#include "ui/fonts.h"

#include <QApplication>

namespace relperm::ui {

QFont layoutFont(double points, bool bold) {
    QFont font = QApplication::font();
    font.setFamilies({"MS Sans Serif", "Arial", "Liberation Sans", font.family()});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace relperm::ui
