// A low/base/high SCAL recommendation from every set the browser's selection matches, in a
// resizable window of its own: the fits of the sets in grey under the three cases and the
// case at the slider's t, the cases' parameters, the sets that could not be fitted and why,
// and the ways the recommendation leaves the window (the parameters on the clipboard, the
// case at t as a simulator include file). Everything shown comes from the core (analysis/).
#pragma once

#include "analysis/recommend.h"
#include "database/matchlist.h"
#include "ui/windowparts.h"

#include <QWidget>

#include <filesystem>
#include <optional>

class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSlider;
class QTableWidget;

namespace relperm::ui {
class PlotView;
}

namespace relperm::analysisui {

class RecommendWindow : public QWidget {
    Q_OBJECT
  public:
    // Uses the file dialog of `services` for the simulator tables, its image dialog for Save
    // Image and its messages for what goes wrong.
    explicit RecommendWindow(ui::WindowServices services, QWidget* parent = nullptr);

    // Fits every set of `dataDirectory` that `selection` matches with the model chosen and
    // recommends from them; the window keeps that selection until it is given another.
    // `description` says in words what the selection is, for the window and the file.
    void recommend(std::filesystem::path dataDirectory, MatchSelection selection,
                   QString description);

    FitModel model() const { return model_; }
    // Fits the sets again with `model`, as the model's radio button does.
    void setModel(FitModel model);
    // Nothing when no set could be fitted (the refusal shows in its place).
    const std::optional<ScalRecommendation>& recommendation() const { return recommendation_; }
    // Where the slider stands, from -1 (low) through 0 (base) to 1 (high).
    double t() const;
    ui::PlotView* plot() const { return plot_; }

    // "Copy Parameters": the three cases' parameter file, for a spreadsheet or pyscal.
    void copyParameters();
    // "Write Simulator Tables...": asks for the file, then writes the case at t.
    void writeSimulatorTables();

  private:
    void compute();
    void showRecommendation();
    void showParameters();
    void showLeftOut();
    void tMoved();

    ui::WindowServices services_;
    FitModel model_ = FitModel::Corey;
    std::filesystem::path dataDirectory_;
    std::optional<MatchSelection> selection_;
    std::optional<ScalRecommendation> recommendation_;
    QString description_;
    QString refusal_;

    ui::PlotView* plot_ = nullptr;
    QSlider* slider_ = nullptr;
    QLabel* tValue_ = nullptr;
    QRadioButton* corey_ = nullptr;
    QRadioButton* let_ = nullptr;
    QLabel* heading_ = nullptr;
    QLabel* refusalLabel_ = nullptr;
    QTableWidget* parameters_ = nullptr;
    QLabel* misfit_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* write_ = nullptr;
    QLabel* count_ = nullptr;
    QListWidget* leftOut_ = nullptr;
};

} // namespace relperm::analysisui
