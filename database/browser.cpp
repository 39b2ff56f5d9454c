#include "database/browser.h"

#include "common/numbers.h"
#include "database/adjust.h"
#include "database/datasetfile.h"
#include "database/plot.h"

#include <algorithm>

namespace relperm {

namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

} // namespace

std::string_view listControlName(BrowserList list) {
    switch (list) {
    case BrowserList::TwoPhase:
        return "wetpk";
    case BrowserList::Location:
        return "locpk";
    case BrowserList::Method:
        return "methpk";
    case BrowserList::Lithology:
        return "rockpk";
    case BrowserList::Wettability:
        break;
    }
    return "wettpk";
}

DatabaseBrowser::DatabaseBrowser(std::filesystem::path dataDirectory)
    : dataDirectory_(std::move(dataDirectory)) {
    locpk_ = {"Select Location",
              {"All Locations", "North America", "South America", "Africa", "Asia", "Europe",
               "Australia"}};
    wetpk_ = {"Select Two Phase Data",
              {"Water-Oil Data", "Gas-Oil Data", "Gas-Water Data", "Gas-Condensate Data"}};
    wettpk_ = {"Select Wettability",
               {"All Wettabilities", "Water-Wet", "Intermediate (Mixed) Wet", "Oil-Wet"}};
    rockpk_ = {"Select Lithology",
               {"All Formations", "Sandstone", "Limestone", "Dolomite", "Shale"}};
    methpk_ = {"Select Method", {"All Methods", "Steady State", "Unsteady State"}};

    for (std::string_view c :
         {"Toolbar1", "Label1", "Text1", "wetpk", "wettpk", "rockpk", "locpk", "methpk", "Option1",
          "Option2", "stol", "Label6", "swcin", "Label7", "sorin", "Label9", "sgcin"})
        shown_[std::string(c)] = true;
    for (std::string_view c :
         {"Label10", "Command1", "Command2", "Command3", "Label2", "Label11", "Label8", "Frame1",
          "Frame2", "Picture1", "Label3", "MSFlexGrid2", "vomar", "Label4", "MSFlexGrid1"})
        shown_[std::string(c)] = false;

    captions_ = {{"Label1", "Title"},
                 {"Label10", "Relative Permeability Database"},
                 {"Command1", "Show Relative Permeability Data"},
                 {"Command2", "Count Data Sets"},
                 {"Command3", "Matching Gas-Oil Data"},
                 {"Label2", "No. of Data      Sets"},
                 {"Label11", ""},
                 {"Label8", ""},
                 {"Frame2", "Selection Criteria"},
                 {"Option1", "Search All"},
                 {"Option2", "Search %"},
                 {"Frame1", "Select/Adjust Data"},
                 {"Label6", "Swc %"},
                 {"Label7", "Sorw %"},
                 {"Label9", "Sgc %"},
                 {"Label3", "Data as Input"},
                 {"Label4", "Adjusted Data"}};
    search_.tolerance = textToNumber(toleranceText_);
    plot_.coordinates = krPlotCoordinates;
}

const SelectionList& DatabaseBrowser::list(BrowserList list) const {
    return lists_[static_cast<std::size_t>(list)];
}

bool DatabaseBrowser::isShown(std::string_view control) const {
    auto it = shown_.find(control);
    return it != shown_.end() && it->second;
}

std::string DatabaseBrowser::caption(std::string_view control) const {
    auto it = captions_.find(control);
    return it == captions_.end() ? std::string() : it->second;
}

const std::string& DatabaseBrowser::endPointText(EndPointBox box) const {
    switch (box) {
    case EndPointBox::Swc:
        return swcin_;
    case EndPointBox::Sor:
        return sorin_;
    case EndPointBox::Sgc:
        break;
    }
    return sgcin_;
}

void DatabaseBrowser::show(std::initializer_list<std::string_view> controls, bool visible) {
    for (std::string_view c : controls)
        shown_[std::string(c)] = visible;
}

bool DatabaseBrowser::SelectionComplete() const {
    if (locpk_.index < 0 || methpk_.index < 0 || rockpk_.index < 0)
        return false;
    return (wetpk_.index >= 1 && wetpk_.index <= 3) || (wetpk_.index == 0 && wettpk_.index >= 0);
}

