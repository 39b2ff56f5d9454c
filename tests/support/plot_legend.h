// Where a plot's legend texts stand on its canvas, in pixels, as the plot draws them: the
// window tests hold them apart from each other and inside the canvas at any size.
#pragma once

#include "ui/drawingsurface.h"
#include "ui/plotview.h"

#include <QFont>
#include <QFontMetricsF>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <utility>
#include <vector>

namespace relperm::testing {

inline std::vector<std::pair<QRectF, QString>> legendTexts(const ui::PlotView& view) {
    const QWidget* canvas = view.findChild<QWidget*>("plotCanvas");
    const Scene& scene = view.scene();
    const UserCoordinates& c = scene.coordinates;
    QFont font = canvas->font();
    font.setPointSizeF(8 * ui::plotScaleFor(canvas->height()));
    const QFontMetricsF metrics(font, canvas);
    std::vector<std::pair<QRectF, QString>> out;
    for (const SceneText& t : scene.all<SceneText>()) {
        if (t.y <= 102) // the legend stands above the label of kr 1
            continue;
        const QPointF at((t.x - c.left) / c.width * canvas->width(),
                         (t.y - c.top) / c.height * canvas->height());
        const QString text = QString::fromStdString(t.text);
        out.push_back(
            {QRectF(at, QSizeF(metrics.horizontalAdvance(text), metrics.height())), text});
    }
    return out;
}

// The first pair of legend texts that overlap, or one that leaves the canvas, as "krw over
// krow"; empty when every text stands clear.
inline QString legendClash(const ui::PlotView& view) {
    const auto texts = legendTexts(view);
    const int width = view.findChild<QWidget*>("plotCanvas")->width();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (texts[i].first.right() > width)
            return texts[i].second + " past the canvas";
        for (std::size_t j = i + 1; j < texts.size(); ++j)
            if (texts[i].first.intersects(texts[j].first))
                return texts[i].second + " over " + texts[j].second;
    }
    return {};
}

} // namespace relperm::testing
