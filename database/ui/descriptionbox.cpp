#include "database/ui/descriptionbox.h"

#include <QPainter>

namespace relperm::databaseui {

DescriptionBox::DescriptionBox(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Base));
    setPalette(palette);
}

void DescriptionBox::setLines(std::vector<DescriptionLine> lines) {
    lines_ = std::move(lines);
    update();
}

void DescriptionBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int left = contentsRect().left() + 2;
    const int columnWidth = metrics.averageCharWidth();
    int baseline = contentsRect().top() + metrics.ascent() + 1;
    for (const DescriptionLine& line : lines_) {
        painter.setPen(QColor(line.colour.red, line.colour.green, line.colour.blue));
        int x = left;
        for (const DescriptionItem& item : line.items) {
            if (item.column > 0) {
                const int columnX = left + (item.column - 1) * columnWidth;
                if (x > columnX) // already past the column: on to it in the next line
                    baseline += metrics.lineSpacing();
                x = columnX;
            }
            const QString text = QString::fromStdString(item.text);
            painter.drawText(x, baseline, text);
            x += metrics.horizontalAdvance(text);
        }
        baseline += metrics.lineSpacing();
    }
}

} // namespace relperm::databaseui
