// The list of matches: row k is the set that the k-th Show after a count finds, with the
// texts the description shows for its codes and its values unrounded; the list ends where
// a scan ends and reports the records it lost as the count does.
#include "database/browser.h"
#include "database/matchlist.h"
#include "records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace relperm {
namespace {

using namespace relperm::testing;
using MatchListing = TempDirTest;

// Three water-oil sets: one strongly water-wet by the rule (code 1, Swc 21 %, last krw
// 0.05), one that stays water-wet (last krw 0.4), one with codes the tables do not hold.
std::string waterOilExample() {
    MeasuredDataSet strongly = makeSet({.wetting = 1,
                                        .location = 1,
                                        .lithology = 3,
                                        .method = 3,
                                        .depth = 6670,
                                        .porosity = 0.191,
                                        .k = 12.54,
                                        .kabs = 12.54,
                                        .swc = 0.21,
                                        .sorw = 0.321,
                                        .points = {{0, 0, 1}, {0.5, 0.01, 0.3}, {1, 0.05, 0}}});
    MeasuredDataSet plain = makeSet({.wetting = 1, .location = 6, .lithology = 1, .method = 2});
    plain.krAxis[3] = 0.4;
    plain.absPermeabilityMd = TaggedValue{};
    MeasuredDataSet odd = makeSet({.wetting = 2, .location = 9, .method = 1});
    odd.lithologyCode = TaggedValue::ofText("Chalk");
    odd.methodCode = TaggedValue::of(1.5);
    odd.porosityFraction = TaggedValue::ofText("n/a");
    return encodeRecord(WO, strongly) + encodeRecord(WO, plain) + encodeRecord(WO, odd);
}

TEST_F(MatchListing, CodesReadAsTheDescriptionShowsThemAndValuesKeepEveryDigit) {
    writeDataFile(dir, WO, waterOilExample());
    const MatchList list = listMatches(dir, WO, {}, {}, {});
    ASSERT_EQ(list.rows.size(), 3u);
    const MatchRow& first = list.rows[0];
    EXPECT_EQ(first.wettability, "Strongly Water-Wet");
    EXPECT_EQ(first.location, "N. America");
    EXPECT_EQ(first.lithology, "Dolomite");
    EXPECT_EQ(first.method, "Cap. Pressure");
    EXPECT_EQ(list.rows[1].wettability, "Water-Wet");
    EXPECT_EQ(list.rows[2].wettability, "Mixed Wet");
    EXPECT_EQ(list.rows[2].location, "") << "a code outside the table";
    EXPECT_EQ(list.rows[2].lithology, "") << "a string";
    EXPECT_EQ(list.rows[2].method, "") << "a code that is no integer";
    EXPECT_EQ(list.rows[2].porosity, 0.0) << "a string reads as 0";
    EXPECT_EQ(list.rows[1].kabs, std::nullopt);
    EXPECT_EQ(matchListCsv(list),
              "\"match\",\"location\",\"lithology\",\"method\",\"wettability\",\"depth ft ss\","
              "\"porosity\",\"k md\",\"kabs md\",\"Swc\",\"Sorw\",\"points\"\r\n"
              "1,\"N. America\",\"Dolomite\",\"Cap. Pressure\",\"Strongly Water-Wet\",6670,.191,"
              "12.54,12.54,.21,.321,3\r\n"
              "2,\"Australia\",\"Sandstone\",\"Unsteady State\",\"Water-Wet\",5000,.2,100,,.2,"
              ".3,3\r\n"
              "3,\"\",\"\",\"\",\"Mixed Wet\",5000,0,100,100,.2,.3,3\r\n");

    // The method list's "Unsteady State" finds the capillary-pressure set too.
    const MatchList unsteady = listMatches(dir, WO, {.method = 2}, {}, {});
    ASSERT_EQ(unsteady.rows.size(), 2u);
    EXPECT_EQ(unsteady.rows[0].method, "Cap. Pressure");
    EXPECT_EQ(unsteady.rows[1].match, 2);
    EXPECT_EQ(unsteady.rows[1].location, "Australia");
}

TEST_F(MatchListing, EndsWhereAScanEndsAndSaysWhatWasLost) {
    writeDataFile(dir, GO,
                  recordsOf(GO, {SetRecipe{.location = 1}, SetRecipe{.location = 2, .points = {}},
                                 SetRecipe{.location = 3}}));
    const MatchList hidden = listMatches(dir, GO, {}, {}, {});
    ASSERT_EQ(hidden.rows.size(), 1u) << "a record without points ends the data";
    EXPECT_FALSE(hidden.problem);

    writeDataFile(dir, GO,
                  recordsOf(GO, {SetRecipe{.location = 1}, SetRecipe{.location = 5}}) +
                      recordsOf(GO, {SetRecipe{}}).substr(0, 30));
    const MatchList damaged = listMatches(dir, GO, {}, {}, {});
    ASSERT_EQ(damaged.rows.size(), 2u);
    EXPECT_EQ(damaged.rows[1].location, "Europe");
    ASSERT_TRUE(damaged.problem);
    EXPECT_NE(damaged.problem->message().find("OGBIN, record 3"), std::string::npos)
        << damaged.problem->message();

    const MatchList missing = listMatches(dir, GW, {}, {}, {});
    EXPECT_TRUE(missing.rows.empty());
    EXPECT_FALSE(missing.problem) << "a missing file holds no data";
    EXPECT_EQ(matchListCsv(missing), "\"match\",\"location\",\"lithology\",\"method\","
                                     "\"depth ft ss\",\"porosity\",\"k md\",\"kabs md\",\"Swc\","
                                     "\"Sgc\",\"points\"\r\n");
}

// `relperm db list` writes the list's text in pieces as it reads the file; together they
// are the text of the list held whole, rows before a damaged record and all, and a sink
// that takes no more ends the read.
TEST_F(MatchListing, WrittenInPiecesItIsTheTextOfTheWholeList) {
    std::vector<SetRecipe> sets;
    for (int i = 0; i < 60; ++i)
        sets.push_back(SetRecipe{.location = i % 3, .k = 10.0 + i});
    writeDataFile(dir, GO, recordsOf(GO, sets) + Bytes().raw16(-2).data);
    const SearchCriteria lists{.location = 1};
    const MatchList whole = listMatches(dir, GO, lists, {}, {});
    ASSERT_EQ(whole.rows.size(), 20u);
    std::string joined;
    int pieces = 0;
    const auto problem = writeMatchList(
        dir, GO, lists, {}, {},
        [&](std::string_view piece) {
            ++pieces;
            joined += piece;
            return true;
        },
        300);
    EXPECT_GT(pieces, 3);
    EXPECT_EQ(joined, matchListCsv(whole));
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->message(), whole.problem->message());

