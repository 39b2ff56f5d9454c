// Rose against values computed by hand from the published equations, and its edge values.
#include "calculator/correlations/correlations.h"
#include "calculator_fixtures.h"

#include <gtest/gtest.h>

namespace relperm {
namespace {

using namespace relperm::testing;

Tables raw(const GenerateInput& in) {
    return rawTables(
        in, [](const CorrelationInputs& v, Tables& t, SelectionCodes) { ComputeRose(v, t); });
}

TEST(Rose, AgreesWithTheEquationsByHand) {
    const CalculatorState s = generated(workedExample("Rose"));
    EXPECT_NEAR(s.tables.krwTable[rowSw045], 0.065058046, byHand);
    EXPECT_NEAR(s.tables.krowTable[rowSw045], 0.008737554, byHand);
    EXPECT_NEAR(s.tables.krogTable[rowSg035], 0.189029401, byHand);
    EXPECT_NEAR(s.tables.krgTable[rowSg035], 0.352517478, byHand);
}

TEST(Rose, KrowAtSwcIsUnboundedUntilGenerateRescalesIt) {
    const Tables t = raw(workedExample("Rose"));
    EXPECT_NEAR(t.krowTable[1], 228.765625, 1e-9);
    EXPECT_EQ(generated(workedExample("Rose")).tables.krowTable[1], 1);
}

TEST(Rose, KrowPeaksWhereItsDenominatorNearlyVanishes) {
    GenerateInput in = workedExample("Rose");
    in.swc = "10";
    in.sorw = "30";
    const Tables t = raw(in);
    EXPECT_NEAR(t.krowTable[9], 391.8, 0.05); // Sw .5
}

TEST(Rose, EndRowsTakeTheirEdgeValues) {
    const Tables t = raw(workedExample("Rose"));
    EXPECT_EQ(t.krwTable[1], 0);
    EXPECT_EQ(t.krowTable[t.nWaterOil], 0);
    EXPECT_NEAR(t.krogTable[1], 1, 1e-15) << "Dl = 16 (1 - Y)^4 at Sg = 0";
    EXPECT_EQ(t.krgTable[1], 0);
    EXPECT_EQ(t.krgTable[2], 0) << "Sg = Sgc";
    EXPECT_NEAR(t.krogTable[t.nGasLiquid], 0, 1e-15);
    EXPECT_LT(t.krwTable[t.nWaterOil], 1) << "the table stops at 1 - Sorw";
}

TEST(Rose, RefusesEndPointsThatVanishADenominator) {
    struct Case {
        const char* box;
        std::string GenerateInput::*field;
        const char* input;
    };
    for (const Case& c :
         {Case{"Swc", &GenerateInput::swc, "Swco"}, Case{"Sorw", &GenerateInput::sorw, "sorwo"},
          Case{"Sgc", &GenerateInput::sgc, "sgco"}}) {
        GenerateInput in = workedExample("Rose");
        in.*c.field = "0";
        const Refusal r = refused(in);
        EXPECT_EQ(r.input, c.input) << c.box;
        EXPECT_EQ(r.message.rfind(std::string(c.box) + " must be greater than 0% for Rose", 0), 0u)
            << r.message;
    }
    GenerateInput in = workedExample("Rose");
    in.swc = "0";
    in.sorg = "0";
    EXPECT_EQ(refused(in).input, "Swco") << "Swc is named first";
}

} // namespace
} // namespace relperm
