#include "calculator/generate.h"
#include "calculator/grids.h"
#include "calculator_fixtures.h"

#include <gtest/gtest.h>

namespace relperm {
namespace {

using relperm::testing::generated;
using relperm::testing::workedExample;

std::vector<std::string> column(const GridText& grid, std::size_t c) {
    std::vector<std::string> out;
    for (const auto& row : grid.rows)
        out.push_back(row[c]);
    return out;
}

TEST(SaturationRows, WorkedExampleStartsAtSwcAndEndsAtOneMinusSorw) {
    CalculatorState s = generated(workedExample("Corey"));
    EXPECT_EQ(s.tables.nWaterOil, 12);
    EXPECT_EQ(column(waterOilGrid(s), 0),
              (std::vector<std::string>{".2", ".25", ".3", ".35", ".4", ".45", ".5", ".55", ".6",
                                        ".65", ".7", ".75"}));
    EXPECT_EQ(s.tables.swTable[12], 1 - 0.25) << "the last row is exactly swMax";
    EXPECT_EQ(s.tables.nGasLiquid, 15);
    EXPECT_EQ(column(gasGrid(s), 0),
              (std::vector<std::string>{".0", ".05", ".1", ".15", ".2", ".25", ".3", ".35", ".4",
                                        ".45", ".5", ".55", ".6", ".65", ".7"}));
}

TEST(SaturationRows, GasRowsStepFromSgcNotFromMultiplesOfTheSpacing) {
    GenerateInput in = workedExample("Corey");
    in.swc = "22";
    in.sgc = "3";
    CalculatorState s = generated(in);
    EXPECT_EQ(s.tables.nWaterOil, 12);
    EXPECT_EQ(column(waterOilGrid(s), 0).front(), ".22");
    EXPECT_EQ(column(waterOilGrid(s), 0)[1], ".25");
    EXPECT_EQ(s.tables.nGasLiquid, 15);
    EXPECT_EQ(column(gasGrid(s), 0),
              (std::vector<std::string>{".0", ".03", ".08", ".13", ".18", ".23", ".28", ".33",
                                        ".38", ".43", ".48", ".53", ".58", ".63", ".68"}));
    EXPECT_EQ(s.tables.sgTable[15], (1 - 0.10) - 0.22);
}

TEST(SaturationRows, TheGasEndIsNeverTakenOnRowThree) {
    GenerateInput in = workedExample("Corey");
    in.sgc = "68"; // Sgc + d = .73 already passes sgMax = .7
    CalculatorState s = generated(in);
    EXPECT_EQ(s.tables.nGasLiquid, 4);
    EXPECT_EQ(column(gasGrid(s), 0), (std::vector<std::string>{".0", ".68", ".73", ".7"}));
}

TEST(SaturationRows, StepCountRoundsHalvesToEven) {
    EXPECT_EQ(stepCount(0.05), 20);
    EXPECT_EQ(stepCount(0.03), 33);
    EXPECT_EQ(stepCount(0.4), 2);
    EXPECT_EQ(stepCount(0.01), 100);
}

TEST(SaturationRows, OnePercentSpacingFillsTheTableWithoutOverflow) {
    GenerateInput in = workedExample("Corey");
    in.spacing = "1";
    in.swc = "0";
    in.sorw = "0";
    in.sorg = "0";
    in.sgc = "0";
    CalculatorState s = generated(in);
    EXPECT_EQ(s.tables.nWaterOil, 101);
    EXPECT_EQ(s.tables.swTable[101], 1.0);
    EXPECT_LE(s.tables.nGasLiquid, 105);
}

TEST(Generate, WithoutTheExactWaterOilGasTextSorwAndSorgCountAsZero) {
    GenerateInput in = workedExample("Corey");
    in.fluids = "Select Fluids";
    CalculatorState s = generated(in);
    EXPECT_EQ(s.fluidSystem, FluidSystem::WaterOilGas);
    EXPECT_EQ(*s.inputs.sorw, 0.0);
    EXPECT_EQ(column(waterOilGrid(s), 0).back(), "1.");
    EXPECT_EQ(column(gasGrid(s), 0).back(), ".8");
}

TEST(Generate, SystemsWithoutOilFillOnlyTheGasTable) {
    for (const char* fluids : {"Water-Gas", "Gas-Condensate"}) {
        CalculatorState s = generated(workedExample("Corey"));
        const Table krw = s.tables.krwTable;
        const Table krow = s.tables.krowTable;
        ASSERT_FALSE(generate(s, testing::gasSystemExample(fluids))) << fluids;
        EXPECT_EQ(*s.inputs.sorw, 0.0) << fluids;
        EXPECT_EQ(*s.inputs.sorg, 0.0) << fluids;
        EXPECT_EQ(s.tables.nWaterOil, 17) << fluids << ": Sw runs to 1";
        EXPECT_EQ(s.tables.krwTable, krw) << fluids;
        EXPECT_EQ(s.tables.krowTable, krow) << fluids << ": no fix-up, no new values";
        EXPECT_EQ(column(waterOilGrid(s), 0).back(), "1.") << fluids;
    }
    EXPECT_EQ(generated(testing::gasSystemExample("Water-Gas")).fluidSystem, FluidSystem::WaterGas);
    EXPECT_EQ(gasGrid(generated(testing::gasSystemExample("Gas-Condensate"))).header[1], "krcg");
}

TEST(Generate, StoresTheInputsAsFractions) {
    GenerateInput in = workedExample("Corey");
    in.porosity = "18";
    in.permeability = "250";
    in.krgAtSorg = ".7";
    CalculatorState s = generated(in);
    EXPECT_EQ(*s.inputs.porosity, 0.18);
    EXPECT_EQ(*s.inputs.swc, 0.2);
    EXPECT_EQ(*s.inputs.sgc, 0.05);
    EXPECT_EQ(*s.inputs.permeability, 250.0);
    EXPECT_EQ(*s.inputs.krgAtSorg, 0.7);
}

TEST(Generate, PressingTwiceGivesTheSameGrids) {
    CalculatorState s;
    ASSERT_FALSE(generate(s, workedExample("Corey")));
    const GridText first = gasGrid(s);
    ASSERT_FALSE(generate(s, workedExample("Corey")));
    EXPECT_EQ(gasGrid(s).rows, first.rows);
}

TEST(Generate, EntriesPastTheNewLastRowKeepOlderValues) {
    GenerateInput fine = workedExample("Corey");
    fine.spacing = "2";
    CalculatorState s = generated(fine);
    // The columns grow to row N + 3 = 53 with 2%, to row 23 with 5%.
    const double older = s.tables.swTable[40];
    ASSERT_FALSE(generate(s, workedExample("Corey")));
    EXPECT_EQ(s.tables.nWaterOil, 12);
    EXPECT_EQ(s.tables.swTable[40], older);
}

TEST(SelectionCodes, CompareTheExactTexts) {
    GenerateInput in;
    in.wettability = "Water Wet";
    in.formation = "Sandstone";
    EXPECT_EQ(selectionCodes(in).wettabilityCode, 1);
    EXPECT_EQ(selectionCodes(in).isSandstone, 1);
    in.wettability = "Strongly Water Wet";
    EXPECT_EQ(selectionCodes(in).wettabilityCode, 2);
    in.wettability = "Intermediate (Mixed)";
    EXPECT_EQ(selectionCodes(in).wettabilityCode, 3);
    for (const char* other :
         {"Oil Wet", "Oil or Intermediate Wet", "Select Wettability", "water wet"}) {
        in.wettability = other;
        EXPECT_EQ(selectionCodes(in).wettabilityCode, 0) << other;
    }
    in.formation = "Sandy shale";
    EXPECT_EQ(selectionCodes(in).isSandstone, 1) << "the first four characters decide";
    for (const char* other : {"sandstone", "Carbonate", "Select Formation", "San"}) {
        in.formation = other;
        EXPECT_EQ(selectionCodes(in).isSandstone, 0) << other;
    }
}

// A refused generation names the box to change and leaves every table as it was.
struct RefusedCase {
    const char* name;
    void (*change)(GenerateInput&);
    const char* input;
    const char* mentions;
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
    *os << c.name;
}

class Refused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(Refused, NamesTheInputAndChangesNothing) {
    const RefusedCase& c = GetParam();
    CalculatorState state;
    ASSERT_FALSE(generate(state, workedExample("Corey")));
    const CalculatorState before = state;

