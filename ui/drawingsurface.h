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
// Text is 8 points and pens are as wide as the scene says, both times `scale`, so a plot
// drawn larger (an enlarged window, the plot view) keeps its proportions.
void renderScene(QPainter& painter, const Scene& scene, const QRectF& target, double scale = 1);

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
    // How much larger than designed the surface is drawn (text and pens), as its window is.
    void setScale(double scale);
    double scale() const { return scale_; }
    // While set, the surface paints its scenes as lines and text rather than its image, so
    // a page rendered from the window (printing) gets vectors at the printer's resolution.
    void setVectorPainting(bool on) { vectorPainting_ = on; }

  signals:
    // The user asked for the plot in a window of its own.
    void doubleClicked();

  public:
    const QImage& image() const { return image_; }
    bool hasBackgroundPicture() const { return !background_.isNull(); }
    // The scenes drawn since the last clear, in order.
    const std::vector<Scene>& scenes() const { return scenes_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QRect innerRect() const;
    void redrawImage();

    QImage image_;      // at the screen's device pixel ratio, so plots are crisp at 2x
    QImage background_; // the scenes fixed into the background, at the same ratio
    std::vector<Scene> scenes_;
    // The background picture holds the first fixedCount_ scenes: a clear empties both,
    // and a fix takes every scene drawn so far.
    std::size_t fixedCount_ = 0;
    double scale_ = 1;
    bool vectorPainting_ = false;
};

} // namespace relperm::ui
