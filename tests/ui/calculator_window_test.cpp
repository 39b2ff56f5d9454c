// The calculator window driven as a user drives it: picks from the lists, typing, the
// Generate button; checked by what becomes visible, captions, grid cells and plots.
#include "calculator/plot.h"
#include "calculator/ui/form1.h"
#include "support/program_icons.h"
#include "support/quiet_offscreen.h"
#include "support/ui_standins.h"
#include "ui/drawingsurface.h"
#include "ui/flexgrid.h"
#include "ui/twips.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace relperm;
using relperm::calculatorui::Form1;

class CalculatorWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> window;
    std::shared_ptr<relperm::testing::RecordingMessages> messages;

    template <class T = QWidget> T* find(const char* name) {
        T* widget = window->findChild<T*>(name);
        if (!widget)
            qFatal("no widget named %s", name);
        return widget;
    }

    bool shown(const char* name) { return find(name)->isVisible(); }

    // Chooses an entry from a list's drop-down, as a user clicks it.
    void pick(const char* list, const QString& entry) {
        auto* combo = find<QComboBox>(list);
        const int index = combo->findText(entry, Qt::MatchExactly);
        QVERIFY2(index >= 0, qPrintable(entry + " is not in " + list));
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        const QRect cell = view->visualRect(view->model()->index(index, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTRY_VERIFY(!view->isVisible());
    }

    void type(const char* box, const QString& text) {
        auto* edit = qobject_cast<QLineEdit*>(find(box));
        if (!edit)
            edit = find<QComboBox>(box)->lineEdit();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    QStringList entries(const char* list) {
        QStringList out;
        auto* combo = find<QComboBox>(list);
        for (int i = 0; i < combo->count(); ++i)
            out << combo->itemText(i);
        return out;
    }

    void typeWorkedExample() {
        type("Swco", "20");
        type("sorwo", "25");
        type("sorgo", "10");
        type("sgco", "5");
    }

    void generate() { QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton); }

    ui::FlexGrid* grid(const char* name) { return find<ui::FlexGrid>(name); }

    QStringList row(const char* name, int r) {
        return {grid(name)->cellText(r, 0), grid(name)->cellText(r, 1), grid(name)->cellText(r, 2)};
    }

  private slots:
    void initTestCase() { relperm::testing::quietOffscreenWarnings(); }

    void init() {
        messages = std::make_shared<relperm::testing::RecordingMessages>();
        window = std::make_unique<Form1>(calculatorui::WindowServices{{}, {}, {}, messages});
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cleanup() { window.reset(); }

    void opensWithItsCaptionsAndOnlyTheFirstInputsShown() {
        QCOMPARE(window->windowTitle(), QString("Relative Permeability Correlations"));
        QCOMPARE(window->objectName(), QString("Form1"));
        QCOMPARE(testing::programOfIcon(window->windowIcon()), QString("vomar"));
        QCOMPARE(find<QComboBox>("fldpk")->currentText(), QString("Select Fluids"));
        QCOMPARE(entries("fldpk"), QStringList({"Water-Oil-Gas", "Water-Gas", "Gas-Condensate"}));
        QCOMPARE(entries("formpk"), QStringList({"Sandstone", "Carbonate"}));
        QCOMPARE(find<QLineEdit>("spo")->text(), QString("5"));
        QCOMPARE(find<QLabel>("Label2")->text(), QString("Porosity         %"));
        QCOMPARE(find<QLabel>("Label8")->text(), QString("krg @ Sorg      fraction"));
        QCOMPARE(find<QLabel>("Label4")->toolTip(), QString("Critical (Connate) Water Saturation"));
        QCOMPARE(find<QLabel>("Label5")->toolTip(), QString("Residual Oil Saturation wrt Water"));
        for (const char* hidden : {"corpk", "wetpk", "formpk", "Label8", "krgo", "Command1",
                                   "Label10", "MSFlexGrid1", "MSFlexGrid2", "vomar", "krl2"})
            QVERIFY2(!shown(hidden), hidden);
        for (const char* visible :
             {"Text1", "fldpk", "poro", "permo", "Swco", "sorwo", "sorgo", "sgco", "spo", "Label9"})
            QVERIFY2(shown(visible), visible);
        QCOMPARE(grid("MSFlexGrid1")->cellText(0, 1), QString("krow"));
        QCOMPARE(grid("MSFlexGrid2")->cellText(0, 1), QString("krog"));
        QCOMPARE(find("client")->palette().color(QPalette::Window), QColor(192, 255, 255));
        QCOMPARE(find("Command1")->palette().color(QPalette::Button), QColor(255, 255, 128));
    }

    void tabVisitsTheBoxesInTheirOrderAndTheFluidListLast() {
        const QStringList expected = {"Text1",       "corpk",       "wetpk",    "formpk", "poro",
                                      "permo",       "Swco",        "sorwo",    "sorgo",  "sgco",
                                      "krgo",        "spo",         "Command1", "vomar",  "krl2",
                                      "MSFlexGrid1", "MSFlexGrid2", "fldpk"};
        QStringList chain;
        for (QWidget* w = find("Text1"); chain.size() < expected.size(); w = w->nextInFocusChain())
            if (expected.contains(w->objectName()) && !chain.contains(w->objectName()))
                chain << w->objectName();
        QCOMPARE(chain, expected);
    }

    void waterOilGasOffersTheCorrelationsAndWaterGasEmptiesThem() {
        pick("fldpk", "Water-Oil-Gas");
        QVERIFY(shown("corpk"));
        QCOMPARE(entries("corpk"),
                 QStringList({"Mohamad Ibrahim/Varnholt", "Honarpour/Varnholt/Harvey", "Rose",
                              "Wyllie", "Corey"}));
        QCOMPARE(find<QComboBox>("corpk")->currentText(), QString("Select Correlation"));
        pick("fldpk", "Water-Gas");
        QVERIFY(entries("corpk").isEmpty());
        QCOMPARE(find<QComboBox>("corpk")->currentText(), QString("Mohamad Ibrahim/Varnholt"));
        QVERIFY(shown("Command1"));
        for (const char* hidden : {"Label5", "sorwo", "Label6", "sorgo", "wetpk", "formpk"})
            QVERIFY2(!shown(hidden), hidden);
        pick("fldpk", "Water-Oil-Gas");
        QCOMPARE(entries("corpk").size(), 5);
        QVERIFY2(shown("Command1"), "Generate stays shown once shown");
    }

    void gasCondensateRelabelsSwcAndHidesPorosityAndPermeability() {
        pick("fldpk", "Gas-Condensate");
        QCOMPARE(find<QLabel>("Label4")->text(), QString("Slc     %"));
        QCOMPARE(find<QLabel>("Label4")->toolTip(), QString("Critical Liquid Saturation"));
        for (const char* hidden : {"Label2", "poro", "Label3", "permo"})
            QVERIFY2(!shown(hidden), hidden);
        pick("fldpk", "Water-Oil-Gas");
        QCOMPARE(find<QLabel>("Label4")->text(), QString("Swc     %"));
        QVERIFY(shown("poro"));
    }

    void generateButtonFollowsTheCorrelationRules() {
        pick("fldpk", "Water-Oil-Gas");
        pick("corpk", "Wyllie");
        QVERIFY2(!shown("Command1"), "Wyllie waits for a formation");
        QVERIFY(shown("formpk"));
        pick("formpk", "Sandstone");
        QVERIFY(shown("Command1"));

        init();
        pick("fldpk", "Water-Oil-Gas");
        pick("corpk", "Rose");
        QVERIFY(shown("Command1"));
        QVERIFY(!shown("formpk"));
    }

    void honarpourShowsKrgAtSorgUntilAnotherCorrelation() {
        pick("fldpk", "Water-Oil-Gas");
        pick("corpk", "Honarpour/Varnholt/Harvey");
        QVERIFY(shown("Label8"));
        QVERIFY(shown("krgo"));
        QCOMPARE(entries("wetpk"), QStringList({"Water Wet", "Oil or Intermediate Wet"}));
        pick("wetpk", "Water Wet");
        QVERIFY(!shown("Command1"));
        pick("formpk", "Carbonate");
        QVERIFY(shown("Command1"));
        pick("corpk", "Corey");
        QVERIFY(!shown("Label8"));
        QVERIFY(!shown("krgo"));
        QCOMPARE(find<QComboBox>("wetpk")->currentText(), QString("Select Wettability"));
    }

    void typedWettabilityIsNoPick() {
        pick("fldpk", "Water-Oil-Gas");
        pick("corpk", "Mohamad Ibrahim/Varnholt");
        type("wetpk", "Water Wet");
        pick("formpk", "Sandstone");
        QVERIFY(!shown("Command1"));
        QCOMPARE(window->model().generateInput().wettability, std::string("Water Wet"));
    }

    void generateFillsBothGridsAndPlots() {
        pick("fldpk", "Water-Oil-Gas");
        pick("corpk", "Corey");
        typeWorkedExample();
        generate();
        QVERIFY(messages->warnings.isEmpty());
        QCOMPARE(grid("MSFlexGrid1")->rowCount(), 13);
        QCOMPARE(row("MSFlexGrid1", 0), QStringList({"Sw", "krow", "krw"}));
        QCOMPARE(row("MSFlexGrid1", 1), QStringList({".2", "1.0", ".0"}));
        QCOMPARE(row("MSFlexGrid1", 2), QStringList({".25", ".77248", ".00007"}));
        QCOMPARE(row("MSFlexGrid1", 12), QStringList({".75", ".0", "1.0"}));
        QCOMPARE(grid("MSFlexGrid2")->rowCount(), 16);
        QCOMPARE(row("MSFlexGrid2", 15), QStringList({".7", ".00004", "1.0"}));
        QCOMPARE(grid("MSFlexGrid1")->columnWidth(0), ui::twipsToPixels(590, window.get()));
        QCOMPARE(grid("MSFlexGrid1")->columnWidth(1), ui::twipsToPixels(885, window.get()));
        for (const char* visible : {"MSFlexGrid1", "MSFlexGrid2", "vomar", "krl2"})
            QVERIFY2(shown(visible), visible);
        auto* vomar = find<ui::DrawingSurface>("vomar");
        QCOMPARE(vomar->scenes().size(), std::size_t{1});
        QCOMPARE(vomar->scenes()[0].all<SceneDot>().size(), std::size_t{24});

        generate();
        QCOMPARE(vomar->scenes().size(), std::size_t{1});
        QCOMPARE(find<ui::DrawingSurface>("krl2")->scenes().size(), std::size_t{1});

        QDir().mkpath(SHOTS_DIR);
        QVERIFY(window->grab().save(QString(SHOTS_DIR) + "/vomar-corey.png"));
    }

    void waterGasHidesTheWaterOilGridAndNamesTheWaterColumn() {
        pick("fldpk", "Water-Gas");
        type("poro", "20");
        type("permo", "100");
        type("Swco", "20");
        type("sgco", "5");
        generate();
        QVERIFY(messages->warnings.isEmpty());
        QVERIFY(!shown("MSFlexGrid1"));
        QVERIFY(!shown("vomar"));
        QVERIFY(shown("MSFlexGrid2"));
        QVERIFY(shown("krl2"));
        QCOMPARE(grid("MSFlexGrid2")->cellText(0, 1), QString("krw"));
        QCOMPARE(grid("MSFlexGrid1")->rowCount(), 18); // filled though hidden
        QDir().mkpath(SHOTS_DIR);
        QVERIFY(window->grab().save(QString(SHOTS_DIR) + "/vomar-water-gas.png"));
    }

    void aRefusalShowsItsMessageAndKeepsTheLastTables() {
        pick("fldpk", "Water-Oil-Gas");
        pick("corpk", "Corey");
        typeWorkedExample();
        generate();
        type("spo", "0");
        generate();
        QCOMPARE(messages->warnings.size(), 1);
        QVERIFY2(messages->warnings[0].startsWith("Saturation Spacing must be greater than 0%"),
                 qPrintable(messages->warnings[0]));
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("spo"));
        QCOMPARE(grid("MSFlexGrid1")->rowCount(), 13);
        QCOMPARE(row("MSFlexGrid1", 2), QStringList({".25", ".77248", ".00007"}));
        QCOMPARE(find<ui::DrawingSurface>("vomar")->scenes().size(), std::size_t{1});
    }

    void clickingAGridRewritesItsHeader() {
        pick("fldpk", "Water-Gas");
        type("permo", "100");
        type("Swco", "20");
        generate();
        ui::FlexGrid* gas = grid("MSFlexGrid2");
        gas->item(0, 1)->setText("changed");
        const QRect cell = gas->visualItemRect(gas->item(1, 1));
        QTest::mouseClick(gas->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(gas->cellText(0, 1), QString("krw"));
        QCOMPARE(gas->currentRow(), 0);
        QCOMPARE(gas->currentColumn(), 2);
    }
};

QTEST_MAIN(CalculatorWindowTest)
#include "calculator_window_test.moc"
