// The list of matching data sets, opened from the browser's View menu as a user opens it:
// the rows of the selection, sorted by a column heading, and a row chosen to show in the
// browser exactly as the Shows after a count show that match.
#include "../database/records.h"
#include "database/ui/descriptionbox.h"
#include "database/ui/matchlistwindow.h"
#include "database/ui/pellamwindow.h"
#include "support/program_icons.h"
#include "support/quiet_offscreen.h"
#include "support/ui_standins.h"
#include "support/widget_driver.h"
#include "ui/flexgrid.h"

#include <QAction>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace relperm;
using namespace relperm::testing;
using relperm::databaseui::MatchListWindow;
using relperm::databaseui::PellamWindow;

class MatchListTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<PellamWindow> window;

    std::filesystem::path folder() const { return dir->path().toStdString(); }

    void open(const std::filesystem::path& data) {
        window = std::make_unique<PellamWindow>(
            data, browserServices(std::make_shared<ScriptedFileDialog>("Data Set File"),
                                  std::make_shared<RecordingMessages>()));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    template <class T = QWidget> T* find(const char* name) { return child<T>(*window, name); }

    void pickAll(const QString& system, const QString& location = "All Locations") {
        pickEntry(*window, "wetpk", system);
        if (system == "Water-Oil Data")
            pickEntry(*window, "wettpk", "All Wettabilities");
        pickEntry(*window, "rockpk", "All Formations");
        pickEntry(*window, "locpk", location);
        pickEntry(*window, "methpk", "All Methods");
    }

    // View / List Matching Data Sets, as the menu item does it.
    MatchListWindow* openList() {
        find<QAction>("listMatches")->trigger();
        auto* list = window->findChild<MatchListWindow*>("matchList");
        if (list && !QTest::qWaitForWindowExposed(list))
            return nullptr;
        return list;
    }

    static QTableView* table(MatchListWindow* list) {
        return child<QTableView>(*list, "matchTable");
    }

    static int columnHeaded(QTableView* view, const QString& heading) {
        for (int c = 0; c < view->model()->columnCount(); ++c)
            if (view->model()->headerData(c, Qt::Horizontal).toString() == heading)
                return c;
        return -1;
    }

    static QStringList column(QTableView* view, const QString& heading) {
        QStringList texts;
        const int c = columnHeaded(view, heading);
        for (int r = 0; r < view->model()->rowCount(); ++r)
            texts << view->model()->index(r, c).data().toString();
        return texts;
    }

    static void clickHeading(QTableView* view, const QString& heading) {
        QHeaderView* header = view->horizontalHeader();
        const int c = columnHeaded(view, heading);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(c) + header->sectionSize(c) / 2,
                                 header->height() / 2));
    }

    // QTest::mouseDClick of Qt 6.4 gives an item view no double click, so the events come
    // one by one, as the window system sends them.
    static void doubleClickRow(QTableView* view, int row) {
        const QPoint at = view->visualRect(view->model()->index(row, 1)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QMouseEvent twice(QEvent::MouseButtonDblClick, at, view->viewport()->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, {});
        QApplication::sendEvent(view->viewport(), &twice);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
    }

    // The browser window shows what `model` shows: the data-set number, the "Data as Input"
    // grid and the description.
    void expectShows(const DatabaseBrowser& model) {
        QCOMPARE(find<QLabel>("Label8")->text(), QString::fromStdString(model.caption("Label8")));
        const GridText& grid = model.asInputGrid();
        auto* shown = find<ui::FlexGrid>("MSFlexGrid2");
        QCOMPARE(shown->rowCount(), static_cast<int>(grid.rows.size()) + 1);
        for (std::size_t r = 0; r < grid.rows.size(); ++r)
            for (std::size_t c = 0; c < 3; ++c)
                QCOMPARE(shown->cellText(static_cast<int>(r) + 1, static_cast<int>(c)),
                         QString::fromStdString(grid.rows[r][c]));
        QCOMPARE(renderDescription(find<databaseui::DescriptionBox>("Picture1")->lines()),
                 renderDescription(model.description()));
    }

    // The left-hand texts of the description: "Swc =20.%", "Sgc =3.%", ...
    QStringList descriptionTexts() {
        QStringList lines;
        for (const DescriptionLine& line : find<databaseui::DescriptionBox>("Picture1")->lines()) {
            QString text;
            for (std::size_t i = 0; i < line.items.size() && line.items[i].column == 0; ++i)
                text += QString::fromStdString(line.items[i].text);
            lines << text;
        }
        return lines;
    }

    // A model replaying the picks of pickAll, a count, then `shows` Shows.
    std::unique_ptr<DatabaseBrowser> afterShows(int shows, int location = 0) {
        auto model = std::make_unique<DatabaseBrowser>(folder());
        model->pick(BrowserList::TwoPhase, 0);
        model->pick(BrowserList::Wettability, 0);
        model->pick(BrowserList::Lithology, 0);
        model->pick(BrowserList::Location, location);
        model->pick(BrowserList::Method, 0);
        model->Command2_Click();
        for (int show = 0; show < shows; ++show)
            model->Command1_Click();
        return model;
    }

  private slots:
    void initTestCase() { quietOffscreenWarnings(); }

    void init() {
        dir = std::make_unique<QTemporaryDir>();
        // k values whose order as numbers differs from their order as texts.
        writeDataFile(folder(), WO,
                      recordsOf(WO, {SetRecipe{.location = 1, .k = 9, .kabs = 9, .swc = 0.22},
                                     SetRecipe{.location = 2, .k = 100, .kabs = 100},
                                     SetRecipe{.location = 1, .k = 10, .kabs = 10, .swc = 0.3},
                                     SetRecipe{.location = 3, .method = 2, .k = 2, .kabs = 2},
                                     SetRecipe{.location = 1, .k = 12.5, .kabs = 12.5}}));
        writeDataFile(folder(), GC, recordsOf(GC, {SetRecipe{.swc = 0.25, .sgc = 0.08}}));
        open(folder());
    }

    void cleanup() { window.reset(); }

    void listsEveryMatchWithTheDescriptionsTexts() {
        pickAll("Water-Oil Data");
        MatchListWindow* list = openList();
        QVERIFY(list);
        QVERIFY(list->isVisible() && !list->isModal());
        QCOMPARE(list->windowTitle(), QString("Water-Oil Data - Matching Data Sets"));
        QCOMPARE(programOfIcon(list->windowIcon()), QString("pellam"));
        QTableView* view = table(list);
        QCOMPARE(view->model()->rowCount(), 5);
        QCOMPARE(child<QLabel>(*list, "matchCount")->text(), QString("5 matching data sets"));
        QCOMPARE(column(view, "Match"), (QStringList{"1", "2", "3", "4", "5"}));
        QCOMPARE(column(view, "Location"),
                 (QStringList{"N. America", "S. America", "N. America", "Africa", "N. America"}));
        QCOMPARE(column(view, "Swc %"), (QStringList{"22.0", "20.0", "30.0", "20.0", "20.0"}));
        QCOMPARE(column(view, "Method").at(3), QString("Unsteady State"));
        QCOMPARE(column(view, "Wettability").at(0), QString("Water-Wet"));
        QVERIFY2(columnHeaded(view, "Sgc %") < 0, "no Sgc for water-oil data");
        QVERIFY(child<QLabel>(*list, "matchSelection")
                    ->text()
                    .startsWith("Water-Oil Data: All Wettabilities, All Formations, All "
                                "Locations, All Methods. Search All."));

        // The command again lists the selection as it is then, in the same window.
        pickEntry(*window, "wetpk", "Gas-Condensate Data");
        QCOMPARE(openList(), list);
        QCOMPARE(list->windowTitle(), QString("Gas-Condensate Data - Matching Data Sets"));
        QCOMPARE(table(list)->model()->rowCount(), 1);
        QCOMPARE(column(table(list), "Slc %"), QStringList{"25.0"});
        QCOMPARE(child<QLabel>(*list, "matchCount")->text(), QString("1 matching data set"));
    }

    void aHeadingSortsItsColumnNumericColumnsAsNumbers() {
        pickAll("Water-Oil Data");
        QTableView* view = table(openList());
        clickHeading(view, "k md");
        QCOMPARE(column(view, "k md"), (QStringList{"2.0", "9.0", "10.0", "12.5", "100.0"}));
        QCOMPARE(column(view, "Match"), (QStringList{"4", "1", "3", "5", "2"}));
        clickHeading(view, "k md");
        QCOMPARE(column(view, "Match"), (QStringList{"2", "5", "3", "1", "4"}));
        clickHeading(view, "Location");
        QCOMPARE(column(view, "Location"),
                 (QStringList{"Africa", "N. America", "N. America", "N. America", "S. America"}));
        // Equal texts keep the order of the matches.
        QCOMPARE(column(view, "Match").mid(1, 3), (QStringList{"1", "3", "5"}));
    }

    void aChosenRowIsShownAsTheShowsAfterACountShowIt() {
        pickAll("Water-Oil Data");
        QTableView* view = table(openList());
        clickHeading(view, "k md"); // rows now: matches 4, 1, 3, 5, 2
        doubleClickRow(view, 0);
        expectShows(*afterShows(4));
        QCOMPARE(find<QLabel>("Label8")->text(), QString("Data Set # 4"));

        view->setCurrentIndex(view->model()->index(2, 0));
        QTest::keyClick(view, Qt::Key_Return);
        expectShows(*afterShows(3));

        // Show goes on from the chosen match, as it would after three Shows.
        QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
        expectShows(*afterShows(4));
    }

    // The rows hold the matches as the Shows after the first find them, once the first
    // Show's display has put the Sgc default in place; a row chosen before any Show must be
    // shown so too.
    void aRowChosenBeforeAnyShowIsTheSetOfThatRow() {
        writeDataFile(folder(), GO,
                      recordsOf(GO, {SetRecipe{.sgc = 0.08}, SetRecipe{.sgc = 0.02},
                                     SetRecipe{.sgc = 0.09}, SetRecipe{.sgc = 0.03}}));
        pickAll("Gas-Oil Data");
        QTest::mouseClick(find<QRadioButton>("Option2"), Qt::LeftButton);
        QTableView* view = table(openList());
        QCOMPARE(column(view, "Sgc %"), (QStringList{"2.0", "3.0"}));
        doubleClickRow(view, 1);
        QCOMPARE(find<QLabel>("Label8")->text(), QString("Data Set # 2"));
        QVERIFY2(descriptionTexts().contains("Sgc =3.%"), qPrintable(descriptionTexts().join("|")));
    }

    void anIncompleteSelectionIsSaidInsteadOfListed() {
        pickEntry(*window, "wetpk", "Water-Oil Data");
        MatchListWindow* list = openList();
        QVERIFY(list);
        QVERIFY(table(list)->isHidden() && child<QLabel>(*list, "matchHint")->isHidden());
        QVERIFY(child<QLabel>(*list, "matchNotice")
                    ->text()
                    .startsWith("The selection is not "
                                "complete."));
        pickAll("Water-Oil Data");
        openList();
        QVERIFY(table(list)->isVisible());
        QVERIFY(child<QLabel>(*list, "matchNotice")->isHidden());
    }

    // A row of a list made before the selection changed would show another set under its
    // number; the list is made again instead.
    void aRowOfAnOutdatedListIsNotShown() {
        pickAll("Water-Oil Data");
        QTableView* view = table(openList());
        pickEntry(*window, "locpk", "North America");
        doubleClickRow(view, 1);
        QCOMPARE(find<QLabel>("Label8")->text(), QString());
        auto* list = window->findChild<MatchListWindow*>("matchList");
        QCOMPARE(view->model()->rowCount(), 3);
        QVERIFY(child<QLabel>(*list, "matchNotice")->text().contains("has changed"));
        doubleClickRow(view, 1);
        expectShows(*afterShows(2, 1));
    }

    // The demo database's rows in the order each heading gives them, as the list has always
    // shown them; the chosen row stays on its set through every sort.
    void theDemoDatabaseSortsAsItAlwaysHas() {
        open(DEMO_DIR);
        pickAll("Water-Oil Data");
        QTableView* view = table(openList());
        auto matches = [&] {
            QList<int> shown;
            for (const QString& match : column(view, "Match"))
                shown << match.toInt();
            return shown;
        };
        view->setCurrentIndex(view->model()->index(6, 2)); // match 7
        QList<int> inOrder;
        for (int match = 1; match <= 40; ++match)
            inOrder << match;
        QCOMPARE(matches(), inOrder);

        clickHeading(view, "k md");
        QCOMPARE(matches(), (QList<int>{20, 9,  6,  3,  35, 7,  26, 27, 30, 32, 33, 31, 8,  1,
                                        11, 15, 19, 5,  38, 40, 4,  22, 13, 37, 29, 28, 36, 18,
                                        34, 10, 24, 25, 23, 16, 17, 12, 39, 14, 21, 2}));
        QCOMPARE(view->currentIndex().row(), 5);
        QCOMPARE(view->currentIndex().column(), 2);
        QCOMPARE(view->selectionModel()->selectedRows(),
                 QModelIndexList{view->model()->index(5, 0)});
        clickHeading(view, "k md");
        QCOMPARE(matches(), (QList<int>{2,  21, 14, 39, 12, 17, 16, 23, 25, 24, 10, 34, 18, 36,
                                        28, 29, 37, 13, 22, 4,  40, 38, 5,  19, 15, 11, 1,  8,
                                        31, 33, 32, 30, 27, 26, 7,  35, 3,  6,  9,  20}));
        QCOMPARE(view->currentIndex().row(), 34);

        // Equal texts in the order of their matches, going up and going down.
        clickHeading(view, "Location");
        QCOMPARE(matches(), (QList<int>{3,  9,  15, 21, 27, 33, 39, 4,  10, 16, 22, 28, 34, 40,
                                        6,  12, 18, 24, 30, 36, 5,  11, 17, 23, 29, 35, 1,  7,
                                        13, 19, 25, 31, 37, 2,  8,  14, 20, 26, 32, 38}));
        clickHeading(view, "Location");
        QCOMPARE(matches(), (QList<int>{2,  8,  14, 20, 26, 32, 38, 1,  7,  13, 19, 25, 31, 37,
                                        5,  11, 17, 23, 29, 35, 6,  12, 18, 24, 30, 36, 4,  10,
                                        16, 22, 28, 34, 40, 3,  9,  15, 21, 27, 33, 39}));
        clickHeading(view, "Depth ft ss");
        QCOMPARE(matches(), (QList<int>{12, 6,  19, 29, 2,  23, 30, 7,  38, 40, 8,  34, 16, 17,
                                        37, 32, 21, 28, 1,  35, 26, 15, 5,  11, 25, 27, 18, 9,
                                        14, 24, 13, 4,  20, 39, 22, 31, 3,  36, 10, 33}));
        clickHeading(view, "Wettability");
        clickHeading(view, "Wettability");
        QCOMPARE(matches(), (QList<int>{10, 16, 22, 28, 34, 1,  4,  7,  13, 19, 25, 31, 37, 40,
                                        3,  6,  9,  12, 15, 18, 21, 24, 27, 30, 33, 36, 39, 2,
                                        5,  8,  11, 14, 17, 20, 23, 26, 29, 32, 35, 38}));
        clickHeading(view, "Match");
        QCOMPARE(matches(), inOrder);
        clickHeading(view, "Match");
        std::reverse(inOrder.begin(), inOrder.end());
        QCOMPARE(matches(), inOrder);
        QCOMPARE(view->currentIndex().row(), 33);
        QCOMPARE(column(view, "Match").at(33), QString("7"));

        // A list made again keeps the order the user chose.
        openList();
        QCOMPARE(matches(), inOrder);
    }

    void demoDatabaseScreenshot() {
        open(DEMO_DIR);
        pickAll("Water-Oil Data");
        MatchListWindow* list = openList();
        QVERIFY(list);
        QTableView* view = table(list);
        QCOMPARE(view->model()->rowCount(), 40);
        // Every column is as wide as its widest text and heading, and all of them fit.
        for (int c = 0; c < view->model()->columnCount(); ++c)
            QVERIFY2(view->columnWidth(c) >= view->horizontalHeader()->sectionSizeHint(c),
                     qPrintable(view->model()->headerData(c, Qt::Horizontal).toString()));
        // The window opens wide enough for every column, or as wide as it may on the screen.
        QVERIFY(view->horizontalScrollBar()->maximum() == 0 ||
                list->width() >= list->screen()->availableSize().width() * 9 / 10);
        QDir().mkpath(SHOTS_DIR);
        QVERIFY(list->grab().save(QString(SHOTS_DIR) + "/pellam-match-list.png"));
    }
};

QTEST_MAIN(MatchListTest)
#include "match_list_test.moc"
