#include "ui/filedialog.h"

#include <QFileDialog>

namespace relperm::ui {

std::optional<QString> FileDialog::choose(QWidget* parent, Mode mode, const QString& filter,
                                          const QString& suggested) {
    filter_ = filter;
    const QString name = ask(parent, mode, suggested.isEmpty() ? last_ : suggested);
    filter_.clear();
    if (name.isEmpty())
        return std::nullopt;
    last_ = name;
    return name;
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
    if (!name.isEmpty())
        dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

} // namespace relperm::ui
