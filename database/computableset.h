// A measured data set as computations take it. The record files hold whatever was written
// into them (a NaN, an infinite or subnormal value, an end point of -1E+09), and laboratories
// list points in either direction of saturation. Fits, tables and plots take a set only
// through these two functions, so a value that would make them grow without end or carry
// NaN into a file is refused by name, and a set listed with falling saturation is computed
// on exactly as the same set listed the other way. What the browser shows as "Data as Input"
// stays as measured.
#pragma once

#include "common/refusal.h"
#include "database/datafile.h"

#include <optional>

namespace relperm {

// Why the set's numbers cannot enter a computation, naming the field and its value: an end
// point of its system (Swc or Slc, Sorw, Sorg, Sgc) that is not a fraction from 0 to 1, NaN,
// infinite or subnormal; end points that leave no saturation range between them; a point
// count outside 0 to 50; a point whose normalised saturation or kr is NaN, infinite,
// subnormal or beyond -10 to 10 (no measurement: 1E+300 would overflow every misfit).
// Nothing when the set can be computed with.
std::optional<Refusal> checkSetValues(TwoPhaseSystem system, const MeasuredDataSet& set);

// The set with its points in rising saturation `by` (the normalised saturation, or a derived
// column: the shown or the adjusted saturations, which the adjustment computes on the points
// in their measured order), every point column moved with them. Stable: points at one
// saturation keep the order they were measured in, and a set already in rising order comes
// back unchanged.
MeasuredDataSet inSaturationOrder(const MeasuredDataSet& set,
                                  PointColumn MeasuredDataSet::*by = &MeasuredDataSet::normSat);

} // namespace relperm
