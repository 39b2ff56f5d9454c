#include "launcher/launcherwindow.h"
#include "ui/commandline.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLocale>

int main(int argc, char** argv) {
    relperm::ui::ProgramLine line{
        "ostilo",
        // Qt prints the description as it is given.
        "The launcher of the relative permeability suite: its list starts the\n"
        "correlation calculator (vomar) and the browser of measured data sets (pellam),\n"
        "found beside the launcher first, then on the search path; both run on their\n"
        "own, in the launcher's working folder, and stay open when the launcher ends."};
    if (auto status = relperm::ui::answerBeforeDisplay(argc, argv, line))
        return *status;
    auto app = relperm::ui::connectDisplay(argc, argv, line);
    QCommandLineParser parser;
    if (auto status = relperm::ui::parseCommandLine(parser, line))
        return *status;
    QLocale::setDefault(QLocale::c());
    relperm::launcherui::LauncherWindow window;
    window.show();
    return app->exec();
}
