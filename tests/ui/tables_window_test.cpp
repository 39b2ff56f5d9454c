// The tables window as an engineer uses it: a parameter table of three regions opened from
// either program's Tools menu, the regions listed and plotted one by one, the keyword family,
// the row step and a SCAL recommendation's t changing what the file holds, a bad row named
// and nothing written, and the file written being the one `relperm tables` writes with the
// same options. The fit window hands its parameters over with "Open in Tables...", and a
// workbook of several sheets offers them to choose from.
// Ahead of Qt, whose emit keyword would swallow the command line's emit().
#include "support/run_relperm.h"
#include "support/scene_texts.h"

#include "../database/records.h"
#include "analysis/ui/fitwindow.h"
#include "analysis/ui/tableswindow.h"
#include "calculator/ui/form1.h"
#include "database/ui/pellamwindow.h"
#include "satfunc/rows.h"
#include "satfunc/tablesplot.h"
#include "shell/tools.h"
#include "support/plot_lines.h"
#include "support/program_icons.h"
#include "support/quiet_offscreen.h"
#include "support/ui_standins.h"
#include "support/widget_driver.h"
#include "ui/plotview.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace relperm;
using namespace relperm::testing;
using relperm::analysisui::FitWindow;
using relperm::analysisui::TablesWindow;
using relperm::calculatorui::Form1;
using relperm::databaseui::PellamWindow;

namespace {

const char* threeRegions = "SATNUM,tag,swl,swcr,sorw,sorg,sgcr,nw,now,ng,nog,krwend,krgend,kroend\n"
                           "2,shale,0.3,0.35,0.25,0.2,0.1,3,3,2.5,2.5,0.4,0.7,0.8\n"
                           "1,sand,0.1,0.15,0.2,0.15,0.05,2,2.5,1.5,2,0.5,0.9,1\n"
                           "3,silt,0.2,0.2,0.2,0.2,0.05,2.5,2.5,2,2,0.45,0.8,0.9\n";

// Water-oil curves with a simple J capillary pressure, low, base and high.
const char* scalTable = "SATNUM,CASE,swl,sorw,nw,now,krwend,kroend,a,b,poro_ref,perm_ref,drho\n"
                        "1,low,0.1,0.3,3,3,0.3,0.8,5,-1.5,0.25,100,300\n"
                        "1,base,0.1,0.2,2,2.5,0.5,0.9,5,-1.5,0.25,100,300\n"
                        "1,high,0.1,0.1,1.5,2,0.7,1,5,-1.5,0.25,100,300\n";

QStringList listed(QListWidget* list) {
    QStringList out;
    for (int row = 0; row < list->count(); ++row)
        out << list->item(row)->text();
    return out;
}

// Where a curve starts on the plot: its first line's left end, in percent of saturation.
double curveStart(const Scene& scene, const char* curve) {
    const std::vector<SceneLine> lines = curveLines(scene, satfunc::tablesCurveColour(curve));
    return lines.empty() ? -1 : lines.front().x1;
}

// A click on the button's circle, where a radio button takes it however wide it is drawn.
void pickFamily(QWidget& tables, const char* name) {
    auto* button = child<QRadioButton>(tables, name);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

QStringList sheetsListed(QComboBox* sheets) {
    QStringList out;
    for (int i = 0; i < sheets->count(); ++i)
        out << sheets->itemText(i);
    return out;
}

QString menuText(QAction* action) {
    return action->text().remove('&');
}

} // namespace

class TablesWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<PellamWindow> browser;
    std::shared_ptr<ScriptedFileDialog> dialog;
    std::shared_ptr<RecordingMessages> messages;

    QString path(const QString& name) const { return dir->filePath(name); }

    QString writeTable(const QString& name, const char* text) {
        QFile file(path(name));
        file.open(QIODevice::WriteOnly);
        file.write(text);
        return path(name);
    }

