// The command line of the three window programs: --help and --version answered and an
// unknown option refused without a window, or a display, as relperm refuses input; a
// missing display said in one line.
#pragma once

#include <QCommandLineParser>

#include <memory>
#include <optional>
#include <variant>

class QApplication;

namespace relperm::ui {

struct ProgramLine {
    const char* name;        // "vomar": the program, its desktop entry, its messages
    const char* description; // broken into lines for an 80-column terminal
    // An optional positional argument, shown in --help as "[name]".
    const char* argument = nullptr;
    const char* argumentHelp = nullptr;
};

// Answers --help and --version (status 0) and refuses an option the program does not know
// (status 2, after saying so), before any window system is asked for: they then work over
// ssh and in a build without a display. Qt's own options (-platform, -style) are let through
// for the application to take. Returns the exit status when the program must end.
std::optional<int> answerBeforeDisplay(int argc, char** argv, const ProgramLine& line);

// The application, connected to the window system. When none can be reached the program
// ends here with status 1, after one line on standard error that says which display it
// looked for, in place of Qt's abort and its advice to reinstall.
std::unique_ptr<QApplication> connectDisplay(int& argc, char** argv, const ProgramLine& line);

// Parses the application's arguments into `parser` and names the desktop entry. Returns the
// exit status when the program must end: 2 for an option it does not know (after saying
// so), as relperm refuses input, where QCommandLineParser would exit with 1.
std::optional<int> parseCommandLine(QCommandLineParser& parser, const ProgramLine& line);

// What every window program does before its first window: the three steps above, in order,
// and numbers with the point whatever the desktop's language. The application, or the exit
// status when the program must end.
std::variant<std::unique_ptr<QApplication>, int>
startProgram(int& argc, char** argv, const ProgramLine& line, QCommandLineParser& parser);

} // namespace relperm::ui
