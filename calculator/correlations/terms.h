// Small pieces that several correlations share.
#pragma once

#include "calculator/state.h"

namespace relperm {

inline double floorAtZero(double v) {
    return v < 0 ? 0 : v;
}

// The floor at zero that ends Honarpour's and Ibrahim's evaluation: the gas rows first,
// then the water-oil rows. No upper bound: values above 1 are left for Generate.
inline void floorKrColumns(Tables& t) {
    for (int j = 1; j <= t.nGasLiquid; ++j) {
        t.krogTable[j] = floorAtZero(t.krogTable[j]);
        t.krgTable[j] = floorAtZero(t.krgTable[j]);
    }
    for (int i = 1; i <= t.nWaterOil; ++i) {
        t.krwTable[i] = floorAtZero(t.krwTable[i]);
        t.krowTable[i] = floorAtZero(t.krowTable[i]);
    }
}

} // namespace relperm
