// A low/base/high SCAL recommendation from every matching measured set: each set is fitted
// with one model, and the three cases are percentiles of each parameter over the sets, so
// the cases come from the analogous rock itself with its spread.
//
// base is the median of every parameter (end points included). low is pessimistic for oil
// recovery and high optimistic, each parameter taken from the 90th or the 10th percentile in
// the direction that makes oil flow less (low) or more (high):
//
//   parameter                         low takes    why
//   swl (swcr), sorw, sorg            90th         less oil moves
//   sgcr                              10th         gas moves sooner, ahead of the oil
//   now, nog (oil exponents)          90th         oil kr falls faster
//   kroend                            10th         oil flows less at its best
//   nw, ng (water, gas exponents)     10th         water and gas flow sooner
//   krwend, krgend                    90th         water and gas flow more
//   LET oil curve L, E                90th         oil kr lower at every saturation
//   LET oil curve T                   10th         oil kr lower near its end
//   LET water, gas curve L, E         10th         water and gas kr higher
//   LET water, gas curve T            90th         water and gas kr higher near their end
//
// high takes the other percentile of each. In gas-water sets, which hold no oil, the water
// is the phase produced: low makes gas flow more and water less, as for oil.
//
// Between the cases, a parameter t runs from -1 (low) through 0 (base) to 1 (high): the
// curves are interpolated at equal normalised saturation and the end points linearly, as
// pyscal interpolates its SCAL recommendations; t = 0 is exactly the base case.
#pragma once

#include "analysis/fit.h"
#include "common/simulatorfile.h"
#include "database/matchlist.h"

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace relperm {

enum class ScalCase { Low, Base, High };
const char* scalCaseName(ScalCase which); // "low", "base", "high"

// A set the recommendation leaves out, and why.
struct LeftOutSet {
    int match = 0;
    std::string reason;
};

struct ScalRecommendation {
    TwoPhaseSystem system = TwoPhaseSystem::WaterOil;
    FitModel model = FitModel::Corey;
    FittedSet low, base, high;              // rms of each is the median rms of the fits
    std::vector<FittedSet> fits;            // every set fitted, in match order
    std::vector<int> fittedMatches;         // the match number of each fit
    std::vector<LeftOutSet> leftOut;        // sets that could not be fitted
    std::optional<DataFileProblem> problem; // records lost to a damaged file
};

// The recommendation from fitted sets: a refusal when none was fitted.
std::variant<ScalRecommendation, Refusal> recommendFromFits(TwoPhaseSystem system, FitModel model,
                                                            std::vector<FittedSet> fits);

// Fits every set of `system` in `dataDirectory` that the selection matches (as
// `relperm db list` lists them) and recommends from them. `control` is told the fraction of
// the file read (the fits go along with the read); once it asks to stop, no further set is
// fitted and the answer is a refusal naming `cancelledWork`, never the cases of the sets
// fitted so far.
std::variant<ScalRecommendation, Refusal>
recommendScal(const std::filesystem::path& dataDirectory, TwoPhaseSystem system,
              const SearchCriteria& lists, const ToleranceSearch& search, const UserEndPoints& user,
              FitModel model, const WorkControl& control = {});

// The case at t in -1..1 (low at -1, base at 0, high at 1): its end points, and its kr at
// normalised saturation s of those end points.
FitEndPoints scalEndPoints(const ScalRecommendation& recommendation, double t);
double scalRisingKr(const ScalRecommendation& recommendation, double t, double s);
double scalFallingKr(const ScalRecommendation& recommendation, double t, double s);

// The parameter file: "satnum,case," then the fit's parameter names; rows low, base, high.
std::string recommendationCsv(const ScalRecommendation& recommendation);

// The case at t as simulator tables, with the rows fittedTables writes for its end points.
SaturationTables scalTables(const ScalRecommendation& recommendation, double t,
                            double spacingPercent);

} // namespace relperm