std::optional<MatchSelection> DatabaseBrowser::matchSelection() const {
    if (!SelectionComplete())
        return std::nullopt;
    MatchSelection selection;
    selection.system = *selectedSystem();
    selection.lists = {wettpk_.index, rockpk_.index, methpk_.index, locpk_.index};
    selection.searchPercent = searchPercent_;
    selection.tolerance = search_.tolerance;
    selection.user = comparedEndPoints(user_);
    return selection;
}

std::optional<MatchList> DatabaseBrowser::matchList() const {
    const std::optional<MatchSelection> selection = matchSelection();
    if (!selection)
        return std::nullopt;
    return listMatches(dataDirectory_, selection->system, selection->lists,
                       {selection->searchPercent, selection->tolerance}, selection->user);
}

std::optional<TwoPhaseSystem> DatabaseBrowser::selectedSystem() const {
    if (wetpk_.index < 0)
        return std::nullopt;
    return static_cast<TwoPhaseSystem>(wetpk_.index);
}

void DatabaseBrowser::setProblem(std::optional<DataFileProblem> problem) {
    lastProblem_ = std::move(problem);
}

void DatabaseBrowser::pick(BrowserList which, int index) {
    SelectionList& l = lists_[static_cast<std::size_t>(which)];
    if (index < 0 || index >= static_cast<int>(l.entries.size()))
        return;
    const int before = l.index;
    l.index = index;
    if (which != BrowserList::TwoPhase) {
        criteriaList_Click();
        return;
    }
    wetpk_Click();
    // A count and a stepping belong to one system: another system starts them afresh.
    if (index != before)
        restartScans();
}

void DatabaseBrowser::selectSystem(int index) {
    wetpk_.index = index;
    wetpk_Click();
}

void DatabaseBrowser::restartScans() {
    scan_.targetMatch = 0;
    loadedFromFile_ = false;
    hideDataSet();
    if (SelectionComplete()) {
        show({"Command1", "Command2", "Frame2"}, true);
        Command2_Click();
    } else {
        show({"Label2", "Label11"}, false);
    }
}

void DatabaseBrowser::hideDataSet() {
    show({"Label8", "Label3", "MSFlexGrid2", "Label4", "MSFlexGrid1", "vomar", "Picture1",
          "Command3"},
         false);
    pendingView_.reset();
    asInputGrid_ = GridText{gridHeader(twoPhaseSystem_), {}};
    adjustedGrid_ = GridText{gridHeader(twoPhaseSystem_), {}};
    description_.clear();
    plot_ = Scene{};
    plot_.coordinates = krPlotCoordinates;
}

void DatabaseBrowser::setDataDirectory(std::filesystem::path dataDirectory) {
    dataDirectory_ = std::move(dataDirectory);
    scan_ = ScanState{};
    setProblem(std::nullopt);
    restartScans();
}

void DatabaseBrowser::criteriaList_Click() {
    if (!SelectionComplete())
        return;
    show({"Command1", "Command2"}, true);
    Command2_Click();
    show({"Frame2"}, true);
}

void DatabaseBrowser::wetpk_Click() {
    if (SelectionComplete())
        show({"Command1", "Command2", "Frame2"}, true);
    const std::optional<TwoPhaseSystem> system = selectedSystem();
    if (!system)
        return;
    twoPhaseSystem_ = *system;
    show({"wettpk"}, *system == TwoPhaseSystem::WaterOil);
    // Without oil there is no residual oil to type, so it cannot hold the adjustment back.
    if (*system == TwoPhaseSystem::GasWater || *system == TwoPhaseSystem::GasCondensate)
        user_.sor = 0.0;
}

void DatabaseBrowser::findDataSet() {
    const SearchCriteria lists{wettpk_.index, rockpk_.index, methpk_.index, locpk_.index};
    search_.enabled = searchPercent_;
    setProblem(
        FindDataSet(dataDirectory_, selectedSystem(), lists, search_, user_, scan_, dataSet_));
}

void DatabaseBrowser::Command2_Click() {
    scan_.targetMatch = 0;
    findDataSet();
    show({"Label2", "Label11"}, true);
    captions_["Label11"] = " " + std::to_string(scan_.matchCount);
    show({"Command3"}, false);
}

