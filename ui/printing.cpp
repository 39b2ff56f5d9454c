#include "ui/printing.h"

#include "common/filewrite.h"
#include "ui/filedialog.h"
#include "ui/messages.h"
#include "ui/windowparts.h"

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPicture>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace relperm::ui {

namespace {

QPageLayout::Orientation orientationFor(const Page& page) {
    return page.size.width() > page.size.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
}

// Paints `page` at the top of `area`, centred across it, as large as it fits with its
// proportions kept.
void paintFitted(QPainter& painter, const Page& page, const QRect& area) {
    const QSizeF size = QSizeF(page.size).scaled(QSizeF(area.size()), Qt::KeepAspectRatio);
    const QRectF target(area.left() + (area.width() - size.width()) / 2, area.top(), size.width(),
                        size.height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    page.paint(painter, target);
}

// Paints what `draw` paints within `rect` onto an image as fine as `painter` puts `rect` on
// its device, then the image onto `painter`.
template <class Draw> void paintFinely(QPainter& painter, const QRect& rect, Draw draw) {
    const double scale = std::sqrt(std::abs(painter.deviceTransform().determinant()));
    const double ratio = std::max(1.0, std::ceil(scale));
    QImage image(rect.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter fine(&image);
    fine.setRenderHints(painter.renderHints());
    fine.translate(-rect.topLeft());
    draw(fine);
    fine.end();
    painter.drawImage(QRectF(rect), image);
}

// Styles keep the frames of push buttons, drop-down boxes and group boxes as pixmaps at
// the screen's resolution, whatever the painter, which paper shows soft. This style has
// the window's own style draw them onto images as fine as the paper instead; their
// captions are drawn apart from the frames and stay text.
class PaperStyle : public QProxyStyle {
  public:
    PaperStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element != PE_FrameGroupBox)
            return QProxyStyle::drawPrimitive(element, option, painter, widget);
        paintFinely(*painter, option->rect, [&](QPainter& fine) {
            baseStyle()->drawPrimitive(element, option, &fine, widget);
        });
    }
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        if (element != CE_PushButtonBevel)
            return QProxyStyle::drawControl(element, option, painter, widget);
        paintFinely(*painter, option->rect, [&](QPainter& fine) {
            baseStyle()->drawControl(element, option, &fine, widget);
        });
    }
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        if (control != CC_ComboBox)
            return QProxyStyle::drawComplexControl(control, option, painter, widget);
        paintFinely(*painter, option->rect, [&](QPainter& fine) {
            baseStyle()->drawComplexControl(control, option, &fine, widget);
        });
    }
};

} // namespace

void paintWidget(QPainter& painter, QWidget* widget, const QRectF& target) {
    PaperStyle paperStyle;
    std::vector<std::pair<QWidget*, QStyle*>> restyled; // with the style each had of its own
    for (QWidget* child : widget->findChildren<QWidget*>()) {
        if (!child->isVisible() ||
            (!qobject_cast<QPushButton*>(child) && !qobject_cast<QComboBox*>(child) &&
             !qobject_cast<QGroupBox*>(child)))
            continue;
        restyled.emplace_back(child,
                              child->testAttribute(Qt::WA_SetStyle) ? child->style() : nullptr);
        child->setStyle(&paperStyle);
    }
    // Rendered straight onto a printer, a widget arrives as one bitmap of itself. Recorded
    // as a picture in the device's own pixels first, it arrives as text, lines and fine
    // images, as it does on a PDF or an image.
    QPicture picture;
    QPainter recorder(&picture);
    recorder.setTransform(painter.combinedTransform());
    recorder.translate(target.topLeft());
    recorder.scale(target.width() / widget->width(), target.height() / widget->height());
    widget->render(&recorder);
    recorder.end();
    for (auto [child, style] : restyled)
        child->setStyle(style);

    // Played, a picture is scaled from its own resolution to the device's; it is in the
    // device's pixels already.
    const QPaintDevice& device = *painter.device();
    painter.save();
    painter.resetTransform();
    painter.scale(double(picture.logicalDpiX()) / device.logicalDpiX(),
                  double(picture.logicalDpiY()) / device.logicalDpiY());
    painter.drawPicture(0, 0, picture);
    painter.restore();
}

