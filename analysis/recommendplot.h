// The plot of a SCAL recommendation: every fitted set's curves in grey, so the spread the
// cases are drawn from stays in sight, the low, base and high cases over them, and the case
// the engineer is looking at between them, all on the normalised saturation the fits and
// the cases share.
#pragma once

#include "analysis/recommend.h"
#include "common/scene.h"

#include <optional>
#include <string>

namespace relperm {

// The colour of each case's curves (low red, base black, high blue) and of the fits.
Rgb scalCaseColour(ScalCase which);
inline constexpr Rgb fittedSetColour{175, 175, 175};
inline constexpr Rgb scalTColour{0, 150, 60};

// "t = -0.50": t with two decimals, as the window's slider shows it.
std::string scalTText(double t);

// The frame on `axis`, both fitted curves of every set as thin grey lines, both curves of
// the low, base and high cases, and, when `t` is given, both curves of the case at t dashed
// on top; the axis names and a legend above the frame.
Scene recommendationPlot(const ScalRecommendation& recommendation, std::optional<double> t,
                         KrAxis axis = KrAxis::Linear);

} // namespace relperm
