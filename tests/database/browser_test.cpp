#include "database/browser.h"
#include "records.h"

#include <gtest/gtest.h>

namespace relperm {
namespace {

using namespace relperm::testing;

class Browser : public TempDirTest {
  protected:
    // Picks the system and "All ..." in every other list, as a user would.
    void selectAll(DatabaseBrowser& b, TwoPhaseSystem system) {
        b.pick(BrowserList::TwoPhase, static_cast<int>(system));
        if (system == WO)
            b.pick(BrowserList::Wettability, 0);
        b.pick(BrowserList::Lithology, 0);
        b.pick(BrowserList::Location, 0);
        b.pick(BrowserList::Method, 0);
    }
    static std::string descriptionText(const DatabaseBrowser& b) {
        return renderDescription(b.description());
    }
};

TEST_F(Browser, StartsWithTheListsAndTitleOnly) {
    DatabaseBrowser b(dir);
    for (const char* shown : {"Text1", "wetpk", "wettpk", "rockpk", "locpk", "methpk"})
        EXPECT_TRUE(b.isShown(shown)) << shown;
    for (const char* hidden :
         {"Command1", "Command2", "Command3", "Frame1", "Frame2", "Label2", "Label11", "Label8",
          "vomar", "Picture1", "MSFlexGrid1", "MSFlexGrid2", "Label3", "Label4"})
        EXPECT_FALSE(b.isShown(hidden)) << hidden;
    EXPECT_EQ(b.list(BrowserList::TwoPhase).text(), "Select Two Phase Data");
    EXPECT_EQ(b.list(BrowserList::Wettability).entries[2], "Intermediate (Mixed) Wet");
    EXPECT_EQ(b.caption("Label2"), "No. of Data      Sets");
    EXPECT_EQ(b.caption("Command1"), "Show Relative Permeability Data");
    EXPECT_EQ(b.searchTolerance(), 5);
    EXPECT_FALSE(b.searchPercent());
}

TEST_F(Browser, CompleteSelectionCountsAndShowsTheButtons) {
    writeDataFile(dir, WO, recordsOf(WO, {SetRecipe{.wetting = 1}, SetRecipe{.wetting = 2}}));
    DatabaseBrowser b(dir);
    b.pick(BrowserList::TwoPhase, 0);
    b.pick(BrowserList::Lithology, 0);
    b.pick(BrowserList::Location, 0);
    b.pick(BrowserList::Method, 0);
    EXPECT_FALSE(b.isShown("Command2")) << "water-oil needs a wettability";
    b.pick(BrowserList::Wettability, 2);
    EXPECT_TRUE(b.isShown("Command1"));
    EXPECT_TRUE(b.isShown("Command2"));
    EXPECT_TRUE(b.isShown("Frame2"));
    EXPECT_TRUE(b.isShown("Label11"));
    EXPECT_EQ(b.caption("Label11"), " 1");
    EXPECT_EQ(b.scan().criteria.wettability, 2);
    b.pick(BrowserList::Wettability, 0);
    EXPECT_EQ(b.caption("Label11"), " 2");
}

TEST_F(Browser, ChoosingAGasSystemHidesTheWettabilityList) {
    DatabaseBrowser b(dir);
    b.typeEndPoint(EndPointBox::Sor, "30");
    b.pick(BrowserList::TwoPhase, static_cast<int>(GO));
    EXPECT_FALSE(b.isShown("wettpk"));
    EXPECT_EQ(b.userEndPoints().sor, 0.3);
    b.pick(BrowserList::TwoPhase, static_cast<int>(GW));
    EXPECT_EQ(b.userEndPoints().sor, 0.0) << "even though the box still shows 30";
    EXPECT_EQ(b.endPointText(EndPointBox::Sor), "30");
    b.pick(BrowserList::TwoPhase, static_cast<int>(WO));
    EXPECT_TRUE(b.isShown("wettpk"));
    EXPECT_EQ(b.twoPhaseSystem(), WO);
}

TEST_F(Browser, ShowStepsThroughTheMatchesAndPastTheLast) {
    writeDataFile(dir, GO, recordsOf(GO, {SetRecipe{.k = 10}, SetRecipe{.k = 20}}));
    DatabaseBrowser b(dir);
    selectAll(b, GO);
    b.Command1_Click();
    EXPECT_EQ(b.caption("Command1"), "Show Next Relative Permeability Data");
    EXPECT_EQ(b.caption("Command3"), "Matching Water-Oil Data");
    EXPECT_TRUE(b.isShown("Command3"));
    EXPECT_EQ(b.caption("Label8"), "Data Set # 1");
    EXPECT_TRUE(b.isShown("Label8"));
    EXPECT_TRUE(b.isShown("Frame1"));
    EXPECT_EQ(b.caption("Label7"), "Sorg %");
    EXPECT_EQ(b.asInputGrid().rows.size(), 3u);
    EXPECT_NE(descriptionText(b).find("k =10. md."), std::string::npos);
    b.Command1_Click();
    EXPECT_NE(descriptionText(b).find("k =20. md."), std::string::npos);
    b.Command1_Click();
    EXPECT_EQ(b.caption("Label8"), "Data Set # 2") << "the number of the last match";
    EXPECT_TRUE(b.asInputGrid().rows.empty());
    EXPECT_EQ(b.asInputGrid().header, (std::vector<std::string>{"Sg", "krog", "krg"}));
    EXPECT_TRUE(b.plot().all<SceneDot>().empty());
    EXPECT_FALSE(b.plot().items.empty()) << "the axes are drawn";
    b.Command2_Click();
    EXPECT_FALSE(b.isShown("Command3"));
    b.Command1_Click();
    EXPECT_EQ(b.caption("Label8"), "Data Set # 1") << "a count restarts the stepping";
}

TEST_F(Browser, GasWaterAndGasCondensateHaveNoMatchingButton) {
    writeDataFile(dir, GC, recordsOf(GC, {SetRecipe{}}));
    DatabaseBrowser b(dir);
    selectAll(b, GC);
    b.Command1_Click();
    EXPECT_FALSE(b.isShown("Command3"));
    EXPECT_EQ(b.caption("Label6"), "Slc %");
    EXPECT_FALSE(b.isShown("sorin"));
    EXPECT_TRUE(b.isShown("sgcin"));
}

TEST_F(Browser, TypedEndPointsRedrawWithTheAdjustedTable) {
    writeDataFile(dir, WO, recordsOf(WO, {SetRecipe{}}));
    DatabaseBrowser b(dir);
    selectAll(b, WO);
    b.Command1_Click();
    b.typeEndPoint(EndPointBox::Swc, "20");
    EXPECT_FALSE(b.isShown("MSFlexGrid1")) << "Sorw is needed too";
    b.typeEndPoint(EndPointBox::Sor, "30");
    EXPECT_TRUE(b.isShown("MSFlexGrid1"));
    EXPECT_TRUE(b.isShown("Label4"));
    EXPECT_EQ(b.adjustedGrid().rows[1][0], ".45");
    EXPECT_EQ(b.plot().all<SceneDot>().size(), 12u);
    b.typeEndPoint(EndPointBox::Sor, "");
    EXPECT_FALSE(b.isShown("MSFlexGrid1"));
    EXPECT_EQ(b.plot().all<SceneDot>().size(), 6u);
}

TEST_F(Browser, SgcTypedBeforeSwcFallsBackToZero) {
    writeDataFile(dir, GW, recordsOf(GW, {SetRecipe{}}));
    DatabaseBrowser b(dir);
    selectAll(b, GW);
    b.Command1_Click();
    b.typeEndPoint(EndPointBox::Sgc, "10");
    EXPECT_EQ(b.userEndPoints().sgc, 0.0) << "Swc and Sor were 0, so the default applied";
    b.typeEndPoint(EndPointBox::Swc, "20");
    EXPECT_EQ(b.adjustedGrid().rows[1][0], ".4") << "Sgc 0: 0 + 0.8 x 0.5";
    b.typeEndPoint(EndPointBox::Sgc, "10");
    EXPECT_EQ(b.adjustedGrid().rows[1][0], ".45") << "0.1 + 0.7 x 0.5";
    EXPECT_EQ(b.userEndPoints().sgc, 0.1);
}

TEST_F(Browser, AScanThatFindsNoRecordOnlyClearsThePlot) {
    writeDataFile(dir, WO, recordsOf(WO, {SetRecipe{}}));
    DatabaseBrowser b(dir);
    selectAll(b, WO);
    b.Command1_Click();
    const std::string before = descriptionText(b);
    writeDataFile(dir, WO, ""); // the file emptied behind the browser's back
    b.Command1_Click();
    EXPECT_EQ(b.scan().noMoreData, 1);
    EXPECT_TRUE(b.plot().items.empty());
    EXPECT_EQ(descriptionText(b), before);
    EXPECT_EQ(b.asInputGrid().rows.size(), 3u);
}

// Another system starts the count and the stepping afresh: the count on screen is always
// the one of the system picked, and no set of the system before stays on display.
TEST_F(Browser, AnotherSystemCountsAtOnceAndStepsFromItsFirstMatch) {
    writeDataFile(dir, WO, recordsOf(WO, std::vector<SetRecipe>(40, SetRecipe{})));
    writeDataFile(dir, GO, recordsOf(GO, std::vector<SetRecipe>(3, SetRecipe{.location = 5})));
    DatabaseBrowser b(dir);
    selectAll(b, WO);
    EXPECT_EQ(b.caption("Label11"), " 40");
    for (int press = 0; press < 3; ++press)
        b.Command1_Click();
    EXPECT_EQ(b.caption("Label8"), "Data Set # 3");

    b.pick(BrowserList::TwoPhase, static_cast<int>(GO));
    EXPECT_EQ(b.caption("Label11"), " 3") << "counted at once";
    EXPECT_TRUE(b.isShown("Label11"));
    EXPECT_FALSE(b.isShown("Label8"));
    EXPECT_FALSE(b.isShown("MSFlexGrid2"));
    EXPECT_TRUE(b.asInputGrid().rows.empty());
    b.Command1_Click();
    EXPECT_EQ(b.caption("Label8"), "Data Set # 1");
    EXPECT_EQ(b.dataSet().locationCode.value(), 5);

    // Back to water-oil, whose wettability list must be picked before a count can be made:
    // no count is shown until it is.
    DatabaseBrowser fresh(dir);
    fresh.pick(BrowserList::TwoPhase, static_cast<int>(GO));
    for (BrowserList list : {BrowserList::Lithology, BrowserList::Location, BrowserList::Method})
        fresh.pick(list, 0);
    EXPECT_EQ(fresh.caption("Label11"), " 3");
    fresh.pick(BrowserList::TwoPhase, static_cast<int>(WO));
    EXPECT_FALSE(fresh.isShown("Label11"));
    fresh.pick(BrowserList::Wettability, 0);
    EXPECT_EQ(fresh.caption("Label11"), " 40");
}

// Another folder is read from the start: counted at once, no set of the old one shown.
TEST_F(Browser, AnotherFolderIsCountedAtOnce) {
    writeDataFile(dir, GW, recordsOf(GW, std::vector<SetRecipe>(2, SetRecipe{})));
    std::filesystem::create_directory(dir / "other");
    writeDataFile(dir / "other", GW, recordsOf(GW, std::vector<SetRecipe>(5, SetRecipe{})));
    DatabaseBrowser b(dir);
    selectAll(b, GW);
    b.Command1_Click();
    b.Command1_Click();
    b.setDataDirectory(dir / "other");
    EXPECT_EQ(b.dataDirectory(), dir / "other");
    EXPECT_EQ(b.caption("Label11"), " 5");
    EXPECT_FALSE(b.isShown("Label8"));
    b.Command1_Click();
    EXPECT_EQ(b.caption("Label8"), "Data Set # 1");
}

TEST_F(Browser, SearchPercentShowsTheEndPointFrame) {
    writeDataFile(dir, WO, recordsOf(WO, {SetRecipe{.swc = 0.2}, SetRecipe{.swc = 0.3}}));
    DatabaseBrowser b(dir);
    selectAll(b, WO);
    b.Option2_Click();
    EXPECT_TRUE(b.isShown("Frame1"));
    EXPECT_FALSE(b.isShown("sgcin"));
    b.typeEndPoint(EndPointBox::Swc, "22");
    b.typeTolerance("2");
    b.Command2_Click();
    EXPECT_EQ(b.caption("Label11"), " 1");
    b.typeTolerance("x");
    EXPECT_EQ(b.searchTolerance(), 0);
    b.Option1_Click();
    EXPECT_FALSE(b.isShown("Frame1"));
    b.Command2_Click();
    EXPECT_EQ(b.caption("Label11"), " 2");
}

TEST_F(Browser, MatchingFindsTheGasOilSetOfTheSameSample) {
    const SetRecipe sample{.location = 2, .depth = 6000, .k = 45};
    writeDataFile(dir, WO, recordsOf(WO, {SetRecipe{.depth = 1}, sample}));
    writeDataFile(dir, GO, recordsOf(GO, {SetRecipe{.depth = 2}, SetRecipe{.depth = 3}, sample}));
    DatabaseBrowser b(dir);
    selectAll(b, WO);
    b.Command1_Click();
    b.Command1_Click();
    b.Command3_Click();
    EXPECT_EQ(b.list(BrowserList::TwoPhase).index, 1);
    EXPECT_EQ(b.twoPhaseSystem(), GO);
    EXPECT_EQ(b.caption("Command3"), "Matching Water-Oil Data");
    EXPECT_EQ(b.scan().matchCount, 3) << "its record number in the gas-oil file";
    EXPECT_FALSE(b.isShown("Label8"));
    EXPECT_FALSE(b.isShown("wettpk"));
    EXPECT_NE(descriptionText(b).find("Sorg =25.%"), std::string::npos);
    EXPECT_EQ(b.asInputGrid().header[1], "krog");
    b.Command3_Click();
    EXPECT_EQ(b.twoPhaseSystem(), WO);
    EXPECT_EQ(b.scan().matchCount, 2);
    EXPECT_EQ(b.caption("Command3"), "Matching Gas-Oil Data");
}

TEST_F(Browser, FailedMatchingPrintsARedNoticeAndChangesNothingElse) {
    writeDataFile(dir, GO, recordsOf(GO, {SetRecipe{.depth = 4}}));
    writeDataFile(dir, WO, recordsOf(WO, {SetRecipe{.depth = 5}}));
    DatabaseBrowser b(dir);
    selectAll(b, GO);
    b.Command1_Click();
    const auto before = b.description();
    b.Command3_Click();
    ASSERT_EQ(b.description().size(), before.size() + 1);
    EXPECT_EQ(b.description().back().items[0].text, "NO Water-Oil MATCH FOUND");
    EXPECT_EQ(b.description().back().colour, noticeRed);
    EXPECT_EQ(b.twoPhaseSystem(), GO);
    EXPECT_EQ(b.dataSet().depthFtSs.value(), 4);
    EXPECT_EQ(b.scan().matchCount, 1);
    EXPECT_TRUE(b.isShown("Label8"));
}

TEST_F(Browser, SavedDataSetOpensAgainWithoutACount) {
    writeDataFile(dir, GW, recordsOf(GW, {SetRecipe{.location = 3, .k = 7.5, .sgc = 0.08}}));
    DatabaseBrowser first(dir);
    first.pick(BrowserList::TwoPhase, static_cast<int>(GW));
    first.pick(BrowserList::Lithology, 1);
    first.pick(BrowserList::Method, 0);
    first.pick(BrowserList::Location, 3);
    first.typeTitle("Core 7, \"plug\" B");
    first.Command1_Click();
    ASSERT_FALSE(first.save(dir / "set.txt"));

    DatabaseBrowser second(dir / "nowhere"); // no data files: a count would find nothing
    ASSERT_FALSE(second.open(dir / "set.txt"));
    EXPECT_TRUE(second.loadedFromFile());
    EXPECT_EQ(second.twoPhaseSystem(), GW);
    EXPECT_EQ(second.list(BrowserList::Location).index, 3);
    EXPECT_EQ(second.list(BrowserList::Lithology).index, 1);
    EXPECT_EQ(second.title(), "Core 7, 'plug' B");
    EXPECT_FALSE(second.isShown("Command1"));
    EXPECT_EQ(second.dataSet().pointCount, 3);
    EXPECT_EQ(second.dataSet().permeabilityMd.value(), 7.5);
    second.windowActivated();
    EXPECT_FALSE(second.isShown("Label8"));
    EXPECT_EQ(second.asInputGrid().rows, first.asInputGrid().rows);
    EXPECT_EQ(second.asInputGrid().header[1], "krw");
}

TEST_F(Browser, OpeningAfterAnEmptyScanStillShowsTheOpenedSet) {
    writeDataFile(dir, WO, recordsOf(WO, {SetRecipe{}}));
    DatabaseBrowser source(dir);
    selectAll(source, WO);
    source.Command1_Click();
    ASSERT_FALSE(source.save(dir / "set.txt"));

    DatabaseBrowser b(dir / "nowhere");
    selectAll(b, WO);
    b.Command1_Click();
    ASSERT_EQ(b.scan().noMoreData, 1);
    ASSERT_FALSE(b.open(dir / "set.txt"));
    b.windowActivated();
    EXPECT_EQ(b.asInputGrid().rows.size(), 3u);
    EXPECT_FALSE(b.plot().items.empty());
}

TEST_F(Browser, AFailedOpenChangesNothing) {
    writeBytes(dir / "bad.txt", "0,\"t\"\r\n3,0,0,0,0,1,.2,1,1,.2,.3\r\n0,0,1\r\n");
    DatabaseBrowser b(dir);
    auto failure = b.open(dir / "bad.txt");
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->find("bad.txt, line 4"), std::string::npos) << *failure;
    EXPECT_FALSE(b.loadedFromFile());
    EXPECT_EQ(b.list(BrowserList::TwoPhase).index, -1);
    EXPECT_EQ(b.dataSet().pointCount, 0);
}

TEST_F(Browser, DamagedRecordsAreReportedByTheScan) {
    writeDataFile(dir, GC, recordsOf(GC, {SetRecipe{}}) + Bytes().raw16(60).data);
    DatabaseBrowser b(dir);
    selectAll(b, GC);
    EXPECT_EQ(b.caption("Label11"), " 1");
    ASSERT_TRUE(b.lastProblem());
    EXPECT_EQ(b.lastProblem()->record, 2);
}

TEST_F(Browser, GridClickRewritesTheHeaderForTheCurrentSystem) {
    writeDataFile(dir, GW, recordsOf(GW, {SetRecipe{}}));
    DatabaseBrowser b(dir);
    selectAll(b, GW);
    b.Command1_Click();
    b.clickGrid(BrowserGrid::Adjusted);
    EXPECT_EQ(b.adjustedGrid().header, (std::vector<std::string>{"Sg", "krw", "krg"}));
    b.clickGrid(BrowserGrid::AsInput);
    EXPECT_EQ(b.asInputGrid().header, (std::vector<std::string>{"Sg", "krw", "krg"}));
    EXPECT_EQ(b.asInputGrid().rows.size(), 3u) << "the rows stay";
}

} // namespace
} // namespace relperm
