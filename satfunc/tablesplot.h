// The plots of one region of a parameter table, as the tables window shows them: the kr curves
// the include file will hold, and their capillary pressure. Both are drawn from the rows the
// file is written from, so what the engineer looks at is what the simulator gets.
#pragma once

#include "common/scene.h"
#include "satfunc/includefile.h"

#include <string>

namespace relperm::satfunc {

// The colour of each curve, the same in both plots: water blue, gas red, oil green and brown.
Rgb tablesCurveColour(const std::string& curve); // "krw", "krow", "krg", "krog", "Pcow", "Pcog"

// The frame on `axis`, krw and krow against Sw solid, krg and krog against Sg dashed (a
// gas-water region has no oil curves), the saturations under the axis and a legend above the
// frame. A region with neither table (a refused one) gives the frame alone.
Scene tablesKrPlot(const RegionCurves& region, KrAxis axis = KrAxis::Linear);

// Capillary pressure against saturation on the kr plot's frame: Pcow against Sw solid, Pcog
// against Sg dashed, on a vertical axis from the lowest to the highest Pc with round ticks
// labelled in bar. Where every Pc is 0 the axis runs from 0 to 1 and the plot says so.
Scene tablesPcPlot(const RegionCurves& region);

// Where round ticks of a Pc axis stand: from a multiple of the step at or below `low` to one at
// or above `high`, 1, 2 or 5 times a power of ten apart, at most ten steps.
struct PcTicks {
    double bottom = 0, top = 1, step = 0.1;
};
PcTicks pcTicks(double low, double high);

// The frame of a Pc plot of values from `low` to `high` (0 to 1 when both are 0): its sides,
// the saturation ticks under it, round Pc ticks beside it, a grey line at Pc 0 when the axis
// goes below it, and `unit` ("Pc, bar") under its left side. Returns the ticks, whose bottom
// and top are the frame's.
PcTicks addPcFrame(Scene& scene, double low, double high, const std::string& unit);

} // namespace relperm::satfunc
