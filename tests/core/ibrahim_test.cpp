// Mohamad Ibrahim/Varnholt against values computed by hand from the published equations,
// and the edge values of the correlation.
#include "calculator/correlations/correlations.h"
#include "calculator_fixtures.h"

#include <gtest/gtest.h>

namespace relperm {
namespace {

using namespace relperm::testing;

const std::string ibrahim = "Mohamad Ibrahim/Varnholt";

const char* wettabilityOf(int code) {
    static const char* const names[] = {"Oil Wet", "Water Wet", "Strongly Water Wet",
                                        "Intermediate (Mixed)"};
    return names[code];
}

Tables raw(const GenerateInput& in) {
    return rawTables(in, [](const CorrelationInputs& v, Tables& t, SelectionCodes c) {
        ComputeIbrahim(v, t, c.wettabilityCode, c.isSandstone);
    });
}

struct SpotCheck {
    const char* formation;
    int code;
    double krw, krow, krog, krg; // at Sw .45 and Sg .35, after the fix-up
};

void PrintTo(const SpotCheck& c, std::ostream* os) {
    *os << c.formation << " code " << c.code;
}

class IbrahimSpot : public ::testing::TestWithParam<SpotCheck> {};

TEST_P(IbrahimSpot, AgreesWithTheEquationsByHand) {
    const SpotCheck& c = GetParam();
    const CalculatorState s = generated(workedExample(ibrahim, c.formation, wettabilityOf(c.code)));
    EXPECT_NEAR(s.tables.krwTable[rowSw045], c.krw, byHand);
    EXPECT_NEAR(s.tables.krowTable[rowSw045], c.krow, byHand);
    EXPECT_NEAR(s.tables.krogTable[rowSg035], c.krog, byHand);
    EXPECT_NEAR(s.tables.krgTable[rowSg035], c.krg, byHand);
}

INSTANTIATE_TEST_SUITE_P(
    BothFormationsEveryCode, IbrahimSpot,
    ::testing::Values(SpotCheck{"Sandstone", 0, 0.111140954, 0.162545222, 0.091517535, 0.168107513},
                      SpotCheck{"Sandstone", 1, 0.052883194, 0.248125275, 0.091517535, 0.168107513},
                      SpotCheck{"Sandstone", 2, 0.024104969, 0.248878562, 0.091517535, 0.168107513},
                      SpotCheck{"Sandstone", 3, 0.085693434, 0.184634207, 0.091517535, 0.168107513},
                      SpotCheck{"Carbonate", 0, 0.344359130, 0.164016750, 0.053299657, 0.275842453},
                      SpotCheck{"Carbonate", 1, 0.102194559, 0.228586422, 0.053299657, 0.275842453},
                      SpotCheck{"Carbonate", 2, 0.030622204, 0.446341977, 0.053299657, 0.275842453},
                      SpotCheck{"Carbonate", 3, 0.149454815, 0.194227645, 0.053299657,
                                0.275842453}));

TEST(Ibrahim, KrowAtSEqualOneIsTheSumOfItsCoefficients) {
    const double carbonate[] = {0.0054373, 0.0051941, 0.00869398, 0.013869};
    const double sandstone[] = {0, 0.0070749, 0.000842, 0}; // -0.0002744 and -0.0024436 floored
    for (int code = 0; code < 4; ++code) {
        EXPECT_NEAR(raw(workedExample(ibrahim, "Carbonate", wettabilityOf(code))).krowTable[12],
                    carbonate[code], 1e-12)
            << "carbonate code " << code;
        EXPECT_NEAR(raw(workedExample(ibrahim, "Sandstone", wettabilityOf(code))).krowTable[12],
                    sandstone[code], 1e-12)
            << "sandstone code " << code;
        const Tables t = raw(workedExample(ibrahim, "Sandstone", wettabilityOf(code)));
        EXPECT_EQ(t.krwTable[1], 0) << "S = 0";
        EXPECT_EQ(t.krowTable[1], 1) << "S = 0";
    }
    EXPECT_EQ(generated(workedExample(ibrahim, "Carbonate", "Oil Wet")).tables.krowTable[12], 0)
        << "Generate sets the last row to 0";
}

TEST(Ibrahim, GasRowsStartAtTheKrogSumAndEndAtZero) {
    const Tables carbonate = raw(workedExample(ibrahim, "Carbonate"));
    const Tables sandstone = raw(workedExample(ibrahim, "Sandstone"));
    EXPECT_NEAR(carbonate.krogTable[1], 0.996561, 1e-12);
    EXPECT_NEAR(sandstone.krogTable[1], 0.9948826, 1e-12);
    for (const Tables* t : {&carbonate, &sandstone}) {
        EXPECT_EQ(t->krgTable[1], 0);
        EXPECT_EQ(t->krgTable[2], 0) << "Sg = Sgc";
        EXPECT_NEAR(t->krogTable[t->nGasLiquid], 0, 1e-15);
    }
}

TEST(Ibrahim, NoWettabilityGivesTheOilWetEquations) {
    EXPECT_NEAR(generated(workedExample(ibrahim, "Carbonate")).tables.krwTable[rowSw045],
                0.344359130, byHand);
}

TEST(Ibrahim, SandstoneWaterWetRaisesTheProductSwcLnKToTheTenth) {
    // Swc 40%, Sorw 20%, 10000 md: the term 5.78e-06 S^3 (Swc ln k)^10 (1 - Sorw)^0.4 is
    // .304 at Sw .6; Swc (ln k)^10 in its place would add more than a thousand.
    GenerateInput in = workedExample(ibrahim, "Sandstone", "Water Wet");
    in.swc = "40";
    in.sorw = "20";
    in.permeability = "10000";
    const CalculatorState s = generated(in);
    EXPECT_NEAR(s.tables.krwTable[5], 0.362275944, byHand); // Sw .6
    EXPECT_NEAR(s.tables.krwTable[9], 2.596277184, byHand); // Sw .8, left above 1
}

TEST(Ibrahim, CarbonateKrgFallsToZeroAboveAboutFiveHundredSeventyMillidarcies) {
    GenerateInput in = workedExample(ibrahim, "Carbonate");
    in.permeability = "572";
    EXPECT_GT(raw(in).krgTable[15], 0);
    in.permeability = "574";
    EXPECT_EQ(raw(in).krgTable[15], 0);
}

TEST(Ibrahim, RefusesWhatTheEquationsCannotEvaluate) {
    GenerateInput in = workedExample(ibrahim, "Carbonate", "Oil Wet");
    in.permeability = "0"; // ln k
    EXPECT_EQ(refused(in).input, "permo");
    in = workedExample(ibrahim, "Sandstone", "Strongly Water Wet");
    in.porosity = "0"; // divides by phi
    EXPECT_EQ(refused(in).input, "poro");
    in = workedExample(ibrahim, "Sandstone", "Oil Wet");
    in.sgc = "70"; // Swc + Sorg + Sgc = 100%
    EXPECT_EQ(refused(in).message, "Swc + Sorg + Sgc must not be 100% (it is 100%): the "
                                   "correlation divides by 100% minus it.");
}

TEST(Ibrahim, UsesPermeabilityOnlyWhereItsEquationsDo) {
    GenerateInput in = workedExample(ibrahim, "Sandstone", "Intermediate (Mixed)");
    in.permeability = "";
    generated(in);
    in.wettability = "Water Wet";
    EXPECT_EQ(refused(in).input, "permo");
    in = workedExample(ibrahim, "Carbonate", "Strongly Water Wet");
    in.permeability = "0"; // no ln k; the krg term in k only multiplies
    generated(in);
}

} // namespace
} // namespace relperm
