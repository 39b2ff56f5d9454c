// A model fitted to the data set the browser shows, in a resizable window of its own: the
// plot of the measured points with the fitted curves and the correlations chosen to compare
// with them, the fitted parameters and their misfit, and the ways the fit leaves the window
// (the parameters on the clipboard, the curves as a simulator include file). The fit, the
// comparison, the plot and the file all come from the core (analysis/); the window shows
// them and asks where the file goes.
#pragma once

#include "analysis/compare.h"
#include "analysis/fit.h"
#include "database/datasetexport.h"
#include "ui/windowparts.h"

#include <QPointer>
#include <QWidget>

#include <optional>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace relperm::ui {
class PlotView;
}

namespace relperm::analysisui {

class TablesWindow;

class FitWindow : public QWidget {
    Q_OBJECT
  public:
    // Uses the file dialog of `services` for the simulator tables, its image dialog for Save
    // Image and its messages for what goes wrong.
    FitWindow(FitModel model, ui::WindowServices services, QWidget* parent = nullptr);

    // Fits the model to the points of `shown` as measured and compares the correlations with
    // them; the window then shows that set until it is given another.
    void showFit(ShownDataSet shown);

    FitModel model() const { return model_; }
    // The fit shown; nothing when the set was refused (the refusal shows in its place).
    const std::optional<FittedSet>& fit() const { return fit_; }
    const std::vector<CorrelationComparison>& comparisons() const { return comparisons_; }
    ui::PlotView* plot() const { return plot_; }

    // "Copy Parameters": the parameter file's header and row, for a spreadsheet or pyscal.
    void copyParameters();
    // "Write Simulator Tables...": asks for the file, then writes the fitted curves.
    void writeSimulatorTables();
    // "Open in Tables...": the parameters in the tables window, for other keywords, rows or
    // capillary pressure; the window stays open when this one closes.
    TablesWindow* openInTables();

  private:
    void showParameters();
    void showComparisons();
    // The comparisons whose box is ticked, as indices into comparisons_.
    std::vector<std::size_t> chosenOverlays() const;

    FitModel model_;
    ui::WindowServices services_;
    ShownDataSet shown_;
    std::optional<FittedSet> fit_;
    std::vector<CorrelationComparison> comparisons_;

    ui::PlotView* plot_ = nullptr;
    QLabel* heading_ = nullptr;
    QLabel* note_ = nullptr;
    QTableWidget* parameters_ = nullptr;
    QLabel* refusal_ = nullptr;
    QLabel* misfit_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* write_ = nullptr;
    QListWidget* overlays_ = nullptr;
    QPushButton* tables_ = nullptr;
    QPointer<TablesWindow> tablesWindow_;
};

} // namespace relperm::analysisui
