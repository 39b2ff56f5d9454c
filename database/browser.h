// The database browser without its widgets. The window mirrors this model: it shows the
// captions, visibility, grid texts, description lines and plot scene that the model holds,
// and forwards each user event (a list pick, a typed box, a button) to the method named
// after the event. Every rule that needs no screen lives here, so the command line's `db`
// subcommands replay a user's session through the same model and see what the window shows.
//
// State for a whole run: the five selection lists, the search option and tolerance, the
// end-point boxes, the scan state, the one MeasuredDataSet, and what the display shows.
//
// Controls are named as in the window: Command1 (Show), Command2 (Count), Command3
// (Matching), Frame1 (Select/Adjust Data), Frame2 (Selection Criteria), Label2 and Label11
// (count), Label3 and MSFlexGrid2 (Data as Input), Label4 and MSFlexGrid1 (Adjusted Data),
// Label6/swcin, Label7/sorin, Label9/sgcin (end-point boxes), Label8 (data-set number),
// Picture1 (description), vomar (plot), wettpk (wettability list).
#pragma once

#include "common/gridtext.h"
#include "common/scene.h"
#include "database/datafile.h"
#include "database/datasetexport.h"
#include "database/display.h"
#include "database/matchlist.h"
#include "database/search.h"

#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace relperm {

// A drop-down list that shows its prompt until an entry is picked.
struct SelectionList {
    std::string prompt;
    std::vector<std::string> entries;
    int index = -1; // the picked entry, -1 while none is

    const std::string& text() const {
        return index >= 0 ? entries[static_cast<std::size_t>(index)] : prompt;
    }
};

enum class BrowserList { TwoPhase, Location, Method, Lithology, Wettability };
// wetpk, locpk, methpk, rockpk, wettpk
std::string_view listControlName(BrowserList list);

enum class EndPointBox { Swc, Sor, Sgc };     // swcin, sorin, sgcin
enum class BrowserGrid { AsInput, Adjusted }; // MSFlexGrid2, MSFlexGrid1

class DatabaseBrowser {
  public:
    // The window's start-up: the lists filled and showing their prompts, no system chosen,
    // "Search All" selected, the tolerance 5, nothing shown but the title and the lists.
    explicit DatabaseBrowser(std::filesystem::path dataDirectory);
    // The lists are referred to by reference members, so a copy would share them.
    DatabaseBrowser(const DatabaseBrowser&) = delete;
    DatabaseBrowser& operator=(const DatabaseBrowser&) = delete;

    // --- events ---------------------------------------------------------------------------

    // Picks entry `index` of a list and runs that list's click handler (a pick outside the
    // list is ignored). Once the selection is complete, a pick of a criteria list counts.
    void pick(BrowserList list, int index);
    void Command1_Click(); // Show (Next) Relative Permeability Data
    // Show pressed `presses` times as one command (`relperm db show --match N`), with what
    // those presses show and report, but reading only the record the last one shows.
    // Returns the damaged record the last press met.
    std::optional<DataFileProblem> pressShow(int presses);
    // Shows match `match` as the Show that follows `match` - 1 Shows after a count would, so
    // the next Show goes on from there (a row chosen in the list of matching sets).
    void showMatch(int match);
    void Command2_Click();                                // Count Data Sets
    void Command3_Click();                                // Matching Gas-Oil / Water-Oil Data
    void Option1_Click();                                 // Search All
    void Option2_Click();                                 // Search %
    void typeTolerance(std::string text);                 // stol
    void typeEndPoint(EndPointBox box, std::string text); // redraws the data set at once
    void typeTitle(std::string text);                     // Text1
    void clickGrid(BrowserGrid grid);                     // rewrites the grid's header row
    void windowActivated();                               // shows an opened data set again

    // Save and Open of the data-set text file. Each returns the message for the user when
    // it fails; a failed Open changes nothing.
    std::optional<std::string> save(const std::filesystem::path& path) const;
    std::optional<std::string> open(const std::filesystem::path& path);

    // --- what the window shows --------------------------------------------------------------

    const SelectionList& list(BrowserList list) const;
    bool isShown(std::string_view control) const;
    // The caption (or text) of a label, button or frame; empty for an unknown control.
    std::string caption(std::string_view control) const;
    bool searchPercent() const { return searchPercent_; }
    const std::string& toleranceText() const { return toleranceText_; }
    const std::string& endPointText(EndPointBox box) const;
    const std::string& title() const { return title_; }

