// The calculator's menu, toolbar and file commands, with a scripted file dialog, a
// recording printer and recorded messages standing in for the platform.
#include "calculator/ui/form1.h"
#include "common/filewrite.h"
#include "support/pdf_tools.h"
#include "support/quiet_offscreen.h"
#include "support/ui_standins.h"
#include "support/widget_driver.h"
#include "ui/drawingsurface.h"
#include "ui/filedialog.h"
#include "ui/flexgrid.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include <sys/stat.h>

using namespace relperm;
using relperm::calculatorui::Form1;

class CalculatorFilesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> window;
    std::shared_ptr<testing::ScriptedFileDialog> dialog;
    std::shared_ptr<testing::ScriptedFileDialog> pdfDialog;
    std::shared_ptr<testing::RecordingPrinter> printer;
    std::shared_ptr<testing::RecordingMessages> messages;
    std::unique_ptr<QTemporaryDir> dir;

    template <class T = QWidget> T* find(const char* name) {
        return testing::child<T>(*window, name);
    }

    QString path(const QString& name) { return dir->filePath(name); }

    static QByteArray read(const QString& file) { return testing::fileBytes(file); }

    static void write(const QString& file, const QByteArray& bytes) {
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }

    void pick(const char* list, const QString& entry) { testing::pickEntry(*window, list, entry); }

    void type(const char* box, const QString& text) { testing::typeText(*window, box, text); }

    void trigger(const char* action) { find<QAction>(action)->trigger(); }

    void saveAs(const QString& file) {
        dialog->answers.push_back(file);
        trigger("a3");
    }

    void open(const QString& file) {
        dialog->answers.push_back(file);
        trigger("a2");
    }

    // Everything a user sees in the window, to compare before and after a command.
    QStringList snapshot() {
        QStringList out;
        for (QWidget* w : window->centralWidget()->findChildren<QWidget*>()) {
            if (w->objectName().isEmpty())
                continue;
            QString line = w->objectName() + (w->isVisible() ? " shown" : " hidden");
            if (auto* edit = qobject_cast<QLineEdit*>(w))
                line += " text=" + edit->text();
            if (auto* combo = qobject_cast<QComboBox*>(w)) {
                line += " text=" + combo->currentText() +
                        " index=" + QString::number(combo->currentIndex());
                for (int i = 0; i < combo->count(); ++i)
                    line += " | " + combo->itemText(i);
            }
            if (auto* label = qobject_cast<QLabel*>(w))
                line += " caption=" + label->text();
            out << line;
        }
        out.sort();
        return out;
    }

    void generateCorey() {
        pick("fldpk", "Water-Oil-Gas");
        pick("corpk", "Corey");
        type("Swco", "20");
        type("sorwo", "25");
        type("sorgo", "10");
        type("sgco", "5");
        QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
        QVERIFY(messages->warnings.isEmpty());
    }

  private slots:
    void initTestCase() { relperm::testing::quietOffscreenWarnings(); }

    void init() {
        ui::FileDialog::forgetLastFolderForTesting();
        dir = std::make_unique<QTemporaryDir>();
        dialog =
            std::make_shared<testing::ScriptedFileDialog>("Relative Permeability File Selection");
        pdfDialog = std::make_shared<testing::ScriptedFileDialog>("Save the Page as PDF");
        printer = std::make_shared<testing::RecordingPrinter>();
        messages = std::make_shared<testing::RecordingMessages>();
        window = std::make_unique<Form1>(
            calculatorui::WindowServices{dialog, pdfDialog, printer, messages});
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cleanup() {
        failFileWriteStepForTesting(std::nullopt);
        window.reset();
    }

    void menuAndToolbarCarryTheirNamesAndCaptions() {
        QCOMPARE(find<QMenu>("a1")->title(), QString("&File"));
        QCOMPARE(find<QAction>("a2")->text(), QString("&Open"));
        QCOMPARE(find<QAction>("a3")->text(), QString("&Save As.."));
        QCOMPARE(find<QAction>("ex")->text(), QString("&Export"));
        QCOMPARE(find<QAction>("a4")->text(), QString("&Print"));
        QCOMPARE(find<QAction>("a5")->text(), QString("E&xit"));
        QCOMPARE(find<QMenu>("a9")->title(), QString("&Version"));
        QCOMPARE(find<QAction>("a11")->text(), QString("&14302"));
        const QList<QAction*> bar = window->menuBar()->actions();
        // File, Print, Exit, Version, then View and Tools with what the calculator adds.
        QCOMPARE(bar.size(), 6);
        QCOMPARE(bar[4]->menu()->objectName(), QString("view"));
        QCOMPARE(bar[5]->menu()->objectName(), QString("tools"));
        QCOMPARE(bar[1]->objectName(), QString("a4"));
        QVERIFY2(!bar[1]->menu(), "Print acts on the bar itself");

        auto* toolbar = find<QToolBar>("Toolbar1");
        QStringList keys, tips;
        for (QAction* action : toolbar->actions()) {
            keys << action->objectName();
            tips << action->toolTip();
            QVERIFY(!action->icon().isNull());
        }
        QCOMPARE(keys, QStringList({"Open", "Save", "Print", "Exit"}));
        QCOMPARE(tips, QStringList({"Open File", "Save File", "Print", "Exit"}));
    }

    void saveAsBeforeAnyGenerationWritesZerosAndEmptyFields() {
        saveAs(path("run.txt"));
        QCOMPARE(dialog->asked.back().mode, ui::FileDialog::Mode::Save);
        QCOMPARE(read(path("run.txt")), QByteArray("\"\",-1,-1,-1,-1,0,0,0,0,0,,\r\n"));
    }

    void theDialogRemembersTheLastNameForEveryCommand() {
        QCOMPARE(dialog->title(), QString("Relative Permeability File Selection"));
        saveAs(path("run.txt"));
        dialog->answers.push_back(""); // cancel
        trigger("ex");
        QCOMPARE(dialog->asked.back().prefilled, path("run.txt"));
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList({"run.txt"})); // cancelled
        QVERIFY(messages->warnings.isEmpty());
        open(path("run.txt"));
        QCOMPARE(dialog->asked.back().mode, ui::FileDialog::Mode::Open);
        QCOMPARE(dialog->asked.back().prefilled, path("run.txt"));
    }

    // Started from the desktop menu the working folder is the read-only demo database: no
    // dialog may offer it. A file goes where the last one went, in whichever dialog or
    // window, else to Documents (else home).
    void filesGoToTheLastFolderUsedElseDocumentsNeverTheWorkingFolder() {
        const QString home = path("home"), documents = path("home/Documents");
        QVERIFY(QDir().mkpath(documents) && QDir().mkpath(path("demo")));
        const QByteArray homeBefore = qgetenv("HOME"), configBefore = qgetenv("XDG_CONFIG_HOME");
        const QString workingBefore = QDir::currentPath();
        qputenv("HOME", home.toLocal8Bit());
        qunsetenv("XDG_CONFIG_HOME");
        QDir::setCurrent(path("demo"));
        auto restore = qScopeGuard([&] {
            qputenv("HOME", homeBefore);
            if (!configBefore.isEmpty())
                qputenv("XDG_CONFIG_HOME", configBefore);
            QDir::setCurrent(workingBefore);
        });

        dialog->answers.push_back({});
        trigger("a3");
        QCOMPARE(dialog->asked.back().prefilled, documents);
        QVERIFY(QDir(documents).removeRecursively());
        dialog->answers.push_back({});
        trigger("ex");
        QCOMPARE(dialog->asked.back().prefilled, home);

        QVERIFY(QDir().mkpath(path("runs")));
        saveAs(path("runs/run.txt"));
        generateCorey();
        printer->present = false;
        trigger("a4");
        QCOMPARE(pdfDialog->asked.back().prefilled,
                 path("runs/Relative Permeability Correlations.pdf"));
        auto other = std::make_shared<testing::ScriptedFileDialog>("another window's dialog");
        other->choose(nullptr, ui::FileDialog::Mode::Save);
        QCOMPARE(other->asked.back().prefilled, path("runs"));
        other->choose(nullptr, ui::FileDialog::Mode::Save, {}, "three.inc");
        QCOMPARE(other->asked.back().prefilled, path("runs/three.inc"));
        for (const auto& asked : dialog->asked)
            QVERIFY2(!asked.prefilled.startsWith(path("demo")), qPrintable(asked.prefilled));
    }

    // vomar FILE: the run opens as File / Open opens it, refusals and all, and Save As then
    // offers that file.
    void aRunNamedOnTheCommandLineOpensAsOpenDoes() {
        write(path("run.txt"), "\"Well 7\",0,1,1,1,18,20,25,10,5,.8,250\r\n");
        window->openRunFile(path("run.txt"));
        QVERIFY(messages->warnings.isEmpty());
        QCOMPARE(find<QLineEdit>("Text1")->text(), QString("Well 7"));
        QCOMPARE(find<QComboBox>("corpk")->currentText(), QString("Honarpour/Varnholt/Harvey"));
        QCOMPARE(find<QLineEdit>("permo")->text(), QString(" 250"));
        QVERIFY2(find("Command1")->isVisible(), "the handlers ran");
        dialog->answers.push_back({});
        trigger("a3");
        QCOMPARE(dialog->asked.back().prefilled, path("run.txt"));

        const QStringList before = snapshot();
        window->openRunFile(path("missing.txt"));
        QCOMPARE(messages->warnings.size(), 1);
        QVERIFY2(messages->warnings[0].startsWith("Could not open \"" + path("missing.txt")),
                 qPrintable(messages->warnings[0]));
        QCOMPARE(snapshot(), before);
    }

    void saveAsThenOpenRestoresTitleListsAndValues() {
        pick("fldpk", "Water-Oil-Gas");
        pick("corpk", "Honarpour/Varnholt/Harvey");
        pick("wetpk", "Oil or Intermediate Wet");
        pick("formpk", "Carbonate");
        type("Text1", "Well 7, core 3, plug A");
        type("poro", "18");
        type("permo", "250");
        type("krgo", ".8");
        type("Swco", "20");
        type("sorwo", "25");
        type("sorgo", "10");
        type("sgco", "5");
        QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
        QVERIFY(messages->warnings.isEmpty());
        saveAs(path("run.txt"));
        QCOMPARE(read(path("run.txt")),
                 QByteArray("\"Well 7, core 3, plug A\",0,1,1,1,18,20,25,10,5,.8,250\r\n"));

        window = std::make_unique<Form1>(
            calculatorui::WindowServices{dialog, pdfDialog, printer, messages});
        window->show();
        open(path("run.txt"));
        QVERIFY(messages->warnings.isEmpty());
        QCOMPARE(find<QLineEdit>("Text1")->text(), QString("Well 7, core 3, plug A"));
        QCOMPARE(find<QComboBox>("corpk")->currentText(), QString("Honarpour/Varnholt/Harvey"));
        QCOMPARE(find<QComboBox>("wetpk")->currentText(), QString("Oil or Intermediate Wet"));
        QCOMPARE(find<QComboBox>("formpk")->currentText(), QString("Carbonate"));
        QVERIFY2(find("Command1")->isVisible(), "the handlers ran");
        QVERIFY(find("krgo")->isVisible());
        // The boxes are filled after the handlers, in the general form after a blank.
        QCOMPARE(find<QLineEdit>("poro")->text(), QString(" 18"));
        QCOMPARE(find<QLineEdit>("krgo")->text(), QString(" .8"));
        QCOMPARE(find<QLineEdit>("permo")->text(), QString(" 250"));
        QVERIFY2(!find("MSFlexGrid1")->isVisible(), "Open does not generate");

        saveAs(path("again.txt"));
        QCOMPARE(read(path("again.txt")), read(path("run.txt")));
    }

    // A pipe chosen in the dialog would hang the window on its open; it is refused at once.
    void openRefusesAPipeAndChangesNothing() {
        type("Text1", "kept");
        const QString pipe = path("run.pipe");
        QCOMPARE(::mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
        open(pipe);
        QCOMPARE(messages->warnings,
                 QStringList({"Could not open \"" + pipe +
                              "\": it is not a regular file (a pipe or a device)"}));
        QCOMPARE(find<QLineEdit>("Text1")->text(), QString("kept"));
    }

    void aTitleWithADoubleQuoteIsSavedWithApostrophesAndTheUserIsTold() {
        type("Text1", "the \"best\" run");
        saveAs(path("run.txt"));
        QVERIFY(read(path("run.txt")).startsWith("\"the 'best' run\","));
        QCOMPARE(messages->notes.size(), 1);
    }

    void exportWritesBothBlocks() {
        dialog->answers.push_back(path("empty.txt"));
        trigger("ex");
        QCOMPARE(read(path("empty.txt")),
                 QByteArray("\"Sw  krw  krow\",0\r\n\"Sl krog krg\",0\r\n"));

        generateCorey();
        dialog->answers.push_back(path("tables.txt"));
        trigger("ex");
        const QList<QByteArray> lines = read(path("tables.txt")).split('\n');
        QCOMPARE(lines[0], QByteArray("\"Sw  krw  krow\",12\r"));
        QCOMPARE(lines[13], QByteArray("\"Sl krog krg\",15\r"));
        QVERIFY2(lines[14].startsWith(".3,"), lines[14].constData());
        QCOMPARE(lines[28], QByteArray("1,1,0\r"));
    }

    void aMalformedRunFileChangesNothing() {
        generateCorey();
        const QStringList before = snapshot();
        const QString gridCell = find<ui::FlexGrid>("MSFlexGrid1")->cellText(2, 1);
        const struct {
            QByteArray bytes;
            QString mentions;
        } files[] = {
            {"\"t\",0,4,-1,-1,0,20\r\n", "field 8 (Sorw) is missing"},
            {"\"t\",1,4,-1,-1,18,20,25,10,5,0,0\r\n", "field 3 (the correlation) is 4"},
            {"\"t\",0,4,-1,-1,x,20,25,10,5,0,0\r\n", "field 6 (the porosity)"},
        };
        for (const auto& file : files) {
            write(path("bad.txt"), file.bytes);
            messages->warnings.clear();
            open(path("bad.txt"));
            QCOMPARE(messages->warnings.size(), 1);
            QVERIFY2(messages->warnings[0].contains(path("bad.txt")),
                     qPrintable(messages->warnings[0]));
            QVERIFY2(messages->warnings[0].contains(file.mentions),
                     qPrintable(messages->warnings[0]));
            QCOMPARE(snapshot(), before);
        }
        open(path("missing.txt"));
        QVERIFY(messages->warnings.back().contains("missing.txt"));
        QCOMPARE(snapshot(), before);
        QCOMPARE(find<ui::FlexGrid>("MSFlexGrid1")->cellText(2, 1), gridCell);
    }

    // A run file is one short line: Open reads no more of a file than a run can reach, so a
    // film or a database chosen by mistake is refused at once, whatever its size, and a run
    // with something written after it still opens.
    void openReadsNoFurtherThanARunFileCanReach() {
        generateCorey();
        saveAs(path("run.txt"));
        QFile after(path("run.txt"));
        QVERIFY(after.open(QIODevice::Append));
        after.write(QByteArray(2 << 20, 'x').append("\r\n"));
        after.close();
        pick("fldpk", "Water-Gas");
        open(path("run.txt"));
        QVERIFY2(messages->warnings.isEmpty(), qPrintable(messages->warnings.join("\n")));
        QCOMPARE(find<QComboBox>("fldpk")->currentText(), QString("Water-Oil-Gas"));
        QCOMPARE(find<QLineEdit>("Swco")->text(), QString(" 20"));

        const QStringList before = snapshot();
        const struct {
            QString name;
            qint64 size;
            QByteArray start;
            QString says;
        } files[] = {
            {"title.txt", 0, "\"" + QByteArray(2 << 20, 't') + "\",0,4,-1,-1,,20,25,10,5,,\r\n",
             "its first line runs on past 1 MiB, and a run file is one short line."},
            {"short.txt", 0, "\"t\",0,4\r\n" + QByteArray(2 << 20, ','),
             "its first 1 MiB holds only 3 of the 12 fields, and a run file is one short line."},
            // Sparse: no disk is filled, but a read of the whole would take 3 GiB of memory.
            {"huge.bin", qint64{3} << 30, "", "its first line runs on past 1 MiB"},
        };
        for (const auto& file : files) {
            write(path(file.name), file.start);
            if (file.size)
                QVERIFY(QFile::resize(path(file.name), file.size));
            messages->warnings.clear();
            open(path(file.name));
            QCOMPARE(messages->warnings.size(), 1);
            QVERIFY2(messages->warnings[0].startsWith("\"" + path(file.name) +
                                                      "\" is not a run file that can be opened: "),
                     qPrintable(messages->warnings[0]));
            QVERIFY2(messages->warnings[0].contains(file.says), qPrintable(messages->warnings[0]));
            QCOMPARE(snapshot(), before);
        }
    }

    void aFailedSaveIsReportedAndTheOldFileKept() {
        saveAs(path("run.txt"));
        const QByteArray old = read(path("run.txt"));
        type("Text1", "new title");
        failFileWriteStepForTesting(WriteStep::CreateTemporary, EACCES); // a read-only folder
        saveAs(path("run.txt"));
        QCOMPARE(messages->warnings.size(), 1);
        QVERIFY2(messages->warnings[0].contains("Permission denied"),
                 qPrintable(messages->warnings[0]));
        QCOMPARE(read(path("run.txt")), old);
        QVERIFY(messages->notes.isEmpty());
    }

    void printHidesTheToolbarShowsTheHeadingAndFixesThePlots() {
        generateCorey();
        printer->printerFile = path("printed.pdf");
        trigger("a4");
        QCOMPARE(printer->pages.size(), std::size_t{1});
        // A printer gets text and fine frames, not one bitmap of the window.
        const std::optional<QString> text = testing::pdfText(path("printed.pdf"));
        QVERIFY(text && text->contains("Relative Permeability Correlations"));
        const auto coarse = testing::pdfImagesCoarserThan(path("printed.pdf"), 300);
        QVERIFY2(coarse && coarse->isEmpty(),
                 qPrintable(coarse.value_or(QStringList()).join(", ")));
        const QImage page = printer->pages[0];
        QCOMPARE(page.size(), window->centralWidget()->size());
        // Where the toolbar stands, the page shows the window's background.
        QCOMPARE(QColor(page.pixel(8, 8)), QColor(192, 255, 255));
        // The heading, in dark letters, across the top.
        int dark = 0;
        const QRect heading = find<QLabel>("Label10")->geometry();
        for (int x = heading.left(); x < heading.right(); ++x)
            for (int y = heading.top(); y < heading.bottom(); ++y)
                dark += qGray(page.pixel(x, y)) < 100 ? 1 : 0;
        QVERIFY2(dark > 100, qPrintable(QString::number(dark)));
        QVERIFY(find("Toolbar1")->isVisible());
        QVERIFY(!find("Label10")->isVisible());
        QVERIFY(find<ui::DrawingSurface>("vomar")->hasBackgroundPicture());
        QVERIFY(find<ui::DrawingSurface>("krl2")->hasBackgroundPicture());

        QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
        QVERIFY2(!find<ui::DrawingSurface>("vomar")->hasBackgroundPicture(),
                 "the next generation removes the fixed drawing");
    }

    void theFocusedBoxIsPrintedWithoutItsCursorAndKeepsItsSelection() {
        generateCorey();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        auto* box = find<QLineEdit>("Swco");
        box->setFocus();
        box->setSelection(2, -2);
        trigger("a4");
        QVERIFY(box->hasFocus());
        QCOMPARE(box->selectedText(), QString("20"));
        QCOMPARE(box->cursorPosition(), 0);

        box->clearFocus();
        const QImage unfocused = box->grab().toImage();
        const QImage printed = printer->pages[0].copy(
            QRect(box->mapTo(window->centralWidget(), QPoint(0, 0)), box->size()));
        for (int x = 0; x < unfocused.width(); ++x)
            for (int y = 0; y < unfocused.height(); ++y)
                QVERIFY2(printed.pixel(x, y) == unfocused.pixel(x, y),
                         qPrintable(QString("at %1, %2").arg(x).arg(y)));
    }

    void withoutAPrinterThePageIsSavedAsACrispPdf() {
        generateCorey();
        printer->present = false;
        pdfDialog->answers.push_back(path("page.pdf"));
        trigger("a4");
        QCOMPARE(messages->questions,
                 QStringList{"No printer is available. Save the page as a PDF file instead?"});
        QVERIFY(messages->warnings.isEmpty());
        QVERIFY(read(path("page.pdf")).startsWith("%PDF-"));
        QDir().mkpath(SHOTS_DIR);
        QFile::remove(QString(SHOTS_DIR) + "/vomar-print.pdf");
        QVERIFY(QFile::copy(path("page.pdf"), QString(SHOTS_DIR) + "/vomar-print.pdf"));

        // The heading and every row of both tables are text on the page, not pixels.
        const std::optional<QString> text = testing::pdfText(path("page.pdf"));
        QVERIFY(text);
        QVERIFY2(text->contains("Relative Permeability Correlations"), qPrintable(*text));
        for (const char* name : {"MSFlexGrid1", "MSFlexGrid2"}) {
            const auto* grid = find<ui::FlexGrid>(name);
            QVERIFY(grid->rowCount() > 10);
            for (int row = 0; row < grid->rowCount(); ++row) {
                QStringList cells;
                for (int column = 0; column < grid->columnCount(); ++column)
                    cells << QRegularExpression::escape(grid->cellText(row, column));
                QVERIFY2(text->contains(QRegularExpression(cells.join("\\s+"))),
                         qPrintable(name + QString(" row ") + QString::number(row)));
            }
        }
        // The plots are lines and text; what is left as pixels is as fine as the page.
        QVERIFY2(text->contains("Water-Oil Data") && text->contains("Gas-Oil Data"),
                 qPrintable(*text));
        const auto coarse = testing::pdfImagesCoarserThan(path("page.pdf"), 300);
        QVERIFY2(coarse && coarse->isEmpty(),
                 qPrintable(coarse.value_or(QStringList()).join(", ")));

        messages->answer = false;
        trigger("a4");
        QCOMPARE(pdfDialog->asked.size(), std::size_t{1}); // declined: no dialog
    }

    void simulatorTablesFollowExportAndOfferARepair() {
        const QList<QAction*> items = find<QMenu>("a1")->actions();
        QCOMPARE(items.size(), 4);
        QCOMPARE(items[2]->objectName(), QString("ex"));
        QCOMPARE(items[3]->text(), QString("Simulator &Tables..."));

        generateCorey();          // its krog turns up at the end of the gas table
        messages->answer = false; // Cancel: the question comes before any name is asked
        const std::size_t asked = dialog->asked.size();
        trigger("sim");
        QCOMPARE(messages->questions.size(), 1);
        QVERIFY2(messages->questions[0].contains("krog must not rise"),
                 qPrintable(messages->questions[0]));
        QCOMPARE(dialog->asked.size(), asked);

        messages->answer = true;
        dialog->answers.push_back(path("corey.inc"));
        trigger("sim");
        const QByteArray text = read(path("corey.inc"));
        QVERIFY(text.startsWith("-- Relative permeability tables written by vomar "));
        QVERIFY(text.contains("-- Correlation: Corey\n"));
        QVERIFY(text.contains("krog 3.50127796645779E-05 is set to 0"));
        QVERIFY(text.contains("\nSWOF\n") && text.contains("\nSGOF\n"));
        // The tables reach Sw = 1 and Sg = 1 - Swc, as the command line's do.
        QVERIFY(
            text.contains("\n   1                   1                   0                   0\n/"));
        QVERIFY(
            text.contains("\n   .8                  1                   0                   0\n/"));
        QVERIFY(
            text.contains("--   SWOF row 13 (Sw 1): krw 1, krow 0; krw straight from Sw .75.\n"));
    }

    void toolbarButtonsDispatchOnTheirKeys() {
        dialog->answers.push_back(path("run.txt"));
        window->Toolbar1_ButtonClick("Save");
        QVERIFY(QFile::exists(path("run.txt")));
        window->Toolbar1_ButtonClick("save"); // keys are compared exactly
        QCOMPARE(dialog->asked.size(), std::size_t{1});
        window->Toolbar1_ButtonClick("Exit");
        QVERIFY(!window->isVisible());
    }
};

QTEST_MAIN(CalculatorFilesTest)
#include "calculator_files_test.moc"