    pieces = 0;
    writeMatchList(
        dir, GO, lists, {}, {}, [&](std::string_view) { return ++pieces < 2; }, 300);
    EXPECT_EQ(pieces, 2);
}

// A read of every match says how far it has come as the fraction of the file read, and
// stops before the next record once asked to, never saying it reached the end.
TEST_F(MatchListing, AReadSaysHowFarItHasComeAndStopsWhenAsked) {
    constexpr int sets = 3000;
    std::vector<SetRecipe> recipes(sets);
    for (int i = 0; i < sets; ++i)
        recipes[static_cast<std::size_t>(i)].method = 1 + i % 2;
    writeDataFile(dir, WO, recordsOf(WO, recipes));

    // Every set the same size: after the k-th of them the read has come k / 3000 of the way.
    int read = 0;
    std::vector<double> reported;
    double furthestOff = 0;
    const WorkControl watched{[&](double fraction) {
                                  reported.push_back(fraction);
                                  furthestOff = std::max(furthestOff,
                                                         std::abs(fraction - double(read) / sets));
                              },
                              {}};
    forEachMatch(
        dir, WO, {}, {}, {}, [&](int, const MeasuredDataSet&) { ++read; }, watched);
    EXPECT_EQ(read, sets);
    ASSERT_FALSE(reported.empty());
    EXPECT_EQ(reported.back(), 1.0);
    EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end()));
    EXPECT_EQ(std::adjacent_find(reported.begin(), reported.end()), reported.end());
    EXPECT_LE(reported.size(), 1000u);
    EXPECT_LE(furthestOff, 0.002);

    // Stopped after the tenth match of the unsteady-state sets, every other one.
    int visits = 0;
    reported.clear();
    const WorkControl stopped{[&](double fraction) { reported.push_back(fraction); },
                              [&] { return visits >= 10; }};
    const auto problem = forEachMatch(
        dir, WO, {.method = 2}, {}, {}, [&](int, const MeasuredDataSet&) { ++visits; }, stopped);
    EXPECT_EQ(visits, 10);
    EXPECT_EQ(problem, std::nullopt);
    EXPECT_TRUE(reported.empty() || reported.back() < 0.01);
}

