// The one drawing widget of the suite. It paints plot scenes into a persistent image, so
// a drawing survives repainting; the image can be cleared, and fixed into the surface's
// background picture so it becomes part of the window's image (printing relies on that).
#pragma once

#include "common/scene.h"

#include <QImage>
#include <QWidget>

#include <vector>

class QPainter;

namespace relperm::ui {

// Paints `scene` onto `painter` inside `target`, mapping the scene's user coordinates onto
// the rectangle: x from the left edge over the width, y from the top edge over the height.
void renderScene(QPainter& painter, const Scene& scene, const QRectF& target);

class DrawingSurface : public QWidget {
    Q_OBJECT
  public:
    explicit DrawingSurface(QWidget* parent = nullptr);

    // Removes the background picture and erases the drawing.
    void clear();
    // Adds `scene` to the drawing.
    void draw(const Scene& scene);
    // Copies the current drawing into the background picture.
    void fixIntoBackground();

    const QImage& image() const { return image_; }
    bool hasBackgroundPicture() const { return !background_.isNull(); }
    // The scenes drawn since the last clear, in order.
    const std::vector<Scene>& scenes() const { return scenes_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QRect innerRect() const;
    void redrawImage();

    QImage image_;
    QImage background_;
    std::vector<Scene> scenes_;
};

} // namespace relperm::ui
