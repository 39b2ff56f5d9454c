#include "shell/tools.h"

#include "analysis/ui/decktableswindow.h"
#include "analysis/ui/fitwindow.h"
#include "analysis/ui/recommendwindow.h"
#include "analysis/ui/tableswindow.h"
#include "calculator/ui/form1.h"
#include "database/ui/pellamwindow.h"
#include "ui/messages.h"

#include <QMenu>
#include <QPointer>

#include <map>

namespace relperm::shell {

namespace {

template <class Window> Window* raised(Window* window) {
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

// The one tables window of a program's window, made when first asked for.
std::function<void()> tablesOpener(QWidget* owner, ui::WindowServices services,
                                   const char* program) {
    auto window = std::make_shared<QPointer<analysisui::TablesWindow>>();
    return [owner, services, program, window] {
        if (!*window)
            *window = new analysisui::TablesWindow(services, program, owner);
        raised(window->data());
    };
}

// The one simulator tables window of a program's window, made when first asked for; each
// time it is asked for it asks for the deck to show, as Open does.
std::function<void()> deckTablesOpener(QWidget* owner, ui::WindowServices services,
                                       const char* program) {
    auto window = std::make_shared<QPointer<analysisui::DeckTablesWindow>>();
    return [owner, services, program, window] {
        if (!*window)
            *window = new analysisui::DeckTablesWindow(services, program, owner);
        raised(window->data())->openDeck();
    };
}

} // namespace

void addBrowserTools(databaseui::PellamWindow& browser) {
    QMenu* tools = browser.toolsMenu();
    auto fits = std::make_shared<std::map<FitModel, QPointer<analysisui::FitWindow>>>();
    const auto openFit = [&browser, fits](FitModel model) {
        const std::optional<ShownDataSet> shown = browser.model().shownDataSet();
        if (!shown) {
            browser.services().messages->warn(&browser, browser.windowTitle(),
                                              "No data set is shown: show one first.");
            return;
        }
        QPointer<analysisui::FitWindow>& window = (*fits)[model];
        if (!window)
            window = new analysisui::FitWindow(model, browser.services(), &browser);
        window->showFit(*shown);
        raised(window.data());
    };
    QObject::connect(ui::addMenuItem(tools, "fitCorey", "Fit &Corey..."), &QAction::triggered,
                     &browser, [openFit] { openFit(FitModel::Corey); });
    QObject::connect(ui::addMenuItem(tools, "fitLet", "Fit &LET..."), &QAction::triggered, &browser,
                     [openFit] { openFit(FitModel::Let); });

    auto recommendation = std::make_shared<QPointer<analysisui::RecommendWindow>>();
    QObject::connect(ui::addMenuItem(tools, "scalRecommendation", "&SCAL Recommendation..."),
                     &QAction::triggered, &browser, [&browser, recommendation] {
                         const DatabaseBrowser& model = browser.model();
                         const std::optional<MatchSelection> selection = model.matchSelection();
                         if (!selection) {
                             browser.services().messages->warn(
                                 &browser, browser.windowTitle(),
                                 "Pick the data sets first: the system and its lists.");
                             return;
                         }
                         if (!*recommendation)
                             *recommendation =
                                 new analysisui::RecommendWindow(browser.services(), &browser);
                         (*recommendation)
                             ->recommend(model.dataDirectory(), *selection,
                                         databaseui::selectionText(model, *selection));
                         raised(recommendation->data());
                     });

    QObject::connect(ui::addMenuItem(tools, "tablesFromParameters", "Tables from &Parameters..."),
                     &QAction::triggered, &browser,
                     tablesOpener(&browser, browser.services(), "pellam"));
    QObject::connect(ui::addMenuItem(tools, "openSimulatorTables", "Open Simulator &Tables..."),
                     &QAction::triggered, &browser,
                     deckTablesOpener(&browser, browser.services(), "pellam"));
}

void addCalculatorTools(calculatorui::Form1& calculator) {
    QObject::connect(ui::addMenuItem(calculator.toolsMenu(), "tablesFromParameters",
                                     "Tables from &Parameters..."),
                     &QAction::triggered, &calculator,
                     tablesOpener(&calculator, calculator.services(), "vomar"));
    QObject::connect(
        ui::addMenuItem(calculator.toolsMenu(), "openSimulatorTables", "Open Simulator &Tables..."),
        &QAction::triggered, &calculator,
        deckTablesOpener(&calculator, calculator.services(), "vomar"));
}

} // namespace relperm::shell
