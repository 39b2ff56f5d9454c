#include "calculator/ui/form1.h"
#include "shell/tools.h"
#include "ui/commandline.h"

#include <QApplication>
#include <QCommandLineParser>

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
    QCommandLineParser parser;
    auto started = relperm::ui::startProgram(argc, argv, line, parser);
    if (const int* status = std::get_if<int>(&started))
        return *status;
    relperm::calculatorui::Form1 window;
    relperm::shell::addCalculatorTools(window);
    window.show();
    if (!parser.positionalArguments().isEmpty())
        window.openRunFile(parser.positionalArguments().front());
    return std::get<0>(started)->exec();
}
