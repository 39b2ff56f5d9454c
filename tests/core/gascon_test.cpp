// The gas-condensate system against values computed by hand, and its edge values.
#include "calculator/correlations/correlations.h"
#include "calculator_fixtures.h"

#include <gtest/gtest.h>

namespace relperm {
namespace {

using namespace relperm::testing;

TEST(GasCondensate, AgreesWithTheEquationsByHand) {
    const CalculatorState s = generated(gasSystemExample("Gas-Condensate"));
    EXPECT_NEAR(s.tables.krogTable[rowSg035], 0.209925765, byHand);
    EXPECT_NEAR(s.tables.krgTable[rowSg035], 0.204117057, byHand);
}

TEST(GasCondensate, KrcgStartsAtExactlyOneAndEndsAtZero) {
    const CalculatorState s = generated(gasSystemExample("Gas-Condensate"));
    EXPECT_EQ(s.tables.krogTable[1], 1) << "computed as 0.9908706";
    EXPECT_EQ(s.tables.krogTable[s.tables.nGasLiquid], 0);
    EXPECT_EQ(s.tables.krgTable[1], 0);
    EXPECT_EQ(s.tables.krgTable[2], 0) << "Sg = Sgc";
}

TEST(GasCondensate, NegativeKrgAfterTheLastZeroRowBecomesAStraightLine) {
    // Slc 20%, Sgc 5%: krg is -.007758 at Sg .1 (row 3), .011538 at Sg .15 (row 4). The
    // line runs from 0 at row 2 to row 4, so row 3 is half of row 4.
    const CalculatorState s = generated(gasSystemExample("Gas-Condensate"));
    EXPECT_NEAR(s.tables.krgTable[4], 0.011537831, byHand);
    EXPECT_NEAR(s.tables.krgTable[3], 0.011537831 / 2, byHand);
    EXPECT_NEAR(s.tables.krgTable[5], 0.045489409, byHand);
}

TEST(GasCondensate, WithoutNegativeKrgNothingIsRepaired) {
    GenerateInput in = gasSystemExample("Gas-Condensate");
    in.swc = "5";
    const CalculatorState s = generated(in);
    Tables t = s.tables;
    gascon(s.inputs.values(), t);
    for (int j = 1; j <= t.nGasLiquid; ++j)
        EXPECT_GE(t.krgTable[j], 0) << "row " << j;
    EXPECT_EQ(t.krgTable, s.tables.krgTable);
}

TEST(GasCondensate, RefusesAVanishingNormaliser) {
    GenerateInput in = gasSystemExample("Gas-Condensate");
    in.sgc = "80";
    const Refusal r = refused(in);
    EXPECT_EQ(r.input, "sgco");
    EXPECT_EQ(r.message.rfind("Slc + Sgc must not be 100%", 0), 0u) << r.message;
}

TEST(GasCondensate, NeedsNeitherPorosityNorPermeability) {
    GenerateInput in = gasSystemExample("Gas-Condensate");
    in.porosity = "-3";
    in.permeability = "";
    generated(in);
}

} // namespace
} // namespace relperm
