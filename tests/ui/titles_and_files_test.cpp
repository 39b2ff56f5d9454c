// What the windows say they show, and what their save dialogs offer: the title of every
// window that shows a set or a generation names it; each save offers its kinds of file and a
// name made from that title, and a name typed without an ending gets the ending of the kind
// chosen.
#include "../database/records.h"
#include "calculator/ui/form1.h"
#include "database/ui/pellamwindow.h"
#include "shell/tools.h"
#include "support/quiet_offscreen.h"
#include "support/ui_standins.h"
#include "support/widget_driver.h"
#include "ui/plotview.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace relperm;
using namespace relperm::testing;

namespace {

const QString imageKinds = "PNG images (*.png);;SVG images (*.svg);;PDF documents (*.pdf)";

QString nameOffered(const ScriptedFileDialog& dialog) {
    return dialog.asked.empty() ? QString() : QFileInfo(dialog.asked.back().prefilled).fileName();
}

} // namespace

class TitlesAndFilesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<databaseui::PellamWindow> browser;
    std::shared_ptr<ScriptedFileDialog> dialog;
    std::shared_ptr<RecordingMessages> messages;
    ui::WindowServices services;

    QString path(const QString& name) const { return dir->filePath(name); }
    ScriptedFileDialog& images() { return static_cast<ScriptedFileDialog&>(*services.imageDialog); }

    // Two water-oil sets, the first shown.
    void showFirstSet() {
        dir = std::make_unique<QTemporaryDir>();
        writeDataFile(dir->path().toStdString(), WO,
                      recordsOf(WO, {tenCoreyPoints(5000), tenCoreyPoints(6000)}));
        dialog = std::make_shared<ScriptedFileDialog>("Files");
        messages = std::make_shared<RecordingMessages>();
        services = browserServices(dialog, messages);
        browser = std::make_unique<databaseui::PellamWindow>(dir->path().toStdString(), services);
        shell::addBrowserTools(*browser);
        browser->show();
        pickEntry(*browser, "wetpk", "Water-Oil Data");
        pickEntry(*browser, "wettpk", "All Wettabilities");
        pickEntry(*browser, "rockpk", "All Formations");
        pickEntry(*browser, "locpk", "All Locations");
        pickEntry(*browser, "methpk", "All Methods");
        child<QPushButton>(*browser, "Command1")->click();
    }

    std::unique_ptr<calculatorui::Form1> calculator() {
        dir = std::make_unique<QTemporaryDir>();
        dialog = std::make_shared<ScriptedFileDialog>("Files");
        messages = std::make_shared<RecordingMessages>();
        services = browserServices(dialog, messages);
        auto window = std::make_unique<calculatorui::Form1>(services);
        window->show();
        return window;
    }

    static void generateCorey(calculatorui::Form1& window) {
        pickEntry(window, "fldpk", "Water-Oil-Gas");
        pickEntry(window, "corpk", "Corey");
        typeText(window, "Swco", "20");
        typeText(window, "sorwo", "25");
        typeText(window, "sorgo", "10");
        typeText(window, "sgco", "5");
        window.Command1_Click();
    }

  private slots:
    void initTestCase() { quietOffscreenWarnings(); }

    void theBrowsersWindowsNameTheSetTheyShow() {
        showFirstSet();
        child<QAction>(*browser, "plotView")->trigger();
        auto* plot = browser->findChild<ui::PlotView*>("plotView");
        QCOMPARE(plot->windowTitle(), QString("Water-Oil Data, set 1 - Plot"));
        child<QAction>(*browser, "fitCorey")->trigger();
        QWidget* fit = child(*browser, "fitCoreyWindow");
        QCOMPARE(fit->windowTitle(), QString("Water-Oil Data, set 1 - Fit Corey"));
        child<QAction>(*browser, "listMatches")->trigger();
        QCOMPARE(child(*browser, "matchList")->windowTitle(),
                 QString("Water-Oil Data - Matching Data Sets"));

        // The plot follows the next Show and the title typed for the set; the fit is of the
        // set it was asked for until it is asked again.
        child<QPushButton>(*browser, "Command1")->click();
        typeText(*browser, "Text1", "Well 7");
        QCOMPARE(plot->windowTitle(), QString("Water-Oil Data, set 2 (Well 7) - Plot"));
        QCOMPARE(fit->windowTitle(), QString("Water-Oil Data, set 1 - Fit Corey"));
        child<QAction>(*browser, "fitLet")->trigger();
        QCOMPARE(child(*browser, "fitLetWindow")->windowTitle(),
                 QString("Water-Oil Data, set 2 (Well 7) - Fit LET"));
    }

    void theCalculatorsPlotsNameTheGeneration() {
        auto window = calculator();
        ui::PlotView* waterOil = window->openWaterOilPlot();
        QCOMPARE(waterOil->windowTitle(), QString("Water-Oil Plot")); // nothing generated yet
        generateCorey(*window);
        QCOMPARE(waterOil->windowTitle(), QString("Corey, Water-Oil-Gas - Water-Oil Plot"));
        QCOMPARE(window->openGasPlot()->windowTitle(), QString("Corey, Water-Oil-Gas - Gas Plot"));

        // The run's title once a generation takes it; typing alone changes no plot.
        typeText(*window, "Text1", "Field A");
        QCOMPARE(waterOil->windowTitle(), QString("Corey, Water-Oil-Gas - Water-Oil Plot"));
        window->Command1_Click();
        QCOMPARE(waterOil->windowTitle(),
                 QString("Field A (Corey, Water-Oil-Gas) - Water-Oil Plot"));
    }

    void savingAnImageOffersItsKindsAndAddsTheEndingOfTheKindChosen() {
        showFirstSet();
        child<QAction>(*browser, "plotView")->trigger();
        auto* plot = browser->findChild<ui::PlotView*>("plotView");
        auto* save = child<QPushButton>(*plot, "saveImage");

        images().answers = {path("plot")};
        save->click();
        QCOMPARE(images().asked.back().filter, imageKinds);
        QCOMPARE(nameOffered(images()), QString("Water-Oil Data set 1 - Plot.png"));
        QVERIFY(messages->warnings.isEmpty());
        QCOMPARE(fileBytes(path("plot.png")).mid(1, 3), QByteArray("PNG"));

        images().answers = {path("plot")};
        images().kinds = {"SVG images (*.svg)"};
        save->click();
        QVERIFY(
            fileBytes(path("plot.svg")).contains("<title>Water-Oil Data, set 1 - Plot</title>"));
        // The kind saved last is offered next; a typed ending of a kind offered stands, any
        // other gets the kind's.
        images().answers = {path("plot.pdf"), path("plot.jpg")};
        save->click();
        QCOMPARE(nameOffered(images()), QString("Water-Oil Data set 1 - Plot.svg"));
        QVERIFY(fileBytes(path("plot.pdf")).startsWith("%PDF-"));
        save->click();
        QCOMPARE(nameOffered(images()), QString("Water-Oil Data set 1 - Plot.pdf"));
        QVERIFY(fileBytes(path("plot.jpg.pdf")).startsWith("%PDF-"));
        QVERIFY(messages->warnings.isEmpty());
    }

    // The platform's dialog lists the kinds, then every file, with the kind of the name
    // offered picked; another kind picked changes the name's ending.
    void thePlatformsDialogFollowsTheKindPicked() {
        dir = std::make_unique<QTemporaryDir>();
        ui::QtFileDialog platform("Save the Plot as an Image");
        QStringList listed;
        QString before;
        QString after;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            listed = dialog->nameFilters();
            auto* name = child<QLineEdit>(*dialog, "fileNameEdit");
            before = name->text();
            auto* kinds = child<QComboBox>(*dialog, "fileTypeCombo");
            kinds->setCurrentIndex(1);
            emit kinds->activated(1); // as a click on the entry reports it
            after = name->text();
            QTest::keyClick(name, Qt::Key_Return);
        });
        const std::optional<QString> chosen = platform.choose(
            nullptr, ui::FileDialog::Mode::Save, imageKinds, path("Water-Oil Data set 1 - Plot"));
        QCOMPARE(listed, (QStringList{"PNG images (*.png)", "SVG images (*.svg)",
                                      "PDF documents (*.pdf)", "All files (*)"}));
        QCOMPARE(before, QString("Water-Oil Data set 1 - Plot.png"));
        QCOMPARE(after, QString("Water-Oil Data set 1 - Plot.svg"));
        QCOMPARE(chosen, std::optional(path("Water-Oil Data set 1 - Plot.svg")));
    }

    void theBrowsersFilesOfferTheirKindAndTheSetsName() {
        showFirstSet();
        dialog->answers = {path("set")};
        child<QAction>(*browser, "exportSet")->trigger();
        QCOMPARE(dialog->asked.back().filter, QString("CSV files (*.csv)"));
        QCOMPARE(nameOffered(*dialog), QString("Water-Oil Data set 1.csv"));
        QVERIFY(fileBytes(path("set.csv")).startsWith("# Water-Oil Data: "));

        dialog->answers = {path("set")};
        child<QAction>(*browser, "simulatorTables")->trigger();
        QCOMPARE(dialog->asked.back().filter, QString("Include files (*.inc)"));
        QCOMPARE(nameOffered(*dialog), QString("Water-Oil Data set 1.inc"));
        QVERIFY(fileBytes(path("set.inc")).contains("\nSWOF\n"));

        child<QAction>(*browser, "fitCorey")->trigger();
        dialog->answers = {path("fit")};
        child<QPushButton>(*child(*browser, "fitCoreyWindow"), "writeTables")->click();
        QCOMPARE(dialog->asked.back().filter, QString("Include files (*.inc)"));
        QCOMPARE(nameOffered(*dialog), QString("Water-Oil Data set 1 - Fit Corey.inc"));
        QVERIFY(fileBytes(path("fit.inc")).contains("\nSWOF\n"));
        QVERIFY(messages->warnings.isEmpty());
    }

    void theCalculatorsFilesOfferTheirKindAndTheGenerationsName() {
        auto window = calculator();
        generateCorey(*window);
        dialog->answers = {path("corey")};
        child<QAction>(*window, "sim")->trigger(); // its gas table asks to be repaired: Yes
        QCOMPARE(dialog->asked.back().filter, QString("Include files (*.inc)"));
        QCOMPARE(nameOffered(*dialog), QString("Corey Water-Oil-Gas.inc"));
        QVERIFY(fileBytes(path("corey.inc")).contains("\nSGOF\n"));

        // Without a printer the page is offered as a PDF named after the window.
        auto& printer = static_cast<RecordingPrinter&>(*services.printer);
        auto& pdf = static_cast<ScriptedFileDialog&>(*services.pdfDialog);
        printer.present = false;
        pdf.answers = {path("page")};
        child<QAction>(*window, "a4")->trigger();
        QCOMPARE(pdf.asked.back().filter, QString("PDF documents (*.pdf)"));
        QCOMPARE(nameOffered(pdf), QString("Relative Permeability Correlations.pdf"));
        QVERIFY(fileBytes(path("page.pdf")).startsWith("%PDF-"));
        QVERIFY(messages->warnings.isEmpty());
    }
};

QTEST_MAIN(TitlesAndFilesTest)
#include "titles_and_files_test.moc"
