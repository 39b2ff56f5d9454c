#include "calculator/ui/form1.h"
#include "shell/tools.h"
#include "ui/commandline.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLocale>

int main(int argc, char** argv) {
    relperm::ui::ProgramLine line{
        "vomar",
        // Qt prints the description as it is given.
        "Relative permeability tables from published correlations: pick the fluid\n"
        "system and the correlation, type the rock's end points and generate the\n"
        "water-oil and gas tables, grids and curves; save, open, export and print\n"
        "runs, and write them as simulator tables."};
    line.argument = "file";
    line.argumentHelp = "A run file to open, as File / Open does.";
    if (auto status = relperm::ui::answerBeforeDisplay(argc, argv, line))
        return *status;
    auto app = relperm::ui::connectDisplay(argc, argv, line);
    QCommandLineParser parser;
    if (auto status = relperm::ui::parseCommandLine(parser, line))
        return *status;
    // Numbers always use the point, whatever the desktop's language.
    QLocale::setDefault(QLocale::c());
    relperm::calculatorui::Form1 window;
    relperm::shell::addCalculatorTools(window);
    window.show();
    if (!parser.positionalArguments().isEmpty())
        window.openRunFile(parser.positionalArguments().front());
    return app->exec();
}
