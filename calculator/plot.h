// PlotCurves without a screen: the scenes of the calculator's two plot surfaces after a
// generation, the water-oil curves on `vomar` and the gas curves on `krl2`.
#pragma once

#include "calculator/state.h"
#include "common/scene.h"

namespace relperm {

struct CalculatorPlots {
    Scene vomar;             // water-oil surface
    Scene krl2;              // gas surface
    bool vomarShown = false; // only for the Water-Oil-Gas system
};

inline constexpr Rgb krowColour{90, 200, 255};
inline constexpr Rgb krwColour{0, 0, 255};
inline constexpr Rgb krogColour{255, 90, 200};
inline constexpr Rgb krgColour{255, 0, 0};

// Both surfaces start afresh: title, frame and ticks; then, for Water-Oil-Gas only, the krow
// and krw curves, the axis names and the legend on `vomar`; on `krl2`, for every system, the
// title of the system, the liquid and krg curves, the axis names and the legend.
CalculatorPlots PlotCurves(const CalculatorState& state, KrAxis axis = KrAxis::Linear);

} // namespace relperm
