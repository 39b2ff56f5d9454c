// The calculator's grids and keys as the user meets them: the worked example's gas grid shown
// whole, cells copied with their column names, Enter standing for Generate, a typed list
// entry that stays typed, the end points' tooltips on their boxes and the file commands'
// keys in both windows.

// Ahead of Qt, whose emit keyword would swallow the command line's emit().
#include "support/run_relperm.h"

#include "calculator/ui/form1.h"
#include "database/ui/pellamwindow.h"
#include "support/quiet_offscreen.h"
#include "support/ui_standins.h"
#include "support/widget_driver.h"
#include "ui/flexgrid.h"

#include <QAbstractItemView>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

using namespace relperm;
using relperm::calculatorui::Form1;
using relperm::testing::child;

namespace {

// What a spreadsheet receives for the cells the user sees at `rows` x `columns`: one line
// per row, cells between tabs.
QString cells(const ui::FlexGrid& grid, const QList<int>& rows, const QList<int>& columns) {
    QString text;
    for (int r : rows) {
        QStringList line;
        for (int c : columns)
            line << grid.cellText(r, c);
        text += line.join('\t') + '\n';
    }
    return text;
}

QList<int> range(int from, int to) {
    QList<int> out;
    for (int i = from; i <= to; ++i)
        out << i;
    return out;
}

void clickCell(ui::FlexGrid* grid, int row, int column, Qt::KeyboardModifiers keys = {}) {
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, keys, cell.center());
}

void activate(QWidget* window) {
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

} // namespace

class GridsAndKeysTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> window;
    std::shared_ptr<testing::ScriptedFileDialog> dialog;
    std::shared_ptr<testing::RecordingPrinter> printer;
    std::shared_ptr<testing::RecordingMessages> messages;

    template <class T = QWidget> T* find(const char* name) { return child<T>(*window, name); }

    ui::FlexGrid* gasGrid() { return find<ui::FlexGrid>("MSFlexGrid2"); }

    QLineEdit* edit(const char* name) {
        if (auto* combo = window->findChild<QComboBox*>(name))
            return combo->lineEdit();
        return find<QLineEdit>(name);
    }

    void typeWorkedExample() {
        testing::typeText(*window, "Swco", "20");
        testing::typeText(*window, "sorwo", "25");
        testing::typeText(*window, "sorgo", "10");
        testing::typeText(*window, "sgco", "5");
    }

    void generateWorkedExample() {
        testing::pickEntry(*window, "fldpk", "Water-Oil-Gas");
        testing::pickEntry(*window, "corpk", "Corey");
        typeWorkedExample();
        QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
        QVERIFY(messages->warnings.isEmpty());
    }

    // A click on an entry of the list's open drop-down.
    void chooseFromDropDown(const char* list, const QString& entry) {
        auto* combo = find<QComboBox>(list);
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        const int index = combo->findText(entry, Qt::MatchExactly);
        const QRect cell = view->visualRect(view->model()->index(index, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTRY_VERIFY(!view->isVisible());
    }

  private slots:
    void initTestCase() { testing::quietOffscreenWarnings(); }

    void init() {
        dialog = std::make_shared<testing::ScriptedFileDialog>("Relative Permeability Files");
        printer = std::make_shared<testing::RecordingPrinter>();
        messages = std::make_shared<testing::RecordingMessages>();
        auto pdf = std::make_shared<testing::ScriptedFileDialog>("Save the Page as PDF");
        window =
            std::make_unique<Form1>(calculatorui::WindowServices{dialog, pdf, printer, messages});
        activate(window.get());
    }

    void cleanup() {
        window.reset();
        QApplication::clipboard()->clear();
    }

    // --- the grids ---

    void theWorkedExampleShowsEveryGasRowWithoutAScrollBar() {
        generateWorkedExample();
        ui::FlexGrid* gas = gasGrid();
        QCOMPARE(gas->rowCount(), 16); // the header row and 15 saturations
        // QAbstractScrollArea shows or hides a scroll bar in a queued call after its range changes.
        QTRY_VERIFY(!gas->verticalScrollBar()->isVisible());
        QCOMPARE(gas->verticalScrollBar()->maximum(), 0);
        const QRect lastRow = gas->visualRect(gas->model()->index(15, 0));
        QVERIFY(gas->viewport()->rect().contains(lastRow.center()));

        clickCell(gas, 12, 1);
        clickCell(gas, 15, 2, Qt::ShiftModifier);
        QDir().mkpath(SHOTS_DIR);
        QVERIFY(window->grab().save(QString(SHOTS_DIR) + "/vomar-corey-keys.png"));
    }

    void ctrlCCopiesTheSelectedCellsUnderTheirColumnNames() {
        generateWorkedExample();
        ui::FlexGrid* gas = gasGrid();
        clickCell(gas, 2, 0);
        clickCell(gas, 4, 1, Qt::ShiftModifier);
        QTest::keySequence(gas, QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(), cells(*gas, {0, 2, 3, 4}, {0, 1}));

        // A cell apart from the block adds its row and column; the cells between stay empty.
        clickCell(gas, 6, 2, Qt::ControlModifier);
        QTest::keySequence(gas, QKeySequence::Copy);
        QString expected = cells(*gas, {0}, {0, 1, 2});
        for (int r : {2, 3, 4})
            expected += gas->cellText(r, 0) + '\t' + gas->cellText(r, 1) + "\t\n";
        expected += "\t\t" + gas->cellText(6, 2) + '\n';
        QCOMPARE(QApplication::clipboard()->text(), expected);
    }

    void aClickOnTheHeaderRowSelectsItsColumn() {
        generateWorkedExample();
        ui::FlexGrid* gas = gasGrid();
        clickCell(gas, 0, 1);
        QCOMPARE(gas->selectionModel()->selectedIndexes().size(), 15);
        for (const QModelIndex& index : gas->selectionModel()->selectedIndexes())
            QCOMPARE(index.column(), 1);
        child<QAction>(*gas, "copy")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), cells(*gas, range(0, 15), {1}));
    }

    void copyAllGivesBothGridsAsTheCommandLinePrintsThem() {
        generateWorkedExample();
        auto* water = find<ui::FlexGrid>("MSFlexGrid1");
        QCOMPARE(water->rowCount(), 13);
        child<QAction>(*water, "copyAll")->trigger();
        const QString waterText = QApplication::clipboard()->text();
        QCOMPARE(waterText, cells(*water, range(0, 12), {0, 1, 2}));
        clickCell(gasGrid(), 3, 1); // a selection does not narrow Copy All
        child<QAction>(*gasGrid(), "copyAll")->trigger();
        const QString gasText = QApplication::clipboard()->text();
        QCOMPARE(gasText, cells(*gasGrid(), range(0, 15), {0, 1, 2}));

        const auto cli =
            testing::relperm(testing::with(testing::coreyWorkedExample, {"--format", "grid"}));
        QCOMPARE(cli.status, 0);
        QCOMPARE(waterText + '\n' + gasText, QString::fromStdString(cli.out));
    }

    // --- Enter ---

    void enterGeneratesWhileGenerateIsOffered_data() {
        QTest::addColumn<QString>("box");
        for (const char* box : {"sgco", "Text1", "corpk"})
            QTest::newRow(box) << QString(box);
    }

    void enterGeneratesWhileGenerateIsOffered() {
        QFETCH(QString, box);
        testing::pickEntry(*window, "fldpk", "Water-Oil-Gas");
        testing::pickEntry(*window, "corpk", "Corey");
        typeWorkedExample();
        QVERIFY(find("Command1")->isVisible());
        QVERIFY(!gasGrid()->isVisible());
        QTest::keyClick(edit(qPrintable(box)), Qt::Key_Return);
        QVERIFY(messages->warnings.isEmpty());
        QVERIFY(gasGrid()->isVisible());
        QCOMPARE(gasGrid()->rowCount(), 16);
        QCOMPARE(find<ui::FlexGrid>("MSFlexGrid1")->rowCount(), 13);
    }

    void enterDoesNothingWhileGenerateIsHidden() {
        testing::pickEntry(*window, "fldpk", "Water-Oil-Gas");
        testing::pickEntry(*window, "corpk", "Mohamad Ibrahim/Varnholt");
        typeWorkedExample();
        QVERIFY(!find("Command1")->isVisible());
        for (const char* box : {"sgco", "poro", "wetpk"})
            QTest::keyClick(edit(box), Qt::Key_Return);
        QVERIFY(messages->warnings.isEmpty());
        QVERIFY(!gasGrid()->isVisible());
        QCOMPARE(gasGrid()->rowCount(), 1);
    }

    // --- typed list entries ---

    void aTypedEntryIsNoPick_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::newRow("exact, Tab") << "Water-Oil-Gas" << int(Qt::Key_Tab);
        QTest::newRow("exact, Enter") << "Water-Oil-Gas" << int(Qt::Key_Return);
        QTest::newRow("other case, Tab") << "water-oil-gas" << int(Qt::Key_Tab);
        QTest::newRow("beginning, Tab") << "Water-O" << int(Qt::Key_Tab);
    }

    void aTypedEntryIsNoPick() {
        QFETCH(QString, typed);
        QFETCH(int, key);
        auto* fluids = find<QComboBox>("fldpk");
        fluids->setFocus();
        fluids->lineEdit()->selectAll();
        QTest::keyClicks(fluids, typed);
        QTest::keyClick(fluids, Qt::Key(key));
        // A pick of Water-Oil-Gas would offer the correlations.
        QVERIFY(!find("corpk")->isVisible());
        QCOMPARE(fluids->currentText(), typed);
        QCOMPARE(window->model().generateInput().fluids, typed.toStdString());

        chooseFromDropDown("fldpk", "Water-Oil-Gas");
        QVERIFY(find("corpk")->isVisible());
        QCOMPARE(fluids->currentText(), QString("Water-Oil-Gas"));
    }

    // --- tooltips ---

    void theEndPointBoxesCarryTheirLabelsTooltips() {
        const std::pair<const char*, const char*> explained[] = {
            {"Swco", "Critical (Connate) Water Saturation"},
            {"sorwo", "Residual Oil Saturation wrt Water"},
            {"sorgo", "Residual Oil Saturation wrt Gas"},
            {"sgco", "Critical Gas Saturation"}};
        for (const auto& [box, tooltip] : explained)
            QCOMPARE(find(box)->toolTip(), QString(tooltip));
        QCOMPARE(find<QLabel>("Label7")->toolTip(), QString("Critical Gas Saturation"));

        testing::pickEntry(*window, "fldpk", "Gas-Condensate");
        QCOMPARE(find("Swco")->toolTip(), QString("Critical Liquid Saturation"));
        QCOMPARE(find<QLabel>("Label4")->toolTip(), QString("Critical Liquid Saturation"));
    }

    // --- the file commands' keys ---

    void theFileCommandsAnswerTheirKeys_data() {
        QTest::addColumn<bool>("browser");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QKeySequence>("keys");
        const QKeySequence open(Qt::CTRL | Qt::Key_O), save(Qt::CTRL | Qt::Key_S),
            print(Qt::CTRL | Qt::Key_P), exit(Qt::CTRL | Qt::Key_Q);
        QTest::newRow("calculator Open") << false << "a2" << open;
        QTest::newRow("calculator Save As") << false << "a3" << save;
        QTest::newRow("calculator Print") << false << "a4" << print;
        QTest::newRow("calculator Exit") << false << "a5" << exit;
        QTest::newRow("browser Open") << true << "a5" << open;
        QTest::newRow("browser Save") << true << "a6" << save;
        QTest::newRow("browser Print") << true << "a2" << print;
        QTest::newRow("browser Exit") << true << "a3" << exit;
    }

    void theFileCommandsAnswerTheirKeys() {
        QFETCH(bool, browser);
        QFETCH(QString, action);
        QFETCH(QKeySequence, keys);
        QTemporaryDir folder;
        std::unique_ptr<QMainWindow> browserWindow;
        QMainWindow* target = window.get();
        if (browser) {
            window.reset();
            auto pdf = std::make_shared<testing::ScriptedFileDialog>("Save the Page as PDF");
            browserWindow = std::make_unique<databaseui::PellamWindow>(
                folder.path().toStdString(),
                databaseui::BrowserServices{dialog, pdf, printer, messages,
                                            std::make_shared<testing::ScriptedFileDialog>("Folder"),
                                            std::make_shared<testing::MemorySettings>()});
            target = browserWindow.get();
            activate(target);
        }
        auto* command = child<QAction>(*target, qPrintable(action));
        QSignalSpy triggered(command, &QAction::triggered);
        QTest::keySequence(target, keys);
        QCOMPARE(triggered.count(), 1);
    }
};

QTEST_MAIN(GridsAndKeysTest)
#include "grids_and_keys_test.moc"