    // The browser on a folder of one measured set, its tables window opened from Tools.
    TablesWindow* openFromBrowser() {
        dir = std::make_unique<QTemporaryDir>();
        writeDataFile(dir->path().toStdString(), WO, recordsOf(WO, {tenCoreyPoints()}));
        dialog = std::make_shared<ScriptedFileDialog>("Relative Permeability Database File "
                                                      "Selector");
        messages = std::make_shared<RecordingMessages>();
        browser = std::make_unique<PellamWindow>(dir->path().toStdString(),
                                                 browserServices(dialog, messages));
        shell::addBrowserTools(*browser);
        browser->show();
        child<QAction>(*browser, "tablesFromParameters")->trigger();
        auto* tables = browser->findChild<TablesWindow*>("tablesWindow");
        if (tables && !QTest::qWaitForWindowExposed(tables))
            return nullptr;
        return tables;
    }

    // The table opened with Open..., as the dialog answers it.
    TablesWindow* openTable(const char* name, const char* text) {
        TablesWindow* tables = openFromBrowser();
        if (!tables)
            return nullptr;
        dialog->answers = {writeTable(name, text)};
        QTest::mouseClick(child<QPushButton>(*tables, "openTable"), Qt::LeftButton);
        return tables;
    }

    QString finding(TablesWindow& tables) { return child<QLabel>(tables, "finding")->text(); }

    // What Write Include File writes to `name`.
    QByteArray written(TablesWindow& tables, const QString& name) {
        dialog->answers = {path(name)};
        QTest::mouseClick(child<QPushButton>(tables, "writeInclude"), Qt::LeftButton);
        return fileBytes(path(name));
    }

    // What `relperm tables` writes with `flags`, as the browser would sign it.
    QByteArray command(const QString& table, std::vector<std::string> flags) {
        flags.insert(flags.begin(), {"tables", table.toStdString()});
        const Outcome run = relperm::testing::relperm(flags);
        if (run.status != 0)
            qWarning("%s", run.err.c_str());
        return QByteArray::fromStdString(run.out).replace("written by relperm",
                                                          "written by pellam");
    }

  private slots:
    void initTestCase() {
        quietOffscreenWarnings();
        QDir().mkpath(SHOTS_DIR);
    }

    void theRegionsAreListedAndTheOneChosenIsPlotted() {
        TablesWindow* tables = openTable("three.csv", threeRegions);
        QVERIFY(tables);
        QCOMPARE(dialog->asked.back().mode, ui::FileDialog::Mode::Open);
        QCOMPARE(dialog->asked.back().filter, QString("Parameter tables (*.csv *.xlsx)"));
        QCOMPARE(tables->windowTitle(), QString("three.csv, SATNUM 1 - Tables from Parameters"));
        QCOMPARE(programOfIcon(tables->windowIcon()), QString("pellam"));
        auto* regions = child<QListWidget>(*tables, "regions");
        QCOMPARE(listed(regions),
                 (QStringList{"SATNUM 1 sand", "SATNUM 2 shale", "SATNUM 3 silt"}));
        QCOMPARE(regions->currentRow(), 0);

        // SATNUM 1: water from swl .1, gas from 0; all four curves, named by saturation.
        const Scene& kr = tables->krPlot()->scene();
        QCOMPARE(curveStart(kr, "krw"), 10.0);
        QCOMPARE(curveStart(kr, "krow"), 10.0);
        QCOMPARE(curveStart(kr, "krg"), 0.0);
        QVERIFY(!curveLines(kr, satfunc::tablesCurveColour("krog")).empty());
        for (const char* name : {"Sw:", "Sg:", "krw", "krow", "krg", "krog", "Sw, Sg"})
            QVERIFY2(texts(kr).contains(name), name);
        QVERIFY(texts(tables->pcPlot()->scene()).contains("Zero capillary pressure throughout"));
        QVERIFY(!child<QCheckBox>(*tables->pcPlot(), "logAxis")->isVisible());
        QVERIFY(tables->grab().save(QString(SHOTS_DIR) + "/tables-three-regions.png"));

        // SATNUM 2 starts at its own swl, and its gas table ends at 1 - swl.
        regions->setCurrentRow(1);
        QCOMPARE(tables->windowTitle(), QString("three.csv, SATNUM 2 - Tables from Parameters"));
        const Scene& shale = tables->krPlot()->scene();
        QCOMPARE(curveStart(shale, "krw"), 30.0);
        QVERIFY(std::abs(curveLines(shale, satfunc::tablesCurveColour("krg")).back().x2 - 70) <
                1e-9);
        child<QCheckBox>(*tables->krPlot(), "logAxis")->setChecked(true);
        QVERIFY(texts(tables->krPlot()->scene()).contains(".0001"));
        QVERIFY(tables->grab().save(QString(SHOTS_DIR) + "/tables-shale-log.png"));

        // Asked again, the browser raises the same window.
        child<QAction>(*browser, "tablesFromParameters")->trigger();
        QCOMPARE(browser->findChildren<TablesWindow*>().size(), 1);
    }

