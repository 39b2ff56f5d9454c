// Sets whose records hold values no computation can take (NaN, infinite, subnormal, end
// points far outside 0 to 1): each fit refuses the set by the field, a recommendation leaves
// it out and says why, and no table grows with such a value.
#include "../database/records.h"
#include "analysis/fitexport.h"
#include "analysis/recommend.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace relperm {
namespace {

using namespace relperm::testing;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

// Points on Corey curves, three of them between the ends, so both models can be fitted.
SetRecipe coreyPoints(double swc = 0.2, double sorw = 0.3) {
    return SetRecipe{
        .swc = swc,
        .sorw = sorw,
        .points = {
            {0, 0, 0.9}, {0.3, 0.03, 0.45}, {0.5, 0.09, 0.23}, {0.7, 0.2, 0.08}, {1, 0.4, 0}}};
}

std::string refusalOf(const SetRecipe& recipe, FitModel model, TwoPhaseSystem system = WO) {
    auto fitted = fitDataSet(system, makeSet(recipe), model);
    return std::holds_alternative<Refusal>(fitted) ? std::get<Refusal>(fitted).message : "fitted";
}

TEST(UnusableSets, AFitRefusesTheSetByTheFieldThatHoldsTheValue) {
    for (FitModel model : {FitModel::Corey, FitModel::Let}) {
        EXPECT_EQ(refusalOf(coreyPoints(-1e9), model),
                  "The data set cannot be used: its Swc is -1000000000; an end point must be a "
                  "fraction from 0 to 1.");
        EXPECT_EQ(refusalOf(coreyPoints(-1e300), model).substr(0, 40),
                  "The data set cannot be used: its Swc is ");
        EXPECT_EQ(refusalOf(coreyPoints(-inf), model),
                  "The data set cannot be used: its Swc is minus infinity.");
        EXPECT_EQ(refusalOf(coreyPoints(0.2, nan), model),
                  "The data set cannot be used: its Sorw is not a number (NaN).");
        EXPECT_EQ(refusalOf(coreyPoints(std::numeric_limits<double>::denorm_min()), model),
                  "The data set cannot be used: its Swc is 4.94065645841247E-324, too small to "
                  "compute with (a subnormal number).");
        SetRecipe nanKr = coreyPoints();
        nanKr.points[2][1] = nan;
        EXPECT_EQ(refusalOf(nanKr, model),
                  "The data set cannot be used: its point 3 krw is not a number (NaN).");
        SetRecipe gas = coreyPoints();
        gas.sgc = -inf;
        EXPECT_EQ(refusalOf(gas, model, GO), "The data set cannot be used: its Sgc is minus "
                                             "infinity.");
        EXPECT_EQ(refusalOf(coreyPoints(), model), "fitted");
    }
}

// Rows come from the saturation range whatever end points reach the table, so the write
// refuses them rather than growing without end.
TEST(UnusableSets, TablesOfCurvesStayBoundedWhateverTheirEndPoints) {
    const auto rising = [](double s) { return s * s; };
    const auto falling = [](double s) { return (1 - s) * (1 - s); };
    for (double swl : {-1e9, -1e300, -inf, 1e300, nan}) {
        const SaturationTables wo =
            curveTables(WO, FitEndPoints{.swl = swl, .sorw = 0.2}, 1, rising, falling);
        EXPECT_LE(wo.waterOil.size(), 103u) << swl;
        auto file = simulatorFile(wo, {}, {.keywords = {Keyword::SWOF}});
        EXPECT_TRUE(std::holds_alternative<Refusal>(file)) << swl;
        const SaturationTables go =
            curveTables(GO, FitEndPoints{.swl = 0.2, .sgcr = swl}, 1, rising, falling);
        EXPECT_LE(go.gas.size(), 104u) << swl;
    }
    EXPECT_EQ(curveTables(WO, {.swl = 0.2, .sorw = 0.3}, 5, rising, falling).waterOil.size(), 11u);
}

TEST(UnusableSets, TheSmallestValuesKeepTheirFourDigitsInText) {
    // No double lies nearer 4.941E-324 than the smallest one itself, which was shown as NaN.
    EXPECT_EQ(fitValueText(std::numeric_limits<double>::denorm_min()), "4.94065645841247E-324");
    EXPECT_EQ(fitValueText(2.225073858507201e-308), "2.225E-308");
    EXPECT_EQ(fitValueText(0.123456), ".1235");
    EXPECT_EQ(fitValueText(-98765.4), "-98770");
}

class UnusableSetsInAFile : public TempDirTest {};

TEST_F(UnusableSetsInAFile, ARecommendationLeavesThemOutAndSaysWhy) {
    std::vector<SetRecipe> sets(40, coreyPoints());
    for (std::size_t k = 0; k < sets.size(); ++k)
        sets[k].swc = 0.15 + 0.002 * static_cast<double>(k);
    SetRecipe broken = coreyPoints();
    broken.swc = nan;
    sets.insert(sets.begin() + 7, broken);
    writeDataFile(dir, WO, recordsOf(WO, sets));

    auto made = recommendScal(dir, WO, {}, {}, {}, FitModel::Corey);
    ASSERT_TRUE(std::holds_alternative<ScalRecommendation>(made))
        << std::get<Refusal>(made).message;
    const ScalRecommendation& rec = std::get<ScalRecommendation>(made);
    EXPECT_EQ(rec.fits.size(), 40u);
    ASSERT_EQ(rec.leftOut.size(), 1u);
    EXPECT_EQ(rec.leftOut[0].match, 8);
    EXPECT_EQ(rec.leftOut[0].reason, "The data set cannot be used: its Swc is not a number (NaN).");
    for (const FittedSet* c : {&rec.low, &rec.base, &rec.high})
        for (double value : fitParameterValues(*c))
            EXPECT_TRUE(std::isfinite(value));

    writeDataFile(dir, WO, recordsOf(WO, {broken, broken}));
    auto none = recommendScal(dir, WO, {}, {}, {}, FitModel::Corey);
    ASSERT_TRUE(std::holds_alternative<Refusal>(none));
    EXPECT_EQ(std::get<Refusal>(none).message,
              "None of the 2 matching data sets could be fitted: data set # 1: The data set "
              "cannot be used: its Swc is not a number (NaN); data set # 2: The data set cannot "
              "be used: its Swc is not a number (NaN).");
}

} // namespace
} // namespace relperm
