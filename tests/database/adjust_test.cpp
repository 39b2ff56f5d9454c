#include "database/adjust.h"
#include "records.h"

#include <gtest/gtest.h>

#include <cmath>

namespace relperm {
namespace {

using namespace relperm::testing;

std::vector<std::string> column(const GridText& grid, std::size_t c) {
    std::vector<std::string> out;
    for (const auto& row : grid.rows)
        out.push_back(row[c]);
    return out;
}

TEST(EndPointBoxes, EmptyTextIsEmptyAndOtherTextIsItsNumberInPercent) {
    EXPECT_EQ(endPointValue(""), std::nullopt);
    EXPECT_EQ(endPointValue("20"), 0.2);
    EXPECT_EQ(endPointValue("abc"), 0.0) << "a text that is not a number gives 0, not empty";
    EXPECT_EQ(endPointValue(" 15.5%"), 0.155);
}

TEST(EndPointBoxes, LayoutFollowsTheSystem) {
    EndPointLayout wo = LayoutEndPointBoxes(WO);
    EXPECT_TRUE(wo.sorShown);
    EXPECT_FALSE(wo.sgcShown);
    EXPECT_EQ(wo.label7Caption, "Sorw %");
    EXPECT_EQ(LayoutEndPointBoxes(GO).label7Caption, "Sorg %");
    EXPECT_TRUE(LayoutEndPointBoxes(GO).sgcShown);
    EndPointLayout gc = LayoutEndPointBoxes(GC);
    EXPECT_FALSE(gc.sorShown);
    EXPECT_TRUE(gc.sgcShown);
    EXPECT_EQ(gc.label7Caption, std::nullopt);
    EXPECT_EQ(swcBoxCaption(GC), "Slc %");
    EXPECT_EQ(swcBoxCaption(GW), "Swc %");
}

TEST(AdjustmentCondition, NeedsAValueAboveZeroAndTheValuesOfTheSystem) {
    EXPECT_FALSE(AdjustmentWanted(WO, {.swc = 0.2})) << "Sorw is needed";
    EXPECT_TRUE(AdjustmentWanted(WO, {.swc = 0.2, .sor = 0.3}));
    EXPECT_FALSE(AdjustmentWanted(WO, {.swc = 0.0, .sor = 0.0, .sgc = 0.0}));
    EXPECT_FALSE(AdjustmentWanted(GO, {.swc = 0.2, .sor = 0.3})) << "gas-oil needs all three";
    EXPECT_TRUE(AdjustmentWanted(GO, {.swc = 0.2, .sor = 0.3, .sgc = 0.0}));
    EXPECT_TRUE(AdjustmentWanted(GW, {.swc = 0.2, .sgc = 0.05}));
    EXPECT_FALSE(AdjustmentWanted(GC, {.swc = 0.2, .sor = 0.1}));
}

TEST(AdjustmentCondition, SgcDefaultsToZeroWhenSwcAndSorAreZeroOrUnset) {
    UserEndPoints unset{.sgc = 0.05};
    applySgcDefault(unset);
    EXPECT_EQ(unset.sgc, 0.0);
    UserEndPoints zeros{.swc = 0.0, .sor = 0.0};
    applySgcDefault(zeros);
    EXPECT_EQ(zeros.sgc, 0.0) << "an empty Sgc becomes the number 0";
    EXPECT_FALSE(AdjustmentWanted(GO, zeros));
    UserEndPoints typed{.swc = 0.2, .sgc = 0.05};
    applySgcDefault(typed);
    EXPECT_EQ(typed.sgc, 0.05);
}

TEST(AdjustedTable, WaterOilRescalesSaturationsAndCopiesKr) {
    MeasuredDataSet set = makeSet(SetRecipe{.points = {{0, 0, 1}, {0.5, 0.1, 0.3}, {1, 0.4, 0}}});
    GridText grid = MakeAdjustedTable(WO, {.swc = 0.2, .sor = 0.3}, set);
    EXPECT_EQ(grid.header, (std::vector<std::string>{"Sw", "krow", "krw"}));
    EXPECT_EQ(column(grid, 0), (std::vector<std::string>{".2", ".45", ".7"}));
    EXPECT_EQ(column(grid, 1), (std::vector<std::string>{"1.0", ".3", ".0"}));
    EXPECT_EQ(column(grid, 2), (std::vector<std::string>{".0", ".1", ".4"}));
    EXPECT_DOUBLE_EQ(set.satAdjusted[2], 0.45);
}

TEST(AdjustedTable, WaterOilIsNeverClipped) {
    MeasuredDataSet set = makeSet(SetRecipe{.points = {{-0.5, 0, 1}, {1.5, 0.9, 0}}});
    MakeAdjustedTable(WO, {.swc = 0.2, .sor = 0.2}, set);
    EXPECT_DOUBLE_EQ(set.satAdjusted[1], -0.1);
    EXPECT_DOUBLE_EQ(set.satAdjusted[2], 1.1);
}

TEST(AdjustedTable, GasOilLastPointStandsAtZeroGas) {
    MeasuredDataSet set = makeSet(
        SetRecipe{.points = {{1, .8, 0}, {.75, .5, .1}, {.5, .2, .3}, {.25, .05, .6}, {1, 0, 1}}});
    GridText grid = MakeAdjustedTable(GO, {.swc = 0.2, .sor = 0.2, .sgc = 0.1}, set);
    EXPECT_EQ(column(grid, 0), (std::vector<std::string>{".6", ".475", ".35", ".225", ".0"}));
    EXPECT_EQ(grid.header[1], "krog");
}

TEST(AdjustedTable, GasWaterFirstRowBelowZeroIsInterpolatedToZero) {
    // uSgc 0.05 and a range of 0.75: normalized -0.1 gives -0.025, 0.1 gives 0.125.
    MeasuredDataSet set =
        makeSet(SetRecipe{.points = {{-0.1, 0, 0.9}, {0.1, 0.1, 0.6}, {1, .7, 0}}});
    GridText grid = MakeAdjustedTable(GW, {.swc = 0.2, .sgc = 0.05}, set);
    EXPECT_EQ(grid.rows[0][0], ".0");
    // krw goes from 0.9 at -0.025 to 0.6 at 0.125: at zero, 0.9 - 0.3 x 0.025 / 0.15 = 0.85.
    EXPECT_NEAR(set.krOtherAdjusted[1], 0.85, 1e-12);
    EXPECT_EQ(grid.rows[0][1], ".85");
    EXPECT_EQ(grid.rows[0][2], ".0") << "krg is not clipped at zero gas";
}

TEST(AdjustedTable, GasWaterFirstRowHalfwayWhenTheFirstTwoStraddleZero) {
    // uSgc 0.1, range 0.5: normalized -0.3 gives -0.05, -0.1 gives 0.05.
    MeasuredDataSet set =
        makeSet(SetRecipe{.points = {{-0.3, 0, 0.8}, {-0.1, 0, 0.6}, {1, .7, 0}}});
    GridText grid = MakeAdjustedTable(GW, {.swc = 0.4, .sgc = 0.1}, set);
    EXPECT_EQ(grid.rows[0][0], ".0");
    EXPECT_NEAR(set.krOtherAdjusted[1], 0.7, 1e-12);
}

TEST(AdjustedTable, KrAtZeroGasNeverFallsBelowZero) {
    // No point reaches zero gas, so the line through the first and the last point is
    // followed beyond the last: 0.5 - 0.4 x 0.25 / 0.07 would be negative.
    MeasuredDataSet set = makeSet(SetRecipe{.points = {{-0.5, 0, 0.5}, {-0.4, 0, 0.1}}});
    GridText grid = MakeAdjustedTable(GW, {.swc = 0.2, .sgc = 0.1}, set);
    EXPECT_EQ(set.krOtherAdjusted[1], 0.0);
    EXPECT_EQ(grid.rows[0][1], ".0");
    EXPECT_EQ(grid.rows[1], (std::vector<std::string>{".0", ".0", ".0"}))
        << "the second point is below zero too and copies the first row's kr";
}

TEST(AdjustedTable, LaterPointsBelowZeroCopyTheFirstRowKr) {
    MeasuredDataSet set =
        makeSet(SetRecipe{.points = {{-0.4, 0, 1}, {-0.3, 0, 0.95}, {0.2, .1, 0.6}, {1, .7, 0}}});
    MakeAdjustedTable(GW, {.swc = 0.2, .sgc = 0.1}, set);
    EXPECT_EQ(set.satAdjusted[2], 0);
    EXPECT_EQ(set.krOtherAdjusted[2], set.krOtherAdjusted[1]);
}

TEST(AdjustedTable, GasWaterFirstRowAboveZeroIsExtrapolatedToZero) {
    // uSgc 0.1: normalized 0 and 0.2 give 0.1 and 0.24 (range 0.7).
    MeasuredDataSet set = makeSet(SetRecipe{.points = {{0, 0, 0.8}, {0.2, .1, 0.6}, {1, .7, 0}}});
    GridText grid = MakeAdjustedTable(GW, {.swc = 0.2, .sgc = 0.1}, set);
    EXPECT_EQ(grid.rows[0][0], ".0");
    // Through (0.24, 0.6) and (0.1, 0.8): at zero, 0.6 + 0.2 x 0.24 / 0.14.
    EXPECT_NEAR(set.krOtherAdjusted[1], 0.6 + 0.2 * 0.24 / 0.14, 1e-12);
    EXPECT_EQ(grid.rows[1][0], ".24");
}

TEST(AdjustedTable, GasCondensateClipsGasKrAtSaturationOne) {
    // uSgc 0, range 1: the last two points at 0.9 and 1.1, and one more at 1.2.
    MeasuredDataSet set = makeSet(
        SetRecipe{.points = {{0, 0, 1}, {0.9, 0.6, 0.1}, {1.1, 0.8, 0.0}, {1.2, 0.95, 0.0}}});
    GridText grid = MakeAdjustedTable(GC, {.swc = 0.0, .sgc = 0.0}, set);
    EXPECT_EQ(column(grid, 0), (std::vector<std::string>{".0", ".9", "1.0", "1.0"}));
    EXPECT_NEAR(set.krAxisAdjusted[3], 0.7, 1e-12) << "halfway between 0.6 and 0.8";
    EXPECT_EQ(set.krAxisAdjusted[4], set.krAxisAdjusted[3]);
    EXPECT_EQ(column(grid, 2), (std::vector<std::string>{".0", ".6", ".7", ".7"}));
    EXPECT_EQ(column(grid, 1)[3], ".0") << "only gas kr is clipped at 1";
}

TEST(AdjustedTable, EmptyRangePutsEverySaturationAtTheLowerEndPoint) {
    MeasuredDataSet set = makeSet(SetRecipe{});
    GridText grid = MakeAdjustedTable(WO, {.swc = 0.6, .sor = 0.4}, set);
    EXPECT_EQ(column(grid, 0), (std::vector<std::string>{".6", ".6", ".6"}));
}

TEST(AdjustedTable, CoincidentSaturationsKeepTheMeasuredKrAndStayFinite) {
    // Two points at the same adjusted saturation above zero: no slope to extrapolate with.
    MeasuredDataSet same = makeSet(SetRecipe{.points = {{0.5, 0.1, 0.7}, {0.5, 0.2, 0.4}}});
    MakeAdjustedTable(GW, {.swc = 0.2, .sgc = 0.1}, same);
    EXPECT_EQ(same.satAdjusted[1], 0);
    EXPECT_EQ(same.krOtherAdjusted[1], 0.7);
    // Every point below zero with the same saturation: nothing to interpolate towards.
    MeasuredDataSet below = makeSet(SetRecipe{.points = {{-0.5, 0, 0.9}, {-0.5, 0, 0.8}}});
    MakeAdjustedTable(GC, {.swc = 0.2, .sgc = 0.1}, below);
    EXPECT_EQ(below.krOtherAdjusted[1], 0.9);
    for (int i = 1; i <= 2; ++i) {
        EXPECT_TRUE(std::isfinite(same.krOtherAdjusted[i]));
        EXPECT_TRUE(std::isfinite(below.krOtherAdjusted[i]));
    }
}

TEST(AdjustedTable, SinglePointMovesToZeroGasWithItsOwnKr) {
    for (double norm : {-0.2, 0.0, 0.5}) {
        MeasuredDataSet set = makeSet(SetRecipe{.points = {{norm, 0.3, 0.6}}});
        set.normSat[2] = 0.9; // left over from an earlier record; not a point of this one
        set.krOther[2] = 0.1;
        GridText grid = MakeAdjustedTable(GW, {.swc = 0.2, .sgc = 0.1}, set);
        ASSERT_EQ(grid.rows.size(), 1u);
        EXPECT_EQ(grid.rows[0], (std::vector<std::string>{".0", ".6", ".3"})) << norm;
    }
}

} // namespace
} // namespace relperm