    void theFamilyStepAndSlgofChangeWhatIsWritten() {
        TablesWindow* tables = openTable("three.csv", threeRegions);
        QVERIFY(tables);
        QCOMPARE(finding(*tables), QString("The tables pass the simulator checks. The file holds "
                                           "SWOF and SGOF, each 3 tables (SATNUM 1 to 3) of 43 "
                                           "to 91 rows."));
        QVERIFY(child<QPushButton>(*tables, "writeInclude")->isEnabled());

        pickFamily(*tables, "family2");
        QVERIFY2(finding(*tables).contains("SWFN, SGFN and SOF3, each 3 tables"),
                 qPrintable(finding(*tables)));
        QVERIFY(!child<QCheckBox>(*tables, "slgof")->isEnabled());
        QVERIFY(tables->preview().file->find("\nSOF3\n") != std::string::npos);
        QVERIFY(tables->preview().file->find("\nSWOF\n") == std::string::npos);

        pickFamily(*tables, "family1");
        child<QCheckBox>(*tables, "slgof")->setChecked(true);
        QVERIFY2(finding(*tables).contains("SWOF and SLGOF"), qPrintable(finding(*tables)));

        // A coarser step: fewer rows, the end points still on rows of their own.
        child<QCheckBox>(*tables, "deltaSGiven")->setChecked(true);
        child<QDoubleSpinBox>(*tables, "deltaS")->setValue(0.1);
        QVERIFY2(finding(*tables).endsWith("of 6 to 11 rows."), qPrintable(finding(*tables)));
    }

    void theFileIsTheOneRelpermTablesWrites() {
        TablesWindow* tables = openTable("three.csv", threeRegions);
        QVERIFY(tables);
        const QString table = path("three.csv");

        // The name offered is the table's, as an include file.
        dialog->answers = {""};
        QTest::mouseClick(child<QPushButton>(*tables, "writeInclude"), Qt::LeftButton);
        QCOMPARE(dialog->asked.back().mode, ui::FileDialog::Mode::Save);
        QCOMPARE(dialog->asked.back().prefilled, path("three.inc"));
        QVERIFY(!QFile::exists(path("three.inc")));

        QCOMPARE(written(*tables, "one.inc"), command(table, {}));
        pickFamily(*tables, "family2");
        child<QCheckBox>(*tables, "deltaSGiven")->setChecked(true);
        child<QDoubleSpinBox>(*tables, "deltaS")->setValue(0.05);
        QCOMPARE(written(*tables, "two.inc"),
                 command(table, {"--family", "2", "--delta-s", "0.05"}));
        pickFamily(*tables, "family1");
        child<QCheckBox>(*tables, "slgof")->setChecked(true);
        QCOMPARE(written(*tables, "slgof.inc"),
                 command(table, {"--family", "1", "--slgof", "--delta-s", "0.05"}));
        QVERIFY(messages->warnings.isEmpty());

        // Never over the table itself, named with every file listed: it is refused and stays
        // as it was.
        dialog->answers = {table};
        dialog->kinds = {"All files (*)"};
        QTest::mouseClick(child<QPushButton>(*tables, "writeInclude"), Qt::LeftButton);
        QCOMPARE(messages->warnings.size(), 1);
        QVERIFY2(messages->warnings[0].contains("the parameter table"),
                 qPrintable(messages->warnings[0]));
        QCOMPARE(fileBytes(table), QByteArray(threeRegions));
    }