void DatabaseBrowser::Command1_Click() {
    captions_["Command1"] = "Show Next Relative Permeability Data";
    const std::string& system = wetpk_.text();
    if (startsWith(system, "Gas"))
        captions_["Command3"] = "Matching Water-Oil Data";
    if (startsWith(system, "Wat"))
        captions_["Command3"] = "Matching Gas-Oil Data";
    show({"Command3"}, !startsWith(system, "Gas-W") && !startsWith(system, "Gas-C"));
    ++scan_.targetMatch;
    findDataSet();
    ShowDataSet();
}

std::optional<DataFileProblem> DatabaseBrowser::pressShow(int presses) {
    if (presses < 1)
        return std::nullopt;
    // The presses before the last would only step on: which records match does not hang on
    // what a display sets (MatchRule), each scan reads the file as the last one finds it,
    // and each display is replaced by the next. So the last press goes straight to its
    // match through the count's index: one record read, however far the match.
    scan_.targetMatch += presses - 1;
    Command1_Click();
    // What the presses before leave behind them: the first drew match 1, when there is one,
    // and with it the end-point frame, which a last press past the end leaves standing.
    if (presses > 1 && scan_.noMoreData == 0 && scan_.matchCount >= 1)
        showEndPointFrame();
    return lastProblem_;
}

void DatabaseBrowser::showMatch(int match) {
    Command2_Click();
    pressShow(std::max(match, 1));
}

void DatabaseBrowser::Command3_Click() {
    const std::optional<TwoPhaseSystem> current = selectedSystem();
    const std::optional<TwoPhaseSystem> other = current ? matchingSystem(*current) : std::nullopt;
    if (other) {
        SampleMatch match = findSameSample(dataDirectory_, *other, dataSet_, scan_.matchCount);
        setProblem(std::move(match.problem));
        if (!match.found) {
            buildView();
            description_.push_back(DescriptionLine{{{0, noMatchNotice(*other)}}, noticeRed});
            return;
        }
        // The set found is shown, not counted over: the count and the stepping of the other
        // system no longer apply.
        selectSystem(static_cast<int>(*other));
        scan_.targetMatch = 0;
        show({"Label2", "Label11"}, false);
        captions_["Command3"] = *other == TwoPhaseSystem::WaterOil ? "Matching Gas-Oil Data"
                                                                   : "Matching Water-Oil Data";
    }
    show({"vomar", "Picture1"}, true);
    buildView();
    description_ = matchSummary(twoPhaseSystem_, dataSet_);
    ShowDataSet();
    show({"Label8"}, false);
}

void DatabaseBrowser::layOutEndPointBoxes() {
    const EndPointLayout layout = LayoutEndPointBoxes(twoPhaseSystem_);
    show({"Label7", "sorin"}, layout.sorShown);
    show({"Label9", "sgcin"}, layout.sgcShown);
    if (layout.label7Caption)
        captions_["Label7"] = std::string(*layout.label7Caption);
}

void DatabaseBrowser::showEndPointFrame() {
    layOutEndPointBoxes();
    show({"Frame1"}, true);
}

void DatabaseBrowser::Option1_Click() {
    searchPercent_ = false;
    show({"Frame1"}, false);
}

void DatabaseBrowser::Option2_Click() {
    searchPercent_ = true;
    show({"Frame1"}, true);
    layOutEndPointBoxes();
}

void DatabaseBrowser::typeTolerance(std::string text) {
    toleranceText_ = std::move(text);
    search_.tolerance = textToNumber(toleranceText_);
}

void DatabaseBrowser::typeEndPoint(EndPointBox box, std::string text) {
    std::optional<double> value = endPointValue(text);
    switch (box) {
    case EndPointBox::Swc:
        swcin_ = std::move(text);
        user_.swc = value;
        break;
    case EndPointBox::Sor:
        sorin_ = std::move(text);
        user_.sor = value;
        break;
    case EndPointBox::Sgc:
        sgcin_ = std::move(text);
        user_.sgc = value;
        break;
    }
    ShowDataSet();
}

void DatabaseBrowser::typeTitle(std::string text) {
    title_ = std::move(text);
}

void DatabaseBrowser::clickGrid(BrowserGrid grid) {
    buildView();
    (grid == BrowserGrid::AsInput ? asInputGrid_ : adjustedGrid_).header =
        gridHeader(twoPhaseSystem_);
}

void DatabaseBrowser::windowActivated() {
    if (loadedFromFile_)
        ShowDataSet();
}

