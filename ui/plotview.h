// A plot in a window of its own: the scene of a window's plot, drawn as large as the window
// is, with its legend, on a linear or logarithmic kr axis, and saved as an image (PNG, SVG or
// PDF) from the same scene source under a title line, so the saved curves are the ones on
// the screen.
#pragma once

#include "common/scene.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <optional>

class QCheckBox;
class QFont;
class QPaintDevice;
class QPushButton;
class QSizeF;

namespace relperm::ui {

class FileDialog;
class Messages;

class PlotView : public QWidget {
    Q_OBJECT
  public:
    // Builds the plot's scene on the kr axis asked for; called again whenever the plot may
    // have changed (refresh) or the axis is switched.
    using SceneSource = std::function<Scene(KrAxis)>;
    // Names what the plot shows, as the window's title; asked again whenever the plot is.
    using TitleSource = std::function<QString()>;
    // As SceneSource, for a plot that lays out its legend to fit: given also the size its
    // text will be drawn at, which changes as the plot is resized and differs in a saved image.
    using SizedSceneSource = std::function<Scene(KrAxis, const PlotTextSize&)>;

    // A window of its own titled by `title`, deleted when closed.
    PlotView(TitleSource title, SceneSource source, std::shared_ptr<FileDialog> saveDialog,
             std::shared_ptr<Messages> messages, QWidget* parent = nullptr);
    // The same plot and controls as a part of another window's layout, saving and warning
    // under that window's title.
    PlotView(SceneSource source, std::shared_ptr<FileDialog> saveDialog,
             std::shared_ptr<Messages> messages, QWidget* parent);
    PlotView(SizedSceneSource source, std::shared_ptr<FileDialog> saveDialog,
             std::shared_ptr<Messages> messages, QWidget* parent);

    // A plot of capillary pressure beside a kr plot in the same window: no kr axis to put in
    // decades, and a key of its own to save it by.
    void showCapillaryPressure();

    // Draws the scene anew from the source (after a generation or a Show in the window).
    void refresh();
    void setAxis(KrAxis axis);
    KrAxis axis() const { return axis_; }
    const Scene& scene() const { return scene_; }

    // Writes the plot to `path` as PNG, SVG or PDF by its suffix, with `title` (what the plot
    // shows, as its window's title names it) on a line above it and as the file's title;
    // a message when it cannot.
    std::optional<QString> saveImage(const QString& path, const QString& title = {}) const;
    // "Save Image...": asks for the file as PNG, SVG or PDF, offering a name made from the
    // window's title, then saves it under that title, saying what went wrong.
    void saveImageAs();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    PlotView(SizedSceneSource source, bool sized, std::shared_ptr<FileDialog> saveDialog,
             std::shared_ptr<Messages> messages, QWidget* parent);
    void build();

    TitleSource title_;
    SizedSceneSource source_;
    bool sized_ = false; // the scene depends on the plot's size: built again on a resize
    std::shared_ptr<FileDialog> saveDialog_;
    std::shared_ptr<Messages> messages_;
    KrAxis axis_ = KrAxis::Linear;
    Scene scene_;
    QWidget* canvas_ = nullptr;
    QCheckBox* logarithmic_ = nullptr;
    QPushButton* save_ = nullptr;
};

// The plot views a window opens: one for each of its plots, raised when asked for again,
// all drawn anew when the window's plots change. They close with the window.
class PlotViews {
  public:
    PlotViews(QWidget* owner, std::shared_ptr<FileDialog> saveDialog,
              std::shared_ptr<Messages> messages);

    // The view called `name` (one per plot of the window), made when first asked for.
    PlotView* open(const QString& name, PlotView::TitleSource title, PlotView::SceneSource source);
    void refresh();

  private:
    QWidget* owner_;
    std::shared_ptr<FileDialog> saveDialog_;
    std::shared_ptr<Messages> messages_;
    std::map<QString, QPointer<PlotView>> views_; // by name
};

// How much larger than the windows' plots a plot of `height` pixels is drawn (text, pens).
double plotScaleFor(double height);

// The size of a plot's text in its user units when the plot fills `area` of `device` in
// `font` (scaled by plotScaleFor, as the plot view draws it).
PlotTextSize plotTextSize(const QSizeF& area, const QFont& font, QPaintDevice* device);

} // namespace relperm::ui
