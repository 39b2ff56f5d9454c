// The water-gas system against values computed by hand, and its edge values.
#include "calculator/correlations/correlations.h"
#include "calculator_fixtures.h"

#include <gtest/gtest.h>

namespace relperm {
namespace {

using namespace relperm::testing;

Tables raw(const GenerateInput& in) {
    return rawTables(in,
                     [](const CorrelationInputs& v, Tables& t, SelectionCodes) { watgas(v, t); });
}

TEST(WaterGas, AgreesWithTheEquationsByHand) {
    const CalculatorState s = generated(gasSystemExample("Water-Gas"));
    ASSERT_EQ(s.tables.nGasLiquid, 17) << "Sorg is 0: the gas rows run to 1 - Swc";
    EXPECT_NEAR(s.tables.krogTable[rowSg035], 0.172130832, byHand);
    EXPECT_NEAR(s.tables.krgTable[rowSg035], 0.183771695, byHand);
    EXPECT_NEAR(s.tables.krogTable[1], 0.643350084, byHand) << "not forced to 1 at Sw* = 1";
    EXPECT_EQ(s.tables.krgTable[1], 0);
}

TEST(WaterGas, LastRowKrgIsSetToExactlyOne) {
    const CalculatorState s = generated(gasSystemExample("Water-Gas"));
    EXPECT_EQ(s.tables.krgTable[17], 1) << "computed as 1.0011502";
    EXPECT_EQ(s.tables.krogTable[17], 0);
}

TEST(WaterGas, TheWaterCurveStandsAsComputed) {
    GenerateInput in = gasSystemExample("Water-Gas");
    in.swc = "30";
    in.porosity = "30";
    in.permeability = "10";
    EXPECT_NEAR(raw(in).krogTable[1], -0.8371568490032475, 1e-12);
    in.swc = "10";
    in.porosity = "10";
    in.sgc = "10";
    in.permeability = "1000";
    EXPECT_NEAR(raw(in).krogTable[1], 2.663732273975939, 1e-12);
}

TEST(WaterGas, RefusesPermeabilityWithoutALogarithmAndAVanishingNormaliser) {
    GenerateInput in = gasSystemExample("Water-Gas");
    in.permeability = "0";
    Refusal r = refused(in);
    EXPECT_EQ(r.input, "permo");
    EXPECT_EQ(r.message, "Permeability must be greater than 0 md for Water-Gas (it is 0 md).");
    in = gasSystemExample("Water-Gas");
    in.sgc = "80";
    r = refused(in);
    EXPECT_EQ(r.input, "sgco");
    EXPECT_EQ(r.message.rfind("Swc + Sgc must not be 100%", 0), 0u) << r.message;
}

TEST(WaterGas, RefusesATableWithAValueThatIsNotANumber) {
    // Sgc + d passes sgMax on row 3, which the table keeps (.73 above 1 - Swc = .7); Sw* is
    // negative there and has no real power 1.7.
    GenerateInput in = gasSystemExample("Water-Gas");
    in.swc = "30";
    in.sgc = "68";
    const Refusal r = refused(in);
    EXPECT_EQ(r.input, "sgco");
    EXPECT_EQ(r.message, "Water-Gas gives no finite krw at Sg = .73 with these end points; "
                         "change Swc or Sgc.");
}

} // namespace
} // namespace relperm
