// End-point adjustment: a measured data set is stored with normalized saturations, so it
// can be redrawn for the end points a user types (Swc or Slc, Sorw or Sorg, Sgc, in
// percent). The adjusted table recomputes each saturation from the user's end points, and
// for the gas-water and gas-condensate systems clips the table to gas saturations 0 to 1.
//
// Two interpolations of the clipping divide by the difference of two saturations. Where
// that difference is zero (two points at the same saturation, or a data set of one point,
// which has no second point to go through) the row keeps its measured kr and only its
// saturation moves to the clip; the table never holds an infinite or undefined value.
#pragma once

#include "common/gridtext.h"
#include "database/datafile.h"
#include "database/search.h"

#include <optional>
#include <string_view>

namespace relperm {

// The value of an end-point box: empty for an empty text, otherwise the text's number
// (the number at its start, 0 when there is none) divided by 100.
std::optional<double> endPointValue(std::string_view boxText);

// Before the adjustment is considered: when the user's Swc and Sor are both 0 or never set,
// the user's Sgc becomes the number 0.
void applySgcDefault(UserEndPoints& user);

// The adjusted table is wanted when some user end point is above 0 and those the system
// needs are given: Swc and Sor for water-oil, Swc and Sgc for gas-water and
// gas-condensate, all three for gas-oil.
bool AdjustmentWanted(TwoPhaseSystem system, const UserEndPoints& user);

// Which end-point boxes the frame "Select/Adjust Data" shows for a system. The Swc box is
// always shown. The residual-oil caption changes only for the two systems with oil.
struct EndPointLayout {
    bool sorShown = true;                          // Label7, sorin
    bool sgcShown = true;                          // Label9, sgcin
    std::optional<std::string_view> label7Caption; // "Sorw %", "Sorg %" or unchanged
};
EndPointLayout LayoutEndPointBoxes(TwoPhaseSystem system);

// The caption of the Swc box's label: "Swc %", or "Slc %" for gas-condensate data.
std::string_view swcBoxCaption(TwoPhaseSystem system);

// Computes `satAdjusted`, `krOtherAdjusted` and `krAxisAdjusted` for the points from the
// user's end points (an empty value counts as 0), with every clipping rule, and returns the
// "Adjusted Data" grid.
GridText MakeAdjustedTable(TwoPhaseSystem system, const UserEndPoints& user, MeasuredDataSet& set);

} // namespace relperm
