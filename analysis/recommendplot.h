// The plot of a SCAL recommendation: the fitted sets' curves in grey, so the spread the
// cases are drawn from stays in sight, the low, base and high cases over them, and the case
// the engineer is looking at between them, all on the normalised saturation the fits and
// the cases share.
//
// A field's database can hold a million sets. Their curves drawn one over another show no
// more spread than a few hundred of them do, and would cost gigabytes of scene and minutes
// of painting, at every step of the slider; so at most maxFitsDrawn sets are drawn, evenly
// spaced in match order, and the plot says so.
#pragma once

#include "analysis/recommend.h"
#include "common/scene.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace relperm {

// The colour of each case's curves (low red, base black, high blue) and of the fits.
Rgb scalCaseColour(ScalCase which);
inline constexpr Rgb fittedSetColour{175, 175, 175};
inline constexpr Rgb scalTColour{0, 150, 60};

// "t = -0.50": t with two decimals, as the window's slider shows it.
std::string scalTText(double t);

inline constexpr std::size_t maxFitsDrawn = 300;

// The fits drawn of `fits`: every one up to maxFitsDrawn, else that many evenly spaced from
// the first, as indices into the fits in ascending order.
std::vector<std::size_t> drawnFits(std::size_t fits);

// The frame on `axis`, both fitted curves of the sets drawn (drawnFits) as thin grey lines,
// when `t` is given both curves of the case at t dashed over them, then both curves of the
// low, base and high cases; at t = -1, 0 or 1 the case at t is the low, base or high case,
// which the legend names with t ("base (t = 0.00)") and no curve of its own is drawn. The
// axis names and a legend above the frame, and, when not every fit is drawn, how many are
// ("fits: 300 of 700000") under the frame left of the saturation. Curves are clipped to the
// frame. The legend is laid out at `text`, on more lines when the plot is small.
Scene recommendationPlot(const ScalRecommendation& recommendation, std::optional<double> t,
                         KrAxis axis = KrAxis::Linear, const PlotTextSize& text = {});

} // namespace relperm
