// A SCAL recommendation from every set the browser's selection matches, opened from the
// Tools menu as a user opens it: on sets made from Corey curves whose water exponent runs
// from 1.5 to 3.5 the window shows the median as the base case with low and high on either
// side, draws the case at the slider's t, copies the cases, writes the case at t for a
// simulator, and lists the set that could not be fitted and those fitted worse than the
// largest rms typed; a case scaled to leave something to move says so. The sets are fitted
// off the window's thread: over a large file the window shows how far the read has come,
// Cancel stops it, a second request overtakes the first, and the window closes while it
// works.
// "Open in Tables..." hands the cases to the tables window at the slider's t.
// Ahead of Qt, whose emit keyword would swallow the command line's emit().
#include "support/run_relperm.h"
#include "support/scene_texts.h"

#include "../database/records.h"
#include "analysis/fitexport.h"
#include "analysis/recommendplot.h"
#include "analysis/ui/recommendwindow.h"
#include "analysis/ui/tableswindow.h"
#include "common/filewrite.h"
#include "database/ui/pellamwindow.h"
#include "shell/tools.h"
#include "support/plot_legend.h"
#include "support/plot_lines.h"
#include "support/program_icons.h"
#include "support/quiet_offscreen.h"
#include "support/ui_standins.h"
#include "support/widget_driver.h"
#include "ui/plotview.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

#include <cerrno>
#include <cmath>

using namespace relperm;
using namespace relperm::testing;
using relperm::analysisui::RecommendWindow;
using relperm::analysisui::TablesWindow;
using relperm::databaseui::PellamWindow;

namespace {

// Ten points on krw = .4 S^nw, krow = .9 (1 - S)^3.
SetRecipe coreySet(double nw) {
    SetRecipe made;
    made.points.clear();
    for (int i = 0; i < 10; ++i) {
        const double s = i / 9.0;
        made.points.push_back({s, 0.4 * std::pow(s, nw), 0.9 * std::pow(1 - s, 3)});
    }
    return made;
}

// 21 sets with nw from 1.5 to 3.5 by .1, whose median is 2.5, then one set of a single
// point, too few for any curve.
std::vector<SetRecipe> spreadOfSets() {
    std::vector<SetRecipe> sets;
    for (int i = 0; i <= 20; ++i)
        sets.push_back(coreySet(1.5 + 0.1 * i));
    SetRecipe single;
    single.points = {{0.5, 0.1, 0.3}};
    sets.push_back(single);
    return sets;
}

// Sets enough that LET fits of them all take many seconds, longer than any wait below.
std::vector<SetRecipe> manySets() {
    std::vector<SetRecipe> sets;
    for (int i = 0; i < 40000; ++i)
        sets.push_back(coreySet(1.5 + 0.1 * (i % 21)));
    return sets;
}

// No run of the pool still working: what a cancelled or abandoned run comes to at its
// next set.
bool poolIdle() {
    return QThreadPool::globalInstance()->activeThreadCount() == 0;
}

// An include file after its first line, which names the program and the table's file, and
// so differs between the window and the command line; empty without a SWOF table.
QString afterFirstLine(const std::string& file) {
    const QString text = QString::fromStdString(file);
    return text.contains("\nSWOF\n") ? text.section('\n', 1) : QString();
}

const FittedSet& caseOf(const ScalRecommendation& rec, satfunc::ScalCase which) {
    return which == satfunc::ScalCase::Low    ? rec.low
           : which == satfunc::ScalCase::Base ? rec.base
                                              : rec.high;
}

} // namespace

class RecommendWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<PellamWindow> window;
    std::shared_ptr<ScriptedFileDialog> dialog;
    std::shared_ptr<RecordingMessages> messages;

    QString path(const QString& name) const { return dir->filePath(name); }

    void open(const std::filesystem::path& folder) {
        dialog =
            std::make_shared<ScriptedFileDialog>("Relative Permeability Database File Selector");
        messages = std::make_shared<RecordingMessages>();
        window = std::make_unique<PellamWindow>(folder, browserServices(dialog, messages));
        shell::addBrowserTools(*window);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void openSets(const std::vector<SetRecipe>& sets) {
        dir = std::make_unique<QTemporaryDir>();
        writeDataFile(dir->path().toStdString(), WO, recordsOf(WO, sets));
        open(dir->path().toStdString());
    }
    void openSpread() { openSets(spreadOfSets()); }

    void pickAllWaterOil() {
        pickEntry(*window, "wetpk", "Water-Oil Data");
        pickEntry(*window, "wettpk", "All Wettabilities");
        pickEntry(*window, "rockpk", "All Formations");
        pickEntry(*window, "locpk", "All Locations");
        pickEntry(*window, "methpk", "All Methods");
    }

    // The window as the Tools menu leaves it: its run started, nothing of it shown yet,
    // since no event has been handled since.
    RecommendWindow* startRecommendation() {
        child<QAction>(*window, "scalRecommendation")->trigger();
        return window->findChild<RecommendWindow*>("recommendWindow");
    }

    // The window once its run's outcome is shown.
    RecommendWindow* openRecommendation() {
        RecommendWindow* shown = startRecommendation();
        if (!shown || !QTest::qWaitForWindowExposed(shown) ||
            !QTest::qWaitFor([shown] { return !shown->working(); }, 60000))
            return nullptr;
        // The layout the outcome asked for, as the next turn of the event loop makes it.
        QCoreApplication::processEvents();
        return shown;
    }

    // Each parameter's row as the table shows it: low, base, high.
    static QMap<QString, QStringList> parameterTable(RecommendWindow& shown) {
        auto* table = child<QTableWidget>(shown, "parameters");
        QMap<QString, QStringList> rows;
        for (int row = 0; row < table->rowCount(); ++row)
            rows[table->item(row, 0)->text()] = {table->item(row, 1)->text(),
                                                 table->item(row, 2)->text(),
                                                 table->item(row, 3)->text()};
        return rows;
    }

  private slots:
    void initTestCase() { quietOffscreenWarnings(); }

    void theCasesComeFromEveryMatchingSetAndTheOneTooSmallIsListed() {
        openSpread();
        pickAllWaterOil();
        RecommendWindow* shown = openRecommendation();
        QVERIFY(shown);
        QCOMPARE(shown->windowTitle(),
                 QString("Water-Oil Data, 22 data sets - SCAL Recommendation"));
        QCOMPARE(programOfIcon(shown->windowIcon()), QString("pellam"));
        QVERIFY2(child<QLabel>(*shown, "recommendHeading")->text().startsWith("Water-Oil Data: "),
                 qPrintable(child<QLabel>(*shown, "recommendHeading")->text()));

        const QMap<QString, QStringList> table = parameterTable(*shown);
        QCOMPARE(table.keys(),
                 (QStringList{"kroend", "krwend", "now", "nw", "sorw", "swcr", "swl"}));
        QCOMPARE(child<QTableWidget>(*shown, "parameters")->horizontalHeaderItem(2)->text(),
                 QString("base"));
        const QStringList nw = table["nw"];
        QVERIFY2(std::abs(nw[1].toDouble() - 2.5) < 0.05, qPrintable(nw.join(" ")));
        QVERIFY2(nw[0].toDouble() < nw[1].toDouble() - 0.5 &&
                     nw[2].toDouble() > nw[1].toDouble() + 0.5,
                 qPrintable(nw.join(" ")));
        // Every set was made with the same oil curve: its three cases agree.
        QCOMPARE(table["now"][0], table["now"][2]);
        QVERIFY(std::abs(table["now"][1].toDouble() - 3) < 0.03);
        QVERIFY(child<QLabel>(*shown, "misfit")->text().contains("rms"));

        QCOMPARE(child<QLabel>(*shown, "fitCount")->text(),
                 QString("21 of 22 data sets fitted; 1 left out:"));
        auto* leftOut = child<QListWidget>(*shown, "leftOut");
        QVERIFY(leftOut->isVisible());
        QCOMPARE(leftOut->count(), 1);
        QVERIFY2(leftOut->item(0)->text().startsWith("Data set # 22: The data set has 1 point"),
                 qPrintable(leftOut->item(0)->text()));

        // The plot: both fitted curves of each of the 21 sets in grey, the three cases over
        // them, named in the legend, the base case as the case at t = 0.
        const Scene& scene = shown->plot()->scene();
        int greyCurves = 0;
        for (const SceneLine& line : curveLines(scene, fittedSetColour))
            greyCurves += line.x1 == 0 ? 1 : 0;
        QCOMPARE(greyCurves, 42);
        for (ScalCase which : {ScalCase::Low, ScalCase::High})
            QVERIFY(!curveLines(scene, scalCaseColour(which)).empty());
        for (const char* name : {"fits", "low", "base (t = 0.00)", "high", "Sw norm"})
            QVERIFY2(texts(scene).contains(name), name);
        QCOMPARE(child<QLabel>(*shown, "tValue")->text(), QString("t = 0.00"));
        child<QCheckBox>(*shown, "logAxis")->setChecked(true);
        QDir().mkpath(SHOTS_DIR);
        QVERIFY(shown->grab().save(QString(SHOTS_DIR) + "/pellam-scal-left-out.png"));
    }

    void aLongListOfSetsLeftOutEndsWithHowManyMore() {
        std::vector<SetRecipe> sets = spreadOfSets();
        sets.insert(sets.end(), 600, sets.back());
        openSets(sets);
        pickAllWaterOil();
        RecommendWindow* shown = openRecommendation();
        QVERIFY(shown);
        QCOMPARE(shown->recommendation()->leftOut.size(), std::size_t{601});
        QCOMPARE(child<QLabel>(*shown, "fitCount")->text(),
                 QString("21 of 622 data sets fitted; 601 left out:"));
        auto* leftOut = child<QListWidget>(*shown, "leftOut");
        QCOMPARE(leftOut->count(), 501);
        QCOMPARE(leftOut->item(499)->text().left(17), QString("Data set # 521: T"));
        QCOMPARE(leftOut->item(500)->text(),
                 QString("... and 101 more (relperm recommend lists every one)"));
    }

    void poorFitsAreLeftOutAboveTheMaxRmsTypedAndTheWeightingIsTheUsers() {
        // The spread and two sets scattered by .04 about their curves.
        std::vector<SetRecipe> sets = spreadOfSets();
        for (double nw : {2.0, 3.0}) {
            SetRecipe scattered = coreySet(nw);
            for (std::size_t k = 0; k < scattered.points.size(); ++k)
                scattered.points[k][2] += k % 2 ? 0.04 : -0.04;
            sets.push_back(scattered);
        }
        openSets(sets);
        pickAllWaterOil();
        RecommendWindow* shown = openRecommendation();
        QVERIFY(shown);
        auto* count = child<QLabel>(*shown, "fitCount");
        QCOMPARE(count->text(), QString("23 of 24 data sets fitted; 1 left out:"));
        auto* maxRms = child<QDoubleSpinBox>(*shown, "maxRms");
        QCOMPARE(maxRms->text(), QString("none"));

        maxRms->setFocus();
        maxRms->selectAll();
        QTest::keyClicks(maxRms, "0.01");
        QVERIFY2(!shown->working(), "no fit of every set before the value is entered");
        QTest::keyClick(maxRms, Qt::Key_Return);
        QVERIFY(shown->working());
        QTRY_VERIFY(!shown->working());
        QCoreApplication::processEvents();
        QCOMPARE(shown->recommendation()->fits.size(), std::size_t{21});
        QCOMPARE(count->text(),
                 QString("21 of 24 data sets used; 3 left out, 2 of them for an rms above .01:"));
        auto* leftOut = child<QListWidget>(*shown, "leftOut");
        QCOMPARE(leftOut->count(), 3);
        for (int row : {1, 2})
            QVERIFY2(leftOut->item(row)->text().startsWith(
                         QString("Data set # %1: The fit's rms .0").arg(22 + row)),
                     qPrintable(leftOut->item(row)->text()));
        QDir().mkpath(SHOTS_DIR);
        QVERIFY(shown->grab().save(QString(SHOTS_DIR) + "/pellam-scal-max-rms.png"));

        // Fitted to log kr: the sets are fitted again, and the file written says how.
        auto* weight = child<QComboBox>(*shown, "weight");
        QCOMPARE(weight->currentText(), QString("kr"));
        weight->setCurrentIndex(weight->findText("log kr"));
        QVERIFY(shown->working());
        QTRY_VERIFY(!shown->working());
        dialog->answers = {path("log.inc")};
        QTest::mouseClick(child<QPushButton>(*shown, "writeTables"), Qt::LeftButton);
        const QString file = QString::fromUtf8(fileBytes(path("log.inc")));
        QVERIFY2(file.contains("\n-- Each set fitted to log10 kr (kr below 1e-4 as 1e-4).\n"),
                 qPrintable(file.left(800)));
    }

    void aCaseThatWouldLeaveNoMovableOilIsScaledAndSaysSo() {
        // Two rocks, swl .5 with sorw .1 and swl .1 with sorw .5: low takes .5 of each.
        std::vector<SetRecipe> sets;
        for (int k = 0; k < 10; ++k) {
            SetRecipe made = coreySet(2.5);
            made.swc = k % 2 ? 0.1 : 0.5;
            made.sorw = k % 2 ? 0.5 : 0.1;
            sets.push_back(made);
        }
        openSets(sets);
        pickAllWaterOil();
        RecommendWindow* shown = openRecommendation();
        QVERIFY(shown);
        auto* scaled = child<QLabel>(*shown, "scaledCases");
        QVERIFY(scaled->isVisible());
        QCOMPARE(
            scaled->text(),
            QString("The low case's end points swl .5, sorw .5 leave no movable saturation, "
                    "less than any fitted set leaves (.4 at the least); they are scaled by .6 to "
                    "swl .3, sorw .3."));
        QCOMPARE(parameterTable(*shown)["sorw"], (QStringList{".3", ".3", ".1"}));
        QDir().mkpath(SHOTS_DIR);
        QVERIFY(shown->grab().save(QString(SHOTS_DIR) + "/pellam-scal-scaled.png"));

        child<QSlider>(*shown, "t")->setValue(-100);
        dialog->answers = {path("low.inc")};
        QTest::mouseClick(child<QPushButton>(*shown, "writeTables"), Qt::LeftButton);
        QVERIFY2(messages->warnings.isEmpty(), qPrintable(messages->warnings.join("\n")));
        const QString low = QString::fromUtf8(fileBytes(path("low.inc")));
        QVERIFY(low.contains("\n-- The low case's end points swl .5, sorw .5 leave no movable"));
        QVERIFY(low.contains("\nSWOF\n"));

        // Nothing scaled, nothing said.
        openSpread();
        pickAllWaterOil();
        shown = openRecommendation();
        QVERIFY(shown);
        QVERIFY(!child<QLabel>(*shown, "scaledCases")->isVisible());
    }

    // The case at t is drawn dashed, as one stroke per curve, under the three cases so they
    // stay in sight where it crosses them; at -1, 0 and 1 it is that case, which the legend
    // names with t and which keeps its own colour.
    void theSliderDrawsTheCaseAtT() {
        openSpread();
        pickAllWaterOil();
        RecommendWindow* shown = openRecommendation();
        QVERIFY(shown);
        auto* slider = child<QSlider>(*shown, "t");
        QCOMPARE(slider->maximum() - slider->minimum(), 200);

        const std::pair<int, QString> onCases[] = {{slider->minimum(), "low (t = -1.00)"},
                                                   {0, "base (t = 0.00)"},
                                                   {slider->maximum(), "high (t = 1.00)"}};
        for (const auto& [value, name] : onCases) {
            slider->setValue(value);
            const Scene& on = shown->plot()->scene();
            QVERIFY2(texts(on).contains(name), qPrintable(texts(on).join('|')));
            QVERIFY(curvePaths(on, scalTColour).empty());
            QCOMPARE(curvePaths(on, scalCaseColour(ScalCase::Base)).size(), std::size_t{2});
        }
        slider->setValue(slider->minimum());
        QCOMPARE(child<QLabel>(*shown, "tValue")->text(), QString("t = -1.00"));
        QCOMPARE(shown->t(), -1.0);

        slider->setValue(slider->maximum() / 2);
        QCOMPARE(child<QLabel>(*shown, "tValue")->text(), QString("t = 0.50"));
        const Scene& half = shown->plot()->scene();
        QVERIFY(texts(half).contains("t = 0.50"));
        const std::vector<ScenePath> atT = curvePaths(half, scalTColour);
        QCOMPARE(atT.size(), std::size_t{2});
        for (const ScenePath& path : atT)
            QCOMPARE(path.style, LineStyle::Dashed);
        const std::vector<ScenePath> high = curvePaths(half, scalCaseColour(ScalCase::High));
        bool apart = false;
        for (std::size_t curve : {0, 1})
            for (std::size_t i = 0; i < atT[curve].points.size(); ++i)
                apart |= std::abs(atT[curve].points[i].y - high[curve].points[i].y) > 0.5;
        QVERIFY(apart);
        // Painted before every case, after the fits.
        std::vector<Rgb> painted;
        for (const ScenePath& path : half.all<ScenePath>())
            if (painted.empty() || !(painted.back() == path.colour))
                painted.push_back(path.colour);
        QCOMPARE(painted.size(), std::size_t{5});
        QVERIFY(painted[0] == fittedSetColour && painted[1] == scalTColour);

        // On the logarithmic axis every curve stays within the frame.
        child<QCheckBox>(*shown, "logAxis")->setChecked(true);
        const Scene& log = shown->plot()->scene();
        QVERIFY(texts(log).contains(".0001"));
        QVERIFY(curvesInsideFrame(log));
        QVERIFY(!curvePaths(log, scalTColour).empty());
    }

    void theCasesLeaveByTheClipboardAndAsSimulatorTables() {
        openSpread();
        pickAllWaterOil();
        RecommendWindow* shown = openRecommendation();
        QVERIFY(shown);

        QApplication::clipboard()->clear();
        QTest::mouseClick(child<QPushButton>(*shown, "copyParameters"), Qt::LeftButton);
        const QString csv = QApplication::clipboard()->text();
        const QStringList lines = csv.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QVERIFY2(QString(lines[0]).remove('"').startsWith("satnum,case,swl,swcr,sorw,nw,now"),
                 qPrintable(csv));
        QVERIFY2(QString(lines[1]).remove('"').startsWith("1,low,"), qPrintable(csv));
        QVERIFY2(QString(lines[3]).remove('"').startsWith("1,high,"), qPrintable(csv));

        auto* write = child<QPushButton>(*shown, "writeTables");
        dialog->answers = {""}; // cancelled: nothing is written
        QTest::mouseClick(write, Qt::LeftButton);
        QCOMPARE(dialog->asked.size(), std::size_t{1});
        QCOMPARE(dialog->asked[0].mode, ui::FileDialog::Mode::Save);
        QVERIFY(QDir(dir->path()).entryList({"*.inc"}).isEmpty());

        child<QSlider>(*shown, "t")->setValue(-100);
        dialog->answers = {path("low.inc")};
        QTest::mouseClick(write, Qt::LeftButton);
        const QString low = QString::fromUtf8(fileBytes(path("low.inc")));
        QVERIFY2(low.startsWith("-- Relative permeability tables written by pellam"),
                 qPrintable(low.left(300)));
        QVERIFY2(low.contains("SCAL recommendation at t = -1.00 (-1 low, 0 base, 1 high) from "
                              "Corey fits of 21 measured data sets"),
                 qPrintable(low.left(600)));
        QVERIFY(low.contains("Water-Oil Data: "));
        QVERIFY(low.contains("-- Parameters: swl .2, swcr .2, sorw .3, nw "));
        QVERIFY(low.contains("\nSWOF"));
        QVERIFY(messages->warnings.isEmpty());

        // Between the cases there is no parameter set to name, and other tables.
        child<QSlider>(*shown, "t")->setValue(50);
        dialog->answers = {path("between.inc")};
        QTest::mouseClick(write, Qt::LeftButton);
        const QString between = QString::fromUtf8(fileBytes(path("between.inc")));
        QVERIFY(between.contains("at t = 0.50"));
        QVERIFY(!between.contains("-- Parameters:"));
        QVERIFY(between.contains("\nSWOF"));
        QVERIFY(between.mid(between.indexOf("\nSWOF")) != low.mid(low.indexOf("\nSWOF")));

        // A write that fails says why, and leaves the file written before as it was.
        failFileWriteStepForTesting(WriteStep::Rename, EPERM);
        dialog->answers = {path("low.inc")};
        QTest::mouseClick(write, Qt::LeftButton);
        failFileWriteStepForTesting(std::nullopt);
        QCOMPARE(messages->warnings.size(), 1);
        QVERIFY2(messages->warnings[0].contains("low.inc"), qPrintable(messages->warnings[0]));
        QCOMPARE(QString::fromUtf8(fileBytes(path("low.inc"))), low);
    }

    void theCasesOpenInTheTablesWindowAtT() {
        openSpread();
        pickAllWaterOil();
        RecommendWindow* shown = openRecommendation();
        QVERIFY(shown);
        auto* button = child<QPushButton>(*shown, "openInTables");
        QVERIFY(button->isEnabled());
        child<QSlider>(*shown, "t")->setValue(-40);
        QTest::mouseClick(button, Qt::LeftButton);
        auto* tables = window->findChild<TablesWindow*>("tablesWindow");
        QVERIFY(tables);
        QVERIFY(QTest::qWaitForWindowExposed(tables));
        QVERIFY2(tables->windowTitle().startsWith("SCAL recommendation of Water-Oil Data: "),
                 qPrintable(tables->windowTitle()));

        // The three cases of SATNUM 1, each parameter as the recommendation has it.
        const ScalRecommendation& rec = *shown->recommendation();
        QVERIFY(tables->table() && tables->table()->scal);
        const std::vector<satfunc::ParameterRow>& rows = tables->table()->rows;
        QCOMPARE(rows.size(), std::size_t{3});
        const satfunc::ScalCase order[] = {satfunc::ScalCase::Low, satfunc::ScalCase::Base,
                                           satfunc::ScalCase::High};
        const std::vector<std::string> names = fitParameterNames(rec.system, rec.model);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            QCOMPARE(rows[i].satnum, 1);
            QVERIFY(rows[i].scalCase == order[i]);
            const std::vector<double> values = fitParameterValues(caseOf(rec, order[i]));
            for (std::size_t k = 0; k < names.size(); ++k)
                QVERIFY2(std::abs(rows[i].values.at(names[k]) - values[k]) < 1e-9,
                         names[k].c_str());
        }
        // The low and high water exponents differ, so a t that went astray would show.
        QVERIFY(std::abs(rows[0].values.at("nw") - rows[2].values.at("nw")) > 0.5);

        auto* t = child<QDoubleSpinBox>(*tables, "intParamWo");
        QVERIFY(t->isEnabled());
        QCOMPARE(t->value(), shown->t());
        QCOMPARE(t->value(), -0.4);

        // The file is the one relperm tables writes from relperm recommend's parameters, at
        // the slider's t and not at the base case.
        const Outcome params =
            relperm::testing::relperm({"recommend", "--dir", dir->path().toStdString(), "--system",
                                       "Water-Oil Data", "--model", "corey", "--format", "params"});
        QCOMPARE(params.status, 0);
        QFile csv(path("recommended.csv"));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write(QByteArray::fromStdString(params.out));
        csv.close();
        const Outcome command = relperm::testing::relperm(
            {"tables", path("recommended.csv").toStdString(), "--int-param-wo", "-0.4"});
        QVERIFY2(command.status == 0, command.err.c_str());
        QVERIFY2(tables->preview().file, qPrintable(child<QLabel>(*tables, "finding")->text()));
        const std::string& file = *tables->preview().file;
        const QString head = QString::fromStdString(file).section('\n', 0, 0);
        QVERIFY2(
            head.contains("from the parameter table SCAL recommendation of Water-Oil Data: ") &&
                head.contains(", written by pellam "),
            qPrintable(head));
        QVERIFY(QString::fromStdString(file).contains("\n-- SCAL recommendation interpolation to "
                                                      "-.4\n"));
        QVERIFY(!afterFirstLine(file).isEmpty());
        QCOMPARE(afterFirstLine(file), afterFirstLine(command.out));
        QVERIFY(afterFirstLine(file) !=
                afterFirstLine(
                    relperm::testing::relperm(
                        {"tables", path("recommended.csv").toStdString(), "--int-param-wo", "0"})
                        .out));
        QDir().mkpath(SHOTS_DIR);
        QVERIFY(shown->grab().save(QString(SHOTS_DIR) + "/pellam-scal-open-in-tables.png"));
        QVERIFY(tables->grab().save(QString(SHOTS_DIR) + "/tables-from-recommendation.png"));

        // Asked again at another t, the same window takes the cases there.
        child<QSlider>(*shown, "t")->setValue(75);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(window->findChildren<TablesWindow*>().size(), 1);
        QCOMPARE(t->value(), 0.75);
        // Closing the recommendation leaves the tables open.
        shown->close();
        QCoreApplication::processEvents();
        QVERIFY(window->findChildren<TablesWindow*>().contains(tables));
        QVERIFY(!window->findChild<RecommendWindow*>());
    }

    void anotherModelFitsTheSetsAgainAndTheWindowIsOne() {
        openSpread();
        child<QAction>(*window, "scalRecommendation")->trigger();
        QCOMPARE(messages->warnings,
                 QStringList{"Pick the data sets first: the system and its lists."});
        QVERIFY(!window->findChild<RecommendWindow*>());

        pickAllWaterOil();
        RecommendWindow* shown = openRecommendation();
        QVERIFY(shown);
        QTest::mouseClick(child<QRadioButton>(*shown, "modelLet"), Qt::LeftButton);
        QCOMPARE(shown->model(), FitModel::Let);
        QTRY_VERIFY(!shown->working());
        QVERIFY(shown->recommendation() && shown->recommendation()->model == FitModel::Let);
        const QMap<QString, QStringList> table = parameterTable(*shown);
        for (const char* name : {"lw", "ew", "tw", "low", "eow", "tow"})
            QVERIFY2(table.contains(name), name);
        QVERIFY(!table.contains("nw"));
        QVERIFY(child<QLabel>(*shown, "misfit")->text().contains("LET"));

        // Asked again, the same window fits the sets as they match now, with its model.
        pickEntry(*window, "locpk", "North America");
        QCOMPARE(openRecommendation(), shown);
        QCOMPARE(window->findChildren<RecommendWindow*>().size(), 1);
        QVERIFY(child<QRadioButton>(*shown, "modelLet")->isChecked());
        QVERIFY(shown->windowTitle().startsWith("Water-Oil Data, "));
        QVERIFY(child<QLabel>(*shown, "recommendHeading")->text().contains("North America"));
    }

    void theSetsAreFittedOffTheWindowAndCancelStopsThem() {
        openSets(manySets());
        pickAllWaterOil();
        RecommendWindow* shown = startRecommendation();
        QVERIFY(shown);
        shown->setModel(FitModel::Let);
        QVERIFY(shown->working());
        auto* progress = child<QProgressBar>(*shown, "progress");
        auto* cancel = child<QPushButton>(*shown, "cancel");
        QVERIFY(progress->isVisible() && cancel->isVisible());
        QVERIFY(!child<QPushButton>(*shown, "copyParameters")->isEnabled());
        QVERIFY(!child<QPushButton>(*shown, "writeTables")->isEnabled());
        QVERIFY(!child<QPushButton>(*shown, "openInTables")->isEnabled());
        QCOMPARE(child<QLabel>(*shown, "fitCount")->text(),
                 QString("Fitting every matching data set..."));
        QCOMPARE(shown->windowTitle(), QString("Water-Oil Data - SCAL Recommendation"));

        // The window answers while the sets are fitted, and says how far the read has come.
        // Generous: under the sanitizers on a busy machine a LET fit takes milliseconds.
        QTRY_VERIFY_WITH_TIMEOUT(progress->value() > 0, 120000);
        child<QSlider>(*shown, "t")->setValue(50);
        QCOMPARE(child<QLabel>(*shown, "tValue")->text(), QString("t = 0.50"));
        QVERIFY(shown->working());
        QDir().mkpath(SHOTS_DIR);
        QVERIFY(shown->grab().save(QString(SHOTS_DIR) + "/pellam-scal-fitting.png"));

        cancel->click();
        QVERIFY(!shown->working());
        QVERIFY(!progress->isVisible());
        QVERIFY(!shown->recommendation());
        auto* refusal = child<QLabel>(*shown, "recommendRefusal");
        QVERIFY(refusal->isVisible());
        QVERIFY2(refusal->text().startsWith("Cancelled before every matching set was fitted"),
                 qPrintable(refusal->text()));
        QCOMPARE(child<QLabel>(*shown, "fitCount")->text(), QString("The fitting was cancelled."));
        QVERIFY(!child<QTableWidget>(*shown, "parameters")->isVisible());
        QVERIFY(!child<QPushButton>(*shown, "openInTables")->isEnabled());
        QVERIFY(shown->grab().save(QString(SHOTS_DIR) + "/pellam-scal-cancelled.png"));
        // The run stops at its next set, long before the sets could all have been fitted,
        // and what it made never comes to the window.
        QTRY_VERIFY(poolIdle());
        QCoreApplication::processEvents();
        QVERIFY(!shown->recommendation());
        QVERIFY(refusal->text().startsWith("Cancelled"));
    }

    void aSecondRequestOvertakesTheFirst() {
        openSpread();
        pickAllWaterOil();
        RecommendWindow* shown = startRecommendation();
        QVERIFY(shown);
        QSignalSpy computed(shown, &RecommendWindow::computed);
        shown->setModel(FitModel::Let);
        QTRY_COMPARE(computed.count(), 1);
        QTRY_VERIFY(poolIdle());
        QCoreApplication::processEvents();
        QCOMPARE(computed.count(), 1);
        QVERIFY(shown->recommendation() && shown->recommendation()->model == FitModel::Let);
        QVERIFY(parameterTable(*shown).contains("lw"));
        QVERIFY(!child<QProgressBar>(*shown, "progress")->isVisible());

        // Asked again from the browser with another selection before the last run ended:
        // the window shows the sets of the selection asked for last.
        pickEntry(*window, "locpk", "North America");
        startRecommendation();
        pickEntry(*window, "locpk", "South America");
        QCOMPARE(startRecommendation(), shown);
        QTRY_COMPARE(computed.count(), 2);
        QTRY_VERIFY(poolIdle());
        QCoreApplication::processEvents();
        QCOMPARE(computed.count(), 2);
        QVERIFY(child<QLabel>(*shown, "recommendHeading")->text().contains("South America"));
        // The sets were all made in North America (location 1): none matches now.
        QVERIFY(!shown->recommendation());
        QCOMPARE(child<QLabel>(*shown, "recommendRefusal")->text(),
                 QString("No data set matches the selection."));
    }

    void theWindowsCloseWhileTheSetsAreFitted() {
        openSets(manySets());
        pickAllWaterOil();
        QPointer<RecommendWindow> shown = startRecommendation();
        QVERIFY(shown);
        shown->setModel(FitModel::Let);
        QTRY_VERIFY_WITH_TIMEOUT(child<QProgressBar>(*shown, "progress")->value() > 0, 120000);
        QVERIFY(shown->close());
        QTRY_VERIFY(shown.isNull());
        QTRY_VERIFY(poolIdle());

        // The browser, closed with the window open and working, takes it along.
        shown = startRecommendation();
        QVERIFY(shown);
        shown->setModel(FitModel::Let);
        QTRY_VERIFY_WITH_TIMEOUT(child<QProgressBar>(*shown, "progress")->value() > 0, 120000);
        window.reset();
        QVERIFY(shown.isNull());
        QTRY_VERIFY(poolIdle());
    }

    // At its least size, at 700 x 500 and large, with t on a case and between two, the
    // legend's entries stand apart inside the plot and the panel's texts clear of the table.
    void theLegendAndThePanelStayApartAtAnySize() {
        open(DEMO_DIR);
        pickAllWaterOil();
        RecommendWindow* shown = openRecommendation();
        QVERIFY(shown);
        auto* plot = shown->findChild<ui::PlotView*>("recommendPlot");
        for (const int t : {0, -40})
            for (const QSize size : {shown->minimumSizeHint(), QSize(700, 500), QSize(1400, 900)}) {
                child<QSlider>(*shown, "t")->setValue(t);
                shown->resize(size);
                QCoreApplication::processEvents();
                QVERIFY(legendTexts(*plot).size() >= (t == 0 ? 4u : 5u));
                const QString clash = legendClash(*plot);
                QVERIFY2(clash.isEmpty(),
                         qPrintable(clash + " at " + QString::number(shown->width())));
                auto* table = child<QTableWidget>(*shown, "parameters");
                auto* misfit = child<QLabel>(*shown, "misfit");
                const QRect tableArea(table->mapTo(shown, QPoint(0, 0)), table->size());
                const QRect misfitArea(misfit->mapTo(shown, QPoint(0, 0)), misfit->size());
                QVERIFY(!tableArea.intersects(misfitArea));
                QVERIFY(misfit->height() >= misfit->heightForWidth(misfit->width()));
            }
        QDir().mkpath(SHOTS_DIR);
        shown->resize(shown->minimumSizeHint());
        QCoreApplication::processEvents();
        QVERIFY(shown->grab().save(QString(SHOTS_DIR) + "/pellam-scal-smallest.png"));
    }

    void demoDatabaseScreenshot() {
        open(DEMO_DIR);
        pickAllWaterOil();
        RecommendWindow* shown = openRecommendation();
        QVERIFY(shown);
        QVERIFY(shown->recommendation());
        QVERIFY(shown->recommendation()->fits.size() > 10);
        child<QSlider>(*shown, "t")->setValue(-40);
        QDir().mkpath(SHOTS_DIR);
        const QString shot = QString(SHOTS_DIR) + "/pellam-scal-recommendation.png";
        QVERIFY(shown->grab().save(shot));
    }
};

QTEST_MAIN(RecommendWindowTest)
#include "recommend_window_test.moc"
