#include "ui/processstarter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace relperm::ui {

std::optional<QString> ProcessStarter::start(const QString& program) {
    const QString besideUs = QDir(QCoreApplication::applicationDirPath()).filePath(program);
    QString path = QFileInfo(besideUs).isExecutable() ? besideUs : QString();
    if (path.isEmpty())
        path = QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return QString("Could not start %1: it is neither in %2 nor on the search path (PATH).")
            .arg(program, QCoreApplication::applicationDirPath());
    if (!QProcess::startDetached(path, {}, QDir::currentPath()))
        return QString("Could not start %1 (%2).").arg(program, path);
    return std::nullopt;
}

} // namespace relperm::ui