bool Printer::available() {
    return !QPrinterInfo::defaultPrinter().isNull();
}

PrintPreview::PrintPreview(QPrinter& printer, const Page& page, QWidget* parent)
    : QDialog(parent), printer_(printer) {
    setObjectName("printPreview");
    setWindowTitle(QString("Print Preview - %1").arg(page.title));
    auto* preview = new QPrintPreviewWidget(&printer, this);
    preview->setObjectName("preview");
    connect(preview, &QPrintPreviewWidget::paintRequested, this, [&page](QPrinter* device) {
        QPainter painter(device);
        paintFitted(painter, page, painter.viewport());
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    QPushButton* print = buttons->addButton("&Print...", QDialogButtonBox::AcceptRole);
    print->setObjectName("print");
    print->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(print, &QPushButton::clicked, this, [this, preview] {
        QPrintDialog dialog(&printer_, this);
        dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize |
                          QAbstractPrintDialog::PrintCollateCopies |
                          QAbstractPrintDialog::PrintToFile);
        if (dialog.exec() == QDialog::Accepted)
            accept();
        else
            preview->updatePreview(); // paper or orientation may have changed
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(preview, 1);
    layout->addWidget(buttons);
    resize(900, 700);
}

std::optional<QString> Printer::print(QWidget* parent, const Page& page) {
    QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    printer.setDocName(page.title);
    printer.setPageOrientation(orientationFor(page));
    PrintPreview preview(printer, page, parent);
    if (preview.exec() != QDialog::Accepted)
        return std::nullopt;
    return printTo(printer, page);
}

std::optional<QString> printTo(QPrinter& printer, const Page& page) {
    const QString file = printer.outputFileName();
    // "Print to File": written by the one write routine rather than by the printer, which
    // would leave a half-written file in place of the old one when it fails, and say nothing.
    if (!file.isEmpty()) {
        const QByteArray bytes = pdfOfPage(page, printer.pageLayout());
        if (auto failure = writeFileAtomically(file.toStdString(),
                                               std::string_view(bytes.constData(), bytes.size())))
            return QString::fromStdString(*failure);
        return std::nullopt;
    }
    QPainter painter;
    if (!painter.begin(&printer))
        return QString("The printer \"%1\" could not be started.").arg(printer.printerName());
    paintFitted(painter, page, painter.viewport());
    if (!painter.end())
        return QString("The page could not be sent to \"%1\".").arg(printer.printerName());
    return std::nullopt;
}

QByteArray pdfOfPage(const Page& page) {
    return pdfOfPage(page, QPageLayout(QPageSize(QPageSize::A4), orientationFor(page),
                                       QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
}

QByteArray pdfOfPage(const Page& page, const QPageLayout& layout) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(page.title);
        pdf.setCreator("Relative Permeability Suite");
        pdf.setResolution(300);
        pdf.setPageLayout(layout);
        QPainter painter(&pdf);
        paintFitted(painter, page, painter.viewport());
    }
    return bytes;
}

void printPage(QWidget* parent, const Page& page, Printer& printer, FileDialog& pdfDialog,
               Messages& messages) {
    if (printer.available()) {
        if (auto error = printer.print(parent, page))
            messages.warn(parent, page.title, *error);
        return;
    }
    if (!messages.ask(parent, page.title,
                      "No printer is available. Save the page as a PDF file instead?"))
        return;
    const std::optional<QString> path =
        pdfDialog.choose(parent, FileDialog::Mode::Save, fileKinds::pdf, fileNameOf(page.title));
    if (!path)
        return;
    const QByteArray bytes = pdfOfPage(page);
    if (auto failure = writeFileAtomically(path->toStdString(),
                                           std::string_view(bytes.constData(), bytes.size())))
        messages.warn(parent, page.title, QString::fromStdString(*failure));
}

} // namespace relperm::ui
