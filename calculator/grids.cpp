#include "calculator/grids.h"

#include "common/numbers.h"

namespace relperm {

namespace {

std::vector<std::string> headerRow(const std::array<std::string, 3>& names) {
    return {names.begin(), names.end()};
}

} // namespace

std::array<std::string, 3> waterOilHeader() {
    return {"Sw", "krow", "krw"};
}

std::array<std::string, 3> gasHeader(FluidSystem system) {
    switch (system) {
    case FluidSystem::WaterGas:
        return {"Sg", "krw", "krg"};
    case FluidSystem::GasCondensate:
        return {"Sg", "krcg", "krg"};
    case FluidSystem::WaterOilGas:
        break;
    }
    return {"Sg", "krog", "krg"};
}

GridText waterOilGrid(const CalculatorState& state) {
    const Tables& t = state.tables;
    GridText grid{headerRow(waterOilHeader()), {}};
    for (int i = 1; i <= t.nWaterOil; ++i)
        grid.rows.push_back({formatPattern(t.swTable[i], "#.##"),
                             formatPattern(t.krowTable[i], "#.0####"),
                             formatPattern(t.krwTable[i], "#.0####")});
    return grid;
}

GridText gasGrid(const CalculatorState& state) {
    const Tables& t = state.tables;
    GridText grid{headerRow(gasHeader(state.fluidSystem)), {}};
    for (int i = 1; i <= t.nGasLiquid; ++i)
        grid.rows.push_back({formatPattern(t.sgTable[i], "#.0#"),
                             formatPattern(t.krogTable[i], "#.0####"),
                             formatPattern(t.krgTable[i], "#.0####")});
    return grid;
}

} // namespace relperm