void DatabaseBrowser::ShowDataSet() {
    if (scan_.noMoreData == 1) {
        // Only the plot is cleared; the grids and the description stay as they were.
        buildView();
        plot_ = Scene{};
        plot_.coordinates = krPlotCoordinates;
        return;
    }
    show({"vomar", "Picture1"}, true);
    captions_["Label6"] = std::string(swcBoxCaption(twoPhaseSystem_));
    if (!loadedFromFile_)
        show({"Label8"}, true);
    captions_["Label8"] = dataSetCaption(scan_.matchCount);
    show({"Label3"}, true);
    if (dataSet_.pointCount > 0)
        showEndPointFrame();
    show({"MSFlexGrid2"}, true);
    show({"MSFlexGrid1", "Label4"}, false);

    applySgcDefault(user_);
    const bool adjusted = AdjustmentWanted(twoPhaseSystem_, user_);
    if (adjusted)
        show({"MSFlexGrid1", "Label4"}, true);
    // A Show without adjustment keeps the adjusted rows of the one before (hidden), so those
    // of a Show not yet displayed are built before it is replaced.
    if (pendingView_ && pendingView_->adjusted && !adjusted)
        buildView();
    pendingView_ = PendingView{twoPhaseSystem_, dataSet_, user_, adjusted};
}

void DatabaseBrowser::buildView() const {
    if (!pendingView_)
        return;
    // The display fills the derived columns of the set it shows, hence the view's own copy.
    PendingView& view = *pendingView_;
    description_.clear();
    adjustedGrid_.header = gridHeader(view.system);
    asInputGrid_ = asInputTable(view.system, view.set);
    if (view.adjusted)
        adjustedGrid_ = MakeAdjustedTable(view.system, view.user, view.set);
    plot_ = dataSetPlot(view.system, view.set, view.adjusted);
    description_ = describeDataSet(view.system, view.set);
    pendingView_.reset();
}

std::optional<ShownDataSet> DatabaseBrowser::shownDataSet() const {
    if (!isShown("MSFlexGrid2") || dataSet_.pointCount <= 0)
        return std::nullopt;
    return ShownDataSet{twoPhaseSystem_,
                        dataSet_,
                        user_,
                        isShown("MSFlexGrid1"),
                        loadedFromFile_ ? 0 : scan_.matchCount,
                        title_};
}

const GridText& DatabaseBrowser::asInputGrid() const {
    buildView();
    return asInputGrid_;
}

const GridText& DatabaseBrowser::adjustedGrid() const {
    buildView();
    return adjustedGrid_;
}

const std::vector<DescriptionLine>& DatabaseBrowser::description() const {
    buildView();
    return description_;
}

const Scene& DatabaseBrowser::plot() const {
    buildView();
    return plot_;
}

std::optional<std::string> DatabaseBrowser::save(const std::filesystem::path& path) const {
    SavedDataSet saved;
    saved.systemIndex = wetpk_.index;
    saved.title = title_;
    saved.criteria = scan_.criteria;
    saved.values = dataSet_;
    return saveDataSetFile(path, saved);
}

std::optional<std::string> DatabaseBrowser::open(const std::filesystem::path& path) {
    SavedDataSet saved;
    if (auto failure = openDataSetFile(path, saved))
        return failure;
    loadedFromFile_ = true;
    show({"Command1", "Command2"}, false);
    if (saved.systemIndex >= 0) {
        selectSystem(saved.systemIndex);
    } else {
        wetpk_.index = -1;
        wetpk_Click();
    }
    typeTitle(saved.title);
    // The lists show the saved criteria without running their handlers, so no count
    // replaces the data set just read. Only a water-oil file carries a wettability.
    const SearchCriteria& criteria = saved.criteria;
    if (saved.systemIndex == 0)
        scan_.criteria.wettability = wettpk_.index = criteria.wettability;
    if (saved.systemIndex >= 0) {
        scan_.criteria.lithology = rockpk_.index = criteria.lithology;
        scan_.criteria.method = methpk_.index = criteria.method;
        scan_.criteria.location = locpk_.index = criteria.location;
    }
    applySavedValues(saved, dataSet_);
    // The data set in memory is now the one read, whatever the last scan found; it has no
    // number in any file's scan, so the number label goes.
    scan_.noMoreData = 0;
    show({"Label8"}, false);
    return std::nullopt;
}

} // namespace relperm
