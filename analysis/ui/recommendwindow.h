// A low/base/high SCAL recommendation from every set the browser's selection matches, in a
// resizable window of its own: the fits of the sets in grey under the three cases and the
// case at the slider's t, the cases' parameters (and any case whose end points had to be
// scaled to stay physical), the sets left out and why (not fitted, or fitted worse than the
// largest rms asked for), and the ways the recommendation leaves the window (the parameters
// on the clipboard, the case at t as a simulator include file). Everything shown comes from
// the core (analysis/).
//
// A field's file can hold a million sets, whose fits take as long as `relperm recommend`
// takes over it. They run on a thread of the pool, so the window goes on answering, with a
// progress bar (the fraction of the file read) and a Cancel. A run holds copies of what it
// was asked and nothing of the window; only the run started last may show its outcome, and
// a run cancelled or overtaken by another (another model, weighting, largest rms or
// selection) stops at its next record.
#pragma once

#include "analysis/recommend.h"
#include "database/matchlist.h"
#include "ui/windowparts.h"

#include <QFutureWatcher>
#include <QPointer>
#include <QWidget>

#include <filesystem>
#include <optional>
#include <variant>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;
class QTableWidget;

namespace relperm::ui {
class PlotView;
}

namespace relperm::analysisui {

class TablesWindow;

class RecommendWindow : public QWidget {
    Q_OBJECT
  public:
    // Uses the file dialog of `services` for the simulator tables, its image dialog for Save
    // Image and its messages for what goes wrong.
    explicit RecommendWindow(ui::WindowServices services, QWidget* parent = nullptr);
    // Stops a run still going and waits the moment it takes to reach its next record.
    ~RecommendWindow() override;

    // Starts fitting every set of `dataDirectory` that `selection` matches with the model
    // chosen, to recommend from them, in place of a run still going; the window keeps that
    // selection until it is given another. `description` says in words what the selection
    // is, for the window and the file.
    void recommend(std::filesystem::path dataDirectory, MatchSelection selection,
                   QString description);

    FitModel model() const { return model_; }
    // Fits the sets again with `model`, as the model's radio button does.
    void setModel(FitModel model);
    // While the sets of the last run are being fitted.
    bool working() const { return working_; }
    // "Cancel": stops the run; the window says so and shows no cases.
    void cancel();
    // Nothing when no set could be fitted (the refusal shows in its place).
    const std::optional<ScalRecommendation>& recommendation() const { return recommendation_; }
    // Where the slider stands, from -1 (low) through 0 (base) to 1 (high).
    double t() const;
    ui::PlotView* plot() const { return plot_; }

    // "Copy Parameters": the three cases' parameter file, for a spreadsheet or pyscal.
    void copyParameters();
    // "Write Simulator Tables...": asks for the file, then writes the case at t.
    void writeSimulatorTables();
    // "Open in Tables...": the three cases in the tables window at the slider's t, for other
    // keywords, rows, capillary pressure or gas-oil curves taken elsewhere.
    TablesWindow* openInTables();

  signals:
    // The outcome of the last run is shown: its cases, or why there are none. A run
    // cancelled or overtaken shows nothing and says nothing.
    void computed();

  private:
    using Outcome = std::variant<ScalRecommendation, Refusal>;

    void compute();
    void computationEnded();
    void showRecommendation();
    void showParameters();
    void showLeftOut();
    void tMoved();
    RecommendOptions options() const;

    ui::WindowServices services_;
    FitModel model_ = FitModel::Corey;
    std::filesystem::path dataDirectory_;
    std::optional<MatchSelection> selection_;
    std::optional<ScalRecommendation> recommendation_;
    QString description_;
    QString refusal_;
    bool working_ = false;
    bool cancelled_ = false;
    QFutureWatcher<Outcome>* run_ = nullptr;

    QWidget* progressRow_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_ = nullptr;
    ui::PlotView* plot_ = nullptr;
    QSlider* slider_ = nullptr;
    QLabel* tValue_ = nullptr;
    QRadioButton* corey_ = nullptr;
    QRadioButton* let_ = nullptr;
    QComboBox* weight_ = nullptr;
    QDoubleSpinBox* maxRms_ = nullptr;
    QLabel* heading_ = nullptr;
    QLabel* refusalLabel_ = nullptr;
    QTableWidget* parameters_ = nullptr;
    QLabel* misfit_ = nullptr;
    QLabel* scaled_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* write_ = nullptr;
    QPushButton* tables_ = nullptr;
    QPointer<TablesWindow> tablesWindow_;
    QLabel* count_ = nullptr;
    QListWidget* leftOut_ = nullptr;
};

} // namespace relperm::analysisui
