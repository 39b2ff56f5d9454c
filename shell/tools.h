// The programs' Tools menus: the windows of the analysis (fit, recommendation, tables from
// parameters, simulator tables) composed into the browser and the calculator. Neither of
// those windows knows the analysis windows; this level above both opens them, so no folder
// reaches up into another.
#pragma once

namespace relperm::databaseui {
class PellamWindow;
}
namespace relperm::calculatorui {
class Form1;
}

namespace relperm::shell {

// Tools / Fit Corey, Fit LET: the model fitted to the shown set, one window per model given
// the set shown when asked again (a warning while no set is shown); SCAL Recommendation:
// low, base and high cases of every matching set, one window recomputed when asked again
// (a warning while the selection is not complete); Tables from Parameters: one window
// raised when asked again; Open Simulator Tables: one window raised when asked again, which
// then asks for the deck. The windows belong to `browser`.
void addBrowserTools(databaseui::PellamWindow& browser);

// Tools / Tables from Parameters and Open Simulator Tables, one window each belonging to
// `calculator`.
void addCalculatorTools(calculatorui::Form1& calculator);

} // namespace relperm::shell
