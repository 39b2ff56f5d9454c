// The file dialog of a window: one open/save dialog with a fixed title that remembers the
// last name chosen and shows it pre-filled the next time, whichever command opens it.
// A dialog with no name of its own yet starts in the folder last used by any dialog of the
// program, else in the user's Documents folder: started from the desktop menu, the working
// folder is the read-only demo database, where nothing can be saved.
// Tests stand in for the platform's dialog by overriding `ask`.
#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace relperm::ui {

class FileDialog {
  public:
    enum class Mode { Open, Save, Folder };

    explicit FileDialog(QString title) : title_(std::move(title)) {}
    virtual ~FileDialog() = default;

    // The chosen path, or nothing when the user cancels or leaves the name empty. `filter`
    // names the kinds of file listed first, one from the next apart by ";;" ("Parameter
    // tables (*.csv *.xlsx)"); `suggested` is offered in place of the last name chosen, where
    // a command knows a better one (a bare name is offered in the start folder). A name to
    // save, typed or suggested, that does not end as one of the kinds does gets the ending of
    // the kind chosen ("plot" saved as an SVG image is "plot.svg").
    std::optional<QString> choose(QWidget* parent, Mode mode, const QString& filter = {},
                                  const QString& suggested = {});

    // Takes `path` as the name last chosen, for a file the program was given another way
    // (named on its command line).
    void remember(const QString& path);

    const QString& title() const { return title_; }
    const QString& lastName() const { return last_; }

    // Where a dialog without a name of its own starts: the folder of the file last opened or
    // saved through any dialog, while it exists; else Documents; else the home folder.
    static QString startFolder();
    // As when the program starts: no folder used yet.
    static void forgetLastFolderForTesting();

  protected:
    // Shows the dialog pre-filled with `name`, a file's path or the folder to start in; an
    // empty result means cancel.
    virtual QString ask(QWidget* parent, Mode mode, const QString& name) = 0;
    // The filter of the choice being asked; empty for every file.
    const QString& filter() const { return filter_; }
    // The kind of file chosen among the filter's: at first the kind the name offered ends as,
    // else the first; a dialog where the user picks another says so with chooseKind.
    const QString& kind() const { return kind_; }
    void chooseKind(const QString& kind) { kind_ = kind; }

  private:
    QString title_;
    QString last_;
    QString filter_;
    QString kind_;
};

// The platform's dialog: the filter's kinds listed, then every file, whose choice saves the
// name exactly as typed.
class QtFileDialog : public FileDialog {
  public:
    using FileDialog::FileDialog;

  protected:
    QString ask(QWidget* parent, Mode mode, const QString& name) override;
};

} // namespace relperm::ui
