#include "ui/twips.h"

#include <algorithm>
#include <cmath>

namespace relperm::ui {

namespace {

constexpr const char* placedProperty = "placedInTwips";

} // namespace

int twipsToPixels(int twips, const QWidget* widget) {
    const double dpi = widget ? widget->logicalDpiX() : 96.0;
    return static_cast<int>(std::lround(twips / 15.0 * dpi / 96.0));
}

void placeInTwips(QWidget* child, int left, int top, int width, int height) {
    child->setGeometry(twipsToPixels(left, child), twipsToPixels(top, child),
                       twipsToPixels(width, child), twipsToPixels(height, child));
    child->setProperty(placedProperty, true);
}

bool isPlacedInTwips(const QWidget* widget) {
    return widget->property(placedProperty).toBool();
}

void placeByName(QWidget* widget, const TwipLayout& layout) {
    const TwipRect& r = layout.at(widget->objectName().toStdString());
    placeInTwips(widget, r.left, r.top, r.width, r.height);
}

void widenToLongestWord(QLabel* label) {
    const QFontMetrics metrics(label->font());
    int widest = 0;
    for (const QString& word : label->text().split(' ', Qt::SkipEmptyParts))
        widest = std::max(widest, metrics.horizontalAdvance(word));
    const int needed = widest + 2 * label->margin() + 2;
    if (needed > label->width())
        label->resize(needed, label->height());
}

} // namespace relperm::ui
