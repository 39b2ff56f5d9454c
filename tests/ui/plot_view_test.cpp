// Plots that leave the window: the plot view of either window (its scene, the log axis, the
// images it saves) and windows that grow as a whole.
#include "../database/records.h"
#include "calculator/plot.h"
#include "calculator/ui/form1.h"
#include "database/ui/pellamwindow.h"
#include "support/quiet_offscreen.h"
#include "support/scene_texts.h"
#include "support/ui_standins.h"
#include "support/widget_driver.h"
#include "ui/drawingsurface.h"
#include "ui/flexgrid.h"
#include "ui/plotview.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

using namespace relperm;
using namespace relperm::testing;

namespace {

// Whether `image` holds a pixel of `colour`: the curves are drawn in their own colours.
bool holdsColour(const QImage& image, Rgb colour) {
    const QRgb wanted = qRgb(colour.red, colour.green, colour.blue);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xffffff) == (wanted & 0xffffff))
                return true;
    return false;
}

QString hex(Rgb c) {
    return QColor(c.red, c.green, c.blue).name();
}

} // namespace

class PlotViewTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::shared_ptr<ScriptedFileDialog> imageDialog;
    std::shared_ptr<RecordingMessages> messages;

    std::unique_ptr<calculatorui::Form1> calculator() {
        imageDialog = std::make_shared<ScriptedFileDialog>("Save the Plot as an Image");
        messages = std::make_shared<RecordingMessages>();
        ui::WindowServices services;
        services.messages = messages;
        services.printer = std::make_shared<RecordingPrinter>();
        services.imageDialog = imageDialog;
        auto window = std::make_unique<calculatorui::Form1>(services);
        window->show();
        return window;
    }

    // The worked example: Water-Oil-Gas, Corey, Swc 20, Sorw 25, Sorg 10, Sgc 5.
    static void generate(calculatorui::Form1& w, const QString& swc = "20") {
        pickEntry(w, "fldpk", "Water-Oil-Gas");
        pickEntry(w, "corpk", "Corey");
        typeText(w, "Swco", swc);
        typeText(w, "sorwo", "25");
        typeText(w, "sorgo", "10");
        typeText(w, "sgco", "5");
        w.Command1_Click();
    }

  private slots:
    void initTestCase() { quietOffscreenWarnings(); }

    void thePlotViewShowsTheWindowsPlotAndFollowsEachGeneration() {
        auto w = calculator();
        generate(*w);
        child<QAction>(*w, "waterOilPlot")->trigger();
        auto* view = w->findChild<ui::PlotView*>("plotView");
        QVERIFY(view && view->isVisible());
        QCOMPARE(view->windowTitle(), QString("Corey, Water-Oil-Gas - Water-Oil Plot"));
        const QStringList shown = texts(view->scene());
        for (const char* name : {"kr", "Sw", "krow", "krw", "Water-Oil Data"})
            QVERIFY2(shown.contains(name), name);
        QCOMPARE(view->scene().items.size(),
                 child<ui::DrawingSurface>(*w, "vomar")->scenes().at(0).items.size());

        // Asking again raises the same view; a double-click on the plot does too.
        const Scene before = view->scene();
        QTest::mouseDClick(child<ui::DrawingSurface>(*w, "vomar"), Qt::LeftButton);
        QCOMPARE(w->findChildren<ui::PlotView*>().size(), 1);

        generate(*w, "30");
        QVERIFY(texts(view->scene()) != texts(before) ||
                view->scene().all<ScenePath>().front().points !=
                    before.all<ScenePath>().front().points ||
                view->scene().all<SceneDot>().front().x != before.all<SceneDot>().front().x);

        QTest::mouseDClick(child<ui::DrawingSurface>(*w, "krl2"), Qt::LeftButton);
        QCOMPARE(w->findChildren<ui::PlotView*>().size(), 2);
    }

    void theLogarithmicAxisShowsDecades() {
        auto w = calculator();
        generate(*w);
        ui::PlotView* view = w->openGasPlot();
        QVERIFY(!texts(view->scene()).contains(".0001"));
        child<QCheckBox>(*view, "logAxis")->setChecked(true);
        QCOMPARE(view->axis(), KrAxis::Logarithmic);
        const QStringList shown = texts(view->scene());
        for (const char* tick : {".0001", ".001", ".01", ".1", "1"})
            QVERIFY2(shown.contains(tick), qPrintable(shown.join('|')));
        // krg at Sgc is 0: on decades it stands at the axis' foot, not below it.
        for (const SceneDot& dot : view->scene().all<SceneDot>())
            QVERIFY(dot.y >= 0 && dot.y <= 100);
    }

    void imagesAreSavedFromTheSameScene() {
        auto w = calculator();
        generate(*w);
        ui::PlotView* view = w->openWaterOilPlot();

        imageDialog->answers = {dir.filePath("water-oil.png")};
        child<QPushButton>(*view, "saveImage")->click();
        QImage png(dir.filePath("water-oil.png"));
        QCOMPARE(png.size(), QSize(1600, 1400));
        QVERIFY(holdsColour(png, krwColour));
        QVERIFY(holdsColour(png, krowColour));
        png.save(QString(SHOTS_DIR) + "/vomar-plot-view.png");

        QVERIFY(!view->saveImage(dir.filePath("water-oil.svg")));
        QFile svg(dir.filePath("water-oil.svg"));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        const QString svgText = QString::fromUtf8(svg.readAll());
        QVERIFY(svgText.contains(hex(krwColour)) && svgText.contains(hex(krowColour)));
        QVERIFY(svgText.contains(">krw<"));

        QVERIFY(!view->saveImage(dir.filePath("water-oil.pdf")));
        QProcess text;
        text.start("pdftotext", {dir.filePath("water-oil.pdf"), "-"});
        QVERIFY(text.waitForFinished());
        const QString pdfText = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(pdfText.contains("krow") && pdfText.contains("Water-Oil Data"),
                 qPrintable(pdfText));

        // Named in the dialog, an image gets the ending of the kind chosen there; a save to a
        // name whose ending says nothing is refused, naming the file.
        imageDialog->answers = {dir.filePath("water-oil.bmpx")};
        child<QPushButton>(*view, "saveImage")->click();
        QVERIFY(messages->warnings.isEmpty());
        QCOMPARE(QImage(dir.filePath("water-oil.bmpx.png")).size(), QSize(1600, 1400));
        const std::optional<QString> unknown = view->saveImage(dir.filePath("water-oil.bmpx"));
        QVERIFY(unknown && unknown->contains("water-oil.bmpx"));

        // Saved from the button, the image is titled as the window is: a line over the plot,
        // and the file's own title.
        imageDialog->answers = {dir.filePath("titled.svg")};
        child<QPushButton>(*view, "saveImage")->click();
        const QString titled = QString::fromUtf8(fileBytes(dir.filePath("titled.svg")));
        const QString title = view->windowTitle().toHtmlEscaped();
        QVERIFY(title.contains("Water-Oil"));
        QVERIFY2(titled.contains("<title>" + title + "</title>") &&
                     titled.contains(">" + title + "<"),
                 qPrintable(title));

        // Through the one write routine: a link keeps pointing at the image it names, and a
        // read-only image is refused and kept.
        QVERIFY(QFile::link(dir.filePath("water-oil.png"), dir.filePath("latest.png")));
        QVERIFY(!view->saveImage(dir.filePath("latest.png")));
        QVERIFY(QFileInfo(dir.filePath("latest.png")).isSymLink());
        QCOMPARE(QImage(dir.filePath("water-oil.png")).size(), QSize(1600, 1400));
        QFile readOnly(dir.filePath("water-oil.svg"));
        QVERIFY(readOnly.setPermissions(QFileDevice::ReadOwner));
        const std::optional<QString> refused = view->saveImage(readOnly.fileName());
        QVERIFY(refused && refused->contains("Permission denied"));
        QVERIFY(readOnly.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(readOnly.readAll()), svgText);
    }

    void theCalculatorGrowsAsAWhole() {
        auto w = calculator();
        generate(*w);
        QWidget* client = w->centralWidget();
        auto* grid = child<ui::FlexGrid>(*w, "MSFlexGrid1");
        auto* heading = child<QLabel>(*w, "Label10");
        const QRect designedGrid = grid->geometry();
        const QSize designed = client->size();
        const double headingPoints = heading->font().pointSizeF();
        const int column = grid->columnWidth(0);
        QCOMPARE(client->minimumSize(), designed);

        w->resize(w->size() + designed); // twice the client area
        QTRY_COMPARE(client->size(), designed * 2);
        QCOMPARE(grid->geometry(), QRect(designedGrid.topLeft() * 2, designedGrid.size() * 2));
        QCOMPARE(heading->font().pointSizeF(), headingPoints * 2);
        QCOMPARE(grid->columnWidth(0), column * 2);
        QCOMPARE(child<ui::DrawingSurface>(*w, "krl2")->scale(), 2.0);
        QVERIFY(!grid->verticalScrollBar()->isVisible());
        QVERIFY(w->grab().save(QString(SHOTS_DIR) + "/vomar-enlarged.png"));

        w->resize(w->size() - designed);
        QTRY_COMPARE(grid->geometry(), designedGrid);
    }

    // On the calculator's plots, at the designed size and enlarged, the title's letters stand
    // above a curve that reaches kr 1, and each kr label ends pixels short of its tick.
    void theCalculatorsTitlesAndLabelsStandClearOfCurvesAndTicks() {
        auto w = calculator();
        generate(*w); // krw reaches 1 at Sw .75
        QWidget* client = w->centralWidget();
        const QSize designed = client->size();
        for (int scale : {1, 2}) {
            w->resize(w->size() + designed * (scale - 1));
            QTRY_COMPARE(client->size(), designed * scale);
            auto* surface = child<ui::DrawingSurface>(*w, "vomar");
            const QImage image = surface->grab().toImage();
            // The surface paints its scenes inside a one-pixel border.
            const double width = image.width() - 2, height = image.height() - 2;
            auto column = [&](double x) { return int(1 + (x + 25) / 135 * width); };
            auto row = [&](double y) { return int(1 + (110 - y) / 130 * height); };
            auto ink = [&](int x, int y) {
                const QRgb p = image.pixel(x, y);
                return qRed(p) < 100 && qGreen(p) < 100 && qBlue(p) < 100;
            };

            // Black above kr .8 across the title's columns is the title's (the curves are
            // coloured, the right border stands at 100).
            int titleBottom = -1;
            for (int y = 0; y < row(80); ++y)
                for (int x = column(20); x < column(92); ++x)
                    if (ink(x, y))
                        titleBottom = y;
            QVERIFY(titleBottom > 0);
            QVERIFY2(
                titleBottom < row(100) - 1.5 * scale - 1,
                qPrintable(QString("title down to %1, kr 1 at %2").arg(titleBottom).arg(row(100))));

            for (double kr : {0.2, 0.4, 0.6, 0.8, 1.0}) {
                const int tickRow = row(100 * kr);
                // The tick runs left from the axis as far as its ink goes, to -1 and its pen's
                // end beyond, no further: more ink there is a label touching it.
                int tickLeft = column(0);
                while (ink(tickLeft - 1, tickRow) && tickLeft - 1 >= column(-1) - scale - 1)
                    --tickLeft;
                QVERIFY(tickLeft < column(0));
                int labelRight = -1;
                for (int y = row(100 * kr + 2); y <= row(100 * kr - 6); ++y) {
                    if (std::abs(y - tickRow) <= scale)
                        continue;
                    for (int x = column(-15); x < tickLeft; ++x)
                        if (ink(x, y))
                            labelRight = std::max(labelRight, x);
                }
                QVERIFY(labelRight > 0);
                QVERIFY2(tickLeft - labelRight > 2,
                         qPrintable(QString("kr %1 at %2x: label to %3, tick from %4")
                                        .arg(kr)
                                        .arg(scale)
                                        .arg(labelRight)
                                        .arg(tickLeft)));
            }
        }
    }

    void theBrowsersPlotViewIsTheShownSetsPlot() {
        QTemporaryDir data;
        writeDataFile(data.path().toStdString(), WO,
                      recordsOf(WO, {SetRecipe{.location = 1, .depth = 5100, .swc = 0.22}}));
        databaseui::PellamWindow w(data.path().toStdString(),
                                   ui::WindowServices{{},
                                                      {},
                                                      std::make_shared<RecordingPrinter>(),
                                                      std::make_shared<RecordingMessages>()});
        w.show();
        pickEntry(w, "wetpk", "Water-Oil Data");
        pickEntry(w, "wettpk", "All Wettabilities");
        pickEntry(w, "rockpk", "All Formations");
        pickEntry(w, "locpk", "All Locations");
        pickEntry(w, "methpk", "All Methods");
        QTest::mouseClick(child<QPushButton>(w, "Command1"), Qt::LeftButton);
        typeText(w, "swcin", "20");
        typeText(w, "sorin", "25");

        child<QAction>(w, "plotView")->trigger();
        auto* view = w.findChild<ui::PlotView*>("plotView");
        QVERIFY(view);
        const Scene& windowPlot = child<ui::DrawingSurface>(w, "vomar")->scenes().at(0);
        QCOMPARE(view->scene().items.size(), windowPlot.items.size());
        const QStringList shown = texts(view->scene());
        for (const char* name : {"kr", "measured:", "adjusted:"})
            QVERIFY2(shown.contains(name), qPrintable(shown.join('|')));

        child<QLineEdit>(w, "sorin")->clear(); // no longer adjusted: the view follows
        QVERIFY(!texts(view->scene()).contains("adjusted:"));
    }
};

QTEST_MAIN(PlotViewTest)
#include "plot_view_test.moc"
