// Stand-ins for the platform services of the windows: a file dialog that answers from a
// script, a message recorder, a printer that keeps the pages it was given as images.
#pragma once

#include "ui/filedialog.h"
#include "ui/messages.h"
#include "ui/printing.h"
#include "ui/settings.h"
#include "ui/windowparts.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QStringList>

#include <deque>
#include <map>
#include <vector>

namespace relperm::testing {

class ScriptedFileDialog : public ui::FileDialog {
  public:
    using FileDialog::FileDialog;

    std::deque<QString> answers; // an empty answer cancels
    std::deque<QString> kinds;   // the kind picked with each answer; none keeps the one offered
    struct Asked {
        Mode mode;
        QString prefilled;
        QString filter = {};
    };
    std::vector<Asked> asked;

  protected:
    QString ask(QWidget*, Mode mode, const QString& name) override {
        asked.push_back({mode, name, filter()});
        if (!kinds.empty()) {
            chooseKind(kinds.front());
            kinds.pop_front();
        }
        if (answers.empty())
            return {};
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// Settings kept for the test alone, never in the user's store.
class MemorySettings : public ui::Settings {
  public:
    std::map<QString, QString> values;

    std::optional<QString> value(const QString& key) override {
        auto it = values.find(key);
        return it == values.end() ? std::nullopt : std::optional<QString>(it->second);
    }
    void setValue(const QString& key, const QString& value) override { values[key] = value; }
    void remove(const QString& key) override { values.erase(key); }
};

class RecordingMessages : public ui::Messages {
  public:
    QStringList warnings;
    QStringList notes;
    QStringList questions;
    bool answer = true;
    // A question that can be cancelled takes `choice`; without one, `answer` says Yes or No,
    // or Cancel where there is no No.
    std::optional<Answer> choice;
    QList<bool> offeredNo;

    void warn(QWidget*, const QString&, const QString& text) override { warnings << text; }
    void inform(QWidget*, const QString&, const QString& text) override { notes << text; }
    bool ask(QWidget*, const QString&, const QString& text) override {
        questions << text;
        return answer;
    }
    Answer askOrCancel(QWidget*, const QString&, const QString& text, bool offerNo) override {
        questions << text;
        offeredNo << offerNo;
        if (choice)
            return *choice;
        return answer ? Answer::Yes : offerNo ? Answer::No : Answer::Cancel;
    }
};

// Never opens a dialog: each page is painted at the window's own size onto white paper,
// and, when `printerFile` is named, onto a printer device writing that PDF file, as the
// real printer is painted once its dialog is accepted.
class RecordingPrinter : public ui::Printer {
  public:
    bool present = true;
    std::vector<QImage> pages;
    QString printerFile;

    bool available() override { return present; }
    std::optional<QString> print(QWidget*, const ui::Page& page) override {
        QImage paper(page.size, QImage::Format_ARGB32_Premultiplied);
        paper.fill(Qt::white);
        QPainter painter(&paper);
        page.paint(painter, QRectF(paper.rect()));
        painter.end();
        pages.push_back(paper);
        if (!printerFile.isEmpty()) {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFileName(printerFile);
            QPainter onPrinter(&printer);
            const QRect area = onPrinter.viewport();
            page.paint(onPrinter, QRectF(area.topLeft(), QSizeF(page.size).scaled(
                                                             area.size(), Qt::KeepAspectRatio)));
        }
        return std::nullopt;
    }
};

// The browser's services, each a stand-in: the test keeps the file dialog and the messages
// to answer and read them.
inline ui::WindowServices browserServices(std::shared_ptr<ScriptedFileDialog> fileDialog,
                                          std::shared_ptr<RecordingMessages> messages) {
    ui::WindowServices services;
    services.fileDialog = std::move(fileDialog);
    services.imageDialog = std::make_shared<ScriptedFileDialog>("Save the Plot as an Image");
    services.pdfDialog = std::make_shared<ScriptedFileDialog>("PDF");
    services.folderDialog = std::make_shared<ScriptedFileDialog>("Data Folder");
    services.printer = std::make_shared<RecordingPrinter>();
    services.messages = std::move(messages);
    services.settings = std::make_shared<MemorySettings>();
    return services;
}

} // namespace relperm::testing
