// Small things a user sees at once: the launcher named in the task bar with its heading clear
// of its icon, the calculator's last gas row whole, option buttons growing with the form they
// stand in, and a command named in a message never split over two lines.
#include "calculator/ui/form1.h"
#include "database/ui/pellamwindow.h"
#include "launcher/launcherwindow.h"
#include "support/quiet_offscreen.h"
#include "support/ui_standins.h"
#include "support/widget_driver.h"
#include "ui/flexgrid.h"
#include "ui/messages.h"

#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QtTest>

using namespace relperm;
using namespace relperm::testing;

namespace {

// The lines `label` lays its text out in at its width, without the marks that join words.
QStringList shownLines(const QLabel& label) {
    QTextDocument document;
    document.setDocumentMargin(0);
    document.setDefaultFont(label.font());
    document.setPlainText(label.text());
    document.setTextWidth(label.contentsRect().width());
    document.size(); // lays the lines out
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (int i = 0; i < block.layout()->lineCount(); ++i) {
            const QTextLine line = block.layout()->lineAt(i);
            lines << block.text().mid(line.textStart(), line.textLength()).remove(QChar(0x2060));
        }
    return lines;
}

int indicatorWidth(QRadioButton& button) {
    QStyleOptionButton option;
    option.initFrom(&button);
    return button.style()
        ->subElementRect(QStyle::SE_RadioButtonIndicator, &option, &button)
        .width();
}

} // namespace

class WindowLooksTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { quietOffscreenWarnings(); }

    void theLauncherIsNamedAndItsHeadingClearsTheIcon() {
        launcherui::LauncherWindow launcher(nullptr, std::make_shared<RecordingMessages>());
        launcher.show();
        QVERIFY(QTest::qWaitForWindowExposed(&launcher));
        QCOMPARE(launcher.windowTitle(), QString("Relative Permeability Suite"));
        // The heading is the only yellow; none of it reaches the icon's top.
        const QImage shown = launcher.grab().toImage();
        const QRect icon = child(launcher, "Image1")->geometry();
        int lowest = -1;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if ((shown.pixel(x, y) & 0xffffff) == 0xffff00)
                    lowest = y;
        QVERIFY(lowest > 0);
        QVERIFY2(lowest < icon.top(), qPrintable(QString("%1, %2").arg(lowest).arg(icon.top())));
    }

    void theLastGasRowOfTheWorkedExampleIsWhole() {
        calculatorui::Form1 window(browserServices(std::make_shared<ScriptedFileDialog>("Files"),
                                                   std::make_shared<RecordingMessages>()));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        pickEntry(window, "fldpk", "Water-Oil-Gas");
        pickEntry(window, "corpk", "Corey");
        typeText(window, "Swco", "20");
        typeText(window, "sorwo", "25");
        typeText(window, "sorgo", "10");
        typeText(window, "sgco", "5");
        window.Command1_Click();
        auto* gas = child<ui::FlexGrid>(window, "MSFlexGrid2");
        QCOMPARE(gas->rowCount(), 16);
        // Rows are laid out again on the next turn of the event loop.
        QTRY_COMPARE(gas->verticalScrollBar()->maximum(), 0);
        const int last = gas->rowCount() - 1;
        QTRY_VERIFY2(gas->rowViewportPosition(last) + gas->rowHeight(last) <=
                         gas->viewport()->height(),
                     qPrintable(QString("bottom %1 in %2")
                                    .arg(gas->rowViewportPosition(last) + gas->rowHeight(last))
                                    .arg(gas->viewport()->height())));
        QCOMPARE(gas->rowViewportPosition(0), 0);
        QDir().mkpath(SHOTS_DIR);
        QVERIFY(gas->grab().save(QString(SHOTS_DIR) + "/vomar-gas-grid.png"));
    }

    void optionButtonsGrowWithTheForm() {
        QTemporaryDir empty;
        databaseui::PellamWindow browser(
            empty.path().toStdString(),
            browserServices(std::make_shared<ScriptedFileDialog>("Files"),
                            std::make_shared<RecordingMessages>()));
        browser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&browser));
        auto* option = child<QRadioButton>(browser, "Option1");
        const int designed = indicatorWidth(*option);
        QDir().mkpath(SHOTS_DIR);
        QVERIFY(child(browser, "Frame2")->grab().save(QString(SHOTS_DIR) + "/pellam-options.png"));
        const QSize size = browser.size();
        browser.resize(size * 2);
        QTRY_VERIFY(option->font().pointSizeF() > 16);
        QVERIFY2(indicatorWidth(*option) >= designed * 19 / 10,
                 qPrintable(QString("%1 at twice %2").arg(indicatorWidth(*option)).arg(designed)));
        QVERIFY(option->height() >= indicatorWidth(*option));
        QVERIFY(
            child(browser, "Frame2")->grab().save(QString(SHOTS_DIR) + "/pellam-options-2x.png"));
    }

    // Wherever the box's lines break, the first-run message keeps "--help" whole.
    void aCommandInAMessageStaysOnOneLine() {
        QTemporaryDir empty;
        auto messages = std::make_shared<RecordingMessages>();
        databaseui::PellamWindow browser(
            empty.path().toStdString(),
            browserServices(std::make_shared<ScriptedFileDialog>("Files"), messages));
        browser.show();
        QTRY_COMPARE(messages->notes.size(), 1);
        QVERIFY(messages->notes[0].contains("relperm db --help"));
        const auto shown = ui::messageBox(&browser, QMessageBox::Information, "pellam",
                                          messages->notes[0], QMessageBox::Ok);
        shown->show();
        QVERIFY(shown->grab().save(QString(SHOTS_DIR) + "/pellam-first-run.png"));
        for (int shift = 0; shift < 60; ++shift) {
            const QString pad = QString(shift, 'x') + " ";
            const QString text = pad + QString(messages->notes[0]).replace("\n", "\n" + pad);
            const auto box =
                ui::messageBox(&browser, QMessageBox::Information, "pellam", text, QMessageBox::Ok);
            box->show();
            const QStringList lines = shownLines(*child<QLabel>(*box, "qt_msgbox_label"));
            QVERIFY(lines.size() > 2);
            QVERIFY2(lines.filter("--help").size() == 1, qPrintable(lines.join("\n")));
        }
    }
};

QTEST_MAIN(WindowLooksTest)
#include "window_looks_test.moc"
