#include "ui/filedialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace relperm::ui {

namespace {

// Shared by every dialog, so the export after a Save As lands beside the run file.
QString& lastFolder() {
    static QString folder;
    return folder;
}

} // namespace

QString FileDialog::startFolder() {
    for (const QString& folder :
         {lastFolder(), QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)})
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    return QDir::homePath();
}

void FileDialog::forgetLastFolderForTesting() {
    lastFolder().clear();
}

std::optional<QString> FileDialog::choose(QWidget* parent, Mode mode, const QString& filter,
                                          const QString& suggested) {
    filter_ = filter;
    QString start = suggested.isEmpty() ? last_ : suggested;
    if (start.isEmpty())
        start = startFolder();
    else if (QDir::isRelativePath(start))
        start = QDir(startFolder()).filePath(start);
    const QString name = ask(parent, mode, start);
    filter_.clear();
    if (name.isEmpty())
        return std::nullopt;
    // A data folder is read from, not saved into: only files move the start folder.
    if (mode == Mode::Folder)
        last_ = name;
    else
        remember(name);
    return name;
}

void FileDialog::remember(const QString& path) {
    last_ = path;
    lastFolder() = QFileInfo(path).absolutePath();
}

QString QtFileDialog::ask(QWidget* parent, Mode mode, const QString& name) {
    QFileDialog dialog(parent, title(), name);
    dialog.setAcceptMode(mode == Mode::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(mode == Mode::Open   ? QFileDialog::ExistingFile
                       : mode == Mode::Save ? QFileDialog::AnyFile
                                            : QFileDialog::Directory);
    if (mode == Mode::Folder)
        dialog.setOption(QFileDialog::ShowDirsOnly);
    // A file of another ending may still be what the engineer means to open.
    if (!filter().isEmpty())
        dialog.setNameFilters({filter(), "All files (*)"});
    // A folder to start in is not a name to choose (it would be offered as a file's name).
    if (!name.isEmpty() && !QFileInfo(name).isDir())
        dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

} // namespace relperm::ui
