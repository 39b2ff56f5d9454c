// The calculator's correlations beside a measured set: each evaluated with the set's own end
// points, rock and wettability as the calculator's lists name them, mapped onto the set's
// normalised saturation, and scored by its misfit to the measured points.
#include "analysis/compare.h"
#include "analysis/fitexport.h"
#include "calculator/generate.h"
#include "database/records.h"

#include <gtest/gtest.h>

#include <cmath>

namespace relperm {
namespace {

using testing::GC;
using testing::GO;
using testing::GW;
using testing::makeSet;
using testing::SetRecipe;
using testing::WO;

std::vector<std::string> namesOf(const std::vector<CorrelationComparison>& list) {
    std::vector<std::string> names;
    for (const CorrelationComparison& c : list)
        names.push_back(c.correlation);
    return names;
}

const CorrelationComparison& named(const std::vector<CorrelationComparison>& list,
                                   const std::string& name) {
    for (const CorrelationComparison& c : list)
        if (c.correlation == name)
            return c;
    throw std::runtime_error("no comparison named " + name);
}

// The calculator's own table at 1% spacing, for the boxes typed as the engineer would
// (porosity 20%, k 100 md, Sgc 5%, Sorg as Sorw unless given).
CalculatorState generated(const std::string& fluids, const std::string& swc,
                          const std::string& sorw, const std::string& correlation = "",
                          const std::string& wettability = "", const std::string& formation = "") {
    GenerateInput in;
    in.porosity = "20";
    in.permeability = "100";
    in.swc = swc;
    in.sorw = sorw;
    in.sorg = sorw;
    in.sgc = "5";
    in.spacing = "1";
    in.fluids = fluids;
    in.correlation = correlation;
    in.wettability = wettability;
    in.formation = formation;
    CalculatorState state;
    EXPECT_FALSE(generate(state, in).has_value());
    return state;
}

// The calculator's Corey water-oil curves at Swc 20%, Sorw 30%: krw = S^4, and krow =
// ((1 - Sw) / (1 - Swc))^4 after Generate rescales it, 0 at Sorw. Points every 5% of Sw lie
// on the correlation's 1% rows.
SetRecipe coreyWaterOil() {
    SetRecipe recipe{.wetting = 1, .lithology = 1, .swc = 0.2, .sorw = 0.3};
    recipe.points.clear();
    for (int k = 0; k <= 10; ++k) {
        const double s = k / 10.0;
        const double sw = 0.2 + 0.5 * s;
        recipe.points.push_back({s, std::pow(s, 4), k == 10 ? 0.0 : std::pow((1 - sw) / 0.8, 4)});
    }
    return recipe;
}

TEST(CompareCorrelations, EverySystemGetsItsCalculatorProceduresInListOrder) {
    const std::vector<std::string> oil = {"Mohamad Ibrahim/Varnholt", "Honarpour/Varnholt/Harvey",
                                          "Rose", "Wyllie", "Corey"};
    EXPECT_EQ(namesOf(compareCorrelations(WO, makeSet(coreyWaterOil()))), oil);
    EXPECT_EQ(namesOf(compareCorrelations(GO, makeSet(SetRecipe{}))), oil);
    EXPECT_EQ(namesOf(compareCorrelations(GW, makeSet(SetRecipe{}))),
              std::vector<std::string>{"Water-Gas"});
    EXPECT_EQ(namesOf(compareCorrelations(GC, makeSet(SetRecipe{}))),
              std::vector<std::string>{"Gas-Condensate"});
}

TEST(CompareCorrelations, ASetMadeFromACorrelationMatchesItAndNoOther) {
    const auto list = compareCorrelations(WO, makeSet(coreyWaterOil()));
    const CorrelationComparison& corey = named(list, "Corey");
    EXPECT_EQ(corey.refusal, "");
    EXPECT_LT(corey.rms, 1e-12);
    // Its rows run over the set's own range: Swc to 1 - Sorw is 0 to 1.
    ASSERT_EQ(corey.saturation.size(), 51u);
    EXPECT_NEAR(corey.saturation.front(), 0, 1e-12);
    EXPECT_NEAR(corey.saturation.back(), 1, 1e-12);
    EXPECT_NEAR(corey.rising.back(), 1, 1e-12);
    EXPECT_EQ(corey.falling.back(), 0);
    for (const CorrelationComparison& c : list) {
        EXPECT_EQ(c.refusal, "") << c.correlation;
        EXPECT_EQ(c.saturation.size(), c.rising.size()) << c.correlation;
        EXPECT_EQ(c.saturation.size(), c.falling.size()) << c.correlation;
        if (c.correlation != "Corey") {
            EXPECT_GT(c.rms, 0.01) << c.correlation;
        }
    }
}

TEST(CompareCorrelations, PointsBetweenRowsAreReadOffStraightLinesBetweenThem) {
    // Halfway between two rows the correlation reads as their mean, so a set of those means
    // matches exactly, and the true Corey values (a little below the chord of the convex
    // curves) do not. The last row, where Generate sets krow to 0, is left out.
    const CalculatorState state = generated("Water-Oil-Gas", "20", "30", "Corey");
    SetRecipe chords{.swc = 0.2, .sorw = 0.3};
    SetRecipe exact = chords;
    chords.points.clear();
    exact.points.clear();
    for (int row = 1; row + 1 < state.tables.nWaterOil; row += 7) {
        const double sw = (state.tables.swTable[row] + state.tables.swTable[row + 1]) / 2;
        const double s = (sw - 0.2) / 0.5;
        chords.points.push_back(
            {s, (state.tables.krwTable[row] + state.tables.krwTable[row + 1]) / 2,
             (state.tables.krowTable[row] + state.tables.krowTable[row + 1]) / 2});
        exact.points.push_back({s, std::pow(s, 4), std::pow((1 - sw) / 0.8, 4)});
    }
    EXPECT_LT(named(compareCorrelations(WO, makeSet(chords)), "Corey").rms, 1e-12);
    const double off = named(compareCorrelations(WO, makeSet(exact)), "Corey").rms;
    EXPECT_GT(off, 1e-6);
    EXPECT_LT(off, 1e-3);
}

TEST(CompareCorrelations, GasTablesAreReadOnTheSetsGasSaturationScale) {
    // Corey's gas curves at Swc 20%, Sorg 10%, Sgc 5%: krg = Sgn^3 (2 - Sgn) with Sgn on
    // 1 - Swc - Sorg - Sgc, krog = (1 - Sg / (1 - Swc - Sorg - Sgc))^4.
    SetRecipe recipe{.swc = 0.2, .sorg = 0.1, .sgc = 0.05};
    recipe.points.clear();
    for (int k = 0; k <= 13; ++k) {
        const double sg = 0.05 * k;
        const double s = (sg - 0.05) / 0.65;
        const double sgn = std::max(s, 0.0);
        recipe.points.push_back({s, std::pow(sgn, 3) * (2 - sgn), std::pow(1 - sg / 0.65, 4)});
    }
    const auto list = compareCorrelations(GO, makeSet(recipe));
    const CorrelationComparison& corey = named(list, "Corey");
    EXPECT_LT(corey.rms, 1e-12);
    // The gas table starts at Sg = 0, below the set's lower end point Sgc.
    EXPECT_NEAR(corey.saturation.front(), -0.05 / 0.65, 1e-12);
    EXPECT_NEAR(corey.saturation.back(), 1, 1e-12);
}

TEST(CompareCorrelations, TheSystemsWithoutOilCompareTheirOneProcedure) {
    // Water-Gas: the gas table's liquid column is krw, the falling curve of gas-water data.
    const MeasuredDataSet set = makeSet(SetRecipe{.swc = 0.2, .sgc = 0.05});
    const CalculatorState state = generated("Water-Gas", "20", "");
    const CorrelationComparison c = compareCorrelations(GW, set).front();
    ASSERT_EQ(c.refusal, "");
    ASSERT_EQ(c.falling.size(), static_cast<std::size_t>(state.tables.nGasLiquid));
    EXPECT_EQ(c.falling.front(), state.tables.krogTable[1]);
    EXPECT_EQ(c.rising.back(), 1);
    EXPECT_NEAR(c.saturation.back(), 1, 1e-12);
    EXPECT_GT(c.rms, 0);
    EXPECT_EQ(compareCorrelations(GC, set).front().refusal, "");
}

TEST(CompareCorrelations, WettabilityAndLithologyBecomeTheCalculatorsListTexts) {
    // A water-wet set with Swc of 15% or more and a last krw of at most 0.07 shows as
    // strongly water-wet, which only Ibrahim's list tells apart; limestone is a carbonate.
    SetRecipe strongly{.wetting = 1, .lithology = 2, .swc = 0.2, .sorw = 0.3};
    strongly.points = {{0, 0, 1}, {0.5, 0.01, 0.3}, {1, 0.05, 0}};
    SetRecipe mixed = strongly;
    mixed.wetting = 2;
    mixed.lithology = 1;
    struct Case {
        SetRecipe recipe;
        std::string correlation;
        std::string wettability;
        std::string formation;
    };
    for (const Case& c :
         {Case{strongly, "Mohamad Ibrahim/Varnholt", "Strongly Water Wet", "Carbonate"},
          Case{strongly, "Honarpour/Varnholt/Harvey", "Water Wet", "Carbonate"},
          Case{mixed, "Mohamad Ibrahim/Varnholt", "Intermediate (Mixed)", "Sandstone"},
          Case{mixed, "Honarpour/Varnholt/Harvey", "Oil or Intermediate Wet", "Sandstone"}}) {
        const CalculatorState state =
            generated("Water-Oil-Gas", "20", "30", c.correlation, c.wettability, c.formation);
        const CorrelationComparison got =
            named(compareCorrelations(WO, makeSet(c.recipe)), c.correlation);
        ASSERT_EQ(got.rising.size(), static_cast<std::size_t>(state.tables.nWaterOil));
        for (int i = 1; i <= state.tables.nWaterOil; ++i) {
            const auto at = static_cast<std::size_t>(i - 1);
            EXPECT_EQ(got.rising[at], state.tables.krwTable[i]) << c.wettability << " row " << i;
            EXPECT_EQ(got.falling[at], state.tables.krowTable[i]) << c.wettability << " row " << i;
        }
    }
}

TEST(CompareCorrelations, ACorrelationThatCannotBeAskedSaysWhyAndHasNoCurves) {
    // Shale is neither of the calculator's formations; a set without a wettability code
    // leaves the wettability lists nothing to pick; Rose divides by Swc.
    SetRecipe shale = coreyWaterOil();
    shale.lithology = 4;
    SetRecipe noWettability = coreyWaterOil();
    noWettability.wetting = 0;
    SetRecipe noSwc = coreyWaterOil();
    noSwc.swc = 0;
    struct Case {
        SetRecipe recipe;
        std::vector<std::string> refused;
        std::string message;
    };
    for (const Case& c :
         {Case{shale,
               {"Mohamad Ibrahim/Varnholt", "Honarpour/Varnholt/Harvey", "Wyllie"},
               "reads the formation (Sandstone or Carbonate), and the data set's lithology is "
               "Shale, neither of them."},
          Case{noWettability,
               {"Mohamad Ibrahim/Varnholt", "Honarpour/Varnholt/Harvey"},
               "reads the wettability, and the data set gives none."},
          Case{noSwc,
               {"Rose"},
               "Swc must be greater than 0% for Rose: krw divides by zero at Sw = Swc "
               "otherwise."}}) {
        for (const CorrelationComparison& got : compareCorrelations(WO, makeSet(c.recipe))) {
            const bool refused =
                std::find(c.refused.begin(), c.refused.end(), got.correlation) != c.refused.end();
            if (!refused) {
                EXPECT_EQ(got.refusal, "") << got.correlation;
                EXPECT_FALSE(got.saturation.empty()) << got.correlation;
                continue;
            }
            EXPECT_NE(got.refusal.find(c.message), std::string::npos) << got.refusal;
            EXPECT_TRUE(got.saturation.empty() && got.rising.empty() && got.falling.empty());
            EXPECT_EQ(got.rms, 0);
        }
    }
}

// A correlation whose kr leaves 0..1 at the set's end points describes no rock: it is still
// evaluated, so it can be drawn, and says where it leaves the range; one inside says nothing.
// The list names each correlation once, by its rms, that note, or why it was not evaluated.
TEST(CompareCorrelations, AKrOutsideZeroToOneIsSaidInPlaceOfARank) {
    const std::vector<CorrelationComparison> oil = compareCorrelations(WO, makeSet(SetRecipe{}));
    const CorrelationComparison& rose = named(oil, "Rose");
    EXPECT_EQ(rose.refusal, "");
    EXPECT_FALSE(rose.saturation.empty());
    EXPECT_EQ(rose.krOutside, "kr outside 0..1 (krow up to 184.6)");
    EXPECT_EQ(comparisonSummary(rose), "Rose    kr outside 0..1 (krow up to 184.6)");
    const CorrelationComparison& corey = named(oil, "Corey");
    EXPECT_EQ(corey.krOutside, "");
    EXPECT_EQ(comparisonSummary(corey), "Corey    rms " + fitValueText(corey.rms));

    // The demo's gas-water set 3: the Water-Gas krw dips below 0 at its end points.
    const SetRecipe gasWater{.porosity = 0.305, .k = 0.9, .swc = 0.203, .sgc = 0.061};
    EXPECT_EQ(compareCorrelations(GW, makeSet(gasWater)).front().krOutside,
              "kr outside 0..1 (krw down to -.07155)");

    SetRecipe shale = coreyWaterOil();
    shale.lithology = 4;
    const auto onShale = compareCorrelations(WO, makeSet(shale));
    EXPECT_EQ(comparisonSummary(named(onShale, "Wyllie")), named(onShale, "Wyllie").refusal)
        << "the refusal names it already";
    SetRecipe noSwc = coreyWaterOil();
    noSwc.swc = 0;
    EXPECT_EQ(comparisonSummary(named(compareCorrelations(WO, makeSet(noSwc)), "Rose")),
              "Swc must be greater than 0% for Rose: krw divides by zero at Sw = Swc otherwise.");
    SetRecipe noRange = coreyWaterOil();
    noRange.sorw = 0.8;
    const auto refused = compareCorrelations(WO, makeSet(noRange));
    const CorrelationComparison& unusable = named(refused, "Corey");
    ASSERT_NE(unusable.refusal, "");
    EXPECT_EQ(comparisonSummary(unusable), "Corey: " + unusable.refusal);
}

// Found by fuzzing: a header permeability no rock has drives the water-gas krw past 1E+200,
// whose square overflows the misfit. The set's own values are fine; the comparison is not.
TEST(CompareCorrelations, AKrTooLargeToCompareIsRefusedNotAnInfiniteMisfit) {
    const SetRecipe huge{.porosity = 0.2, .k = 2.3e80, .swc = 0.13, .sgc = 0.13};
    const std::vector<CorrelationComparison> all = compareCorrelations(GW, makeSet(huge));
    const CorrelationComparison& c = named(all, "Water-Gas");
    EXPECT_EQ(c.refusal, "At the data set's porosity and permeability its kr grows too large to "
                         "compare with the points.");
    EXPECT_TRUE(c.saturation.empty());
    EXPECT_TRUE(c.rising.empty());
}

} // namespace
} // namespace relperm
