#include "ui/printing.h"

#include "common/filewrite.h"
#include "ui/filedialog.h"
#include "ui/messages.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

namespace relperm::ui {

namespace {

// Draws `page` centred in `area` as large as it fits, proportions kept.
void drawFitted(QPainter& painter, const QImage& page, const QRect& area) {
    const QSize size = page.size().scaled(area.size(), Qt::KeepAspectRatio);
    const QRect target(area.left() + (area.width() - size.width()) / 2, area.top(), size.width(),
                       size.height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, page);
}

} // namespace

bool Printer::available() {
    return !QPrinterInfo::defaultPrinter().isNull();
}

std::optional<QString> Printer::print(const QImage& page) {
    QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    printer.setPageOrientation(page.width() > page.height() ? QPageLayout::Landscape
                                                            : QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&printer))
        return QString("The printer \"%1\" could not be started.").arg(printer.printerName());
    drawFitted(painter, page, painter.viewport());
    if (!painter.end())
        return QString("The page could not be sent to \"%1\".").arg(printer.printerName());
    return std::nullopt;
}

QByteArray pdfOfPage(const QImage& page, const QString& title) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(title);
        pdf.setCreator("Relative Permeability Suite");
        pdf.setResolution(300);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageOrientation(page.width() > page.height() ? QPageLayout::Landscape
                                                            : QPageLayout::Portrait);
        QPainter painter(&pdf);
        drawFitted(painter, page, painter.viewport());
    }
    return bytes;
}

void printPage(QWidget* parent, const QImage& page, const QString& title, Printer& printer,
               FileDialog& pdfDialog, Messages& messages) {
    if (printer.available()) {
        if (auto error = printer.print(page))
            messages.warn(parent, title, *error);
        return;
    }
    if (!messages.ask(parent, title,
                      "No printer is available. Save the page as a PDF file instead?"))
        return;
    const std::optional<QString> path = pdfDialog.choose(parent, FileDialog::Mode::Save);
    if (!path)
        return;
    const QByteArray bytes = pdfOfPage(page, title);
    if (auto failure = writeFileAtomically(path->toStdString(),
                                           std::string_view(bytes.constData(), bytes.size())))
        messages.warn(parent, title, QString::fromStdString(*failure));
}

} // namespace relperm::ui