    void aScalRecommendationIsWrittenWhereTheEngineerChose() {
        TablesWindow* tables = openTable("scal.csv", scalTable);
        QVERIFY(tables);
        QCOMPARE(listed(child<QListWidget>(*tables, "regions")), QStringList{"SATNUM 1"});
        QVERIFY(child<QDoubleSpinBox>(*tables, "intParamWo")->isEnabled());
        QVERIFY(!child<QDoubleSpinBox>(*tables, "intParamGo")->isEnabled());
        // Water-oil cases alone: SWOF alone.
        QVERIFY2(finding(*tables).contains("holds SWOF, one table (SATNUM 1)"),
                 qPrintable(finding(*tables)));
        const QByteArray base = written(*tables, "base.inc");
        QVERIFY(base.contains("\nSWOF\n"));
        QCOMPARE(base, command(path("scal.csv"), {"--int-param-wo", "0"}));
        tables->setIntParamWo(-0.5);
        const QByteArray between = written(*tables, "between.inc");
        QVERIFY(between != base);
        QCOMPARE(between, command(path("scal.csv"), {"--int-param-wo", "-0.5"}));
        // The Pc of the simple J is drawn on an axis of its own, in bar.
        const Scene& pc = tables->pcPlot()->scene();
        QVERIFY(!curveLines(pc, satfunc::tablesCurveColour("Pcow")).empty());
        QVERIFY(texts(pc).contains("Pc, bar"));
        QVERIFY(!texts(pc).contains("Zero capillary pressure throughout"));
        QVERIFY(tables->grab().save(QString(SHOTS_DIR) + "/tables-scal-pc.png"));

        // A table without cases has no t to choose.
        dialog->answers = {writeTable("three.csv", threeRegions)};
        QTest::mouseClick(child<QPushButton>(*tables, "openTable"), Qt::LeftButton);
        QVERIFY(!child<QDoubleSpinBox>(*tables, "intParamWo")->isEnabled());
        QVERIFY(child<QPushButton>(*tables, "writeInclude")->isEnabled());
    }

    void aBadRowIsNamedAndNothingCanBeWritten() {
        // SATNUM 2 leaves no oil to move: swl + sorw above 1.
        TablesWindow* tables = openTable("bad.csv", "SATNUM,tag,swl,sorw,nw,now\n"
                                                    "1,sand,0.1,0.2,2,2\n"
                                                    "2,shale,0.7,0.5,2,2\n");
        QVERIFY(tables);
        QCOMPARE(listed(child<QListWidget>(*tables, "regions")),
                 (QStringList{"SATNUM 1 sand", "SATNUM 2 shale"}));
        const QString said = finding(*tables);
        QVERIFY2(said.startsWith(path("bad.csv") + " row 3, column "), qPrintable(said));
        QVERIFY(!child<QPushButton>(*tables, "writeInclude")->isEnabled());
        QVERIFY(!tables->preview().file);
        QVERIFY(tables->grab().save(QString(SHOTS_DIR) + "/tables-bad-row.png"));

        // A table that cannot be read at all is refused, and the window keeps what it showed.
        dialog->answers = {writeTable("empty.csv", "")};
        QTest::mouseClick(child<QPushButton>(*tables, "openTable"), Qt::LeftButton);
        QCOMPARE(messages->warnings.size(), 1);
        QCOMPARE(tables->windowTitle(), QString("bad.csv, SATNUM 1 - Tables from Parameters"));
        QCOMPARE(finding(*tables), said);

        // Two-phase tables have no family 2: the finding says so, and nothing is written.
        dialog->answers = {writeTable("wo.csv", "SATNUM,swl,sorw,nw,now\n1,0.1,0.2,2,2\n")};
        QTest::mouseClick(child<QPushButton>(*tables, "openTable"), Qt::LeftButton);
        QVERIFY(child<QPushButton>(*tables, "writeInclude")->isEnabled());
        pickFamily(*tables, "family2");
        QVERIFY2(finding(*tables).contains("written as SWOF alone"), qPrintable(finding(*tables)));
        QVERIFY(!child<QPushButton>(*tables, "writeInclude")->isEnabled());
        // Its curves are still there to look at.
        QCOMPARE(curveStart(tables->krPlot()->scene(), "krw"), 10.0);
    }

