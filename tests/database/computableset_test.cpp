// A measured set as the computations take it: values no computation may take are refused by
// the field that holds them, and points listed with falling saturation come in rising order.
#include "database/computableset.h"
#include "records.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace relperm {
namespace {

using namespace relperm::testing;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double subnormal = std::numeric_limits<double>::denorm_min();

std::string refusalOf(TwoPhaseSystem system, const MeasuredDataSet& set) {
    auto refusal = checkSetValues(system, set);
    return refusal ? refusal->input + ": " + refusal->message : "";
}

TEST(SetValues, AnEndPointThatIsNoFractionIsRefusedByItsName) {
    const std::string prefix = "The data set cannot be used: its ";
    struct Case {
        TwoPhaseSystem system;
        SetRecipe recipe;
        std::string refusal;
    };
    for (const Case& c : {
             Case{WO, {.swc = nan}, "Swc: " + prefix + "Swc is not a number (NaN)."},
             Case{WO,
                  {.swc = -1e9},
                  "Swc: " + prefix +
                      "Swc is -1000000000; an end point must be "
                      "a fraction from 0 to 1."},
             Case{WO,
                  {.sorw = 1e300},
                  "Sorw: " + prefix +
                      "Sorw is 1E+300; an end point must be "
                      "a fraction from 0 to 1."},
             Case{GO, {.sgc = -inf}, "Sgc: " + prefix + "Sgc is minus infinity."},
             Case{GO, {.sorg = inf}, "Sorg: " + prefix + "Sorg is infinite."},
             Case{GC,
                  {.swc = subnormal},
                  "Slc: " + prefix +
                      "Slc is 4.94065645841247E-324, too small to compute with (a subnormal "
                      "number)."},
             Case{WO,
                  {.swc = 0.4, .sorw = 0.6},
                  "points: The data set cannot be used: its end points leave no saturation "
                  "range (Swc + Sorw is 1 or more)."},
             Case{GW,
                  {.swc = 0.5, .sgc = 0.5},
                  "points: The data set cannot be used: its end points leave no saturation "
                  "range (Swc + Sgc is 1 or more)."},
         }) {
        EXPECT_EQ(refusalOf(c.system, makeSet(c.recipe)), c.refusal);
    }
    // End points a system does not use are never looked at.
    EXPECT_EQ(refusalOf(WO, makeSet({.sorg = nan, .sgc = -1})), "");
    EXPECT_EQ(refusalOf(GW, makeSet({.sorw = inf})), "");
}

TEST(SetValues, APointValueThatIsNoNumberIsRefusedByPointAndColumn) {
    SetRecipe recipe;
    recipe.points[1][1] = nan;
    EXPECT_EQ(refusalOf(WO, makeSet(recipe)),
              "point 2 krw: The data set cannot be used: its point 2 krw is not a number (NaN).");
    recipe.points[1][1] = 0.1;
    recipe.points[2][0] = inf;
    EXPECT_EQ(refusalOf(GO, makeSet(recipe)), "point 3 Sg norm: The data set cannot be used: its "
                                              "point 3 Sg norm is infinite.");
    recipe.points[2][0] = 1;
    recipe.points[0][2] = -subnormal;
    EXPECT_EQ(refusalOf(GW, makeSet(recipe)).substr(0, 60),
              "point 1 krw: The data set cannot be used: its point 1 krw is");
    recipe.points[0][2] = -1e300;
    EXPECT_EQ(refusalOf(GW, makeSet(recipe)),
              "point 1 krw: The data set cannot be used: its point 1 krw is -1E+300; a measured "
              "value lies between -10 and 10.");
    // Values a laboratory writes are fine: kr above 1, saturations just beyond 0 or 1.
    recipe.points = {{-0.04, 0, 1}, {0.5, 0.3, 0.2}, {1.0001, 1.02, 0}};
    EXPECT_EQ(refusalOf(GO, makeSet(recipe)), "");
}

TEST(SaturationOrder, FallingPointsRiseWithEveryColumnAndTiesKeepTheirOrder) {
    MeasuredDataSet set =
        makeSet({.points = {{1, 0.6, 0}, {0.5, 0.2, 0.3}, {0.5, 0.25, 0.35}, {0, 0, 1}}});
    set.satAsInput[1] = 10; // derived columns move with their points
    const MeasuredDataSet sorted = inSaturationOrder(set);
    const double normSat[] = {0, 0.5, 0.5, 1};
    const double krAxis[] = {0, 0.2, 0.25, 0.6};
    const double krOther[] = {1, 0.3, 0.35, 0};
    for (std::size_t i = 1; i <= 4; ++i) {
        EXPECT_EQ(sorted.normSat[i], normSat[i - 1]) << i;
        EXPECT_EQ(sorted.krAxis[i], krAxis[i - 1]) << i;
        EXPECT_EQ(sorted.krOther[i], krOther[i - 1]) << i;
    }
    EXPECT_EQ(sorted.satAsInput[4], 10);
    EXPECT_EQ(sorted.pointCount, 4);
    EXPECT_EQ(encodeRecord(GO, inSaturationOrder(sorted)), encodeRecord(GO, sorted))
        << "a set in rising order stays as it is";
}

TEST(SaturationOrder, ADerivedColumnCanSetTheOrder) {
    MeasuredDataSet set = makeSet({.points = {{0, 0, 1}, {0.5, 0.2, 0.3}, {1, 0.6, 0}}});
    set.satAdjusted[1] = 0.9;
    set.satAdjusted[2] = 0.1;
    set.satAdjusted[3] = 0.5;
    const MeasuredDataSet sorted = inSaturationOrder(set, &MeasuredDataSet::satAdjusted);
    EXPECT_EQ(sorted.satAdjusted[1], 0.1);
    EXPECT_EQ(sorted.normSat[1], 0.5);
    EXPECT_EQ(sorted.normSat[3], 0);
}

} // namespace
} // namespace relperm
