#include "ui/drawingsurface.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygonF>

namespace relperm::ui {

namespace {

QColor toColor(Rgb c) {
    return QColor(c.red, c.green, c.blue);
}

// Dashes end flat: square ends would grow each dash into the gaps around it by half a pen
// width on either side, and a dashed curve of a wider pen would look all but solid.
QPen linePen(Rgb colour, double width, LineStyle style) {
    if (style == LineStyle::Dashed)
        return QPen(toColor(colour), width, Qt::DashLine, Qt::FlatCap);
    return QPen(toColor(colour), width, Qt::SolidLine);
}

struct Mapping {
    const UserCoordinates& c;
    QRectF target;
    QPointF operator()(double x, double y) const {
        return {target.left() + (x - c.left) / c.width * target.width(),
                target.top() + (y - c.top) / c.height * target.height()};
    }
};

} // namespace

void renderScene(QPainter& painter, const Scene& scene, const QRectF& target, double scale) {
    const Mapping map{scene.coordinates, target};
    painter.save();
    painter.setClipRect(target);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QFont font = painter.font();
    font.setPointSizeF(8 * scale);
    font.setBold(false);
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    for (const ScenePrimitive& item : scene.items) {
        if (const auto* dot = std::get_if<SceneDot>(&item)) {
            QPen pen(toColor(dot->colour), dot->penWidth * scale, Qt::SolidLine, Qt::RoundCap);
            painter.setPen(pen);
            painter.drawPoint(map(dot->x, dot->y));
        } else if (const auto* line = std::get_if<SceneLine>(&item)) {
            painter.setPen(linePen(line->colour, line->penWidth * scale, line->style));
            painter.drawLine(map(line->x1, line->y1), map(line->x2, line->y2));
        } else if (const auto* path = std::get_if<ScenePath>(&item)) {
            painter.setPen(linePen(path->colour, path->penWidth * scale, path->style));
            painter.setBrush(Qt::NoBrush);
            QPolygonF points;
            points.reserve(static_cast<qsizetype>(path->points.size()));
            for (const ScenePoint& p : path->points)
                points << map(p.x, p.y);
            painter.drawPolyline(points);
        } else if (const auto* text = std::get_if<SceneText>(&item)) {
            painter.setPen(toColor(text->colour));
            const QString shown = QString::fromStdString(text->text);
            QPointF at = map(text->x, text->y);
            if (text->anchor == TextAnchor::TopRight)
                at.rx() -= metrics.horizontalAdvance(shown);
            painter.drawText(QPointF(at.x(), at.y() + metrics.ascent()), shown);
        }
    }
    painter.restore();
}

DrawingSurface::DrawingSurface(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

QRect DrawingSurface::innerRect() const {
    return rect().adjusted(1, 1, -1, -1);
}

void DrawingSurface::clear() {
    background_ = QImage();
    fixedCount_ = 0;
    scenes_.clear();
    redrawImage();
    update();
}

void DrawingSurface::draw(const Scene& scene) {
    scenes_.push_back(scene);
    if (image_.deviceIndependentSize().toSize() != innerRect().size() ||
        image_.devicePixelRatio() != devicePixelRatioF()) {
        redrawImage();
    } else {
        QPainter painter(&image_);
        renderScene(painter, scene, QRectF(QPointF(0, 0), image_.deviceIndependentSize()), scale_);
    }
    update();
}

void DrawingSurface::fixIntoBackground() {
    QImage combined = background_.isNull() || background_.size() != image_.size()
                          ? QImage(image_.size(), QImage::Format_ARGB32_Premultiplied)
                          : background_;
    if (background_.isNull() || background_.size() != image_.size())
        combined.fill(Qt::transparent);
    combined.setDevicePixelRatio(image_.devicePixelRatio());
    QPainter painter(&combined);
    painter.drawImage(0, 0, image_);
    painter.end();
    background_ = combined;
    fixedCount_ = scenes_.size();
    update();
}

void DrawingSurface::setScale(double scale) {
    if (scale == scale_)
        return;
    scale_ = scale;
    redrawImage();
    update();
}

void DrawingSurface::redrawImage() {
    const QSize size = innerRect().size().expandedTo(QSize(1, 1));
    const double ratio = devicePixelRatioF();
    auto drawn = [&](std::size_t count) {
        QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        for (std::size_t i = 0; i < count; ++i)
            renderScene(painter, scenes_[i], QRectF(QPointF(0, 0), QSizeF(size)), scale_);
        return image;
    };
    image_ = drawn(scenes_.size());
    // The background keeps what was fixed into it at the new size too.
    if (!background_.isNull())
        background_ = drawn(fixedCount_);
}

void DrawingSurface::resizeEvent(QResizeEvent*) {
    redrawImage();
}

void DrawingSurface::mouseDoubleClickEvent(QMouseEvent*) {
    emit doubleClicked();
}

void DrawingSurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const QRect inner = innerRect();
    if (vectorPainting_) {
        // The background holds the first scenes of the drawing, so the drawing alone is all
        // of it; painted once, text in the page is not doubled.
        for (const Scene& scene : scenes_)
            renderScene(painter, scene, QRectF(inner), scale_);
        return;
    }
    // A drawing made at another device pixel ratio (the window moved to another screen) is
    // made again at this one.
    if (image_.devicePixelRatio() != devicePixelRatioF())
        redrawImage();
    if (!background_.isNull())
        painter.drawImage(inner.topLeft(), background_);
    painter.drawImage(inner.topLeft(), image_);
}

} // namespace relperm::ui
