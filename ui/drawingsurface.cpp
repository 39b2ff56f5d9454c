#include "ui/drawingsurface.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>

namespace relperm::ui {

namespace {

QColor toColor(Rgb c) {
    return QColor(c.red, c.green, c.blue);
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

void renderScene(QPainter& painter, const Scene& scene, const QRectF& target) {
    const Mapping map{scene.coordinates, target};
    painter.save();
    painter.setClipRect(target);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QFont font = painter.font();
    font.setPointSizeF(8);
    font.setBold(false);
    painter.setFont(font);
    const double ascent = QFontMetricsF(font, painter.device()).ascent();
    for (const ScenePrimitive& item : scene.items) {
        if (const auto* dot = std::get_if<SceneDot>(&item)) {
            QPen pen(toColor(dot->colour), dot->penWidth, Qt::SolidLine, Qt::RoundCap);
            painter.setPen(pen);
            painter.drawPoint(map(dot->x, dot->y));
        } else if (const auto* line = std::get_if<SceneLine>(&item)) {
            QPen pen(toColor(line->colour), line->penWidth,
                     line->style == LineStyle::Dashed ? Qt::DashLine : Qt::SolidLine);
            painter.setPen(pen);
            painter.drawLine(map(line->x1, line->y1), map(line->x2, line->y2));
        } else if (const auto* text = std::get_if<SceneText>(&item)) {
            painter.setPen(toColor(text->colour));
            const QPointF topLeft = map(text->x, text->y);
            painter.drawText(QPointF(topLeft.x(), topLeft.y() + ascent),
                             QString::fromStdString(text->text));
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
    scenes_.clear();
    redrawImage();
    update();
}

void DrawingSurface::draw(const Scene& scene) {
    scenes_.push_back(scene);
    if (image_.size() != innerRect().size()) {
        redrawImage();
    } else {
        QPainter painter(&image_);
        renderScene(painter, scene, QRectF(QPointF(0, 0), QSizeF(image_.size())));
    }
    update();
}

void DrawingSurface::fixIntoBackground() {
    QImage combined = background_.isNull()
                          ? QImage(image_.size(), QImage::Format_ARGB32_Premultiplied)
                          : background_;
    if (background_.isNull())
        combined.fill(Qt::transparent);
    QPainter painter(&combined);
    painter.drawImage(0, 0, image_);
    painter.end();
    background_ = combined;
    update();
}

void DrawingSurface::redrawImage() {
    const QSize size = innerRect().size().expandedTo(QSize(1, 1));
    image_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
    image_.fill(Qt::transparent);
    QPainter painter(&image_);
    for (const Scene& scene : scenes_)
        renderScene(painter, scene, QRectF(QPointF(0, 0), QSizeF(size)));
}

void DrawingSurface::resizeEvent(QResizeEvent*) {
    redrawImage();
}

void DrawingSurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const QPoint origin = innerRect().topLeft();
    if (!background_.isNull())
        painter.drawImage(origin, background_);
    painter.drawImage(origin, image_);
}

} // namespace relperm::ui
