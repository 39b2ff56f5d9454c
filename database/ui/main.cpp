#include "common/version.h"
#include "database/datafolder.h"
#include "database/ui/pellamwindow.h"
#include "ui/settings.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLocale>

#include <filesystem>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("pellam");
    QApplication::setApplicationVersion(relperm::suiteVersion);
    QLocale::setDefault(QLocale::c());

    QCommandLineParser parser;
    parser.setApplicationDescription("Browse laboratory-measured relative permeability data sets.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("folder", "The folder of the data files OWBIN, OGBIN, GWBIN, "
                                           "CGBIN (default: the one chosen last time, else the "
                                           "working folder or the demo database).");
    parser.process(app);

    relperm::ui::Settings settings;
    relperm::StartFolders folders;
    if (!parser.positionalArguments().isEmpty()) {
        const QString named = parser.positionalArguments().front();
        folders.named = std::filesystem::absolute(named.toStdString());
        settings.setValue(relperm::databaseui::dataFolderSetting,
                          QString::fromStdString(folders.named->string()));
    }
    if (auto remembered = settings.value(relperm::databaseui::dataFolderSetting))
        folders.remembered = remembered->toStdString();
    folders.working = std::filesystem::current_path();
    // The demo database beside an installed suite (share/relperm/demo), or in a build tree.
    const std::filesystem::path programs = QCoreApplication::applicationDirPath().toStdString();
    folders.demo = {programs / ".." / "share" / "relperm" / "demo", programs / ".." / "demo"};

    relperm::databaseui::PellamWindow window(
        std::filesystem::weakly_canonical(relperm::startFolder(folders)));
    window.show();
    return app.exec();
}
