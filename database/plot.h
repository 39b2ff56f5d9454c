// The plot of the data set on display (the surface `vomar`), as a scene in the same types
// and frame as the calculator's plots: the measured curves, and over them the adjusted
// curves with dashed connecting lines when the user's end points call for them.
#pragma once

#include "common/scene.h"
#include "database/datafile.h"

namespace relperm {

inline constexpr Rgb krOtherColour{0, 100, 0};
inline constexpr Rgb krAxisColour{0, 0, 255};
inline constexpr Rgb krOtherAdjustedColour{255, 90, 200};
inline constexpr Rgb krAxisAdjustedColour{255, 0, 0};

// The frame and ticks, the krOther and krAxis curves against `satAsInput`, the axis names,
// the legend of the measured curves under the bottom axis and, with `adjusted`, the adjusted
// curves against `satAdjusted` with their legend over the frame.
Scene dataSetPlot(TwoPhaseSystem system, const MeasuredDataSet& set, bool adjusted,
                  KrAxis axis = KrAxis::Linear);

} // namespace relperm
