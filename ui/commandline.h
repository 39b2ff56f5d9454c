// The command line of the three window programs: --help and --version answered without a
// window, an unknown option refused as relperm refuses input.
#pragma once

#include <QCommandLineParser>

#include <optional>

namespace relperm::ui {

struct ProgramLine {
    const char* name;        // "vomar": the program, its desktop entry, its messages
    const char* description; // broken into lines for an 80-column terminal
    // An optional positional argument, shown in --help as "[name]".
    const char* argument = nullptr;
    const char* argumentHelp = nullptr;
};

// Answers --help and --version, and ends the program, before any window system is asked
// for: they then work over ssh and in a build without a display. Call before QApplication.
// A line holding Qt's own options (-platform, -style), which only QApplication knows, is
// left to parseCommandLine.
void answerHelpAndVersion(int argc, char** argv, const ProgramLine& line);

// Parses the application's arguments into `parser` and names the desktop entry. Returns the
// exit status when the program must end: 2 for an option it does not know (after saying
// so), as relperm refuses input, where QCommandLineParser would exit with 1.
std::optional<int> parseCommandLine(QCommandLineParser& parser, const ProgramLine& line);

} // namespace relperm::ui