    GenerateInput in = workedExample("Corey");
    c.change(in);
    auto refusal = generate(state, in);
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->input, c.input);
    EXPECT_NE(refusal->message.find(c.mentions), std::string::npos) << refusal->message;
    EXPECT_EQ(state.tables.nWaterOil, before.tables.nWaterOil);
    EXPECT_EQ(state.tables.nGasLiquid, before.tables.nGasLiquid);
    EXPECT_EQ(state.tables.swTable, before.tables.swTable);
    EXPECT_EQ(state.tables.krowTable, before.tables.krowTable);
    EXPECT_EQ(state.tables.sgTable, before.tables.sgTable);
    EXPECT_EQ(state.tables.krogTable, before.tables.krogTable);
    EXPECT_EQ(state.inputs.swc, before.inputs.swc);
    EXPECT_EQ(state.inputs.sorw, before.inputs.sorw);
}

INSTANTIATE_TEST_SUITE_P(
    Generate, Refused,
    ::testing::Values(
        RefusedCase{"ZeroSpacing", [](GenerateInput& in) { in.spacing = "0"; }, "spo",
                    "greater than 0%"},
        RefusedCase{"NegativeSpacing", [](GenerateInput& in) { in.spacing = "-5"; }, "spo",
                    "greater than 0%"},
        RefusedCase{"SpacingWithoutANumber", [](GenerateInput& in) { in.spacing = "five"; }, "spo",
                    "Saturation Spacing"},
        RefusedCase{"TooFineSpacing", [](GenerateInput& in) { in.spacing = "0.97"; }, "spo",
                    "at most 102 steps"},
        RefusedCase{"SwcBeyondTheRows",
                    [](GenerateInput& in) {
                        in.swc = "99.9999";
                        in.sorw = "0";
                        in.sorg = "0";
                    },
                    "Swco", "Swc must be below 100%"},
        RefusedCase{"SgcBeyondTheRows", [](GenerateInput& in) { in.sgc = "100"; }, "sgco",
                    "Sgc must be below 100%"},
        RefusedCase{"NoMovableWaterOilRange", [](GenerateInput& in) { in.sorw = "80"; }, "sorwo",
                    "Swc + Sorw must be below 100%"},
        RefusedCase{"NoMovableGasRange", [](GenerateInput& in) { in.sorg = "85"; }, "sorgo",
                    "Swc + Sorg must be below 100%"},
        RefusedCase{"CoreyGasNormaliserVanishes", [](GenerateInput& in) { in.sgc = "70"; }, "sgco",
                    "Swc + Sorg + Sgc must not be 100%"},
        RefusedCase{"NegativeEndPoint", [](GenerateInput& in) { in.sorg = "-10"; }, "sorgo",
                    "0% or more"},
        RefusedCase{"ValueTooLarge", [](GenerateInput& in) { in.permeability = "1e999"; }, "permo",
                    "Permeability"},
        RefusedCase{"NoCorrelationPicked",
                    [](GenerateInput& in) { in.correlation = "Select Correlation"; }, "corpk",
                    "Pick a correlation"},
        RefusedCase{"CorrelationTextInLowerCase",
                    [](GenerateInput& in) { in.correlation = "corey"; }, "corpk",
                    "\"corey\" is none of them"}),
    [](const ::testing::TestParamInfo<RefusedCase>& info) { return info.param.name; });

} // namespace
} // namespace relperm
