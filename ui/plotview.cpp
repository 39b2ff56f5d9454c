#include "ui/plotview.h"

#include "common/filewrite.h"
#include "ui/drawingsurface.h"
#include "ui/filedialog.h"
#include "ui/messages.h"
#include "ui/windowparts.h"

#include <QBuffer>
#include <QCheckBox>
#include <QEvent>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QSvgGenerator>
#include <QVBoxLayout>

#include <algorithm>

namespace relperm::ui {

namespace {

// The height of the plots in the windows as designed, where text is 8 points.
constexpr double designedPlotHeight = 280;

// The saved image's size in pixels: large enough to print well. The SVG and the PDF have
// the same size at the PNG's resolution.
constexpr QSize savedSize(1600, 1400);
constexpr int imageDpi = 96;

void paintPlot(QPainter& painter, const Scene& scene, const QRectF& target, double scale) {
    painter.fillRect(target, Qt::white);
    renderScene(painter, scene, target, scale);
}

// A saved image's title line over the plot: what the plot shows, so the file says it wherever
// it is put; `area` shrinks to what is left for the plot.
void paintTitle(QPainter& painter, QRectF& area, const QString& title, double scale) {
    if (title.isEmpty())
        return;
    QFont font = painter.font();
    font.setPointSizeF(9 * scale);
    font.setBold(true);
    const QFontMetricsF metrics(font, painter.device());
    const QRectF band(area.topLeft(), QSizeF(area.width(), 1.8 * metrics.height()));
    painter.fillRect(band, Qt::white);
    painter.save();
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(band, Qt::AlignCenter,
                     metrics.elidedText(title, Qt::ElideRight, 0.96 * band.width()));
    painter.restore();
    area.setTop(band.bottom());
}

class PlotCanvas : public QWidget {
  public:
    PlotCanvas(const Scene& scene, QWidget* parent) : QWidget(parent), scene_(scene) {
        setObjectName("plotCanvas");
        setMinimumSize(300, 260);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        paintPlot(painter, scene_, QRectF(rect()), plotScaleFor(height()));
    }

  private:
    const Scene& scene_;
};

} // namespace

double plotScaleFor(double height) {
    return std::max(1.0, height / designedPlotHeight);
}

PlotTextSize plotTextSize(const QSizeF& area, const QFont& font, QPaintDevice* device) {
    QFont scaled = font;
    scaled.setPointSizeF(8 * plotScaleFor(area.height()));
    const QFontMetricsF metrics(scaled, device);
    const double pixelsAcross = area.width() / krPlotCoordinates.width;
    const double pixelsUp = area.height() / -krPlotCoordinates.height;
    if (!(pixelsAcross > 0 && pixelsUp > 0))
        return {};
    // A fifth of a line between lines.
    return {[metrics, pixelsAcross](const std::string& text) {
                return metrics.horizontalAdvance(QString::fromStdString(text)) / pixelsAcross;
            },
            1.2 * metrics.height() / pixelsUp};
}

PlotView::PlotView(TitleSource title, SceneSource source, std::shared_ptr<FileDialog> saveDialog,
                   std::shared_ptr<Messages> messages, QWidget* parent)
    : QWidget(parent, Qt::Window), title_(std::move(title)),
      source_(
          [source = std::move(source)](KrAxis axis, const PlotTextSize&) { return source(axis); }),
      saveDialog_(std::move(saveDialog)), messages_(std::move(messages)) {
    setAttribute(Qt::WA_DeleteOnClose);
    build();
    resize(760, 680);
    refresh();
}

PlotView::PlotView(SceneSource source, std::shared_ptr<FileDialog> saveDialog,
                   std::shared_ptr<Messages> messages, QWidget* parent)
    : PlotView(SizedSceneSource([source = std::move(source)](KrAxis axis, const PlotTextSize&) {
                   return source(axis);
               }),
               false, std::move(saveDialog), std::move(messages), parent) {}

PlotView::PlotView(SizedSceneSource source, std::shared_ptr<FileDialog> saveDialog,
                   std::shared_ptr<Messages> messages, QWidget* parent)
    : PlotView(std::move(source), true, std::move(saveDialog), std::move(messages), parent) {}

PlotView::PlotView(SizedSceneSource source, bool sized, std::shared_ptr<FileDialog> saveDialog,
                   std::shared_ptr<Messages> messages, QWidget* parent)
    : QWidget(parent), source_(std::move(source)), sized_(sized),
      saveDialog_(std::move(saveDialog)), messages_(std::move(messages)) {
    build();
    refresh();
}

void PlotView::build() {
    setObjectName("plotView");
    canvas_ = new PlotCanvas(scene_, this);
    canvas_->installEventFilter(this);
    logarithmic_ = new QCheckBox("&Logarithmic kr axis", this);
    logarithmic_->setObjectName("logAxis");
    logarithmic_->setToolTip("Show kr from .0001 to 1 in decades, where small values can be read");
    connect(logarithmic_, &QCheckBox::toggled, this,
            [this](bool on) { setAxis(on ? KrAxis::Logarithmic : KrAxis::Linear); });
    save_ = new QPushButton("&Save Image...", this);
    save_->setObjectName("saveImage");
    save_->setToolTip("Save the plot as a PNG, SVG or PDF file");
    connect(save_, &QPushButton::clicked, this, &PlotView::saveImageAs);

    auto* controls = new QHBoxLayout;
    controls->addWidget(logarithmic_);
    controls->addStretch();
    controls->addWidget(save_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(canvas_, 1);
    layout->addLayout(controls);
}

void PlotView::showCapillaryPressure() {
    logarithmic_->hide();
    save_->setText("Save &Pc Image...");
}

void PlotView::refresh() {
    if (title_)
        setWindowTitle(title_());
    scene_ = source_(axis_, plotTextSize(canvas_->size(), canvas_->font(), canvas_));
    canvas_->update();
}

bool PlotView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == canvas_ && event->type() == QEvent::Resize && sized_)
        refresh();
    return QWidget::eventFilter(watched, event);
}

