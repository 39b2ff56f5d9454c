// The worked example of the Corey and Wyllie correlations (Swc 20%, Sorw 25%, Sorg 10%,
// Sgc 5%, spacing 5%), values as shown after Generate's oil fix-up, to six decimals.
#include "calculator/correlations/correlations.h"
#include "calculator/generate.h"
#include "calculator/grids.h"
#include "calculator_fixtures.h"

#include <gtest/gtest.h>

namespace relperm {
namespace {

using relperm::testing::workedExample;

constexpr double sixDecimals = 5e-7;

// Water-oil rows of the worked example by Sw, gas rows by Sg.
enum WaterRow { Sw020 = 1, Sw025 = 2, Sw045 = 6, Sw070 = 11, Sw075 = 12 };
enum GasRow { Sg000 = 1, Sg005 = 2, Sg010 = 3, Sg035 = 8, Sg065 = 14, Sg070 = 15 };

struct WaterOilRow {
    int row;
    double krw;
    double krow;
};
struct GasRowValues {
    int row;
    double krog;
    double krg;
};

void expectTables(const GenerateInput& in0, std::initializer_list<WaterOilRow> water,
                  std::initializer_list<GasRowValues> gas) {
    const CalculatorState s = testing::generated(in0);
    for (const WaterOilRow& r : water) {
        EXPECT_NEAR(s.tables.krwTable[r.row], r.krw, sixDecimals) << "krw, row " << r.row;
        EXPECT_NEAR(s.tables.krowTable[r.row], r.krow, sixDecimals) << "krow, row " << r.row;
    }
    for (const GasRowValues& r : gas) {
        EXPECT_NEAR(s.tables.krogTable[r.row], r.krog, sixDecimals) << "krog, row " << r.row;
        EXPECT_NEAR(s.tables.krgTable[r.row], r.krg, sixDecimals) << "krg, row " << r.row;
    }
}

TEST(Corey, WorkedExample) {
    expectTables(workedExample("Corey"),
                 {{Sw020, 0, 1},
                  {Sw025, 0.000068, 0.772476},
                  {Sw045, 0.042688, 0.223404},
                  {Sw070, 0.683013, 0.019775},
                  {Sw075, 1, 0}},
                 {{Sg000, 1, 0},
                  {Sg005, 0.726025, 0},
                  {Sg010, 0.512622, 0.000875},
                  {Sg035, 0.045377, 0.151255},
                  {Sg065, 0, 0.847029},
                  {Sg070, 0.000035, 1}});
}

TEST(Corey, OilColumnAsWrittenStartsAboveOneBeforeTheFixUp) {
    CalculatorState s;
    ASSERT_FALSE(generate(s, workedExample("Corey")));
    Tables raw = s.tables;
    ComputeCorey(s.inputs.values(), raw);
    EXPECT_NEAR(raw.krowTable[Sw020], 4.476197, sixDecimals);
    EXPECT_NEAR(raw.krowTable[Sw045], 1, sixDecimals);
    EXPECT_NEAR(raw.krowTable[Sw075], 0.042688, sixDecimals);
}

TEST(Corey, GridShowsTheFixedUpValuesWithTheirPatterns) {
    CalculatorState s;
    ASSERT_FALSE(generate(s, workedExample("Corey")));
    const GridText water = waterOilGrid(s);
    EXPECT_EQ(water.header, (std::vector<std::string>{"Sw", "krow", "krw"}));
    EXPECT_EQ(water.rows[0], (std::vector<std::string>{".2", "1.0", ".0"}));
    EXPECT_EQ(water.rows[1], (std::vector<std::string>{".25", ".77248", ".00007"}));
    EXPECT_EQ(water.rows[11], (std::vector<std::string>{".75", ".0", "1.0"}));
    const GridText gas = gasGrid(s);
    EXPECT_EQ(gas.header, (std::vector<std::string>{"Sg", "krog", "krg"}));
    EXPECT_EQ(gas.rows[0], (std::vector<std::string>{".0", "1.0", ".0"}));
    EXPECT_EQ(gas.rows[14], (std::vector<std::string>{".7", ".00004", "1.0"}));
}

TEST(Corey, WithoutSorwTheOilColumnStartsAtExactlyOne) {
    GenerateInput in = workedExample("Corey");
    in.sorw = "0";
    CalculatorState s;
    ASSERT_FALSE(generate(s, in));
    EXPECT_EQ(s.tables.krowTable[1], 1.0);
    EXPECT_EQ(s.tables.krowTable[s.tables.nWaterOil], 0.0);
    // Not rescaled: the second row is ((1 - .25) / .8)^4 as computed.
    EXPECT_NEAR(s.tables.krowTable[2], 0.772476, sixDecimals);
}

TEST(Corey, WithoutSgcTheGasOilCurveEndsAtZero) {
    GenerateInput in = workedExample("Corey");
    in.sgc = "0";
    CalculatorState s;
    ASSERT_FALSE(generate(s, in));
    EXPECT_EQ(s.tables.krogTable[s.tables.nGasLiquid], 0.0);
    EXPECT_EQ(s.tables.krgTable[s.tables.nGasLiquid], 1.0);
}

TEST(Wyllie, SandstoneWorkedExample) {
    expectTables(workedExample("Wyllie", "Sandstone"),
                 {{Sw020, 0, 1},
                  {Sw025, 0.000751, 0.751315},
                  {Sw045, 0.093914, 0.162284},
                  {Sw070, 0.751315, 0.000751},
                  {Sw075, 1, 0}},
                 {{Sg000, 1, 0},
                  {Sg005, 0.800656, 0},
                  {Sg010, 0.629738, 0.000455},
                  {Sg035, 0.125, 0.098316},
                  {Sg065, 0.000364, 0.786527},
                  {Sg070, 0, 1}});
}

TEST(Wyllie, OtherFormationWorkedExample) {
    expectTables(workedExample("Wyllie", "Carbonate"),
                 {{Sw020, 0, 1},
                  {Sw025, 0.000068, 0.819616},
                  {Sw045, 0.042688, 0.236049},
                  {Sw070, 0.683013, 0.001434},
                  {Sw075, 1, 0}},
                 {{Sg000, 1, 0},
                  {Sg005, 0.743466, 0},
                  {Sg010, 0.539775, 0.001570},
                  {Sg035, 0.0625, 0.159763},
                  {Sg065, 0.000026, 0.847724},
                  {Sg070, 0, 1}});
}

TEST(Wyllie, CarbonateNoFormationAndLowerCaseSandstoneGiveTheSameTables) {
    CalculatorState carbonate, none, lowerCase;
    ASSERT_FALSE(generate(carbonate, workedExample("Wyllie", "Carbonate")));
    ASSERT_FALSE(generate(none, workedExample("Wyllie", "Select Formation")));
    ASSERT_FALSE(generate(lowerCase, workedExample("Wyllie", "sandstone")));
    EXPECT_EQ(none.tables.krowTable, carbonate.tables.krowTable);
    EXPECT_EQ(none.tables.krgTable, carbonate.tables.krgTable);
    EXPECT_EQ(lowerCase.tables.krowTable, carbonate.tables.krowTable);
    EXPECT_EQ(lowerCase.tables.krgTable, carbonate.tables.krgTable);
}

} // namespace
} // namespace relperm