    // The display of the data set: built from the last Show when first looked at, so a
    // run of Shows whose display nobody looks at (a script stepping to a match) costs only
    // the scans.
    const GridText& asInputGrid() const;                     // MSFlexGrid2
    const GridText& adjustedGrid() const;                    // MSFlexGrid1
    const std::vector<DescriptionLine>& description() const; // Picture1
    const Scene& plot() const;                               // vomar
    // The data set on display with what goes with it, for an export; nothing while no set
    // with points is shown.
    std::optional<ShownDataSet> shownDataSet() const;

    // Records lost by the last scan (an unreadable file or a damaged record), which the
    // window reports; cleared by the next scan.
    const std::optional<DataFileProblem>& lastProblem() const { return lastProblem_; }

    // --- state ------------------------------------------------------------------------------

    const std::filesystem::path& dataDirectory() const { return dataDirectory_; }
    // Reads another folder's data files from now on (File / Open Data Folder).
    void setDataDirectory(std::filesystem::path dataDirectory);
    const MeasuredDataSet& dataSet() const { return dataSet_; }
    const ScanState& scan() const { return scan_; }
    const UserEndPoints& userEndPoints() const { return user_; }
    double searchTolerance() const { return search_.tolerance; }
    TwoPhaseSystem twoPhaseSystem() const { return twoPhaseSystem_; }
    bool loadedFromFile() const { return loadedFromFile_; }
    // Locations, methods, lithologies and (for water-oil) wettability all picked.
    bool SelectionComplete() const;
    // Every set that Shows after a count step through for the current selection; nothing
    // while the selection is not complete.
    std::optional<MatchList> matchList() const;
    // What that list is of, without reading the file; nothing while incomplete.
    std::optional<MatchSelection> matchSelection() const;

    void ShowDataSet();

  private:
    void wetpk_Click();
    void criteriaList_Click();
    // The system picked without a user's pick (a matching search, an opened file): nothing
    // is counted, so the data set read stays.
    void selectSystem(int index);
    // After another system or folder: the stepping starts again, the data set shown goes,
    // and a complete selection is counted at once, so the count shown is always the one of
    // the system and the folder shown.
    void restartScans();
    void hideDataSet();
    void show(std::initializer_list<std::string_view> controls, bool visible);
    void layOutEndPointBoxes();
    // What drawing a data set with points shows: the frame "Select/Adjust Data", laid out.
    void showEndPointFrame();
    std::optional<TwoPhaseSystem> selectedSystem() const;
    void findDataSet();
    void setProblem(std::optional<DataFileProblem> problem);
    // Builds the display that the last Show left to build.
    void buildView() const;

    std::filesystem::path dataDirectory_;
    // Indexed by BrowserList: wetpk, locpk, methpk, rockpk, wettpk.
    std::array<SelectionList, 5> lists_;
    SelectionList& wetpk_ = lists_[0];
    SelectionList& locpk_ = lists_[1];
    SelectionList& methpk_ = lists_[2];
    SelectionList& rockpk_ = lists_[3];
    SelectionList& wettpk_ = lists_[4];
    bool searchPercent_ = false;
    std::string toleranceText_ = "5";
    ToleranceSearch search_;
    std::string swcin_, sorin_, sgcin_;
    UserEndPoints user_;
    std::string title_;
    TwoPhaseSystem twoPhaseSystem_ = TwoPhaseSystem::WaterOil;
    bool loadedFromFile_ = false;
    ScanState scan_;
    MeasuredDataSet dataSet_;

    std::map<std::string, bool, std::less<>> shown_;
    std::map<std::string, std::string, std::less<>> captions_;
    // What the last Show displays, kept as it was then until the display is built.
    struct PendingView {
        TwoPhaseSystem system;
        MeasuredDataSet set;
        UserEndPoints user;
        bool adjusted;
    };
    mutable std::optional<PendingView> pendingView_;
    mutable GridText asInputGrid_;
    mutable GridText adjustedGrid_;
    mutable std::vector<DescriptionLine> description_;
    mutable Scene plot_;
    std::optional<DataFileProblem> lastProblem_;
};

} // namespace relperm