void PlotView::setAxis(KrAxis axis) {
    axis_ = axis;
    if (logarithmic_->isChecked() != (axis == KrAxis::Logarithmic))
        logarithmic_->setChecked(axis == KrAxis::Logarithmic);
    refresh();
}

std::optional<QString> PlotView::saveImage(const QString& path, const QString& title) const {
    const QString suffix = QFileInfo(path).suffix().toLower();
    const double scale = plotScaleFor(savedSize.height());
    // Drawn in memory, then written by the one write routine, so an image keeps what every
    // save keeps: the old file until the new one is whole, links, owner and mode.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // The title line and the plot under it, the plot's legend laid out for the room it gets
    // there rather than on the screen.
    auto paint = [&](QPainter& painter) {
        QRectF area(QPointF(0, 0), QSizeF(savedSize));
        paintTitle(painter, area, title, scale);
        const Scene scene =
            source_(axis_, plotTextSize(area.size(), painter.font(), painter.device()));
        paintPlot(painter, scene, area, scale);
    };
    if (suffix == "png") {
        QImage image(savedSize, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        paint(painter);
        painter.end();
        image.save(&buffer, "PNG");
    } else if (suffix == "svg") {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(savedSize);
        svg.setViewBox(QRectF(QPointF(0, 0), QSizeF(savedSize)));
        svg.setResolution(imageDpi);
        svg.setTitle(title);
        QPainter painter(&svg);
        paint(painter);
    } else if (suffix == "pdf") {
        // At the image's resolution, so text and lines keep the proportions they have in the
        // PNG; both stay vectors, so the page is sharp at any zoom.
        QPdfWriter pdf(&buffer);
        pdf.setTitle(title);
        pdf.setResolution(imageDpi);
        pdf.setPageSize(QPageSize(QSizeF(savedSize) * 72.0 / imageDpi, QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&pdf);
        paint(painter);
    } else {
        return QString("Give the file's name an ending that says what to write: .png, .svg or "
                       ".pdf (not \"%1\").")
            .arg(QFileInfo(path).fileName());
    }
    if (auto failure = writeFileAtomically(
            path.toStdString(), {bytes.constData(), static_cast<std::size_t>(bytes.size())}))
        return QString::fromStdString(*failure);
    return std::nullopt;
}

void PlotView::saveImageAs() {
    // The kind saved last is offered again.
    QString extension = QFileInfo(saveDialog_->lastName()).suffix().toLower();
    if (extension != "svg" && extension != "pdf")
        extension = "png";
    const std::optional<QString> path =
        saveDialog_->choose(this, FileDialog::Mode::Save, fileKinds::images,
                            fileNameOf(window()->windowTitle(), extension));
    if (!path)
        return;
    if (auto failure = saveImage(*path, window()->windowTitle()))
        messages_->warn(this, window()->windowTitle(), *failure);
}

PlotViews::PlotViews(QWidget* owner, std::shared_ptr<FileDialog> saveDialog,
                     std::shared_ptr<Messages> messages)
    : owner_(owner), saveDialog_(std::move(saveDialog)), messages_(std::move(messages)) {}

PlotView* PlotViews::open(const QString& name, PlotView::TitleSource title,
                          PlotView::SceneSource source) {
    QPointer<PlotView>& view = views_[name];
    if (!view)
        view = new PlotView(std::move(title), std::move(source), saveDialog_, messages_, owner_);
    view->show();
    view->raise();
    view->activateWindow();
    return view;
}

void PlotViews::refresh() {
    for (auto& [name, view] : views_)
        if (view)
            view->refresh();
}

} // namespace relperm::ui
