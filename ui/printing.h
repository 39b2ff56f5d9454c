// Printing a window: an image of its client area as one page on the default printer, or,
// when there is no printer, as a PDF file the user chooses.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

class QWidget;

namespace relperm::ui {

class FileDialog;
class Messages;

// The platform's default printer; tests stand in for it.
class Printer {
  public:
    virtual ~Printer() = default;
    // Whether a default printer exists.
    virtual bool available();
    // Prints `page` scaled to the paper, as one page. Returns a message on failure.
    virtual std::optional<QString> print(const QImage& page);
};

// `page` as a one-page PDF document, scaled to fit an A4 page with its proportions kept.
QByteArray pdfOfPage(const QImage& page, const QString& title);

// The print command of the windows: the default printer when there is one; otherwise the
// user is offered a PDF file instead, chosen with `pdfDialog` and written atomically.
// Failures are reported through `messages`.
void printPage(QWidget* parent, const QImage& page, const QString& title, Printer& printer,
               FileDialog& pdfDialog, Messages& messages);

} // namespace relperm::ui
