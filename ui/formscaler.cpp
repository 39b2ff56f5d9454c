#include "ui/formscaler.h"

#include "ui/drawingsurface.h"
#include "ui/flexgrid.h"
#include "ui/twips.h"

#include <QEvent>

#include <algorithm>
#include <cmath>

namespace relperm::ui {

namespace {

QRect scaled(const QRect& r, double scale) {
    auto at = [scale](int v) { return static_cast<int>(std::lround(v * scale)); };
    return {at(r.left()), at(r.top()), at(r.width()), at(r.height())};
}

} // namespace

FormScaler::FormScaler(QWidget* client, QSize designed)
    : QObject(client), client_(client), designed_(designed) {
    client->setMinimumSize(designed);
    fonts_.push_back({client, client->font()});
    for (QWidget* widget : client->findChildren<QWidget*>()) {
        if (isPlacedInTwips(widget))
            placed_.push_back({widget, widget->geometry()});
        // Widgets without a font of their own follow the client's.
        if (widget->testAttribute(Qt::WA_SetFont))
            fonts_.push_back({widget, widget->font()});
    }
    client->installEventFilter(this);
}

bool FormScaler::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize) {
        const double scale =
            std::max(1.0, std::min(double(client_->width()) / designed_.width(),
                                   double(client_->height()) / designed_.height()));
        if (scale != scale_)
            apply(scale);
    }
    return QObject::eventFilter(watched, event);
}

void FormScaler::apply(double scale) {
    scale_ = scale;
    for (const Styled& styled : fonts_)
        if (styled.widget) {
            QFont font = styled.font;
            font.setPointSizeF(styled.font.pointSizeF() * scale);
            styled.widget->setFont(font);
        }
    for (const Placed& placed : placed_)
        if (placed.widget)
            placed.widget->setGeometry(scaled(placed.geometry, scale));
    for (FlexGrid* grid : client_->findChildren<FlexGrid*>())
        grid->setScale(scale);
    for (DrawingSurface* plot : client_->findChildren<DrawingSurface*>())
        plot->setScale(scale);
}

} // namespace relperm::ui
