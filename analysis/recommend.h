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
// Taken one parameter at a time, the percentiles can leave a case no movable saturation
// (low with swl .5 from one set and sorw .5 from another), which no table can hold. Every
// fitted set leaves some, so a case may leave no less than the least of them: a case whose
// end points leave less has them all scaled down by one factor until it leaves exactly that.
// The end points keep their proportions, and no case has less to move than the tightest
// rock measured. The movable saturation is 1 - swl - sorw (water-oil), 1 - swl - sgcr - sorg
// (gas-oil), 1 - swl - sgcr (gas-water, gas-condensate). End kr values need nothing of the
// kind: percentiles lie between the fits' own, which the fit holds within 0..1.
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
    std::optional<double> rms = std::nullopt; // set when fitted, but worse than allowed
};

// How the sets are fitted, and which fits count: a fit whose rms exceeds `maxRms` is left
// out as a set that cannot be fitted is.
struct RecommendOptions {
    FitOptions fit = {};
    std::optional<double> maxRms = std::nullopt;
};

// A case whose end points were scaled to leave the least movable saturation of the fits:
// the end points as the percentiles gave them, and the factor.
struct ScaledEndPoints {
    ScalCase which = ScalCase::Base;
    FitEndPoints percentiles;
    double factor = 1;
    double leastMovable = 0; // of the fitted sets
};

struct ScalRecommendation {
    TwoPhaseSystem system = TwoPhaseSystem::WaterOil;
    FitModel model = FitModel::Corey;
    FittedSet low, base, high;              // rms of each is the median rms of the fits
    std::vector<FittedSet> fits;            // every set fitted, in match order
    std::vector<int> fittedMatches;         // the match number of each fit
    std::vector<LeftOutSet> leftOut;        // sets not fitted, or fitted worse than allowed
    std::vector<ScaledEndPoints> scaled;    // the cases kept physical, in case order
    std::optional<DataFileProblem> problem; // records lost to a damaged file
};

// How many sets were left out for their rms alone.
std::size_t leftOutForRms(const ScalRecommendation& recommendation);

// A sentence for the user on a scaled case: "The low case's end points swl .5, sorw .5
// leave no movable saturation, less than any fitted set leaves (.3 at the least); they are
// scaled by .7 to swl .35, sorw .35."
std::string scaledText(const ScalRecommendation& recommendation, const ScaledEndPoints& scaled);

// A sentence on the fits whose exponent (n, L, E, T) ended on a bound, where the curve wants
// a value beyond it, naming up to five of them: "2 fits have an exponent on a bound ...: data
// set # 4 (now at its upper bound 10); ...". Empty when none has.
std::string boundsText(const ScalRecommendation& recommendation);

// The recommendation from fitted sets: a refusal when there are none, or when one of them
// leaves no movable saturation (the fit refuses such a set, so only fits made elsewhere).
std::variant<ScalRecommendation, Refusal> recommendFromFits(TwoPhaseSystem system, FitModel model,
                                                            std::vector<FittedSet> fits);

// Fits every set of `system` in `dataDirectory` that the selection matches (as
// `relperm db list` lists them) with `options`, and recommends from those fitted within
// its largest rms (a refusal naming the first few left out when none is). `control` is told
// the fraction of the file read (the fits go along with the read); once it asks to stop, no
// further set is fitted and the answer is a refusal naming `cancelledWork`, never the cases
// of the sets fitted so far.
std::variant<ScalRecommendation, Refusal>
recommendScal(const std::filesystem::path& dataDirectory, TwoPhaseSystem system,
              const SearchCriteria& lists, const ToleranceSearch& search, const UserEndPoints& user,
              FitModel model, const RecommendOptions& options = {},
              const WorkControl& control = {});

// The case at t in -1..1 (low at -1, base at 0, high at 1): its end points, and its kr at
// normalised saturation s of those end points.
FitEndPoints scalEndPoints(const ScalRecommendation& recommendation, double t);
double scalRisingKr(const ScalRecommendation& recommendation, double t, double s);
double scalFallingKr(const ScalRecommendation& recommendation, double t, double s);

// The parameter file: "satnum,case," then the fit's parameter names; rows low, base, high.
std::string recommendationCsv(const ScalRecommendation& recommendation,
                              LineEnd lineEnd = LineEnd::CrLf);

// The case at t as simulator tables, with the rows fittedTables writes for its end points.
SaturationTables scalTables(const ScalRecommendation& recommendation, double t,
                            double spacingPercent);

} // namespace relperm