    void aWorkbookOfSeveralSheetsOffersThem() {
        TablesWindow* tables = openFromBrowser();
        QVERIFY(tables);
        auto* sheet = child<QComboBox>(*tables, "sheet");
        QVERIFY(!sheet->isVisible());
        const QString book = path("two-sheets.xlsx");
        QVERIFY(QFile::copy(QString(RELPERM_SATFUNC_DATA) + "/two-sheets.xlsx", book));
        dialog->answers = {book};
        QTest::mouseClick(child<QPushButton>(*tables, "openTable"), Qt::LeftButton);

        // The first sheet is shown, and both are offered.
        QVERIFY(sheet->isVisible());
        QCOMPARE(sheetsListed(sheet), (QStringList{"Sheet1", "SCAL recommendation"}));
        QCOMPARE(sheet->currentText(), QString("Sheet1"));
        QCOMPARE(tables->windowTitle(),
                 QString("two-sheets.xlsx, Sheet1, SATNUM 1 - Tables from Parameters"));
        auto* regions = child<QListWidget>(*tables, "regions");
        QCOMPARE(regions->count(), 2);
        QVERIFY(!tables->table()->scal);
        QVERIFY(!child<QDoubleSpinBox>(*tables, "intParamWo")->isEnabled());
        QCOMPARE(written(*tables, "first.inc"), command(book, {}));
        // The list stands above the regions.
        QVERIFY(sheet->mapTo(tables, QPoint(0, 0)).y() < regions->mapTo(tables, QPoint(0, 0)).y());
        QVERIFY(tables->grab().save(QString(SHOTS_DIR) + "/tables-workbook-first-sheet.png"));

        // Chosen as the engineer chooses it, the other sheet's table replaces the first.
        sheet->setFocus();
        QTest::keyClick(sheet, Qt::Key_Down);
        QCOMPARE(sheet->currentText(), QString("SCAL recommendation"));
        QCOMPARE(
            tables->windowTitle(),
            QString("two-sheets.xlsx, SCAL recommendation, SATNUM 1 - Tables from Parameters"));
        QVERIFY(tables->table()->scal);
        QCOMPARE(tables->table()->rows.size(), std::size_t{6});
        QCOMPARE(regions->count(), 2);
        QVERIFY(child<QDoubleSpinBox>(*tables, "intParamWo")->isEnabled());
        tables->setIntParamWo(0.5);
        QCOMPARE(written(*tables, "scal.inc"),
                 command(book, {"--sheet", "SCAL recommendation", "--int-param-wo", "0.5"}));
        QVERIFY(messages->warnings.isEmpty());
        QVERIFY(tables->grab().save(QString(SHOTS_DIR) + "/tables-workbook-scal-sheet.png"));

        QTest::keyClick(sheet, Qt::Key_Up);
        QVERIFY(!tables->table()->scal);
        QCOMPARE(tables->windowTitle(),
                 QString("two-sheets.xlsx, Sheet1, SATNUM 1 - Tables from Parameters"));

        // A sheet named in another case is the one the reader finds, and the list says so.
        QVERIFY(tables->openFile(book, "scal RECOMMENDATION"));
        QCOMPARE(sheet->currentText(), QString("SCAL recommendation"));
        QVERIFY(tables->table()->scal);

        // A workbook replaced by something unreadable since it was opened: the choice is
        // refused, and the window and its list stay on the sheet shown.
        writeTable("two-sheets.xlsx", threeRegions);
        QTest::keyClick(sheet, Qt::Key_Up);
        QCOMPARE(messages->warnings.size(), 1);
        QVERIFY2(messages->warnings[0].contains("is not an .xlsx workbook"),
                 qPrintable(messages->warnings[0]));
        QCOMPARE(sheet->currentText(), QString("SCAL recommendation"));
        QVERIFY(tables->table()->scal);
        QCOMPARE(
            tables->windowTitle(),
            QString("two-sheets.xlsx, SCAL recommendation, SATNUM 1 - Tables from Parameters"));

        // A CSV file has no sheets to list.
        dialog->answers = {writeTable("three.csv", threeRegions)};
        QTest::mouseClick(child<QPushButton>(*tables, "openTable"), Qt::LeftButton);
        QVERIFY(!sheet->isVisible());
        QCOMPARE(tables->windowTitle(), QString("three.csv, SATNUM 1 - Tables from Parameters"));
    }

