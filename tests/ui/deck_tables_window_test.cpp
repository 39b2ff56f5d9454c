// The simulator tables window as an engineer uses it on an inherited deck: opened from either
// program's Tools menu, asking for the deck; its two regions listed and plotted at the deck's
// rows, the broken row of one named by the checks and marked on its plot, the deck converted
// to another family into a file that reads back, never over the deck's own files, a Corey
// table fitted back to its exponents, and a file that cannot be read refused while the window
// keeps what it showed.
#include "analysis/ui/decktableswindow.h"
#include "analysis/ui/fitwindow.h"
#include "analysis/ui/tableswindow.h"

#include "../database/records.h"
#include "calculator/ui/form1.h"
#include "database/ui/pellamwindow.h"
#include "deck/reader.h"
#include "satfunc/tablesplot.h"
#include "shell/tools.h"
#include "support/plot_lines.h"
#include "support/program_icons.h"
#include "support/quiet_offscreen.h"
#include "support/scene_texts.h"
#include "support/ui_standins.h"
#include "support/widget_driver.h"
#include "ui/plotview.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace relperm;
using namespace relperm::testing;
using relperm::analysisui::DeckTablesWindow;
using relperm::analysisui::FitWindow;
using relperm::analysisui::TablesWindow;
using relperm::calculatorui::Form1;
using relperm::databaseui::PellamWindow;

namespace {

// SATNUM 1: Corey curves (swl .1, sorw .2, nw 2, now 3, krwend .6, kroend .9) with a Pc;
// SATNUM 2: krw falls at its third row.
QString tablesText() {
    QString text = "-- two regions of an inherited deck\nSWOF\n";
    for (int i = 0; i <= 10; ++i) {
        const double s = i / 10.0;
        text += QString("%1 %2 %3 %4\n")
                    .arg(0.1 + 0.7 * s, 0, 'g', 12)
                    .arg(0.6 * s * s, 0, 'g', 12)
                    .arg(0.9 * std::pow(1 - s, 3), 0, 'g', 12)
                    .arg(3 * (1 - s) * (1 - s), 0, 'g', 12);
    }
    text += "1.0 1 0 0 /\n"
            "0.2 0   1   0\n"
            "0.4 0.3 0.4 0\n"
            "0.6 0.2 0.1 0\n"
            "1.0 0.7 0   0 /\n"
            "SGOF\n"
            "0   0   0.9 0\n"
            "0.3 0.1 0.4 0\n"
            "0.6 0.4 0.1 0\n"
            "0.9 1   0   0 /\n"
            "0   0   1   0\n"
            "0.4 0.3 0.2 0\n"
            "0.8 1   0   0 /\n";
    return text;
}
// The line of SATNUM 2's third SWOF row: after the comment, the keyword and 12 rows of SATNUM 1.
constexpr int brokenLine = 2 + 12 + 3;

const char* deckText = "RUNSPEC\nTABDIMS\n 2 /\nOIL\nWATER\nGAS\n"
                       "PROPS\nINCLUDE\n 'tables.inc' /\nEND\n";

const char* passingTables = "SWOF\n0.2 0 1 0\n0.5 0.2 0.3 0\n1 1 0 0 /\n";

QStringList listed(QListWidget* list) {
    QStringList out;
    for (int row = 0; row < list->count(); ++row)
        out << list->item(row)->text();
    return out;
}

QString menuText(QAction* action) {
    return action->text().remove('&');
}

// The straight pieces of a column's curve, as the plot draws it.
std::vector<SceneLine> columnLines(const Scene& scene, const char* column) {
    return curveLines(scene, satfunc::tablesCurveColour(column));
}

// The centres of the marks drawn `pen` wide: the chosen finding's are the widest.
std::vector<QPointF> marks(const Scene& scene, int pen) {
    std::vector<QPointF> out;
    std::vector<SceneLine> sides;
    for (const SceneLine& line : scene.all<SceneLine>())
        if (line.colour == Rgb{200, 0, 200} && line.penWidth == pen)
            sides.push_back(line);
    for (std::size_t i = 0; i + 3 < sides.size(); i += 4)
        out.push_back({(sides[i].x1 + sides[i].x2) / 2, sides[i + 1].y1 / 2 + sides[i + 1].y2 / 2});
    return out;
}

} // namespace

class DeckTablesWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<PellamWindow> browser;
    std::shared_ptr<ScriptedFileDialog> dialog;
    std::shared_ptr<RecordingMessages> messages;

    QString path(const QString& name) const { return dir->filePath(name); }

    QString writeFile(const QString& name, const QString& text) {
        QFile file(path(name));
        file.open(QIODevice::WriteOnly);
        file.write(text.toUtf8());
        return path(name);
    }

    // The browser on a folder of one measured set; its Tools menu opens the window on the
    // file the dialog answers with.
    DeckTablesWindow* openFromBrowser(const QString& answer) {
        dir = std::make_unique<QTemporaryDir>();
        writeDataFile(dir->path().toStdString(), WO, recordsOf(WO, {tenCoreyPoints()}));
        dialog = std::make_shared<ScriptedFileDialog>("Relative Permeability Database File "
                                                      "Selector");
        messages = std::make_shared<RecordingMessages>();
        browser = std::make_unique<PellamWindow>(dir->path().toStdString(),
                                                 browserServices(dialog, messages));
        shell::addBrowserTools(*browser);
        browser->show();
        writeFile("tables.inc", tablesText());
        writeFile("FIELD.DATA", deckText);
        dialog->answers = {answer.isEmpty() ? QString() : path(answer)};
        child<QAction>(*browser, "openSimulatorTables")->trigger();
        auto* window = browser->findChild<DeckTablesWindow*>("deckTablesWindow");
        if (window && !QTest::qWaitForWindowExposed(window))
            return nullptr;
        return window;
    }

    QString summary(DeckTablesWindow& window) {
        return child<QLabel>(window, "checkSummary")->text();
    }

    void pick(DeckTablesWindow& window, const char* combo, const QString& text) {
        auto* box = child<QComboBox>(window, combo);
        const int index = box->findText(text);
        QVERIFY2(index >= 0, qPrintable(text));
        box->setCurrentIndex(index);
    }

  private slots:
    void initTestCase() {
        quietOffscreenWarnings();
        QDir().mkpath(SHOTS_DIR);
    }

    void theDecksRegionsAreListedAndTheChosenOnePlotted() {
        DeckTablesWindow* window = openFromBrowser("FIELD.DATA");
        QVERIFY(window);
        QCOMPARE(menuText(child<QAction>(*browser, "openSimulatorTables")),
                 QString("Open Simulator Tables..."));
        QCOMPARE(dialog->asked.back().mode, ui::FileDialog::Mode::Open);
        QCOMPARE(window->windowTitle(), QString("FIELD.DATA, SATNUM 1 - Simulator Tables"));
        QCOMPARE(programOfIcon(window->windowIcon()), QString("pellam"));
        auto* regions = child<QListWidget>(*window, "regions");
        QCOMPARE(listed(regions), (QStringList{"SATNUM 1", "SATNUM 2 (1 check fails)"}));

        // SATNUM 1 at its rows: krw from Sw .1 rises to .6 * .1^2 at the next row and to .6
        // at Sorw; SGOF's krg dashed to Sg .9; the Pc plot beside it, Pcow from 3 down.
        const Scene& kr = window->krPlot()->scene();
        const std::vector<SceneLine> krw = columnLines(kr, "krw");
        QCOMPARE(krw.size(), std::size_t{11});
        QCOMPARE(krw[0].x1, 10.0);
        QVERIFY(std::abs(krw[0].y2 - 0.6) < 1e-9);
        QVERIFY(std::abs(krw[9].y2 - 60) < 1e-9);
        const std::vector<SceneLine> krg = columnLines(kr, "krg");
        QCOMPARE(krg.size(), std::size_t{3});
        QVERIFY(std::abs(krg.back().x2 - 90) < 1e-9);
        QCOMPARE(krg.back().style, LineStyle::Dashed);
        QVERIFY(window->pcPlot()->isVisible());
        const Scene& pc = window->pcPlot()->scene();
        QCOMPARE(columnLines(pc, "Pcow").front().y1, 100.0);
        QVERIFY(!texts(pc).contains("Zero capillary pressure throughout"));
        QCoreApplication::processEvents();
        QVERIFY(window->grab().save(QString(SHOTS_DIR) + "/deck-tables-field.png"));

        // SATNUM 2 from its own Swc .2, with no Pc.
        regions->setCurrentRow(1);
        QCOMPARE(columnLines(window->krPlot()->scene(), "krw").front().x1, 20.0);
        QVERIFY(texts(window->pcPlot()->scene()).contains("Zero capillary pressure throughout"));

        // Asked again, the browser raises the same window, which asks for a deck; cancelled, it
        // keeps the one shown.
        const std::size_t asked = dialog->asked.size();
        child<QAction>(*browser, "openSimulatorTables")->trigger();
        QCOMPARE(browser->findChildren<DeckTablesWindow*>().size(), 1);
        QCOMPARE(dialog->asked.size(), asked + 1);
        QCOMPARE(window->windowTitle(), QString("FIELD.DATA, SATNUM 2 - Simulator Tables"));

        // At a small size the plots and the panel still share the window.
        window->resize(820, 560);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QVERIFY(window->grab().save(QString(SHOTS_DIR) + "/deck-tables-small.png"));
    }

    void aFindingNamesItsRowAndItsMarkSitsThere() {
        DeckTablesWindow* window = openFromBrowser("FIELD.DATA");
        QVERIFY(window);
        QCOMPARE(summary(*window), QString("1 check fails in SWOF 2 tables, SGOF 2 tables."));
        auto* findings = child<QListWidget>(*window, "findings");
        QCOMPARE(listed(findings),
                 QStringList{QString("tables.inc line %1: SWOF table 2 (SATNUM 2), row 3: krw "
                                     "falls from .3 to .2 as Sw rises; it may only rise")
                                 .arg(brokenLine)});

        // Chosen, the finding shows its region with its row marked on krw and krow at Sw .6.
        findings->setCurrentRow(0);
        QCOMPARE(window->shownRegion(), 2);
        const std::vector<QPointF> chosen = marks(window->krPlot()->scene(), 3);
        QCOMPARE(chosen.size(), std::size_t{2});
        QVERIFY(std::abs(chosen[0].x() - 60) < 1e-9 && std::abs(chosen[0].y() - 20) < 1e-9);
        QVERIFY(std::abs(chosen[1].x() - 60) < 1e-9 && std::abs(chosen[1].y() - 10) < 1e-9);
        QCoreApplication::processEvents();
        QVERIFY(window->grab().save(QString(SHOTS_DIR) + "/deck-tables-finding.png"));

        // Tables that pass say so, and list nothing.
        dialog->answers = {writeFile("good.inc", passingTables)};
        QTest::mouseClick(child<QPushButton>(*window, "openDeck"), Qt::LeftButton);
        QCOMPARE(summary(*window), QString("Every check holds: SWOF 1 table."));
        QVERIFY(!findings->isVisible());
        QVERIFY(!window->pcPlot()->isVisible());
        QCOMPARE(listed(child<QListWidget>(*window, "regions")), QStringList{"SATNUM 1"});
        QCoreApplication::processEvents();
        QVERIFY(window->grab().save(QString(SHOTS_DIR) + "/deck-tables-passing.png"));
    }

    void convertWritesAFileThatReadsBackNeverOverTheDeck() {
        DeckTablesWindow* window = openFromBrowser("FIELD.DATA");
        QVERIFY(window);
        pick(*window, "family", "Family 2: SWFN, SGFN, SOF3");
        dialog->answers = {path("family2.inc")};
        QTest::mouseClick(child<QPushButton>(*window, "convert"), Qt::LeftButton);
        QCOMPARE(dialog->asked.back().mode, ui::FileDialog::Mode::Save);
        QCOMPARE(dialog->asked.back().prefilled, path("FIELD-family2.inc"));
        QVERIFY(messages->warnings.isEmpty());
        auto read = deck::readDeck(path("family2.inc").toStdString());
        if (auto* refusal = std::get_if<Refusal>(&read))
            QFAIL(refusal->message.c_str());
        QStringList keywords;
        for (const deck::KeywordTables& k : std::get<deck::DeckTables>(read).keywords)
            keywords << QString("%1 %2").arg(deck::keywordName(k.keyword)).arg(k.tables.size());
        QCOMPARE(keywords, (QStringList{"SWFN 2", "SGFN 2", "SOF3 2"}));
        QCOMPARE(child<QLabel>(*window, "convertNote")->text(), "Written: " + path("family2.inc"));

        // Over a file the deck includes: refused, and the file stays as it was.
        pick(*window, "family", "SWOF and SLGOF");
        dialog->answers = {path("tables.inc")};
        QTest::mouseClick(child<QPushButton>(*window, "convert"), Qt::LeftButton);
        QCOMPARE(messages->warnings.size(), 1);
        QVERIFY2(messages->warnings[0].contains("a file the deck includes"),
                 qPrintable(messages->warnings[0]));
        QCOMPARE(fileBytes(path("tables.inc")), tablesText().toUtf8());

        // SLGOF without a gas table is refused with the reason, before a name is asked.
        QVERIFY(window->openFile(writeFile("water.inc", passingTables)));
        const std::size_t asked = dialog->asked.size();
        QTest::mouseClick(child<QPushButton>(*window, "convert"), Qt::LeftButton);
        QCOMPARE(dialog->asked.size(), asked);
        QCOMPARE(messages->warnings.size(), 2);
        QVERIFY2(messages->warnings[1].contains("gas"), qPrintable(messages->warnings[1]));
    }

    void aCoreyTableIsFittedBackToItsExponents() {
        DeckTablesWindow* window = openFromBrowser("FIELD.DATA");
        QVERIFY(window);
        QCOMPARE(child<QComboBox>(*window, "fitKeyword")->count(), 2);
        pick(*window, "fitKeyword", "SWOF");
        pick(*window, "fitModel", "Corey");
        QTest::mouseClick(child<QPushButton>(*window, "fit"), Qt::LeftButton);
        auto* fit = browser->findChild<FitWindow*>("fitCoreyWindow");
        QVERIFY(fit && fit->fit());
        QVERIFY2(fit->fit()->rms < 1e-6, qPrintable(QString::number(fit->fit()->rms)));
        const QString note = child<QLabel>(*window, "fitNote")->text();
        QVERIFY2(
            note.startsWith("Corey fit of SWOF table 1: swl .1, swcr .1, sorw .2, nw 2, now 3, "
                            "krwend .6, kroend .9, rms "),
            qPrintable(note));
        QCoreApplication::processEvents();
        QVERIFY(window->grab().save(QString(SHOTS_DIR) + "/deck-tables-fitted.png"));

        // The parameters open in Tables from Parameters, from the fit window.
        QTest::mouseClick(child<QPushButton>(*fit, "openInTables"), Qt::LeftButton);
        TablesWindow* tables = nullptr;
        for (TablesWindow* w : browser->findChildren<TablesWindow*>())
            if (w->windowTitle().contains("Corey fit of"))
                tables = w;
        QVERIFY(tables);
        QVERIFY2(tables->windowTitle().contains("SWOF table 1"), qPrintable(tables->windowTitle()));

        // LET in a window of its own, the Corey one left as it was.
        pick(*window, "fitModel", "LET");
        QTest::mouseClick(child<QPushButton>(*window, "fit"), Qt::LeftButton);
        auto* let = browser->findChild<FitWindow*>("fitLetWindow");
        QVERIFY(let && let->fit());
        QVERIFY2(let->fit()->rms < 1e-3, qPrintable(QString::number(let->fit()->rms)));
        QVERIFY(child<QLabel>(*window, "fitNote")->text().startsWith("LET fit of SWOF table 1"));
        QVERIFY(messages->warnings.isEmpty());
    }

    void aFileThatCannotBeReadIsRefusedAndTheWindowKeepsItsTables() {
        DeckTablesWindow* window = openFromBrowser("FIELD.DATA");
        QVERIFY(window);
        const QString bad = writeFile("bad.inc", "SWOF\n0.1 0 1 0\n1* 0.5 0.5 0\n1 1 0 0 /\n");
        dialog->answers = {bad};
        QTest::mouseClick(child<QPushButton>(*window, "openDeck"), Qt::LeftButton);
        QCOMPARE(messages->warnings.size(), 1);
        const QString said = messages->warnings[0];
        QVERIFY2(said.contains(bad) && said.contains("line 3") && said.contains("SWOF"),
                 qPrintable(said));
        QCOMPARE(window->windowTitle(), QString("FIELD.DATA, SATNUM 1 - Simulator Tables"));
        QCOMPARE(listed(child<QListWidget>(*window, "regions")),
                 (QStringList{"SATNUM 1", "SATNUM 2 (1 check fails)"}));

        // A file of no saturation table, and one not there, alike.
        QVERIFY(!window->openFile(writeFile("grid.inc", "DX\n100*50 /\n")));
        QVERIFY2(messages->warnings[1].contains("holds no saturation table"),
                 qPrintable(messages->warnings[1]));
        QVERIFY(!window->openFile(path("missing.inc")));
        QVERIFY2(messages->warnings[2].startsWith("Could not read"),
                 qPrintable(messages->warnings[2]));
        QCOMPARE(child<QListWidget>(*window, "findings")->count(), 1);
    }

    void theCalculatorOpensItFromItsToolsMenuToo() {
        auto calculatorDialog = std::make_shared<ScriptedFileDialog>("Run File");
        auto calculatorMessages = std::make_shared<RecordingMessages>();
        ui::WindowServices services;
        services.fileDialog = calculatorDialog;
        services.messages = calculatorMessages;
        Form1 calculator(services);
        shell::addCalculatorTools(calculator);
        calculator.show();
        auto* item = child<QAction>(calculator, "openSimulatorTables");
        QCOMPARE(menuText(item), QString("Open Simulator Tables..."));
        // Cancelled: the window stands empty, nothing to convert or fit.
        item->trigger();
        auto* window = calculator.findChild<DeckTablesWindow*>("deckTablesWindow");
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(calculatorDialog->asked.size(), std::size_t{1});
        QCOMPARE(programOfIcon(window->windowIcon()), QString("vomar"));
        QCOMPARE(window->windowTitle(), QString("Simulator Tables"));
        QVERIFY(!child<QPushButton>(*window, "convert")->isEnabled());
        QVERIFY(!child<QPushButton>(*window, "fit")->isEnabled());
        QCoreApplication::processEvents();
        QVERIFY(window->grab().save(QString(SHOTS_DIR) + "/deck-tables-empty-vomar.png"));
    }
};

QTEST_MAIN(DeckTablesWindowTest)
#include "deck_tables_window_test.moc"
