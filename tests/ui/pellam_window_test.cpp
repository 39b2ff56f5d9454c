// The database browser driven as a user drives it, on data files the test writes into a
// folder of its own; and, for a look at it, on the demo database.
#include "../database/records.h"
#include "common/filewrite.h"
#include "database/ui/descriptionbox.h"
#include "database/ui/pellamwindow.h"
#include "support/pdf_tools.h"
#include "support/program_icons.h"
#include "support/quiet_offscreen.h"
#include "support/ui_standins.h"
#include "support/widget_driver.h"
#include "ui/drawingsurface.h"
#include "ui/flexgrid.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

using namespace relperm;
using namespace relperm::testing;
using relperm::databaseui::BrowserServices;
using relperm::databaseui::PellamWindow;

class PellamWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<PellamWindow> window;
    std::shared_ptr<ScriptedFileDialog> dialog;
    std::shared_ptr<RecordingMessages> messages;
    std::shared_ptr<RecordingPrinter> printer;
    std::shared_ptr<ScriptedFileDialog> pdfDialog;
    std::shared_ptr<ScriptedFileDialog> folderDialog;
    std::shared_ptr<MemorySettings> settings;

    std::filesystem::path folder() const { return dir->path().toStdString(); }

    void open(const std::filesystem::path& data) {
        dialog =
            std::make_shared<ScriptedFileDialog>("Relative Permeability Database File Selector");
        messages = std::make_shared<RecordingMessages>();
        printer = std::make_shared<RecordingPrinter>();
        pdfDialog = std::make_shared<ScriptedFileDialog>("Save the Page as PDF");
        folderDialog = std::make_shared<ScriptedFileDialog>("Choose a Data Folder");
        settings = std::make_shared<MemorySettings>();
        window = std::make_unique<PellamWindow>(
            data, databaseui::BrowserServices{dialog, pdfDialog, printer, messages, folderDialog,
                                              settings});
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    template <class T = QWidget> T* find(const char* name) { return child<T>(*window, name); }

    bool shown(const char* name) { return find(name)->isVisible(); }
    QString text(const char* label) { return find<QLabel>(label)->text(); }

    void pick(const char* list, const QString& entry) { pickEntry(*window, list, entry); }

    void pickAll(const QString& system) {
        pick("wetpk", system);
        if (system == "Water-Oil Data")
            pick("wettpk", "All Wettabilities");
        pick("rockpk", "All Formations");
        pick("locpk", "All Locations");
        pick("methpk", "All Methods");
    }

    void press(const char* button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }
    void trigger(const char* action) { find<QAction>(action)->trigger(); }

    void type(const char* box, const QString& value) {
        if (value.isEmpty()) { // clearing a box: select all, then delete
            find<QLineEdit>(box)->selectAll();
            QTest::keyClick(find<QLineEdit>(box), Qt::Key_Delete);
        } else {
            typeText(*window, box, value);
        }
    }

    QString grid(const char* name, int row, int column) {
        return find<ui::FlexGrid>(name)->cellText(row, column);
    }

    QStringList descriptionTexts() {
        QStringList out;
        for (const DescriptionLine& line : find<databaseui::DescriptionBox>("Picture1")->lines()) {
            QString s;
            for (const DescriptionItem& item : line.items)
                s += QString::fromStdString(item.text);
            out << s;
        }
        return out;
    }

    int dashedLines() {
        int n = 0;
        for (const Scene& scene : find<ui::DrawingSurface>("vomar")->scenes())
            for (const ScenePath& path : scene.all<ScenePath>())
                n += path.style == LineStyle::Dashed ? 1 : 0;
        return n;
    }

    void shoot(const QString& name) {
        QDir().mkpath(SHOTS_DIR);
        QVERIFY(window->grab().save(QString(SHOTS_DIR) + "/" + name));
    }

  private slots:
    void initTestCase() { quietOffscreenWarnings(); }

    void init() {
        dir = std::make_unique<QTemporaryDir>();
        writeDataFile(folder(), WO,
                      recordsOf(WO, {SetRecipe{.location = 1, .depth = 5100, .swc = 0.22},
                                     SetRecipe{.location = 2, .depth = 5200},
                                     SetRecipe{.location = 1, .depth = 5300, .swc = 0.3}}));
        // The gas-oil twin of the first water-oil set: the same sample keys.
        writeDataFile(folder(), GO,
                      recordsOf(GO, {SetRecipe{.location = 3, .depth = 9000},
                                     SetRecipe{.location = 1, .depth = 5100, .swc = 0.22}}));
        writeDataFile(folder(), GW, recordsOf(GW, {SetRecipe{.lithology = 2}}));
        open(folder());
    }

    void cleanup() {
        failFileWriteStepForTesting(std::nullopt);
        window.reset();
    }

    void opensWithTheListsAndTitleOnly() {
        QCOMPARE(window->windowTitle(), QString("Relative Permeability DataBase"));
        QCOMPARE(programOfIcon(window->windowIcon()), QString("pellam"));
        QCOMPARE(find<QComboBox>("wetpk")->currentText(), QString());
        QCOMPARE(find<QComboBox>("wetpk")->placeholderText(), QString("Select Two Phase Data"));
        QCOMPARE(find<QComboBox>("locpk")->itemText(0), QString("All Locations"));
        QCOMPARE(find<QComboBox>("methpk")->count(), 3);
        for (const char* visible :
             {"Label1", "Text1", "wetpk", "wettpk", "rockpk", "locpk", "methpk", "Toolbar1"})
            QVERIFY2(shown(visible), visible);
        for (const char* hidden : {"Command1", "Command2", "Command3", "Frame1", "Frame2", "vomar",
                                   "Picture1", "MSFlexGrid1", "MSFlexGrid2", "Label8", "Label10"})
            QVERIFY2(!shown(hidden), hidden);
        QCOMPARE(find<QLineEdit>("stol")->text(), QString("5"));
        QVERIFY(find<QRadioButton>("Option1")->isChecked());
        QCOMPARE(find<QMenu>("a44")->actions().at(0)->text(), QString("&02030"));
        QCOMPARE(find<QAction>("a5")->text(), QString("&Open"));
        QCOMPARE(find<QAction>("a6")->text(), QString("&Save"));
    }

    void aCompleteSelectionCountsAndShowsStepThroughTheMatches() {
        pick("wetpk", "Water-Oil Data");
        pick("wettpk", "All Wettabilities");
        pick("rockpk", "All Formations");
        pick("locpk", "North America");
        QVERIFY(!shown("Command2"));
        pick("methpk", "All Methods");
        QVERIFY(shown("Command1") && shown("Command2") && shown("Frame2"));
        QCOMPARE(text("Label11"), QString(" 2"));
        QCOMPARE(text("Label2"), QString("No. of Data      Sets"));

        press("Command1");
        QCOMPARE(find<QPushButton>("Command1")->text(),
                 QString("Show Next Relative Permeability Data"));
        QCOMPARE(text("Label8"), QString("Data Set # 1"));
        QVERIFY(shown("MSFlexGrid2") && shown("vomar") && shown("Picture1") && shown("Frame1"));
        QCOMPARE(grid("MSFlexGrid2", 0, 0), QString("Sw"));
        QCOMPARE(grid("MSFlexGrid2", 1, 0), QString(".22"));
        QVERIFY2(descriptionTexts().at(0).startsWith("Swc =22.%"),
                 qPrintable(descriptionTexts().join("|")));
        press("Command1");
        QCOMPARE(text("Label8"), QString("Data Set # 2"));
        QCOMPARE(grid("MSFlexGrid2", 1, 0), QString(".3"));
        press("Command1");
        QCOMPARE(text("Label8"), QString("Data Set # 2")); // past the last: the empty data set
        QCOMPARE(find<ui::FlexGrid>("MSFlexGrid2")->rowCount(), 1);

        press("Command2");
        press("Command1");
        QCOMPARE(text("Label8"), QString("Data Set # 1")); // a count starts again
    }

    void gasWaterHidesTheWettabilityAndTheMatchingButton() {
        pickAll("Gas-Water Data");
        QVERIFY(!shown("wettpk"));
        QCOMPARE(text("Label11"), QString(" 1"));
        press("Command1");
        QVERIFY(!shown("Command3"));
        QCOMPARE(grid("MSFlexGrid2", 0, 1), QString("krw"));
        QVERIFY2(!shown("sorin"), "no residual oil for gas-water data");
        type("swcin", "25");
        QVERIFY2(shown("MSFlexGrid1"), "Sor counts as 0, so Swc alone adjusts");
    }

    void matchingFindsTheTwinAndAFailureLeavesTheSet() {
        pickAll("Water-Oil Data");
        press("Command1");
        QVERIFY(shown("Command3"));
        QCOMPARE(find<QPushButton>("Command3")->text(), QString("Matching Gas-Oil Data"));
        press("Command3");
        QCOMPARE(find<QComboBox>("wetpk")->currentText(), QString("Gas-Oil Data"));
        QCOMPARE(find<QPushButton>("Command3")->text(), QString("Matching Water-Oil Data"));
        QCOMPARE(grid("MSFlexGrid2", 0, 0), QString("Sg"));
        QVERIFY(!shown("Label8"));

        pickAll("Water-Oil Data");
        press("Command1");
        press("Command1"); // the second set has no gas-oil twin
        const QString before = grid("MSFlexGrid2", 2, 1);
        press("Command3");
        QCOMPARE(descriptionTexts().last(), QString("NO Gas-Oil MATCH FOUND"));
        const auto lines = find<databaseui::DescriptionBox>("Picture1")->lines();
        QVERIFY(lines.back().colour == noticeRed);
        QCOMPARE(find<QComboBox>("wetpk")->currentText(), QString("Water-Oil Data"));
        QCOMPARE(grid("MSFlexGrid2", 2, 1), before);
    }

    void endPointsShowTheAdjustedTableAndDashedCurves() {
        pickAll("Water-Oil Data");
        press("Command1");
        QCOMPARE(dashedLines(), 0);
        type("swcin", "20");
        QVERIFY(!shown("MSFlexGrid1")); // Sorw is still needed
        type("sorin", "25");
        QVERIFY(shown("MSFlexGrid1") && shown("Label4"));
        QCOMPARE(text("Label4"), QString("Adjusted Data"));
        QCOMPARE(grid("MSFlexGrid1", 1, 0), QString(".2"));
        QCOMPARE(grid("MSFlexGrid1", 3, 0), QString(".75"));
        QVERIFY(dashedLines() > 0);
        type("sorin", "");
        QVERIFY(!shown("MSFlexGrid1") && !shown("Label4"));
        QCOMPARE(dashedLines(), 0);
    }

    void saveThenOpenRestoresTheSetAndTitle() {
        pickAll("Water-Oil Data");
        press("Command1");
        press("Command1");
        type("Text1", "Plug 7, Berea");
        const QString path = dir->filePath("set.txt");
        dialog->answers.push_back(path);
        window->a6_Click();
        QVERIFY(messages->warnings.isEmpty());
        QVERIFY(QFile::exists(path));
        const QString firstRow = grid("MSFlexGrid2", 1, 0);

        open(folder());
        dialog->answers.push_back(path);
        window->a5_Click();
        QVERIFY(messages->warnings.isEmpty());
        QCOMPARE(find<QLineEdit>("Text1")->text(), QString("Plug 7, Berea"));
        QCOMPARE(find<QComboBox>("wetpk")->currentText(), QString("Water-Oil Data"));
        QCOMPARE(find<QComboBox>("locpk")->currentText(), QString("All Locations"));
        QVERIFY(!shown("Command1") && !shown("Command2"));
        QVERIFY2(!shown("Label8"), "an opened set has no number");
        QVERIFY(shown("MSFlexGrid2"));
        QCOMPARE(grid("MSFlexGrid2", 1, 0), firstRow);
    }

    void aFileThatIsNotADataSetLeavesTheWindowAsItWas() {
        pickAll("Water-Oil Data");
        press("Command1");
        const QString row = grid("MSFlexGrid2", 1, 0);
        QFile bad(dir->filePath("bad.txt"));
        bad.open(QIODevice::WriteOnly);
        bad.write("7,\"title\"\r\n");
        bad.close();
        dialog->answers.push_back(bad.fileName());
        window->a5_Click();
        QCOMPARE(messages->warnings.size(), 1);
        QVERIFY2(messages->warnings[0].contains("bad.txt"), qPrintable(messages->warnings[0]));
        QCOMPARE(grid("MSFlexGrid2", 1, 0), row);
        QVERIFY(shown("Command1"));
        QCOMPARE(text("Label8"), QString("Data Set # 1"));
    }

    void aFailedSaveIsReported() {
        const QString path = dir->filePath("set.txt");
        QFile old(path);
        old.open(QIODevice::WriteOnly);
        old.write("old");
        old.close();
        failFileWriteStepForTesting(WriteStep::Rename, EIO);
        dialog->answers.push_back(path);
        window->a6_Click();
        QCOMPARE(messages->warnings.size(), 1);
        old.open(QIODevice::ReadOnly);
        QCOMPARE(old.readAll(), QByteArray("old"));
    }

    void aDamagedRecordIsReportedOnceAndTheSetsBeforeItBrowse() {
        std::string bytes = recordsOf(WO, {SetRecipe{}, SetRecipe{}});
        bytes += recordsOf(WO, {SetRecipe{}}).substr(0, 40); // a file that ends inside a record
        writeDataFile(folder(), WO, bytes);
        pickAll("Water-Oil Data");
        QCOMPARE(text("Label11"), QString(" 2"));
        const QString problem = window->statusBar()->currentMessage();
        QVERIFY2(problem.contains("OWBIN") && problem.contains("record 3"), qPrintable(problem));
        press("Command1");
        QCOMPARE(text("Label8"), QString("Data Set # 1"));
    }

    void printingLeavesTheToolbarOut() {
        pickAll("Water-Oil Data");
        press("Command1");
        window->a2_Click();
        QCOMPARE(printer->pages.size(), std::size_t{1});
        QCOMPARE(QColor(printer->pages[0].pixel(8, 8)),
                 window->centralWidget()->palette().color(QPalette::Window));
        QVERIFY(shown("Toolbar1") && !shown("Label10"));
    }

    void theDemoDatabasePrintsToACrispPdf() {
        open(DEMO_DIR);
        pickAll("Water-Oil Data");
        press("Command1");
        printer->present = false;
        const QString pdf = dir->filePath("page.pdf");
        pdfDialog->answers.push_back(pdf);
        window->a2_Click();
        const std::optional<QString> words = pdfText(pdf);
        QVERIFY(words && words->contains(text("Label10")) &&
                words->contains(grid("MSFlexGrid1", 1, 1)));
        const auto coarse = pdfImagesCoarserThan(pdf, 300);
        QVERIFY2(coarse && coarse->isEmpty(),
                 qPrintable(coarse.value_or(QStringList()).join(", ")));
    }

    void theDataFolderIsShownAndAFolderWithoutDataSaysSoOnce() {
        QCOMPARE(find<QLabel>("dataFolder")->text(), QDir::toNativeSeparators(dir->path()));
        QCOMPARE(messages->notes.size(), 0);

        QTemporaryDir empty;
        open(empty.path().toStdString());
        QTRY_COMPARE(messages->notes.size(), 1);
        QVERIFY(messages->notes[0].contains(QDir::toNativeSeparators(empty.path())));
        QVERIFY(messages->notes[0].contains("File / Open Data Folder..."));
        QVERIFY(messages->notes[0].contains("relperm db import"));
        pickAll("Gas-Oil Data");
        QCOMPARE(text("Label11"), QString(" 0"));
        QTest::qWait(20);
        QCOMPARE(messages->notes.size(), 1); // said once
        shoot("pellam-no-data.png");
        // The message as the platform's box shows it, for a look at it.
        QMessageBox box(QMessageBox::Information, window->windowTitle(), messages->notes[0],
                        QMessageBox::Ok, window.get());
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QVERIFY(box.grab().save(QString(SHOTS_DIR) + "/pellam-no-data-message.png"));
    }

    void openDataFolderRescansAndIsRemembered() {
        pickAll("Gas-Oil Data");
        QCOMPARE(text("Label11"), QString(" 2"));
        press("Command1");
        QTemporaryDir other;
        writeDataFile(other.path().toStdString(), GO,
                      recordsOf(GO, std::vector<SetRecipe>(5, SetRecipe{})));
        folderDialog->answers.push_back(other.path());
        trigger("openFolder");
        QCOMPARE(folderDialog->asked.at(0).mode, ui::FileDialog::Mode::Folder);
        QCOMPARE(find<QLabel>("dataFolder")->text(), QDir::toNativeSeparators(other.path()));
        QCOMPARE(settings->values.at(databaseui::dataFolderSetting), other.path());
        QCOMPARE(text("Label11"), QString(" 5"));
        QVERIFY(!shown("Label8") && !shown("MSFlexGrid2")); // no set of the old folder stays
        press("Command1");
        QCOMPARE(text("Label8"), QString("Data Set # 1"));
        QCOMPARE(messages->notes.size(), 0);

        folderDialog->answers.push_back({}); // cancelled: nothing changes
        trigger("openFolder");
        QCOMPARE(find<QLabel>("dataFolder")->text(), QDir::toNativeSeparators(other.path()));
    }

    // As the program starts the browser: the folder named, else the one remembered, else
    // the demo database; the settings shared from one start to the next.
    void startIn(StartFolders folders) {
        messages = std::make_shared<RecordingMessages>();
        folderDialog = std::make_shared<ScriptedFileDialog>("Choose a Data Folder");
        BrowserServices services = browserServices(dialog, messages);
        services.settings = settings;
        services.folderDialog = folderDialog;
        window = std::make_unique<PellamWindow>(
            databaseui::chooseStartFolder(std::move(folders), *settings), services);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTest::qWait(20); // the notes come once the window is up
    }

    std::optional<QString> remembered() { return settings->value(databaseui::dataFolderSetting); }

    void onlyAFolderWithDataIsRememberedAndOneGoneIsSaidOnce() {
        const QString demo = QDir(dir->path()).filePath("demo"), empty = dir->filePath("empty");
        QDir().mkpath(demo);
        QDir().mkpath(empty);
        writeDataFile(demo.toStdString(), GO, recordsOf(GO, {SetRecipe{}}));
        const StartFolders menu{
            std::nullopt, std::nullopt, empty.toStdString(), {demo.toStdString()}};
        auto named = [&](const QString& folder) {
            StartFolders folders = menu;
            folders.named = folder.toStdString();
            return folders;
        };
        const QString shownDemo =
            "Demo database: " + QDir::toNativeSeparators(QDir(demo).canonicalPath());

        // pellam MISSING: said to be missing, and not kept for the menu's start.
        const QString missing = dir->filePath("missing");
        startIn(named(missing));
        QCOMPARE(text("dataFolder"), QDir::toNativeSeparators(missing));
        QCOMPARE(messages->notes.size(), 1);
        QVERIFY2(messages->notes[0].contains(QDir::toNativeSeparators(missing) + " does not exist"),
                 qPrintable(messages->notes[0]));
        QVERIFY(!remembered());
        startIn(menu);
        QCOMPARE(text("dataFolder"), shownDemo);
        QCOMPARE(messages->notes.size(), 0);

        // pellam EMPTY: shown, said to hold nothing, not kept either.
        startIn(named(empty));
        QCOMPARE(messages->notes.size(), 1);
        QVERIFY(messages->notes[0].contains("holds none of the data files"));
        QVERIFY(!remembered());
        folderDialog->answers.push_back(empty);
        trigger("openFolder");
        QVERIFY(!remembered());

        // pellam FOLDER with data: kept, and the menu's start opens it without a word.
        startIn(named(dir->path()));
        QCOMPARE(remembered(), QDir(dir->path()).canonicalPath());
        startIn(menu);
        QCOMPARE(text("dataFolder"), QDir::toNativeSeparators(QDir(dir->path()).canonicalPath()));
        QCOMPARE(messages->notes.size(), 0);
        pickAll("Water-Oil Data");
        QCOMPARE(text("Label11"), QString(" 3"));

        // The remembered folder has gone since, or a folder remembered by an earlier version
        // holds nothing: the demo database is shown, called so, and said once.
        const QString gone = dir->filePath("gone");
        for (const QString& folder : {gone, empty}) {
            settings->setValue(databaseui::dataFolderSetting, folder);
            startIn(menu);
            QCOMPARE(text("dataFolder"), shownDemo);
            QCOMPARE(messages->notes.size(), 1);
            const QString& note = messages->notes[0];
            QVERIFY2(note.contains(QDir::toNativeSeparators(folder)) &&
                         note.contains(folder == gone ? "no longer exists"
                                                      : "no longer holds any of the data files") &&
                         note.contains("the demo database is shown instead"),
                     qPrintable(note));
            QVERIFY(!remembered());
            pickAll("Gas-Oil Data");
            QCOMPARE(text("Label11"), QString(" 1"));
            startIn(menu);
            QCOMPARE(text("dataFolder"), shownDemo);
            QCOMPARE(messages->notes.size(), 0); // once
        }
    }

    void anotherSystemShowsItsOwnCountAndStepsFromOne() {
        pickAll("Water-Oil Data");
        for (int i = 0; i < 3; ++i)
            press("Command1");
        QCOMPARE(text("Label8"), QString("Data Set # 3"));
        pick("wetpk", "Gas-Oil Data");
        QCOMPARE(text("Label11"), QString(" 2"));
        QVERIFY(!shown("Label8"));
        press("Command1");
        QCOMPARE(text("Label8"), QString("Data Set # 1"));
        QCOMPARE(grid("MSFlexGrid2", 0, 0), QString("Sg"));
    }

    void theShownSetLeavesAsImportTextAndSimulatorTables() {
        window->exportDataSet();
        QCOMPARE(messages->warnings.size(), 1); // nothing shown yet
        pickAll("Water-Oil Data");
        press("Command1");
        type("swcin", "20");
        type("sorin", "25");
        QVERIFY(shown("MSFlexGrid1"));

        dialog->answers.push_back(dir->filePath("set.csv"));
        trigger("exportSet");
        const QString csv = QString::fromUtf8(fileBytes(dir->filePath("set.csv")));
        QVERIFY2(csv.startsWith("# Water-Oil Data: "), qPrintable(csv));
        QVERIFY(csv.contains("\r\n\"set\",\"Water-Wet\",\"North America\","));
        QVERIFY(csv.contains("# Data as Input: Sw,krow,krw\r\n# .22,1,0\r\n"));
        QVERIFY(csv.contains("# Adjusted Data (Swc 20%, Sorw 25%): Sw,krow,krw\r\n# .2,1,0\r\n"));

        messages->answer = false; // the data as input, not the adjusted data
        dialog->answers.push_back(dir->filePath("set.inc"));
        trigger("simulatorTables");
        QCOMPARE(messages->questions.size(), 1);
        const QString inc = QString::fromUtf8(fileBytes(dir->filePath("set.inc")));
        QVERIFY2(inc.contains("-- Measured data set: Water-Oil Data, data set # 1\n"),
                 qPrintable(inc));
        QVERIFY(inc.contains("\nSWOF\n"));
        QVERIFY(
            inc.contains("\n   .22                 0                   1                   0\n"));
        QVERIFY(
            inc.contains("\n   1                   1                   0                   0\n/"));
    }

    // Whatever name the file dialog is given, a save never replaces the data files the window
    // reads: by their own names, through a link, or a data file not there yet.
    void noSaveReplacesTheDataFilesItReads() {
        pickAll("Water-Oil Data");
        press("Command1");
        QFile::link(dir->filePath("OWBIN"), dir->filePath("link.csv"));
        const QByteArray owbin = fileBytes(dir->filePath("OWBIN"));
        const QByteArray ogbin = fileBytes(dir->filePath("OGBIN"));
        messages->answer = false;
        const std::pair<const char*, const char*> saves[] = {{"exportSet", "OWBIN"},
                                                             {"simulatorTables", "link.csv"},
                                                             {"a6", "OGBIN"},
                                                             {"exportSet", "CGBIN"}};
        for (const auto& [action, name] : saves) {
            dialog->answers.push_back(dir->filePath(name));
            dialog->kinds.push_back("All files (*)"); // the name as typed
            trigger(action);
            QVERIFY2(!messages->warnings.isEmpty(), name);
            QVERIFY2(messages->warnings.last().contains("which is being read; writing there would "
                                                        "destroy it"),
                     qPrintable(messages->warnings.last()));
        }
        QCOMPARE(fileBytes(dir->filePath("OWBIN")), owbin);
        QCOMPARE(fileBytes(dir->filePath("OGBIN")), ogbin);
        QVERIFY(!QFile::exists(dir->filePath("CGBIN")));
        // Once the window goes, so does its hold on the folder.
        window.reset();
        QCOMPARE(writeFileAtomically(folder() / "OGBIN", "text"), std::nullopt);
    }

    void aQuoteInTheTitleIsToldOnSave() {
        pickAll("Water-Oil Data");
        press("Command1");
        type("Text1", "Core \"A\"");
        dialog->answers.push_back(dir->filePath("quoted.txt"));
        trigger("a6");
        QCOMPARE(messages->notes.size(), 1);
        QVERIFY(messages->notes[0].contains("apostrophes"));
        QVERIFY(QString::fromUtf8(fileBytes(dir->filePath("quoted.txt"))).contains("Core 'A'"));
    }

    void demoDatabaseScreenshots() {
        open(DEMO_DIR);
        pickAll("Water-Oil Data");
        press("Command1");
        type("swcin", "15");
        type("sorin", "30");
        QVERIFY(shown("MSFlexGrid1"));
        shoot("pellam-water-oil-adjusted.png");

        open(DEMO_DIR);
        pickAll("Gas-Condensate Data");
        press("Command1");
        QCOMPARE(text("Label6"), QString("Slc %"));
        QVERIFY2(descriptionTexts().at(0).startsWith("Slc ="),
                 qPrintable(descriptionTexts().join("|")));
        shoot("pellam-gas-condensate.png");
    }
};

QTEST_MAIN(PellamWindowTest)
#include "pellam_window_test.moc"
