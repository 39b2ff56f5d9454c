// The launcher driven by mouse and arrow keys, with a stand-in process starter.
#include "launcher/launcherwindow.h"
#include "launcher/launchrule.h"
#include "support/program_icons.h"
#include "support/quiet_offscreen.h"
#include "support/ui_standins.h"
#include "ui/processstarter.h"

#include <QLabel>
#include <QListWidget>
#include <QtTest>

using namespace relperm;

class RecordingStarter : public ui::ProcessStarter {
  public:
    QStringList started;
    std::optional<QString> failure;
    std::optional<QString> start(const QString& program) override {
        started << program;
        return failure;
    }
};

class LauncherTest : public QObject {
    Q_OBJECT

    std::unique_ptr<launcherui::LauncherWindow> window;
    std::shared_ptr<RecordingStarter> starter;
    std::shared_ptr<testing::RecordingMessages> messages;

    QListWidget* list() { return window->findChild<QListWidget*>("List1"); }

    void click(int row) {
        QListWidget* l = list();
        const QRect rect = l->visualItemRect(l->item(row));
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, rect.center());
    }

  private slots:
    void initTestCase() { testing::quietOffscreenWarnings(); }

    void init() {
        starter = std::make_shared<RecordingStarter>();
        messages = std::make_shared<testing::RecordingMessages>();
        window = std::make_unique<launcherui::LauncherWindow>(starter, messages);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cleanup() { window.reset(); }

    void theLastFourCharactersDecide() {
        QCOMPARE(launchActionFor("Relative Permeability Correlations"),
                 LaunchAction::StartCalculator);
        QCOMPARE(launchActionFor("Relative Permeability Database"), LaunchAction::StartBrowser);
        QCOMPARE(launchActionFor("Exit"), LaunchAction::Exit);
        QCOMPARE(launchActionFor("Correlations "), LaunchAction::None);
        QCOMPARE(launchActionFor("DATABASE"), LaunchAction::None);
        QCOMPARE(launchActionFor("exit"), LaunchAction::None);
        QCOMPARE(launchActionFor("ion"), LaunchAction::None);
    }

    void opensRedWithItsCaptionsAndANothingSelectedList() {
        QCOMPARE(window->palette().color(QPalette::Window), QColor(255, 0, 0));
        auto* title = window->findChild<QLabel*>("Label1");
        QCOMPARE(title->text(), QString("Relative Permeability              Suite"));
        QCOMPARE(title->palette().color(QPalette::WindowText), QColor(255, 255, 0));
        QVERIFY(title->font().bold() && title->font().italic());
        QCOMPARE(title->font().pointSizeF(), 24.0);
        QCOMPARE(window->findChild<QLabel*>("Label2")->text(), QString("Main Menu"));
        QVERIFY(!window->findChild<QLabel*>("Image1")->pixmap().isNull());
        QCOMPARE(testing::programOfIcon(window->windowIcon()), QString("ostilo"));
        QStringList entries;
        for (int i = 0; i < list()->count(); ++i)
            entries << list()->item(i)->text();
        QCOMPARE(entries, QStringList({"Relative Permeability Correlations",
                                       "Relative Permeability Database", "Exit"}));
        QCOMPARE(list()->currentRow(), -1);
        QCOMPARE(list()->palette().color(QPalette::Base), QColor(0, 0, 255));
        QCOMPARE(QApplication::focusWidget(), list());
        QVERIFY(starter->started.isEmpty());
        QDir().mkpath(SHOTS_DIR);
        QVERIFY(window->grab().save(QString(SHOTS_DIR) + "/ostilo.png"));
    }

    void aClickStartsTheProgramAndAClickAgainStartsAnotherCopy() {
        click(1);
        QCOMPARE(starter->started, QStringList({"pellam"}));
        click(1);
        QCOMPARE(starter->started, QStringList({"pellam", "pellam"}));
        click(0);
        QCOMPARE(starter->started, QStringList({"pellam", "pellam", "vomar"}));
        QVERIFY(window->isVisible());
    }

    void arrowKeysActOnEveryEntryPassedOverAndExitCloses() {
        QTest::keyClick(list(), Qt::Key_Down); // the first entry
        QCOMPARE(starter->started, QStringList({"vomar"}));
        QTest::keyClick(list(), Qt::Key_Down);
        QCOMPARE(starter->started, QStringList({"vomar", "pellam"}));
        QVERIFY(window->isVisible());
        QTest::keyClick(list(), Qt::Key_Down);
        QVERIFY(!window->isVisible());
        QCOMPARE(starter->started.size(), 2);
    }

    void aProgramThatCannotStartIsNamedInAMessage() {
        starter->failure = "Could not start vomar: it is neither in /opt nor on the search path.";
        click(0);
        QCOMPARE(messages->warnings, QStringList({*starter->failure}));
        QVERIFY(window->isVisible());
    }
};

QTEST_MAIN(LauncherTest)
#include "launcher_test.moc"
