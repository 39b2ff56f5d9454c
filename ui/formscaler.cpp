#include "ui/formscaler.h"

#include "ui/drawingsurface.h"
#include "ui/flexgrid.h"
#include "ui/twips.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QProxyStyle>
#include <QRadioButton>
#include <QStyleFactory>

#include <algorithm>
#include <cmath>

namespace relperm::ui {

namespace {

QRect scaled(const QRect& r, double scale) {
    auto at = [scale](int v) { return static_cast<int>(std::lround(v * scale)); };
    return {at(r.left()), at(r.top()), at(r.width()), at(r.height())};
}

} // namespace

// The style gives the circle of an option button and the box of a check box a size in
// pixels of its own, whatever the font; this one has them grow with the form, as their
// captions do.
class FormScaler::IndicatorStyle : public QProxyStyle {
  public:
    IndicatorStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

    void setScale(double scale) { scale_ = scale; }

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        const int size = QProxyStyle::pixelMetric(metric, option, widget);
        const int scaled = static_cast<int>(std::lround(size * scale_));
        switch (metric) {
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
            // No larger than the control is high, or the circle is cut at its foot.
            return widget ? std::min(scaled, widget->height()) : scaled;
        case PM_RadioButtonLabelSpacing:
        case PM_CheckBoxLabelSpacing:
            return scaled;
        default:
            return size;
        }
    }

  private:
    double scale_ = 1;
};

FormScaler::FormScaler(QWidget* client, QSize designed)
    : QObject(client), client_(client), designed_(designed) {
    client->setMinimumSize(designed);
    fonts_.push_back({client, client->font()});
    indicators_ = new IndicatorStyle;
    indicators_->setParent(this);
    for (QWidget* widget : client->findChildren<QWidget*>()) {
        if (isPlacedInTwips(widget))
            placed_.push_back({widget, widget->geometry()});
        if (qobject_cast<QRadioButton*>(widget) || qobject_cast<QCheckBox*>(widget))
            widget->setStyle(indicators_);
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
    indicators_->setScale(scale);
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
