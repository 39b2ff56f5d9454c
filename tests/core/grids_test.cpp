#include "calculator/grids.h"

#include <gtest/gtest.h>

namespace relperm {
namespace {

TEST(GridHeaders, NameTheLiquidColumnByFluidSystem) {
    EXPECT_EQ(waterOilHeader(), (std::array<std::string, 3>{"Sw", "krow", "krw"}));
    EXPECT_EQ(gasHeader(FluidSystem::WaterOilGas),
              (std::array<std::string, 3>{"Sg", "krog", "krg"}));
    EXPECT_EQ(gasHeader(FluidSystem::WaterGas), (std::array<std::string, 3>{"Sg", "krw", "krg"}));
    EXPECT_EQ(gasHeader(FluidSystem::GasCondensate),
              (std::array<std::string, 3>{"Sg", "krcg", "krg"}));
}

TEST(GridColumnWidths, AreAQuarterAndAHalfAndTwoThirdsOfTheGrid) {
    EXPECT_EQ(gridColumnWidths(2655), (std::array<int, 3>{590, 885, 885}));
    EXPECT_EQ(gridColumnWidths(100), (std::array<int, 3>{22, 33, 33}));
}

TEST(Grids, BeforeAnyGenerationHoldOnlyTheHeader) {
    CalculatorState s;
    EXPECT_TRUE(waterOilGrid(s).rows.empty());
    EXPECT_TRUE(gasGrid(s).rows.empty());
    EXPECT_EQ(tabSeparated(gasGrid(s)), "Sg\tkrog\tkrg\n");
}

TEST(Grids, ShowEachTableRowWithItsPatterns) {
    CalculatorState s;
    s.fluidSystem = FluidSystem::GasCondensate;
    s.tables.nWaterOil = 1;
    s.tables.swTable[1] = 0.145;
    s.tables.krowTable[1] = 1;
    s.tables.krwTable[1] = 0.123456;
    s.tables.nGasLiquid = 2;
    s.tables.sgTable[1] = 0;
    s.tables.krogTable[1] = 1;
    s.tables.krgTable[1] = 0;
    s.tables.sgTable[2] = 0.05;
    s.tables.krogTable[2] = -0.84;
    s.tables.krgTable[2] = 0.5;
    EXPECT_EQ(tabSeparated(waterOilGrid(s)), "Sw\tkrow\tkrw\n.15\t1.0\t.12346\n");
    EXPECT_EQ(tabSeparated(gasGrid(s)), "Sg\tkrcg\tkrg\n.0\t1.0\t.0\n.05\t-.84\t.5\n");
}

} // namespace
} // namespace relperm