TEST(MatchColumns, FollowTheHeaderFieldsOfEachSystem) {
    auto names = [](TwoPhaseSystem system, std::string (*name)(TwoPhaseSystem, MatchColumn)) {
        std::string all;
        for (MatchColumn column : matchColumns(system))
            all += (all.empty() ? "" : "|") + name(system, column);
        return all;
    };
    EXPECT_EQ(names(GO, matchColumnName),
              "match|location|lithology|method|depth ft ss|porosity|k md|kabs md|Swc|Sorg|Sgc|"
              "points");
    EXPECT_EQ(names(GC, matchColumnName),
              "match|location|lithology|method|porosity|k md|kabs md|Slc|Sgc|points");
    EXPECT_EQ(names(WO, matchColumnHeading),
              "Match|Location|Lithology|Method|Wettability|Depth ft ss|Porosity %|k md|kabs md|"
              "Swc %|Sorw %|Points");
    EXPECT_EQ(names(GC, matchColumnHeading),
              "Match|Location|Lithology|Method|Porosity %|k md|kabs md|Slc %|Sgc %|Points");
}

TEST(MatchCells, ReadInPercent) {
    MatchRow row;
    row.match = 9;
    row.location = "Asia";
    row.depth = 6670.4;
    row.porosity = 0.1915;
    row.k = 1500;
    row.kabs = 0.045;
    row.swc = 0.215;
    row.sor = 0.2;
    row.points = 12;
    using C = MatchColumn;
    EXPECT_EQ(matchCellText(row, C::Match), "9");
    EXPECT_EQ(matchCellText(row, C::Location), "Asia");
    EXPECT_EQ(matchCellText(row, C::Depth), "6670");
    EXPECT_EQ(matchCellText(row, C::Porosity), "19.15");
    EXPECT_EQ(matchCellText(row, C::Permeability), "1500.0");
    EXPECT_EQ(matchCellText(row, C::AbsPermeability), "0.05");
    EXPECT_EQ(matchCellText(row, C::Swc), "21.5");
    EXPECT_EQ(matchCellText(row, C::Sor), "20.0");
    EXPECT_EQ(matchCellText(row, C::Sgc), "") << "an empty value";
    EXPECT_EQ(matchCellText(row, C::Points), "12");
}

TEST(MatchSearch, NamesTheEndPointsTheSearchCompares) {
    MatchSelection selection{GO, {}, false, 5, {0.2, 0.25, 0.05}};
    EXPECT_EQ(searchDescription(selection), "Search All");
    selection.searchPercent = true;
    EXPECT_EQ(searchDescription(selection), "Search % within 5 of Swc 20%, Sorg 25%, Sgc 5%");
    selection.system = GC;
    selection.tolerance = 2.5;
    EXPECT_EQ(searchDescription(selection), "Search % within 2.5 of Slc 20%, Sgc 5%");
    selection.user = {};
    EXPECT_EQ(searchDescription(selection), "Search % (no end point to compare)");
}

// The browser lists its own selection: the lists as picked, the search option and the end
// points as every scan compares them, with the Sgc default that the first Show's display
// puts in place; the count before that Show already counts the sets listed.
TEST_F(MatchListing, TheBrowserListsWhatItsShowsStepThrough) {
    writeDataFile(
        dir, GO,
        recordsOf(GO,
                  {SetRecipe{.location = 1, .sgc = 0.02}, SetRecipe{.location = 2, .sgc = 0.09},
                   SetRecipe{.location = 1, .sgc = 0.1}, SetRecipe{.location = 1, .sgc = 0.04}}));
    DatabaseBrowser browser(dir);
    browser.pick(BrowserList::TwoPhase, 1);
    browser.pick(BrowserList::Location, 1);
    browser.pick(BrowserList::Lithology, 0);
    EXPECT_FALSE(browser.matchList()) << "no method picked";
    browser.pick(BrowserList::Method, 0);
    ASSERT_TRUE(browser.matchList());
    EXPECT_EQ(browser.matchList()->rows.size(), 3u);

    browser.Option2_Click();
    browser.Command2_Click();
    EXPECT_EQ(browser.scan().matchCount, 2);
    const MatchList list = browser.matchList().value();
    EXPECT_EQ(list.selection.user.sgc, 0.0) << "the Sgc default";
    ASSERT_EQ(list.rows.size(), 2u);
    EXPECT_EQ(list.rows[1].sgc, 0.04);
    EXPECT_EQ(browser.userEndPoints().sgc, std::nullopt) << "listing changes nothing";
    for (int k = 1; k <= 2; ++k) {
        browser.Command1_Click();
        EXPECT_EQ(browser.caption("Label8"), "Data Set # " + std::to_string(k));
        EXPECT_EQ(browser.dataSet().criticalGas.value(), list.rows[k - 1].sgc);
    }

    browser.typeTolerance("10");
    EXPECT_EQ(browser.matchList()->rows.size(), 3u);
}

} // namespace
} // namespace relperm
