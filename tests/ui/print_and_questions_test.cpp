// The page a window prints and the questions it asks: the calculator's page carries the
// tables without the cells the user selected to copy; the print dialog offers Print to File,
// whose PDF is written as every save is; a question the user can back out of offers Cancel,
// and Cancel writes nothing.
#include "../database/records.h"
#include "calculator/ui/form1.h"
#include "common/filewrite.h"
#include "database/ui/pellamwindow.h"
#include "support/quiet_offscreen.h"
#include "support/ui_standins.h"
#include "support/widget_driver.h"
#include "ui/flexgrid.h"
#include "ui/messages.h"
#include "ui/printing.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cerrno>

using namespace relperm;
using namespace relperm::testing;

namespace {

void clickCell(ui::FlexGrid* grid, int row, int column, Qt::KeyboardModifiers keys = {}) {
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, keys, cell.center());
}

// How many pixels of `image` within `area` have either highlight colour of `widget`.
int highlighted(const QImage& image, const QRect& area, const QWidget& widget) {
    const QRgb active = widget.palette().color(QPalette::Active, QPalette::Highlight).rgb();
    const QRgb inactive = widget.palette().color(QPalette::Inactive, QPalette::Highlight).rgb();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = image.pixel(x, y) | 0xff000000;
            count += pixel == active || pixel == inactive ? 1 : 0;
        }
    return count;
}

// Runs `look` on the next modal dialog once it is up; `look` closes it.
template <class Look> void onModal(Look look) {
    QTimer::singleShot(0, [look] { look(QApplication::activeModalWidget()); });
}

const ui::Page page{"Page", QSize(400, 300), [](QPainter& painter, const QRectF& target) {
                        painter.drawText(target, "Water-Oil Data");
                    }};

} // namespace

class PrintAndQuestionsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::shared_ptr<ScriptedFileDialog> dialog;
    std::shared_ptr<RecordingMessages> messages;
    ui::WindowServices services;

    QString path(const QString& name) const { return dir.filePath(name); }

    std::unique_ptr<calculatorui::Form1> generatedCorey() {
        dialog = std::make_shared<ScriptedFileDialog>("Files");
        messages = std::make_shared<RecordingMessages>();
        services = browserServices(dialog, messages);
        auto window = std::make_unique<calculatorui::Form1>(services);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            return nullptr;
        pickEntry(*window, "fldpk", "Water-Oil-Gas");
        pickEntry(*window, "corpk", "Corey");
        typeText(*window, "Swco", "20");
        typeText(*window, "sorwo", "25");
        typeText(*window, "sorgo", "10");
        typeText(*window, "sgco", "5");
        window->Command1_Click();
        return window;
    }

  private slots:
    void initTestCase() { quietOffscreenWarnings(); }

    void thePagePrintsTheTablesWithoutTheCellsSelected() {
        auto window = generatedCorey();
        QVERIFY(window);
        auto* gas = child<ui::FlexGrid>(*window, "MSFlexGrid2");
        clickCell(gas, 3, 0);
        clickCell(gas, 8, 2, Qt::ShiftModifier);
        const QRect area(gas->mapTo(window->centralWidget(), QPoint(0, 0)), gas->size());
        QVERIFY(highlighted(window->centralWidget()->grab().toImage(), area, *gas) > 100);

        child<QAction>(*window, "a4")->trigger();
        const auto& printer = static_cast<RecordingPrinter&>(*services.printer);
        QCOMPARE(printer.pages.size(), std::size_t{1});
        QCOMPARE(highlighted(printer.pages[0], area, *gas), 0);
        // The cells are still selected, to be copied after printing.
        QCOMPARE(gas->selectedText().rows.size(), std::size_t{6});
        QVERIFY(highlighted(window->centralWidget()->grab().toImage(), area, *gas) > 100);
    }

    void thePrintDialogOffersPrintToFile() {
        QPrinter printer(QPrinter::HighResolution);
        ui::PrintPreview preview(printer, page, nullptr);
        preview.show();
        bool toFile = false;
        bool asked = false;
        onModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QPrintDialog*>(modal);
            asked = dialog != nullptr;
            if (dialog) {
                toFile = dialog->testOption(QAbstractPrintDialog::PrintToFile);
                dialog->reject();
            }
        });
        child<QPushButton>(preview, "print")->click();
        QVERIFY(asked);
        QVERIFY(toFile);
    }

    // What Print to File leaves in the printer is written by the one write routine: whole,
    // or the file there before as it was and the failure said.
    void printToFileWritesThePdfAsEverySaveIs() {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFileName(path("page.pdf"));
        QCOMPARE(ui::printTo(printer, page), std::nullopt);
        const QByteArray written = fileBytes(path("page.pdf"));
        QVERIFY(written.startsWith("%PDF-"));

        failFileWriteStepForTesting(WriteStep::Rename, EPERM);
        const std::optional<QString> failure = ui::printTo(printer, page);
        failFileWriteStepForTesting(std::nullopt);
        QVERIFY(failure);
        QVERIFY2(failure->contains("page.pdf"), qPrintable(*failure));
        QCOMPARE(fileBytes(path("page.pdf")), written);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"page.pdf"});
    }

    void aQuestionThatCanBeLeftOffersCancelAndEscapeTakesIt() {
        ui::Messages platform;
        QStringList buttons;
        onModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box)
                return;
            for (QAbstractButton* button : box->buttons())
                buttons << button->text().remove('&');
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QCOMPARE(platform.askOrCancel(nullptr, "t", "Write the adjusted data?", true),
                 ui::Messages::Answer::Cancel);
        QVERIFY2(buttons.contains("Yes") && buttons.contains("No") && buttons.contains("Cancel"),
                 qPrintable(buttons.join(", ")));
    }

    void simulatorTablesCancelledWriteNothing() {
        auto window = generatedCorey(); // its gas table needs a repair
        QVERIFY(window);
        messages->choice = ui::Messages::Answer::Cancel;
        child<QAction>(*window, "sim")->trigger();
        QCOMPARE(messages->questions.size(), 1);
        QVERIFY(messages->questions[0].contains("Write the tables repaired instead?"));
        QCOMPARE(messages->offeredNo, QList<bool>{false}); // No would do what Cancel does
        QVERIFY(dialog->asked.empty());

        // The browser asks first which data; Cancel there asks nothing more.
        QTemporaryDir data;
        writeDataFile(data.path().toStdString(), WO, recordsOf(WO, {tenCoreyPoints()}));
        auto browserMessages = std::make_shared<RecordingMessages>();
        auto browserDialog = std::make_shared<ScriptedFileDialog>("Files");
        databaseui::PellamWindow browser(data.path().toStdString(),
                                         browserServices(browserDialog, browserMessages));
        browser.show();
        pickEntry(browser, "wetpk", "Water-Oil Data");
        pickEntry(browser, "wettpk", "All Wettabilities");
        pickEntry(browser, "rockpk", "All Formations");
        pickEntry(browser, "locpk", "All Locations");
        pickEntry(browser, "methpk", "All Methods");
        child<QPushButton>(browser, "Command1")->click();
        typeText(browser, "swcin", "20");
        typeText(browser, "sorin", "25");
        browserMessages->choice = ui::Messages::Answer::Cancel;
        child<QAction>(browser, "simulatorTables")->trigger();
        QCOMPARE(browserMessages->questions.size(), 1);
        QVERIFY(browserMessages->questions[0].startsWith("Write the adjusted data?"));
        QCOMPARE(browserMessages->offeredNo, QList<bool>{true});
        QVERIFY(browserDialog->asked.empty());
        QCOMPARE(QDir(data.path()).entryList(QDir::Files), QStringList{"OWBIN"});
    }
};

QTEST_MAIN(PrintAndQuestionsTest)
#include "print_and_questions_test.moc"
