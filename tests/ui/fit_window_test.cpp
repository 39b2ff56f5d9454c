// The fit of a model to the shown set, opened from the browser's Tools menu as a user opens
// it: on a set made from known Corey curves the window shows the parameters they were made
// with, copies them, writes the curves for a simulator, draws the correlations chosen over
// the points, and says why when a set cannot be fitted.
#include "../database/records.h"
#include "analysis/fitplot.h"
#include "analysis/ui/fitwindow.h"
#include "common/filewrite.h"
#include "database/plot.h"
#include "database/ui/pellamwindow.h"
#include "shell/tools.h"
#include "support/program_icons.h"
#include "support/quiet_offscreen.h"
#include "support/scene_texts.h"
#include "support/ui_standins.h"
#include "support/widget_driver.h"
#include "ui/plotview.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cmath>

using namespace relperm;
using namespace relperm::testing;
using relperm::analysisui::FitWindow;
using relperm::databaseui::PellamWindow;

namespace {

int dashedLines(const Scene& scene) {
    int count = 0;
    for (const SceneLine& line : scene.all<SceneLine>())
        count += line.style == LineStyle::Dashed ? 1 : 0;
    return count;
}

} // namespace

class FitWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<PellamWindow> window;
    std::shared_ptr<ScriptedFileDialog> dialog;
    std::shared_ptr<RecordingMessages> messages;

    QString path(const QString& name) const { return dir->filePath(name); }

    void open(const std::vector<SetRecipe>& sets) {
        dir = std::make_unique<QTemporaryDir>();
        writeDataFile(dir->path().toStdString(), WO, recordsOf(WO, sets));
        dialog =
            std::make_shared<ScriptedFileDialog>("Relative Permeability Database File Selector");
        messages = std::make_shared<RecordingMessages>();
        window = std::make_unique<PellamWindow>(dir->path().toStdString(),
                                                browserServices(dialog, messages));
        shell::addBrowserTools(*window);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    // Water-oil data, everything, and Show: the first set is on display.
    void showFirstSet() {
        pickEntry(*window, "wetpk", "Water-Oil Data");
        pickEntry(*window, "wettpk", "All Wettabilities");
        pickEntry(*window, "rockpk", "All Formations");
        pickEntry(*window, "locpk", "All Locations");
        pickEntry(*window, "methpk", "All Methods");
        QTest::mouseClick(child<QPushButton>(*window, "Command1"), Qt::LeftButton);
    }

    FitWindow* openFit(const char* item, const char* name) {
        child<QAction>(*window, item)->trigger();
        auto* fit = window->findChild<FitWindow*>(name);
        if (fit && !QTest::qWaitForWindowExposed(fit))
            return nullptr;
        return fit;
    }

    static QMap<QString, QString> parameterTable(FitWindow& fit) {
        auto* table = child<QTableWidget>(fit, "parameters");
        QMap<QString, QString> shown;
        for (int row = 0; row < table->rowCount(); ++row)
            shown[table->item(row, 0)->text()] = table->item(row, 1)->text();
        return shown;
    }

  private slots:
    void initTestCase() { quietOffscreenWarnings(); }

    void anExponentOnItsBoundIsMarkedAndSaid() {
        // An oil curve steeper than any exponent the fit may take (n 12 against the bound 10).
        SetRecipe steep = tenCoreyPoints();
        for (auto& point : steep.points)
            point[2] = 0.9 * std::pow(1 - point[0], 12);
        open({steep});
        showFirstSet();
        FitWindow* fit = openFit("fitCorey", "fitCoreyWindow");
        QVERIFY(fit);
        const QMap<QString, QString> shown = parameterTable(*fit);
        QCOMPARE(shown["now"], QString("10 *"));
        QVERIFY(!shown["nw"].endsWith("*"));
        QVERIFY2(child<QLabel>(*fit, "misfit")
                     ->text()
                     .contains("* now at its upper bound 10: the curve wants a value beyond it."),
                 qPrintable(child<QLabel>(*fit, "misfit")->text()));
    }

    void fittingCoreyShowsTheParametersTheSetWasMadeWith() {
        open({tenCoreyPoints()});
        showFirstSet();
        FitWindow* fit = openFit("fitCorey", "fitCoreyWindow");
        QVERIFY(fit);
        QCOMPARE(fit->windowTitle(), QString("Water-Oil Data, set 1 - Fit Corey"));
        QCOMPARE(programOfIcon(fit->windowIcon()), QString("pellam"));
        QCOMPARE(child<QLabel>(*fit, "fitHeading")->text(),
                 QString("Water-Oil Data, data set # 1"));

        const QMap<QString, QString> shown = parameterTable(*fit);
        QCOMPARE(shown.keys(),
                 (QStringList{"kroend", "krwend", "now", "nw", "sorw", "swcr", "swl"}));
        const std::pair<const char*, double> made[] = {
            {"nw", 2.5}, {"now", 3.2}, {"krwend", 0.4}, {"kroend", 0.9}};
        for (const auto& [name, value] : made)
            QVERIFY2(std::abs(shown[name].toDouble() - value) < 0.03,
                     qPrintable(QString(name) + " " + shown[name]));
        // The end points are the set's own, as fractions.
        QCOMPARE(shown["swl"], QString(".2"));
        QCOMPARE(shown["sorw"], QString(".3"));
        QVERIFY(!child<QLabel>(*fit, "fitRefusal")->isVisible());
        QVERIFY(child<QLabel>(*fit, "misfit")->text().contains("rms"));

        QApplication::clipboard()->clear();
        QTest::mouseClick(child<QPushButton>(*fit, "copyParameters"), Qt::LeftButton);
        const QString csv = QApplication::clipboard()->text();
        QCOMPARE(csv, QString::fromStdString(fitParametersCsv({*fit->fit()})));
        const QStringList lines = csv.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(
            QString(lines[0]).remove('"').startsWith("satnum,swl,swcr,sorw,nw,now,krwend,kroend"),
            qPrintable(csv));
        QVERIFY2(lines[1].startsWith("1,.2,.2,.3,"), qPrintable(csv));

        // The plot: each point's two kr as dots, the fitted curves named in the legend.
        const Scene& scene = fit->plot()->scene();
        int points = 0;
        for (const SceneDot& dot : scene.all<SceneDot>())
            points += dot.y >= 0 && dot.y <= 100 && dot.x >= 0 && dot.x <= 100 ? 1 : 0;
        QCOMPARE(points, 20);
        QVERIFY(texts(scene).contains("Corey fit:") && texts(scene).contains("measured:"));
    }

    void theFittedCurvesGoToASimulatorFile() {
        open({tenCoreyPoints()});
        showFirstSet();
        FitWindow* fit = openFit("fitCorey", "fitCoreyWindow");
        QVERIFY(fit);
        auto* write = child<QPushButton>(*fit, "writeTables");

        dialog->answers = {""}; // cancelled: nothing is written
        QTest::mouseClick(write, Qt::LeftButton);
        QCOMPARE(dialog->asked.size(), std::size_t{1});
        QCOMPARE(dialog->asked[0].mode, ui::FileDialog::Mode::Save);
        QVERIFY(QDir(dir->path()).entryList({"*.inc"}).isEmpty());

        dialog->answers = {path("fitted.inc")};
        QTest::mouseClick(write, Qt::LeftButton);
        const QString text = QString::fromUtf8(fileBytes(path("fitted.inc")));
        QVERIFY2(text.startsWith("-- Relative permeability tables written by pellam"),
                 qPrintable(text.left(200)));
        QVERIFY(text.contains("-- Corey curves fitted to the measured data set Water-Oil Data, "
                              "data set # 1:"));
        QVERIFY(text.contains("-- Parameters: swl .2, swcr .2, sorw .3, nw 2."));
        QVERIFY(text.contains("\nSWOF"));
        QVERIFY(messages->warnings.isEmpty());

        // A write that fails says why, and leaves the file written before as it was.
        failFileWriteStepForTesting(WriteStep::Rename, EPERM);
        dialog->answers = {path("fitted.inc")};
        QTest::mouseClick(write, Qt::LeftButton);
        failFileWriteStepForTesting(std::nullopt);
        QCOMPARE(messages->warnings.size(), 1);
        QVERIFY2(messages->warnings[0].contains("fitted.inc"), qPrintable(messages->warnings[0]));
        QCOMPARE(QString::fromUtf8(fileBytes(path("fitted.inc"))), text);
    }

    void correlationsAreDrawnOverThePointsWhenTicked() {
        open({tenCoreyPoints()});
        showFirstSet();
        FitWindow* fit = openFit("fitCorey", "fitCoreyWindow");
        QVERIFY(fit);
        auto* list = child<QListWidget>(*fit, "overlays");
        QCOMPARE(list->count(), static_cast<int>(fit->comparisons().size()));
        QVERIFY(list->count() > 0);

        // Every entry says its rms, or why the correlation cannot be evaluated here, in which
        // case it cannot be ticked.
        int ticked = -1;
        for (int row = 0; row < list->count(); ++row) {
            const CorrelationComparison& c = fit->comparisons()[static_cast<std::size_t>(row)];
            QListWidgetItem* item = list->item(row);
            QVERIFY(item->text().startsWith(QString::fromStdString(c.correlation)));
            if (c.refusal.empty()) {
                QVERIFY(item->text().contains("rms"));
                QVERIFY(item->flags() & Qt::ItemIsUserCheckable);
                if (ticked < 0)
                    ticked = row;
            } else {
                QVERIFY(item->text().contains(QString::fromStdString(c.refusal)));
                QVERIFY(!(item->flags() & Qt::ItemIsEnabled));
            }
        }
        QVERIFY2(ticked >= 0, "no correlation could be evaluated on the set");

        const Scene before = fit->plot()->scene();
        QCOMPARE(dashedLines(before), 0);
        list->item(ticked)->setCheckState(Qt::Checked);
        const Scene& after = fit->plot()->scene();
        QVERIFY(dashedLines(after) > 0);
        const std::string legendName =
            overlayLegendName(fit->comparisons()[static_cast<std::size_t>(ticked)].correlation);
        QVERIFY(texts(after).contains(QString::fromStdString(legendName)));
        bool inItsColour = false;
        for (const SceneLine& line : after.all<SceneLine>())
            inItsColour |= line.style == LineStyle::Dashed &&
                           line.colour == overlayColour(static_cast<std::size_t>(ticked));
        QVERIFY(inItsColour);

        // The logarithmic kr axis: decades, and the points with kr 0 on the axis' foot.
        child<QCheckBox>(*fit, "logAxis")->setChecked(true);
        QVERIFY(texts(fit->plot()->scene()).contains(".0001"));
        for (const SceneDot& dot : fit->plot()->scene().all<SceneDot>())
            if (dot.y <= 100)
                QVERIFY(dot.y >= 0);
        QDir().mkpath(SHOTS_DIR);
        QVERIFY(fit->grab().save(QString(SHOTS_DIR) + "/pellam-fit-corey-log.png"));
        child<QCheckBox>(*fit, "logAxis")->setChecked(false);
        QVERIFY(fit->grab().save(QString(SHOTS_DIR) + "/pellam-fit-corey.png"));

        list->item(ticked)->setCheckState(Qt::Unchecked);
        QCOMPARE(dashedLines(fit->plot()->scene()), 0);
    }

    void aSetTooSmallForTheModelIsRefusedWithTheReason() {
        SetRecipe three;
        three.points = {{0, 0, 0.9}, {0.5, 0.1, 0.2}, {1, 0.4, 0}};
        open({three});
        showFirstSet();
        FitWindow* fit = openFit("fitLet", "fitLetWindow");
        QVERIFY(fit);
        QVERIFY(fit->windowTitle().endsWith(" - Fit LET"));
        QVERIFY(!fit->fit());
        auto* refusal = child<QLabel>(*fit, "fitRefusal");
        QVERIFY(refusal->isVisible() && !refusal->text().isEmpty());
        QVERIFY(!child<QTableWidget>(*fit, "parameters")->isVisible());
        QVERIFY(!child<QPushButton>(*fit, "copyParameters")->isEnabled());
        QVERIFY(!child<QPushButton>(*fit, "writeTables")->isEnabled());
        // The points are still there to look at.
        QVERIFY(texts(fit->plot()->scene()).contains("measured:"));
    }

    void eachModelHasOneWindowThatTakesTheSetShownWhenAskedAgain() {
        open({tenCoreyPoints(5000), tenCoreyPoints(6000)});
        child<QAction>(*window, "fitCorey")->trigger();
        QCOMPARE(messages->warnings, QStringList{"No data set is shown: show one first."});
        QVERIFY(!window->findChild<FitWindow*>());

        showFirstSet();
        FitWindow* first = openFit("fitCorey", "fitCoreyWindow");
        QVERIFY(first);
        QTest::mouseClick(child<QPushButton>(*window, "Command1"), Qt::LeftButton); // Show Next
        // The window keeps the set it was given until asked again.
        QVERIFY(first->windowTitle().startsWith("Water-Oil Data, set 1 "));
        QCOMPARE(openFit("fitCorey", "fitCoreyWindow"), first);
        QVERIFY(first->windowTitle().startsWith("Water-Oil Data, set 2 "));
        QVERIFY(openFit("fitLet", "fitLetWindow"));
        QCOMPARE(window->findChildren<FitWindow*>().size(), 2);
    }
};

QTEST_MAIN(FitWindowTest)
#include "fit_window_test.moc"
