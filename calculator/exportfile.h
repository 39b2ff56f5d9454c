// The export file: both tables of the last generation as comma-separated text.
#pragma once

#include "calculator/state.h"

#include <string>

namespace relperm {

// A header line ("Sw  krw  krow", nWaterOil) and one line Sw, krw, krow per water-oil row;
// then a header line ("Sl krog krg", nGasLiquid) and the gas rows from the last one down,
// each as its liquid saturation 1 - Sg, krog, krg. Both blocks are written whatever the
// fluid system. Lines end with CR LF.
std::string exportFileText(const Tables& tables);

} // namespace relperm
