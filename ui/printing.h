// Printing a window: its client area painted as one page, at the resolution of the printer
// the user picks, or, when there is no printer, of a PDF file the user chooses.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QPageLayout>
#include <QRectF>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

class QPainter;
class QPrinter;
class QWidget;

namespace relperm::ui {

class FileDialog;
class Messages;

// Paints the page into `target`, a rectangle of the painter's device with the page's
// proportions, drawing at that device's own resolution (text as text, lines as lines).
using PagePainter = std::function<void(QPainter& painter, const QRectF& target)>;

struct Page {
    QString title; // names the print job and the PDF document
    QSize size;    // as the window shows it, in pixels; only its proportions count on paper
    PagePainter paint;
};

// The platform's printers; tests stand in for it.
class Printer {
  public:
    virtual ~Printer() = default;
    // Whether a default printer exists.
    virtual bool available();
    // Shows `page` as it will be printed, lets the user pick the printer and its settings,
    // then prints the page scaled to the paper as one sheet. Returns a message on failure; a
    // cancelled dialog is no failure.
    virtual std::optional<QString> print(QWidget* parent, const Page& page);
};

// The page as it will come out on the printer's paper, with "Print..." opening the print
// dialog (printer, copies, paper, orientation, or "Print to File"). Qt's own preview dialog
// is not used: its print dialog writes a file behind the suite's back (not atomically, its
// failures unreported), where printTo writes it through the one write routine.
class PrintPreview : public QDialog {
  public:
    PrintPreview(QPrinter& printer, const Page& page, QWidget* parent);

  private:
    QPrinter& printer_;
};

// Paints `widget` with its children into `target`, stretched to fill it, at the resolution
// of the painter's device: as on screen, but with text as text and the frames the style
// draws around buttons, drop-down boxes and group boxes as fine as the device.
void paintWidget(QPainter& painter, QWidget* widget, const QRectF& target);

// `page` as a one-page PDF document at 300 dpi, fitted to an A4 page turned the way the
// page is wider, with its proportions kept; or on the paper of `layout`.
QByteArray pdfOfPage(const Page& page);
QByteArray pdfOfPage(const Page& page, const QPageLayout& layout);

// Puts `page` on `printer` as its print dialog left it: on the printer's paper, or, when the
// user chose "Print to File", as a PDF file written atomically. A message on failure.
std::optional<QString> printTo(QPrinter& printer, const Page& page);

// The print command of the windows: a printer when there is one; otherwise the user is
// offered a PDF file instead, chosen with `pdfDialog` and written atomically. Failures are
// reported through `messages`.
void printPage(QWidget* parent, const Page& page, Printer& printer, FileDialog& pdfDialog,
               Messages& messages);

} // namespace relperm::ui