    void bothProgramsOpenItFromTheirToolsMenu() {
        QVERIFY(openFromBrowser());
        QCOMPARE(menuText(child<QAction>(*browser, "tablesFromParameters")),
                 QString("Tables from Parameters..."));

        auto calculatorMessages = std::make_shared<RecordingMessages>();
        Form1 calculator(calculatorui::WindowServices{{}, {}, {}, calculatorMessages});
        shell::addCalculatorTools(calculator);
        calculator.show();
        auto* tools = child<QMenu>(calculator, "tools");
        QCOMPARE(tools->title(), QString("&Tools"));
        // After the calculator's own menus and its View.
        QCOMPARE(calculator.menuBar()->actions().back(), tools->menuAction());
        auto* item = child<QAction>(calculator, "tablesFromParameters");
        QCOMPARE(menuText(item), QString("Tables from Parameters..."));
        item->trigger();
        auto* tables = calculator.findChild<TablesWindow*>("tablesWindow");
        QVERIFY(tables);
        QVERIFY(QTest::qWaitForWindowExposed(tables));
        QCOMPARE(programOfIcon(tables->windowIcon()), QString("vomar"));
        QCOMPARE(tables->windowTitle(), QString("Tables from Parameters"));
        QVERIFY(!child<QPushButton>(*tables, "writeInclude")->isEnabled());
        QVERIFY(tables->grab().save(QString(SHOTS_DIR) + "/tables-empty-vomar.png"));
    }

    void theFitWindowCarriesItsParameters() {
        QVERIFY(openFromBrowser());
        pickEntry(*browser, "wetpk", "Water-Oil Data");
        pickEntry(*browser, "wettpk", "All Wettabilities");
        pickEntry(*browser, "rockpk", "All Formations");
        pickEntry(*browser, "locpk", "All Locations");
        pickEntry(*browser, "methpk", "All Methods");
        QTest::mouseClick(child<QPushButton>(*browser, "Command1"), Qt::LeftButton);
        child<QAction>(*browser, "fitCorey")->trigger();
        auto* fit = browser->findChild<FitWindow*>("fitCoreyWindow");
        QVERIFY(fit && fit->fit());

        QTest::mouseClick(child<QPushButton>(*fit, "openInTables"), Qt::LeftButton);
        TablesWindow* tables = nullptr;
        for (TablesWindow* w : browser->findChildren<TablesWindow*>())
            if (w->windowTitle().contains("fit"))
                tables = w;
        QVERIFY(tables);
        QCOMPARE(tables->windowTitle(),
                 QString("Corey fit of Water-Oil Data, data set # 1 - Tables from Parameters"));
        QCOMPARE(listed(child<QListWidget>(*tables, "regions")), QStringList{"SATNUM 1"});
        QVERIFY2(tables->preview().file, qPrintable(finding(*tables)));
        // The fitted end points and end kr: the water curve from swl .2 to krwend at 1 - sorw.
        const satfunc::WaterOilTable& water = *tables->preview().regions.at(0).water;
        QVERIFY(std::abs(water.swl - fit->fit()->ends.swl) < 1e-9);
        QVERIFY(std::abs(water.sorw - fit->fit()->ends.sorw) < 1e-9);
        const std::size_t end = satfunc::nearest(water.sw, 1 - water.sorw);
        QVERIFY(std::abs(water.krw[end] - fit->fit()->rising.end) < 1e-6);
        // Closing the fit window leaves the tables open.
        fit->close();
        QCoreApplication::processEvents();
        QVERIFY(browser->findChildren<TablesWindow*>().contains(tables));
        QVERIFY(tables->grab().save(QString(SHOTS_DIR) + "/tables-from-fit.png"));
    }
};

QTEST_MAIN(TablesWindowTest)
#include "tables_window_test.moc"
