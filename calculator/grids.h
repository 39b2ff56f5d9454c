// The two output grids of the calculator as text: headers, cell texts, column widths.
#pragma once

#include "calculator/state.h"
#include "common/gridtext.h"

#include <array>
#include <string>

namespace relperm {

// Header of the water-oil grid: "Sw", "krow", "krw".
std::array<std::string, 3> waterOilHeader();
// Header of the gas grid: "Sg", then "krog", "krw" (Water-Gas) or "krcg" (Gas-Condensate),
// then "krg".
std::array<std::string, 3> gasHeader(FluidSystem system);

// Rows 1..nWaterOil: Sw with "#.##", krow and krw with "#.0####".
GridText waterOilGrid(const CalculatorState& state);
// Rows 1..nGasLiquid: Sg with "#.0#", the liquid kr and krg with "#.0####".
GridText gasGrid(const CalculatorState& state);

} // namespace relperm
