#include "launcher/launcherwindow.h"
#include "ui/commandline.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char** argv) {
    relperm::ui::ProgramLine line{
        "ostilo",
        // Qt prints the description as it is given.
        "The launcher of the relative permeability suite: its list starts the\n"
        "correlation calculator (vomar) and the browser of measured data sets (pellam),\n"
        "found beside the launcher first, then on the search path; both run on their\n"
        "own, in the launcher's working folder, and stay open when the launcher ends."};
    QCommandLineParser parser;
    auto started = relperm::ui::startProgram(argc, argv, line, parser);
    if (const int* status = std::get_if<int>(&started))
        return *status;
    relperm::launcherui::LauncherWindow window;
    window.show();
    return std::get<0>(started)->exec();
}
