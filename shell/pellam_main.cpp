#include "database/ui/pellamwindow.h"
#include "shell/tools.h"
#include "ui/commandline.h"
#include "ui/settings.h"

#include <QApplication>
#include <QCommandLineParser>

#include <filesystem>

int main(int argc, char** argv) {
    relperm::ui::ProgramLine line{
        "pellam",
        // Qt prints the description as it is given.
        "Browse laboratory-measured relative permeability data sets: pick the two-phase\n"
        "system and the selection lists, count and step through the matching sets,\n"
        "rescale them to your end points, fit Corey or LET curves, recommend\n"
        "low/base/high cases and write simulator tables."};
    line.argument = "folder";
    line.argumentHelp = "The folder of the data files OWBIN, OGBIN, GWBIN, CGBIN, "
                        "remembered for the next start when it holds one (default: the "
                        "folder remembered, else the working folder when it holds a data "
                        "file, else the demo database).";
    QCommandLineParser parser;
    auto started = relperm::ui::startProgram(argc, argv, line, parser);
    if (const int* status = std::get_if<int>(&started))
        return *status;

    relperm::StartFolders folders;
    if (!parser.positionalArguments().isEmpty())
        folders.named =
            std::filesystem::absolute(parser.positionalArguments().front().toStdString());
    folders.working = std::filesystem::current_path();
    // The demo database beside an installed suite (share/relperm/demo), or in a build tree.
    const std::filesystem::path programs = QCoreApplication::applicationDirPath().toStdString();
    folders.demo = {programs / ".." / "share" / "relperm" / "demo", programs / ".." / "demo"};
    relperm::ui::Settings settings;
    relperm::databaseui::PellamWindow window(
        relperm::databaseui::chooseStartFolder(folders, settings));
    relperm::shell::addBrowserTools(window);
    window.show();
    return std::get<0>(started)->exec();
}
