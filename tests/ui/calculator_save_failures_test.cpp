// The calculator's save commands (Save As, Export, Simulator Tables) while a step of the
// write fails, as a read-only folder, a full disk, a disk error or a refused rename makes it
// fail: the window says so in a message box naming the file and the reason, shows nothing
// that reads as success, and the file that was there keeps its bytes.
#include "calculator/ui/form1.h"
#include "support/quiet_offscreen.h"
#include "support/ui_standins.h"
#include "support/widget_driver.h"
#include "support/write_failures.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

using namespace relperm;
using relperm::calculatorui::Form1;

class CalculatorSaveFailuresTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> window;
    std::shared_ptr<testing::ScriptedFileDialog> dialog;
    std::shared_ptr<testing::RecordingMessages> messages;
    std::unique_ptr<QTemporaryDir> dir;

    // Picks the file in the dialog and runs the command.
    void saveWith(const char* action, const QString& file) {
        dialog->answers.push_back(file);
        testing::child<QAction>(*window, action)->trigger();
    }

  private slots:
    void initTestCase() { relperm::testing::quietOffscreenWarnings(); }

    void init() {
        dir = std::make_unique<QTemporaryDir>();
        dialog =
            std::make_shared<testing::ScriptedFileDialog>("Relative Permeability File Selection");
        messages = std::make_shared<testing::RecordingMessages>();
        window = std::make_unique<Form1>(calculatorui::WindowServices{
            dialog, std::make_shared<testing::ScriptedFileDialog>("Save the Page as PDF"),
            std::make_shared<testing::RecordingPrinter>(), messages});
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cleanup() {
        failFileWriteStepForTesting(std::nullopt);
        window.reset();
    }

    void aFailedWriteIsReportedAndTheOldFileKept_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("step");
        const std::pair<const char*, const char*> commands[] = {
            {"a3", "Save As"}, {"ex", "Export"}, {"sim", "Simulator Tables"}};
        for (const auto& [action, command] : commands)
            for (std::size_t s = 0; s < testing::failingSteps.size(); ++s)
                QTest::addRow("%s, %s", command, testing::failingSteps[s].name)
                    << QString(action) << static_cast<int>(s);
    }

    void aFailedWriteIsReportedAndTheOldFileKept() {
        QFETCH(QString, action);
        QFETCH(int, step);
        const testing::FailingStep& failing = testing::failingSteps[static_cast<std::size_t>(step)];
        const QString name = action == "sim" ? "tables.inc" : "tables.txt";
        const QString target = dir->filePath(name);
        const QByteArray old = "the file that was there\r\n";
        {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(old);
        }
        testing::pickEntry(*window, "fldpk", "Water-Oil-Gas");
        testing::pickEntry(*window, "corpk", "Corey");
        testing::typeText(
            *window, "Text1",
            "the \"worked\" example"); // Save As tells of the quote only when it saved
        testing::typeText(*window, "Swco", "20");
        testing::typeText(*window, "sorwo", "25");
        testing::typeText(*window, "sorgo", "10");
        testing::typeText(*window, "sgco", "5");
        QTest::mouseClick(testing::child<QPushButton>(*window, "Command1"), Qt::LeftButton);
        QVERIFY(messages->warnings.isEmpty());

        failFileWriteStepForTesting(failing.step, failing.error);
        saveWith(action.toLatin1().constData(), target);
        failFileWriteStepForTesting(std::nullopt);
        QCOMPARE(messages->warnings.size(), 1);
        const QString shown = messages->warnings[0];
        QVERIFY2(shown.contains("\"" + target + "\""), qPrintable(shown));
        QVERIFY2(shown.contains(std::strerror(failing.error)), qPrintable(shown));
        QVERIFY2(messages->notes.isEmpty(), "nothing reads as success");
        QCOMPARE(testing::fileBytes(target), old);
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList({name}));

        saveWith(action.toLatin1().constData(), target);
        QCOMPARE(messages->warnings.size(), 1);
        QVERIFY2(testing::fileBytes(target) != old,
                 "without a failing step the command replaces the file");
        if (action == "a3")
            QCOMPARE(messages->notes.size(), 1); // now it saved, it tells of the apostrophes
    }
};

QTEST_MAIN(CalculatorSaveFailuresTest)
#include "calculator_save_failures_test.moc"
