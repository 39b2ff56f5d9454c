#include "ui/commandline.h"

#include "common/version.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>

namespace relperm::ui {

namespace {

void describe(QCommandLineParser& parser, const ProgramLine& line) {
    parser.setApplicationDescription(line.description);
    parser.addHelpOption();
    parser.addVersionOption();
    if (line.argument)
        parser.addPositionalArgument(line.argument, line.argumentHelp,
                                     QString("[%1]").arg(line.argument));
}

} // namespace

void answerHelpAndVersion(int argc, char** argv, const ProgramLine& line) {
    QCoreApplication::setApplicationName(line.name);
    QCoreApplication::setApplicationVersion(suiteVersion);
    QCoreApplication bare(argc, argv);
    QCommandLineParser parser;
    describe(parser, line);
    if (parser.parse(bare.arguments()) && (parser.isSet("help") || parser.isSet("version")))
        parser.process(bare); // prints and exits
}

std::optional<int> parseCommandLine(QCommandLineParser& parser, const ProgramLine& line) {
    // Wayland matches the windows to the desktop entry by this name (its icon, its menu entry).
    QGuiApplication::setDesktopFileName(line.name);
    describe(parser, line);
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "%s: %s (see %s --help)\n", line.name, qPrintable(parser.errorText()),
                     line.name);
        return 2;
    }
    parser.process(QCoreApplication::arguments());
    return std::nullopt;
}

} // namespace relperm::ui
