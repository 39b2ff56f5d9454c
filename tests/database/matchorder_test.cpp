// The list's rows held by column and the orders they are shown in: numbers as numbers with
// empty values before every number going up and after them going down, texts ignoring
// case with the empty text first, and rows that sort alike in the order of their matches
// both ways; cells formatted as the list shows them.
#include "database/matchlist.h"
#include "database/matchorder.h"
#include "records.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace relperm {
namespace {

using namespace relperm::testing;
using C = MatchColumn;

MatchTable tableOf(TwoPhaseSystem system, const std::vector<MeasuredDataSet>& sets) {
    MatchTable table(system);
    for (const MeasuredDataSet& set : sets)
        table.add(set);
    return table;
}

// The match numbers of the rows in the order of `column`.
std::vector<int> matchesInOrder(const MatchTable& table, MatchColumn column,
                                SortDirection direction) {
    std::vector<int> matches;
    for (std::uint32_t row : matchOrder(table, column, direction))
        matches.push_back(static_cast<int>(row) + 1);
    return matches;
}

MeasuredDataSet withK(std::optional<double> k) {
    MeasuredDataSet set = makeSet({});
    set.permeabilityMd = k ? TaggedValue::of(*k) : TaggedValue{};
    return set;
}

TEST(MatchOrder, NumbersSortAsNumbersEmptyValuesFirstGoingUpLastGoingDown) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // 9 before 10 before 100, as numbers; two 9s; two empty values and a NaN.
    const MatchTable table = tableOf(WO, {withK(9), withK(std::nullopt), withK(100), withK(10),
                                          withK(9), withK(std::nullopt), withK(nan), withK(0.5)});
    EXPECT_EQ(matchesInOrder(table, C::Permeability, SortDirection::Ascending),
              (std::vector<int>{2, 6, 7, 8, 1, 5, 4, 3}));
    EXPECT_EQ(matchesInOrder(table, C::Permeability, SortDirection::Descending),
              (std::vector<int>{3, 4, 1, 5, 8, 2, 6, 7}));
    EXPECT_EQ(table.cellText(1, C::Permeability), "") << "an empty value shows nothing";

    // Zero stored with a sign is zero: the two sort alike, in the order of their matches.
    MeasuredDataSet minusZero = makeSet({.depth = -0.0});
    const MatchTable zeros = tableOf(
        GO, {makeSet({.depth = 1}), makeSet({.depth = 0.0}), minusZero, makeSet({.depth = -1})});
    EXPECT_EQ(matchesInOrder(zeros, C::Depth, SortDirection::Ascending),
              (std::vector<int>{4, 2, 3, 1}));
    EXPECT_EQ(matchesInOrder(zeros, C::Depth, SortDirection::Descending),
              (std::vector<int>{1, 2, 3, 4}));
}

TEST(MatchOrder, TextsSortIgnoringCaseEmptyFirstEqualTextsInMatchOrder) {
    // Africa, N. America, none, Australia, N. America, a code outside the table, S. America,
    // Africa.
    std::vector<MeasuredDataSet> sets;
    for (int location : {3, 1, 0, 6, 1, 9, 2, 3})
        sets.push_back(makeSet({.location = location}));
    const MatchTable table = tableOf(GW, sets);
    EXPECT_EQ(matchesInOrder(table, C::Location, SortDirection::Ascending),
              (std::vector<int>{3, 6, 1, 8, 4, 2, 5, 7}));
    EXPECT_EQ(matchesInOrder(table, C::Location, SortDirection::Descending),
              (std::vector<int>{7, 2, 5, 4, 1, 8, 3, 6}));
    EXPECT_EQ(table.cellText(5, C::Location), "");
    EXPECT_EQ(table.cellText(6, C::Location), "S. America");

    EXPECT_LT(compareIgnoringCase("africa", "Asia"), 0) << "not by character codes";
    EXPECT_GT(compareIgnoringCase("Shale", "sandstone"), 0);
    EXPECT_EQ(compareIgnoringCase("ASIA", "asia"), 0);
    EXPECT_LT(compareIgnoringCase("Oil", "Oil-Wet"), 0) << "a text before a longer one";
    EXPECT_LT(compareIgnoringCase("", "Africa"), 0);
}

