// The simulator tables of a fit or of a SCAL recommendation. Water-oil curves are made by the
// same code as a parameter table's (satfunc), from the parameters a parameter file of the fit
// holds, so `relperm tables` given that file writes the same SWOF; the gas systems' curves
// are laid out on rows of their own (fittedTables, scalTables).
#pragma once

#include "analysis/fit.h"
#include "analysis/recommend.h"
#include "common/refusal.h"
#include "common/simulatorfile.h"
#include "satfunc/curves.h"

#include <variant>

namespace relperm {

// A water-oil fit as a parameter table's row: swcr = swl, socr = sorw, rows every
// `spacingPercent` from swl, krw straight from krwend at 1 - sorw to `krwMax` at Sw = 1.
satfunc::WaterOilParameters waterOilParameters(const FittedSet& fit, double spacingPercent,
                                               double krwMax);

std::variant<SaturationTables, Refusal> fitTables(const FittedSet& fit, double spacingPercent,
                                                  double krwMax);

// The recommendation at t: water-oil curves interpolated between the cases' tables as
// pyscal interpolates, the others as scalTables mixes them.
std::variant<SaturationTables, Refusal> recommendationTables(const ScalRecommendation& r, double t,
                                                             double spacingPercent, double krwMax);

// What the head of a file says of its rows.
std::string rowsText(TwoPhaseSystem system, double spacingPercent);

} // namespace relperm
