// Access keys as the user presses them: every window each program opens, walked with all its
// menus, has no two captions that Alt+key or a key in an open menu would reach together.
// Such a pair makes the key cycle between them instead of acting (Alt+V opened Version while
// View waited for a second press).
#include "calculator/ui/form1.h"
#include "database/ui/pellamwindow.h"
#include "launcher/launcherwindow.h"
#include "shell/tools.h"
#include "support/quiet_offscreen.h"
#include "support/ui_standins.h"
#include "support/widget_driver.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>

using namespace relperm;
using namespace relperm::testing;

namespace {

// The key Alt (or, in an open menu, the key alone) reaches a caption by: the character after
// a single '&', upper case; none for a caption without one.
QString accessKey(const QString& caption) {
    const QKeySequence key = QKeySequence::mnemonic(caption);
    return key.isEmpty() ? QString() : QKeySequence(key[0].key()).toString();
}

// "where: "&View" and "&Version" both take V", for each pair of `captions` sharing a key.
QStringList clashes(const QString& where, const QStringList& captions) {
    QStringList found;
    QMap<QString, QString> taken;
    for (const QString& caption : captions) {
        const QString key = accessKey(caption);
        if (key.isEmpty())
            continue;
        if (taken.contains(key))
            found << QString("%1: \"%2\" and \"%3\" both take %4")
                         .arg(where, taken[key], caption, key);
        else
            taken[key] = caption;
    }
    return found;
}

QStringList menuClashes(const QString& where, const QMenu* menu) {
    QStringList captions;
    QStringList found;
    for (const QAction* item : menu->actions()) {
        captions << item->text();
        if (const QMenu* sub = item->menu())
            found += menuClashes(where + " / " + sub->title(), sub);
    }
    return found + clashes(where, captions);
}

// The window's own keys, which its menu bar and its controls share, and those of each menu.
// A hidden control takes no key.
QStringList windowClashes(QWidget* window) {
    const QString name = QString("%1 \"%2\"").arg(window->objectName(), window->windowTitle());
    QStringList captions;
    QStringList found;
    for (const QMenuBar* bar : window->findChildren<QMenuBar*>())
        for (const QAction* item : bar->actions()) {
            captions << item->text();
            if (const QMenu* menu = item->menu())
                found += menuClashes(name + " " + menu->title(), menu);
        }
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (control->window() != window || !control->isVisibleTo(window))
            continue; // a window of its own is walked apart
        if (auto* button = qobject_cast<QAbstractButton*>(control))
            captions << button->text();
        else if (auto* label = qobject_cast<QLabel*>(control); label && label->buddy())
            captions << label->text();
        else if (auto* frame = qobject_cast<QGroupBox*>(control))
            captions << frame->title();
        else if (auto* tabs = qobject_cast<QTabBar*>(control))
            for (int i = 0; i < tabs->count(); ++i)
                captions << tabs->tabText(i);
    }
    return found + clashes(name, captions);
}

// Every window shown, the menus' popups aside (their menus are walked from their bars).
QList<QWidget*> shownWindows() {
    QList<QWidget*> windows;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && !qobject_cast<QMenu*>(window))
            windows << window;
    return windows;
}

QStringList allClashes() {
    QStringList found;
    for (QWidget* window : shownWindows())
        found += windowClashes(window);
    return found;
}

} // namespace

class AccessKeysTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    // A table with capillary pressure, whose plot stands beside the kr plot.
    QString deckWithPc() {
        const QString file = dir.filePath("pc.inc");
        QFile out(file);
        out.open(QIODevice::WriteOnly);
        out.write("SWOF\n0.2 0 1 3\n0.5 0.2 0.3 1\n1 1 0 0 /\n");
        return file;
    }

  private slots:
    void initTestCase() { quietOffscreenWarnings(); }

    // The programs' windows go, and with them the windows they own.
    void cleanup() {
        QList<QPointer<QWidget>> programs;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (!window->parentWidget())
                programs << window;
        for (const QPointer<QWidget>& window : programs)
            delete window.data();
    }

    // A caption of ours against one Qt makes, so the walk itself is known to catch a pair.
    void theWalkFindsAPairSharingAKey() {
        QWidget window;
        window.setObjectName("two");
        new QPushButton("&Save Image...", &window);
        new QPushButton("Co&py", &window);
        QCOMPARE(windowClashes(&window), QStringList());
        new QPushButton("&Select", &window);
        QCOMPARE(windowClashes(&window),
                 QStringList{"two \"\": \"&Save Image...\" and \"&Select\" both take S"});
    }

    void theBrowserAndEveryWindowItOpens() {
        auto messages = std::make_shared<RecordingMessages>();
        auto dialog = std::make_shared<ScriptedFileDialog>("Files");
        dialog->answers = {deckWithPc()};
        auto* browser = new databaseui::PellamWindow(std::filesystem::path(DEMO_DIR),
                                                     browserServices(dialog, messages));
        shell::addBrowserTools(*browser);
        browser->show();
        QVERIFY(QTest::qWaitForWindowExposed(browser));
        pickEntry(*browser, "wetpk", "Water-Oil Data");
        pickEntry(*browser, "wettpk", "All Wettabilities");
        pickEntry(*browser, "rockpk", "All Formations");
        pickEntry(*browser, "locpk", "All Locations");
        pickEntry(*browser, "methpk", "All Methods");
        child<QPushButton>(*browser, "Command1")->click();
        for (const char* item :
             {"listMatches", "plotView", "fitCorey", "fitLet", "scalRecommendation",
              "tablesFromParameters", "openSimulatorTables"})
            child<QAction>(*browser, item)->trigger();
        QVERIFY(messages->warnings.isEmpty());
        QCOMPARE(shownWindows().size(), 8);
        QVERIFY(child(*child(*browser, "deckTablesWindow"), "pcPlot")->isVisible());
        const QStringList found = allClashes();
        QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
    }

    void theCalculatorAndEveryWindowItOpens() {
        auto dialog = std::make_shared<ScriptedFileDialog>("Files");
        dialog->answers = {deckWithPc()};
        auto* calculator =
            new calculatorui::Form1(browserServices(dialog, std::make_shared<RecordingMessages>()));
        shell::addCalculatorTools(*calculator);
        calculator->show();
        QVERIFY(QTest::qWaitForWindowExposed(calculator));
        for (const char* item :
             {"waterOilPlot", "gasPlot", "tablesFromParameters", "openSimulatorTables"})
            child<QAction>(*calculator, item)->trigger();
        QCOMPARE(shownWindows().size(), 5);
        const QStringList found = allClashes();
        QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
    }

    void theLauncher() {
        auto* launcher = new launcherui::LauncherWindow;
        launcher->show();
        const QStringList found = allClashes();
        QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
    }
};

QTEST_MAIN(AccessKeysTest)
#include "access_keys_test.moc"
