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
#include "support/pdf_tools.h"
#include "support/plot_legend.h"
#include "support/plot_lines.h"
#include "support/program_icons.h"
#include "support/quiet_offscreen.h"
#include "support/scene_texts.h"
#include "support/ui_standins.h"
#include "support/widget_driver.h"
#include "ui/drawingsurface.h"
#include "ui/plotview.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFontMetricsF>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
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
    for (const ScenePath& path : scene.all<ScenePath>())
        count += path.style == LineStyle::Dashed ? 1 : 0;
    return count;
}

// How many pixels of `colour` the scene's curves paint at the size of the plot in a window of
// 700 x 500, dashed as they are or drawn solid.
int pixelsOf(Scene scene, Rgb colour, bool solid) {
    std::erase_if(scene.items, [](const ScenePrimitive& item) {
        return !std::holds_alternative<ScenePath>(item);
    });
    for (ScenePrimitive& item : scene.items)
        if (solid)
            std::get<ScenePath>(item).style = LineStyle::Solid;
    QImage image(340, 420, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    ui::renderScene(painter, scene, QRectF(image.rect()), ui::plotScaleFor(image.height()));
    painter.end();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == qRgb(colour.red, colour.green, colour.blue) ? 1 : 0;
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

    // The demo database, its `system` sets all matching, shown up to the `match`-th, and the
    // Corey fit of that set with the correlations whose entries start with `ticked` ticked.
    FitWindow* demoFit(const QString& system, int match, const QStringList& ticked) {
        dir = std::make_unique<QTemporaryDir>();
        dialog =
            std::make_shared<ScriptedFileDialog>("Relative Permeability Database File Selector");
        messages = std::make_shared<RecordingMessages>();
        window = std::make_unique<PellamWindow>(std::filesystem::path(DEMO_DIR),
                                                browserServices(dialog, messages));
        shell::addBrowserTools(*window);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            return nullptr;
        pickEntry(*window, "wetpk", system);
        pickEntry(*window, "wettpk", "All Wettabilities");
        pickEntry(*window, "rockpk", "All Formations");
        pickEntry(*window, "locpk", "All Locations");
        pickEntry(*window, "methpk", "All Methods");
        for (int i = 0; i < match; ++i)
            QTest::mouseClick(child<QPushButton>(*window, "Command1"), Qt::LeftButton);
        FitWindow* fit = openFit("fitCorey", "fitCoreyWindow");
        if (!fit)
            return nullptr;
        auto* list = child<QListWidget>(*fit, "overlays");
        for (int row = 0; row < list->count(); ++row)
            for (const QString& name : ticked)
                if (list->item(row)->text().startsWith(name))
                    list->item(row)->setCheckState(Qt::Checked);
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
            QVERIFY(item->text().contains(QString::fromStdString(c.correlation)));
            if (c.refusal.empty()) {
                QVERIFY(item->text().contains("rms") || item->text().contains("kr outside"));
                QVERIFY(item->flags() & Qt::ItemIsUserCheckable);
                if (ticked < 0)
                    ticked = row;
            } else {
                QVERIFY(item->text().contains(QString::fromStdString(c.refusal)));
                QVERIFY(!(item->flags() & Qt::ItemIsUserCheckable));
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
        for (const ScenePath& path : after.all<ScenePath>())
            inItsColour |= path.style == LineStyle::Dashed &&
                           path.colour == overlayColour(static_cast<std::size_t>(ticked));
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

    // Rose's krow on water-oil set 35 runs to 277, far over the legend; on gas-oil set 2 the
    // point at Sg 0 and the correlations' rows below Sgc stand left of the kr axis; on
    // gas-water set 3 the Water-Gas krw dips below the Sg axis. Each is cut at the frame,
    // on either kr axis.
    void curvesAndPointsStayInsideTheFrame() {
        struct Case {
            QString system;
            int match;
            QStringList ticked;
            const char* cutAt; // the edge a correlation's curve is cut at
        };
        const Case cases[] = {
            {"Water-Oil Data", 35, {"Rose"}, "top"},
            {"Gas-Oil Data", 2, {"Mohamad", "Honarpour", "Rose", "Wyllie", "Corey"}, "left"},
            {"Gas-Water Data", 3, {"Water-Gas"}, "bottom"}};
        for (const Case& c : cases) {
            FitWindow* fit = demoFit(c.system, c.match, c.ticked);
            QVERIFY(fit);
            for (bool log : {false, true}) {
                child<QCheckBox>(*fit, "logAxis")->setChecked(log);
                const Scene& scene = fit->plot()->scene();
                QVERIFY2(curvesInsideFrame(scene), qPrintable(c.system));
                QCOMPARE(dotsOutsideFrame(scene).size(), std::size_t{2}); // the legend's
                QCOMPARE(dashedLines(scene) > 0, true);
            }
            child<QCheckBox>(*fit, "logAxis")->setChecked(false);
            bool cut = false;
            for (const ScenePath& path : fit->plot()->scene().all<ScenePath>())
                for (const ScenePoint& p : path.points)
                    if (path.style == LineStyle::Dashed)
                        cut |= std::string(c.cutAt) == "top"    ? p.y == 100
                               : std::string(c.cutAt) == "left" ? p.x == 0 && p.y > 0
                                                                : p.y == 0 && p.x > 0 && p.x < 100;
            QVERIFY2(cut, c.cutAt);
            QVERIFY(fit->grab().save(QString(SHOTS_DIR) + "/pellam-fit-" +
                                     c.system.section('-', 0, 0).toLower() + ".png"));
        }
    }

    // A correlation whose kr leaves 0..1 is said to, in place of a misfit it cannot be ranked
    // by, and can still be ticked to see it; one that could not be evaluated says why in the
    // list's own text, naming the correlation once.
    void theListMarksKrOutsideZeroToOneAndSaysWhyOnce() {
        FitWindow* fit = demoFit("Water-Oil Data", 35, {});
        QVERIFY(fit);
        auto* list = child<QListWidget>(*fit, "overlays");
        QStringList entries;
        for (int row = 0; row < list->count(); ++row)
            entries << list->item(row)->text();
        QCOMPARE(entries,
                 (QStringList{"Mohamad Ibrahim/Varnholt reads the formation (Sandstone or "
                              "Carbonate), and the data set's lithology is Shale, neither of them.",
                              "Honarpour/Varnholt/Harvey reads the formation (Sandstone or "
                              "Carbonate), and the data set's lithology is Shale, neither of them.",
                              "Rose    kr outside 0..1 (krow up to 276.8)",
                              "Wyllie reads the formation (Sandstone or Carbonate), and the data "
                              "set's lithology is Shale, neither of them.",
                              "Corey    rms .221"}));
        // The reasons are text to read, not greyed out; only what was evaluated is ticked.
        for (int row : {0, 1, 3}) {
            QVERIFY(list->item(row)->flags() & Qt::ItemIsEnabled);
            QVERIFY(!(list->item(row)->flags() & Qt::ItemIsUserCheckable));
        }
        QVERIFY(list->item(2)->flags() & Qt::ItemIsUserCheckable);
        QCOMPARE(dashedLines(fit->plot()->scene()), 0);
        list->item(2)->setCheckState(Qt::Checked);
        QVERIFY(!curvePaths(fit->plot()->scene(), overlayColour(2)).empty());

        fit = demoFit("Gas-Water Data", 3, {});
        QVERIFY(fit);
        QCOMPARE(child<QListWidget>(*fit, "overlays")->item(0)->text(),
                 QString("Water-Gas    kr outside 0..1 (krw down to -.07155)"));
    }

    // Each dashed curve is one stroke, so its dashes run along it: drawn dashed it paints
    // clearly fewer pixels than drawn solid. Short pieces each starting the pattern afresh
    // would paint nearly as many.
    void dashedCurvesShowTheirDashes() {
        FitWindow* fit = demoFit("Gas-Oil Data", 2, {"Corey"});
        QVERIFY(fit);
        const Scene& scene = fit->plot()->scene();
        const Rgb corey = overlayColour(4);
        const int dashed = pixelsOf(scene, corey, false);
        const int solid = pixelsOf(scene, corey, true);
        QVERIFY2(dashed < 0.8 * solid, qPrintable(QString("%1 of %2").arg(dashed).arg(solid)));
    }

    // At the window's smallest and at 700 x 500, with every correlation ticked, the legend's
    // texts stand apart, and the panel's texts do not cover its table.
    void aSmallWindowKeepsItsLegendAndPanelApart() {
        FitWindow* fit =
            demoFit("Gas-Oil Data", 2, {"Mohamad", "Honarpour", "Rose", "Wyllie", "Corey"});
        QVERIFY(fit);
        for (const QSize size : {QSize(700, 500), fit->minimumSizeHint(), QSize(1400, 900)}) {
            fit->resize(size);
            QCoreApplication::processEvents();
            QVERIFY(legendTexts(*fit->plot()).size() >= 10);
            const QString clash = legendClash(*fit->plot());
            QVERIFY2(clash.isEmpty(), qPrintable(clash + " at " + QString::number(fit->width())));
            auto* table = child<QTableWidget>(*fit, "parameters");
            auto* misfit = child<QLabel>(*fit, "misfit");
            const QRect tableArea(table->mapTo(fit, QPoint(0, 0)), table->size());
            const QRect misfitArea(misfit->mapTo(fit, QPoint(0, 0)), misfit->size());
            QVERIFY(!tableArea.intersects(misfitArea));
            QVERIFY(misfit->height() >= misfit->heightForWidth(misfit->width()));
        }
        QDir().mkpath(SHOTS_DIR);
        fit->resize(700, 500);
        QCoreApplication::processEvents();
        QVERIFY(fit->grab().save(QString(SHOTS_DIR) + "/pellam-fit-700x500.png"));
    }

    // Save Image writes what the plot shows with the window's title over it, in the image and
    // as the file's title.
    void aSavedImageIsTitledAsItsWindow() {
        FitWindow* fit = demoFit("Water-Oil Data", 35, {"Rose"});
        QVERIFY(fit);
        const QString title = fit->windowTitle();
        QVERIFY(title.contains("35"));
        auto images = std::static_pointer_cast<ScriptedFileDialog>(window->services().imageDialog);
        images->answers = {path("fit.svg"), path("fit.pdf"), path("fit.png")};
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(child<QPushButton>(*fit, "saveImage"), Qt::LeftButton);
        QVERIFY(messages->warnings.isEmpty());
        const QString svg = QString::fromUtf8(fileBytes(path("fit.svg")));
        QVERIFY(svg.contains("<title>" + title.toHtmlEscaped() + "</title>"));
        QVERIFY(svg.contains(">" + title.toHtmlEscaped() + "<"));
        const std::optional<QString> pdf = pdfText(path("fit.pdf"));
        QVERIFY(pdf);
        QVERIFY2(pdf->trimmed().startsWith(title), qPrintable(pdf->left(200)));
        // The title line stands over the legend, in the image's top rows.
        const QImage png(path("fit.png"));
        bool inked = false;
        for (int y = 0; y < png.height() / 25; ++y)
            for (int x = 0; x < png.width(); ++x)
                inked |= qGray(png.pixel(x, y)) < 100;
        QVERIFY(inked);
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
