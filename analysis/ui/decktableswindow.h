// The saturation tables of a simulator deck an engineer inherits, in a resizable window of its
// own: the regions, the kr curves and the capillary pressure of the one chosen as the deck
// writes them, what the simulator's checks find with each finding's row marked on the plot,
// the deck converted to another keyword family, and a Corey or LET fit of one of its tables.
// It is `relperm deck check` and `relperm deck convert` with a screen: the reader, the checks,
// the conversion and the fit are the core's (deck/, analysis/); the curves and the marks come
// from analysis/deckview.
#pragma once

#include "analysis/fit.h"
#include "deck/checks.h"
#include "ui/windowparts.h"

#include <QPointer>
#include <QWidget>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace relperm {
class ProtectedFiles;
}

namespace relperm::ui {
class PlotView;
}

namespace relperm::analysisui {

class FitWindow;

class DeckTablesWindow : public QWidget {
    Q_OBJECT
  public:
    // `program` ("vomar", "pellam") names the window's icon. Uses the file dialog of
    // `services` for the deck and the converted file, its image dialog for Save Image and its
    // messages for what goes wrong.
    DeckTablesWindow(ui::WindowServices services, std::string program, QWidget* parent = nullptr);
    ~DeckTablesWindow() override;

    // "Open...": asks for an include file or a deck, then shows its tables.
    void openDeck();
    // Reads the deck at `file` with its INCLUDE files and shows its tables; a deck that cannot
    // be read, or holds no saturation table, is refused in a message naming the file, line and
    // keyword, and the window keeps what it showed.
    bool openFile(const QString& file);

    const std::optional<deck::DeckTables>& deck() const { return deck_; }
    const std::vector<deck::Finding>& findings() const { return findings_; }
    // The SATNUM whose curves are shown; 0 while no deck is.
    int shownRegion() const;
    ui::PlotView* krPlot() const { return krPlot_; }
    ui::PlotView* pcPlot() const { return pcPlot_; }

    // "Convert...": the deck in the family chosen beside the button, written where the file
    // dialog says (the deck's name with "-family2.inc" offered), never over the deck or a file
    // it includes; a conversion refused is shown with its reason before a name is asked.
    void convert();
    // "Fit...": the model chosen fitted to the shown region's table of the chosen keyword, in
    // the fit window of that model, which shows the parameters and their misfit and opens them
    // in Tables from Parameters. Returns that window, or nothing when the table is refused.
    FitWindow* fit();

  private:
    void showDeck(deck::DeckTables tables, const QString& file);
    void showFindings();
    void findingChosen();
    // The region chosen: its curves, and its name with the deck's in the title.
    void showRegion();

    ui::WindowServices services_;
    std::string program_;
    std::optional<deck::DeckTables> deck_;
    QString deckName_; // the file opened, without its folder
    std::vector<deck::Finding> findings_;
    std::optional<std::size_t> chosenFinding_;
    std::unique_ptr<ProtectedFiles> protected_;
    std::map<FitModel, QPointer<FitWindow>> fitWindows_;

    ui::PlotView* krPlot_ = nullptr;
    ui::PlotView* pcPlot_ = nullptr;
    QLabel* heading_ = nullptr;
    QListWidget* regions_ = nullptr;
    QGroupBox* checks_ = nullptr;
    QLabel* summary_ = nullptr;
    QListWidget* findingList_ = nullptr;
    QComboBox* family_ = nullptr;
    QPushButton* convert_ = nullptr;
    QLabel* convertNote_ = nullptr;
    QComboBox* fitKeyword_ = nullptr;
    QComboBox* fitModel_ = nullptr;
    QPushButton* fit_ = nullptr;
    QLabel* fitNote_ = nullptr;
};

} // namespace relperm::analysisui