// The wettability's strongly water-wet rule gives a text of its own, which sorts among the
// others.
TEST(MatchOrder, TheShownWettabilitySorts) {
    MeasuredDataSet strongly = makeSet({.wetting = 1, .swc = 0.2});
    strongly.krAxis[3] = 0.05;
    const MatchTable table = tableOf(
        WO, {makeSet({.wetting = 3}), strongly, makeSet({.wetting = 1}), makeSet({.wetting = 2})});
    EXPECT_EQ(table.cellText(1, C::Wettability), "Strongly Water-Wet");
    // Mixed Wet, Oil-Wet, Strongly Water-Wet, Water-Wet.
    EXPECT_EQ(matchesInOrder(table, C::Wettability, SortDirection::Ascending),
              (std::vector<int>{4, 1, 2, 3}));
}

TEST(MatchOrder, MatchesAndPointsSortAsIntegers) {
    auto withPoints = [](int count) {
        SetRecipe recipe;
        recipe.points.assign(static_cast<std::size_t>(count), {0.5, 0.1, 0.1});
        return makeSet(recipe);
    };
    const MatchTable table =
        tableOf(GC, {withPoints(12), withPoints(3), withPoints(12), withPoints(2)});
    EXPECT_EQ(matchesInOrder(table, C::Points, SortDirection::Ascending),
              (std::vector<int>{4, 2, 1, 3}));
    EXPECT_EQ(matchesInOrder(table, C::Points, SortDirection::Descending),
              (std::vector<int>{1, 3, 2, 4}));
    EXPECT_EQ(matchesInOrder(table, C::Match, SortDirection::Ascending),
              (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(matchesInOrder(table, C::Match, SortDirection::Descending),
              (std::vector<int>{4, 3, 2, 1}));
    EXPECT_TRUE(matchOrder(MatchTable(GO), C::Sgc, SortDirection::Ascending).empty());
}

TEST(MatchTable, CellsReadAsTheListShowsThem) {
    MeasuredDataSet set = makeSet({.location = 4,
                                   .method = 3,
                                   .depth = 6670.4,
                                   .porosity = 0.1915,
                                   .k = 1500,
                                   .kabs = 0.045,
                                   .swc = 0.215,
                                   .sorg = 0.2});
    set.criticalGas = TaggedValue{};
    set.lithologyCode = TaggedValue::ofText("Chalk");
    const MatchTable table = tableOf(GO, {makeSet({}), set});
    auto cells = [&](std::size_t row) {
        std::string shown;
        for (MatchColumn column : table.columns())
            shown += table.cellText(row, column) + "|";
        return shown;
    };
    // Match, location, lithology, method, depth, porosity, k, kabs, Swc, Sorg, Sgc, points.
    EXPECT_EQ(cells(1), "2|Asia||Cap. Pressure|6670|19.15|1500.0|0.05|21.5|20.0||3|");
    EXPECT_EQ(cells(0), "1|N. America|Sandstone|Steady State|5000|20.0|100.0|100.0|20.0|25.0|"
                        "5.0|3|");
    EXPECT_EQ(table.cellText(1, C::Wettability), "") << "no wettability for gas-oil data";

    // The whole row, as the comma-separated list writes it.
    const MatchRow row = table[1];
    EXPECT_EQ(row.match, 2);
    EXPECT_EQ(row.location, "Asia");
    EXPECT_EQ(row.lithology, "");
    EXPECT_EQ(row.depth, 6670.4);
    EXPECT_EQ(row.sor, 0.2) << "Sorg for gas-oil data";
    EXPECT_EQ(row.sgc, std::nullopt);
    EXPECT_EQ(row.wettability, "");
}

// The browser makes the list again before it shows a chosen row and compares the two: a
// file read twice must give equal tables, NaN and all, and any changed cell unequal ones.
TEST(MatchTable, TablesOfTheSameRecordsAreEqual) {
    const std::vector<MeasuredDataSet> sets{withK(std::numeric_limits<double>::quiet_NaN()),
                                            makeSet({.location = 2}), withK(3)};
    EXPECT_EQ(tableOf(WO, sets), tableOf(WO, sets));
    std::vector<MeasuredDataSet> changed = sets;
    changed[1].locationCode = TaggedValue::of(5, ValueTag::Int16);
    EXPECT_NE(tableOf(WO, sets), tableOf(WO, changed));
    changed = sets;
    changed[2].permeabilityMd = TaggedValue{};
    EXPECT_NE(tableOf(WO, sets), tableOf(WO, changed)) << "an empty value is not 0";
    changed = sets;
    changed.pop_back();
    EXPECT_NE(tableOf(WO, sets), tableOf(WO, changed));
}

} // namespace
} // namespace relperm
