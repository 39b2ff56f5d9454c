// A fit of the data set the browser shows, as it leaves the program: what the fit is of, its
// parameters as text, and its curves as simulator tables whose head says what they were
// fitted to and with which parameters, so a deck's include file can be traced to its set.
#pragma once

#include "analysis/fit.h"
#include "common/refusal.h"
#include "database/datasetexport.h"

#include <string>
#include <variant>

namespace relperm {

// "Water-Oil Data, data set # 3" (no number for a set opened from a file), then " - " and the
// title when there is one.
std::string dataSetName(const ShownDataSet& shown);

// A fitted value as the windows and the head of a file show it: four significant digits in
// the general number form (2.5, .9012, 1.234E-05), as many as a fit to measured kr can claim.
std::string fitValueText(double value);

// The parameters as the head of a file names them: "swl .2, ..., kroend .9", each value as
// fitValueText gives it; the misfit last when asked for.
std::string fitParametersText(const FittedSet& fit, bool withRms);

// The fitted curves through the one simulator writer, with rows every `spacingPercent` of
// saturation between the end points; the keywords and end values of `options` (the set's
// own keywords, measuredKeywords, when it names none). The head names `program`, the set
// and the parameters. A refusal of the writer is passed on.
std::variant<std::string, Refusal>
fitSimulatorTables(const ShownDataSet& shown, const FittedSet& fit, const std::string& program,
                   double spacingPercent = 5, SimulatorOptions options = {});

} // namespace relperm
