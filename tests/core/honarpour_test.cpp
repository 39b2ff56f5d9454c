// Honarpour/Varnholt/Harvey against values computed by hand from the published equations,
// and the edge values of the correlation.
#include "calculator/correlations/correlations.h"
#include "calculator_fixtures.h"

#include <gtest/gtest.h>

namespace relperm {
namespace {

using namespace relperm::testing;

const std::string honarpour = "Honarpour/Varnholt/Harvey";

// The tables as the correlation leaves them, before Generate's fix-up.
Tables raw(const GenerateInput& in) {
    return rawTables(in, [](const CorrelationInputs& v, Tables& t, SelectionCodes c) {
        ComputeHonarpour(v, t, c.wettabilityCode, c.isSandstone);
    });
}

struct SpotCheck {
    const char* formation;
    const char* wettability;
    double krw, krow, krog, krg; // at Sw .45 and Sg .35, after the fix-up
};

void PrintTo(const SpotCheck& c, std::ostream* os) {
    *os << c.formation << ", " << c.wettability;
}

class HonarpourSpot : public ::testing::TestWithParam<SpotCheck> {};

TEST_P(HonarpourSpot, AgreesWithTheEquationsByHand) {
    const SpotCheck& c = GetParam();
    const CalculatorState s = generated(workedExample(honarpour, c.formation, c.wettability));
    EXPECT_NEAR(s.tables.krwTable[rowSw045], c.krw, byHand);
    EXPECT_NEAR(s.tables.krowTable[rowSw045], c.krow, byHand);
    EXPECT_NEAR(s.tables.krogTable[rowSg035], c.krog, byHand);
    EXPECT_NEAR(s.tables.krgTable[rowSg035], c.krg, byHand);
}

INSTANTIATE_TEST_SUITE_P(
    BothFormationsBothWettabilities, HonarpourSpot,
    ::testing::Values(
        SpotCheck{"Sandstone", "Water Wet", 0.023486575, 0.204206577, 0.024472439, 0.207942000},
        SpotCheck{"Sandstone", "Oil or Intermediate Wet", 0.068252581, 0.204206577, 0.024472439,
                  0.207942000},
        SpotCheck{"Carbonate", "Water Wet", 0.014558053, 0.150236033, 0.023170133, 0.221866609},
        SpotCheck{"Carbonate", "Oil or Intermediate Wet", 0.100505608, 0.150236033, 0.023170133,
                  0.221866609}));

TEST(Honarpour, NoWettabilityGivesTheOilWetKrw) {
    const CalculatorState none = generated(workedExample(honarpour, "Sandstone"));
    EXPECT_NEAR(none.tables.krwTable[rowSw045], 0.068252581, byHand);
}

TEST(Honarpour, SandstoneKrowFormsSoOverOneMinusSwcFirst) {
    // (So / (1 - Swc) - Sorw) / (1 - Sorw); forming (So - Sorw) / (1 - Swc) first would give
    // .183423 here.
    const Tables t = raw(workedExample(honarpour, "Sandstone", "Water Wet"));
    EXPECT_NEAR(t.krowTable[rowSw045], 0.204206577, byHand);
}

TEST(Honarpour, CarbonateKrgDividesItsFirstTermOnceAndScalesTheThirdBySgMinusSgc) {
    // Dividing the first term by (1 - Swc)^2 would give .270836; a third term that grew
    // with Sg itself, .224487.
    const Tables t = raw(workedExample(honarpour, "Carbonate", "Water Wet"));
    EXPECT_NEAR(t.krgTable[rowSg035], 0.221866609, byHand);
}

TEST(Honarpour, DwIsFlooredBeforeThePower) {
    // With Sorw above Swc the rows below Sw = Sorw have Sw - Sorw < 0, which has no real
    // power 2.9: dW is 0 there.
    GenerateInput in = workedExample(honarpour, "Sandstone", "Water Wet");
    in.swc = "10";
    in.sorw = "40";
    const CalculatorState s = generated(in);
    EXPECT_NEAR(s.tables.krwTable[2], 0.003569376, byHand); // Sw .15
    EXPECT_NEAR(s.tables.krwTable[3], 0.007249861, byHand); // Sw .2
}

TEST(Honarpour, EndRowsTakeTheirEdgeValues) {
    for (const char* formation : {"Sandstone", "Carbonate"}) {
        const Tables t = raw(workedExample(honarpour, formation, "Water Wet"));
        EXPECT_EQ(t.krwTable[1], 0) << formation;
        EXPECT_EQ(t.krowTable[t.nWaterOil], 0) << formation << ": So = Sorw";
        EXPECT_EQ(t.krgTable[2], 0) << formation << ": Sg = Sgc";
        EXPECT_NEAR(t.krogTable[t.nGasLiquid], 0, 1e-15) << formation << ": Sog = Sorg";
    }
    EXPECT_NEAR(raw(workedExample(honarpour, "Sandstone")).krogTable[1], 0.98372, 1e-12);
    EXPECT_NEAR(raw(workedExample(honarpour, "Carbonate")).krogTable[1], 0.93752, 1e-12);
}

TEST(Honarpour, KrowAtSwcIsLeftAboveOneForGenerateToRescale) {
    // Sandstone: 0.76067 + 2.6318 phi (1 - Sorw)(1 - Swc - Sorw); carbonate:
    // 1.2624 (1 - Swc - Sorw) / (1 - Sorw). With phi = 30% and Sorw = 10% both exceed 1.
    GenerateInput in = workedExample(honarpour, "Sandstone", "Water Wet");
    in.porosity = "30";
    in.sorw = "10";
    const double sandstone = 0.76067 + 2.6318 * 0.3 * (1 - 0.1) * (1 - 0.2 - 0.1);
    EXPECT_NEAR(raw(in).krowTable[1], sandstone, 1e-12);
    EXPECT_NEAR(generated(in).tables.krowTable[1], 1, 1e-15);
    EXPECT_NEAR(generated(in).tables.krowTable[2], raw(in).krowTable[2] / sandstone, 1e-15);

    in.formation = "Carbonate";
    const double carbonate = 1.2624 * (1 - 0.2 - 0.1) / (1 - 0.1);
    EXPECT_NEAR(raw(in).krowTable[1], carbonate, 1e-12);
}

TEST(Honarpour, NegativeValuesAreFlooredAtZero) {
    // Water-wet sandstone krw at Sw = Swc is negative when Swc > Sorw (-.00045 here).
    GenerateInput in = workedExample(honarpour, "Sandstone", "Water Wet");
    in.swc = "30";
    in.sorw = "10";
    in.sorg = "0";
    const Tables t = raw(in);
    EXPECT_EQ(t.krwTable[1], 0);
    // With Sorg = 0 krg below Sgc is not forced to 0: 1.1072 (Sgc / (1 - Swc))^2 krgo.
    EXPECT_NEAR(t.krgTable[1], 0.004519183673469389, 1e-15);
}

TEST(Honarpour, CarbonateRefusesPorosityOrPermeabilityOfZero) {
    GenerateInput in = workedExample(honarpour, "Carbonate", "Oil or Intermediate Wet");
    in.porosity = "0";
    Refusal r = refused(in);
    EXPECT_EQ(r.input, "poro");
    EXPECT_EQ(r.message,
              "Porosity must be greater than 0% for Honarpour/Varnholt/Harvey (it is 0%).");
    in = workedExample(honarpour, "Carbonate", "Water Wet");
    in.permeability = "-5";
    r = refused(in);
    EXPECT_EQ(r.input, "permo");
    EXPECT_NE(r.message.find("greater than 0 md"), std::string::npos) << r.message;
}

TEST(Honarpour, SandstoneNeedsNoPermeabilityButNoNegativePorosity) {
    GenerateInput in = workedExample(honarpour, "Sandstone", "Water Wet");
    in.permeability = "";
    in.porosity = "0";
    generated(in);
    in.porosity = "-1";
    EXPECT_EQ(refused(in).input, "poro");
}

} // namespace
} // namespace relperm
