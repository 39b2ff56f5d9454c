#include "ui/filedialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace relperm::ui {

namespace {

// Shared by every dialog, so the export after a Save As lands beside the run file.
QString& lastFolder() {
    static QString folder;
    return folder;
}

QStringList kindsOf(const QString& filter) {
    return filter.split(";;", Qt::SkipEmptyParts);
}

// The endings a kind of file lists, in lower case: {"png"} for "PNG images (*.png)"; none for
// every file.
QStringList endingsOf(const QString& kind) {
    static const QRegularExpression pattern(R"(\*\.(\w+))");
    QStringList endings;
    for (auto found = pattern.globalMatch(kind); found.hasNext();)
        endings << found.next().captured(1).toLower();
    return endings;
}

// The kind of `filter` whose ending `name` has, else its first.
QString kindOfName(const QString& filter, const QString& name) {
    const QStringList kinds = kindsOf(filter);
    for (const QString& kind : kinds)
        if (endingsOf(kind).contains(QFileInfo(name).suffix().toLower()))
            return kind;
    return kinds.value(0);
}

// `name` as it is when it ends as one of the filter's kinds, else with the ending of `kind`
// after it, so a name that merely holds a dot ("Well 7.5") still gets one.
QString withEnding(const QString& name, const QString& filter, const QString& kind) {
    const QString ending = QFileInfo(name).suffix().toLower();
    for (const QString& offered : kindsOf(filter))
        if (endingsOf(offered).contains(ending))
            return name;
    const QStringList endings = endingsOf(kind);
    if (endings.isEmpty())
        return name;
    return (name.endsWith('.') ? name : name + '.') + endings.front();
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
    if (mode == Mode::Save && !suggested.isEmpty())
        start = withEnding(start, filter, kindOfName(filter, start));
    if (start.isEmpty())
        start = startFolder();
    else if (QDir::isRelativePath(start))
        start = QDir(startFolder()).filePath(start);
    kind_ = kindOfName(filter, start);
    QString name = ask(parent, mode, start);
    if (mode == Mode::Save && !name.isEmpty())
        name = withEnding(name, filter, kind_);
    filter_.clear();
    kind_.clear();
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
    if (!filter().isEmpty()) {
        // A file of another ending may still be what the engineer means to open or save.
        dialog.setNameFilters(kindsOf(filter()) << "All files (*)");
        dialog.selectNameFilter(kind());
        // The dialog adds the kind's ending itself, so it asks before replacing that file.
        const auto endAs = [&dialog](const QString& kind) {
            dialog.setDefaultSuffix(endingsOf(kind).value(0));
        };
        endAs(kind());
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, endAs);
    }
    // A folder to start in is not a name to choose (it would be offered as a file's name).
    if (!name.isEmpty() && !QFileInfo(name).isDir())
        dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    chooseKind(dialog.selectedNameFilter());
    return dialog.selectedFiles().front();
}

} // namespace relperm::ui
