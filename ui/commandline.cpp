#include "ui/commandline.h"

#include "common/version.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLocale>
#include <QSet>

#include <cstdio>
#include <cstdlib>
#include <tuple>
#include <vector>

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

// The options QApplication takes out of the command line for itself (--help-all lists
// them), with the X11 names xcb adds; they are Qt's, not unknown ones.
const QSet<QString> qtOptionsWithValue = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",     "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "style",         "stylesheet", "session",
    "display",     "geometry",           "title",         "icon",       "name",
    "visual",      "qmljsdebugger"};
const QSet<QString> qtFlags = {"reverse", "widgetcount", "testability", "sync", "nograb", "dograb"};

// The arguments without Qt's own options, which Qt takes with one dash or two.
QStringList withoutQtOptions(const QStringList& arguments) {
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == "--") {
            kept << arguments.mid(i);
            break;
        }
        if (i == 0 || !argument.startsWith('-')) {
            kept << argument;
            continue;
        }
        const QString option = argument.mid(argument.startsWith("--") ? 2 : 1);
        if (qtFlags.contains(option) || qtOptionsWithValue.contains(option.section('=', 0, 0)))
            i += qtOptionsWithValue.contains(option) ? 1 : 0;
        else
            kept << argument;
    }
    return kept;
}

// What is known of the window system asked for, to say which one could not be reached.
QString missingDisplay(const QStringList& arguments) {
    QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i)
        if (arguments[i] == "-platform" || arguments[i] == "--platform")
            platform = arguments[i + 1];
    // "wayland;xcb" is tried in turn, "xcb:option" carries options.
    platform = platform.section(';', 0, 0).section(':', 0, 0);
    const QString display = qEnvironmentVariable("DISPLAY");
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (!platform.isEmpty() && platform != "xcb" && platform != "wayland")
        return QString("the window system \"%1\" could not be started").arg(platform);
    if (display.isEmpty() && wayland.isEmpty())
        return "no display (neither DISPLAY nor WAYLAND_DISPLAY is set)";
    return QString("the display \"%1\" could not be reached")
        .arg(platform == "wayland" || display.isEmpty() ? wayland : display);
}

// While the application connects: Qt's own warnings are held back, to be passed on once a
// display is there, or dropped when Qt gives up, so the user reads one line and not Qt's
// plugin list and its advice to reinstall.
struct Connecting {
    const ProgramLine* line = nullptr;
    QStringList arguments;
    QtMessageHandler previous = nullptr;
    struct Held {
        QtMsgType type;
        const char* file;
        int lineNumber;
        const char* function;
        const char* category;
        QString text;
    };
    std::vector<Held> held;
};

Connecting& connecting() {
    static Connecting state;
    return state;
}

void holdWhileConnecting(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    Connecting& state = connecting();
    if (type == QtFatalMsg) {
        std::fflush(stdout);
        std::fprintf(stderr, "%s: cannot open a window: %s\n", state.line->name,
                     qPrintable(missingDisplay(state.arguments)));
        std::fflush(stderr);
        // Half made, the application cannot be taken down in order.
        std::_Exit(1);
    }
    state.held.push_back(
        {type, context.file, context.line, context.function, context.category, text});
}

} // namespace

std::optional<int> answerBeforeDisplay(int argc, char** argv, const ProgramLine& line) {
    QCoreApplication::setApplicationName(line.name);
    QCoreApplication::setApplicationVersion(suiteVersion);
    // A copy: QCoreApplication takes its own options out of the list it is given.
    std::vector<char*> copy(argv, argv + argc + 1);
    QCoreApplication bare(argc, copy.data());
    QCommandLineParser parser;
    describe(parser, line);
    if (!parser.parse(withoutQtOptions(bare.arguments()))) {
        std::fprintf(stderr, "%s: %s (see %s --help)\n", line.name, qPrintable(parser.errorText()),
                     line.name);
        return 2;
    }
    if (parser.isSet("help"))
        parser.showHelp(0); // prints and exits
    if (parser.isSet("version"))
        parser.showVersion();
    // Qt's own options are listed only by the application that knows them, which needs a
    // window system to start: one without a screen does.
    if (parser.isSet("help-all"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::nullopt;
}

std::unique_ptr<QApplication> connectDisplay(int& argc, char** argv, const ProgramLine& line) {
    Connecting& state = connecting();
    state.line = &line;
    for (int i = 0; i < argc; ++i)
        state.arguments << QString::fromLocal8Bit(argv[i]);
    state.previous = qInstallMessageHandler(holdWhileConnecting);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(state.previous);
    for (const Connecting::Held& message : state.held)
        state.previous(message.type,
                       QMessageLogContext(message.file, message.lineNumber, message.function,
                                          message.category),
                       message.text);
    state.held.clear();
    return app;
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

std::variant<std::unique_ptr<QApplication>, int>
startProgram(int& argc, char** argv, const ProgramLine& line, QCommandLineParser& parser) {
    if (auto status = answerBeforeDisplay(argc, argv, line))
        return *status;
    auto app = connectDisplay(argc, argv, line);
    if (auto status = parseCommandLine(parser, line))
        return *status;
    QLocale::setDefault(QLocale::c());
    return app;
}

} // namespace relperm::ui
