// The plot of a fit: a measured set's points on its own normalised saturation, the fitted
// curves through them and, over them, the correlations the engineer chose to set beside
// them. On the normalised saturation the points, the fit and every correlation share one
// axis whatever the set's end points, which is the axis the fit and the comparison work on.
#pragma once

#include "analysis/compare.h"
#include "analysis/fit.h"
#include "common/scene.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace relperm {

// The colour of the correlation at `index` of a comparison list. The window colours its
// list entries alike, so an entry and its lines are found by colour; the colours stay apart
// from the measured ones and from each other for every correlation of a system.
Rgb overlayColour(std::size_t index);

// The legend's short name of a correlation: its first author ("Honarpour" for
// "Honarpour/Varnholt/Harvey"), so several fit on the line above the frame.
std::string overlayLegendName(const std::string& correlation);

// The frame on `axis`, the measured points as dots (kr of the axis phase and of the other
// phase in the browser's measured colours), the fitted curves as solid lines in the same
// colours (none without a fit: a refused one), the comparisons at the indices `overlays`
// as dashed lines in their overlay colours (a refused one is skipped), the axis names, and
// the legend on as many lines above the frame as it needs with text of size `text`. Curves
// and points are clipped to the frame.
Scene fitPlot(TwoPhaseSystem system, const MeasuredDataSet& set,
              const std::optional<FittedSet>& fit,
              const std::vector<CorrelationComparison>& comparisons,
              const std::vector<std::size_t>& overlays, KrAxis axis = KrAxis::Linear,
              const PlotTextSize& text = {});

} // namespace relperm
