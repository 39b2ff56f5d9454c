// Stand-ins for the platform services of the windows: a file dialog that answers from a
// script, a message recorder, a printer that keeps the pages it was given.
#pragma once

#include "ui/filedialog.h"
#include "ui/messages.h"
#include "ui/printing.h"
#include "ui/settings.h"

#include <QImage>
#include <QStringList>

#include <deque>
#include <map>
#include <vector>

namespace relperm::testing {

class ScriptedFileDialog : public ui::FileDialog {
  public:
    using FileDialog::FileDialog;

    std::deque<QString> answers; // an empty answer cancels
    struct Asked {
        Mode mode;
        QString prefilled;
    };
    std::vector<Asked> asked;

  protected:
    QString ask(QWidget*, Mode mode, const QString& name) override {
        asked.push_back({mode, name});
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
};

class RecordingMessages : public ui::Messages {
  public:
    QStringList warnings;
    QStringList notes;
    QStringList questions;
    bool answer = true;

    void warn(QWidget*, const QString&, const QString& text) override { warnings << text; }
    void inform(QWidget*, const QString&, const QString& text) override { notes << text; }
    bool ask(QWidget*, const QString&, const QString& text) override {
        questions << text;
        return answer;
    }
};

class RecordingPrinter : public ui::Printer {
  public:
    bool present = true;
    std::vector<QImage> pages;

    bool available() override { return present; }
    std::optional<QString> print(const QImage& page) override {
        pages.push_back(page);
        return std::nullopt;
    }
};

} // namespace relperm::testing
