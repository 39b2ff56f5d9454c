#include "ui/twips.h"

#include <cmath>

namespace relperm::ui {

int twipsToPixels(int twips, const QWidget* widget) {
    const double dpi = widget ? widget->logicalDpiX() : 96.0;
    return static_cast<int>(std::lround(twips / 15.0 * dpi / 96.0));
}

void placeInTwips(QWidget* child, int left, int top, int width, int height) {
    child->setGeometry(twipsToPixels(left, child), twipsToPixels(top, child),
                       twipsToPixels(width, child), twipsToPixels(height, child));
}

} // namespace relperm::ui
