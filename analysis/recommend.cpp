#include "analysis/recommend.h"

#include "analysis/fitexport.h"
#include "common/csv.h"
#include "common/numbers.h"

#include <algorithm>
#include <cmath>

namespace relperm {

namespace {

// Which percentile the low case takes of a parameter: the 90th when more of it makes oil
// flow less, the 10th when less of it does. The high case takes the other.
enum class LowTakes { Larger, Smaller };

struct Parameter {
    double* (*field)(FittedSet&);
    LowTakes low;
};

// The parameters a system's fit carries, with their directions (the table in the header).
std::vector<Parameter> parametersOf(TwoPhaseSystem system, FitModel model) {
    using L = LowTakes;
    std::vector<Parameter> p = {{[](FittedSet& f) { return &f.ends.swl; }, L::Larger}};
    if (system == TwoPhaseSystem::WaterOil) {
        p.push_back({[](FittedSet& f) { return &f.ends.sorw; }, L::Larger});
    } else {
        p.push_back({[](FittedSet& f) { return &f.ends.sgcr; }, L::Smaller});
        if (system == TwoPhaseSystem::GasOil)
            p.push_back({[](FittedSet& f) { return &f.ends.sorg; }, L::Larger});
    }
    // The falling curve is the phase produced (oil; water in gas-water sets), the rising
    // one the phase that displaces it.
    p.push_back({[](FittedSet& f) { return &f.falling.end; }, L::Smaller});
    p.push_back({[](FittedSet& f) { return &f.rising.end; }, L::Larger});
    if (model == FitModel::Corey) {
        p.push_back({[](FittedSet& f) { return &f.falling.n; }, L::Larger});
        p.push_back({[](FittedSet& f) { return &f.rising.n; }, L::Smaller});
    } else {
        p.push_back({[](FittedSet& f) { return &f.falling.l; }, L::Larger});
        p.push_back({[](FittedSet& f) { return &f.falling.e; }, L::Larger});
        p.push_back({[](FittedSet& f) { return &f.falling.t; }, L::Smaller});
        p.push_back({[](FittedSet& f) { return &f.rising.l; }, L::Smaller});
        p.push_back({[](FittedSet& f) { return &f.rising.e; }, L::Smaller});
        p.push_back({[](FittedSet& f) { return &f.rising.t; }, L::Larger});
    }
    return p;
}

// The p-th quantile with linear interpolation between order statistics, as spreadsheets
// and numpy compute percentiles by default.
double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const double position = p * static_cast<double>(values.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(position));
    const double fraction = position - static_cast<double>(below);
    if (below + 1 >= values.size())
        return values.back();
    return values[below] + fraction * (values[below + 1] - values[below]);
}

struct EndPoint {
    const char* name;
    double FitEndPoints::*field;
};

// The end points a system's sets carry, as pyscal names them; the others stay 0.
std::vector<EndPoint> endPointsOf(TwoPhaseSystem system) {
    switch (system) {
    case TwoPhaseSystem::WaterOil:
        return {{"swl", &FitEndPoints::swl}, {"sorw", &FitEndPoints::sorw}};
    case TwoPhaseSystem::GasOil:
        return {{"swl", &FitEndPoints::swl},
                {"sgcr", &FitEndPoints::sgcr},
                {"sorg", &FitEndPoints::sorg}};
    case TwoPhaseSystem::GasWater:
    case TwoPhaseSystem::GasCondensate:
        break;
    }
    return {{"swl", &FitEndPoints::swl}, {"sgcr", &FitEndPoints::sgcr}};
}

// The saturation that moves between the end points: the range a table's rows span.
double movable(TwoPhaseSystem system, const FitEndPoints& ends) {
    double left = 1;
    for (const EndPoint& end : endPointsOf(system))
        left -= ends.*end.field;
    return left;
}

std::string endPointsText(TwoPhaseSystem system, const FitEndPoints& ends) {
    std::string text;
    for (const EndPoint& end : endPointsOf(system))
        text += (text.empty() ? "" : ", ") + std::string(end.name) + " " +
                fitValueText(ends.*end.field);
    return text;
}

FittedSet& caseOf(ScalRecommendation& r, ScalCase which) {
    return which == ScalCase::Low ? r.low : which == ScalCase::Base ? r.base : r.high;
}

// Scales the end points of every case that leaves less movable saturation than `least`
// down by one factor, so it leaves `least`: percentiles taken one parameter at a time know
// nothing of each other, and their sum can reach past 1.
void keepPhysical(ScalRecommendation& r, double least) {
    for (ScalCase which : {ScalCase::Low, ScalCase::Base, ScalCase::High}) {
        FitEndPoints& ends = caseOf(r, which).ends;
        const double left = movable(r.system, ends);
        // A median between two sets that each leave `least` can fall short of it in the last
        // digit: rounding, not a case to scale and report.
        if (left >= least - 1e-12)
            continue;
        const double factor = (1 - least) / (1 - left);
        r.scaled.push_back({which, ends, factor, least});
        for (const EndPoint& end : endPointsOf(r.system))
            ends.*end.field *= factor;
    }
}

// a at w = 0 and b at w = 1 exactly, so the cases themselves come out of the interpolation
// unchanged.
double blend(double a, double b, double w) {
    if (w == 0)
        return a;
    if (w == 1)
        return b;
    return a + w * (b - a);
}

const FittedSet& towards(const ScalRecommendation& r, double t) {
    return t < 0 ? r.low : r.high;
}

} // namespace

const char* scalCaseName(ScalCase which) {
    switch (which) {
    case ScalCase::Low:
        return "low";
    case ScalCase::High:
        return "high";
    case ScalCase::Base:
        break;
    }
    return "base";
}

std::variant<ScalRecommendation, Refusal> recommendFromFits(TwoPhaseSystem system, FitModel model,
                                                            std::vector<FittedSet> fits) {
    if (fits.empty())
        return Refusal{"sets", "No data set could be fitted, so there is nothing to recommend."};
    double least = 1;
    for (const FittedSet& fit : fits)
        least = std::min(least, movable(system, fit.ends));
    if (!(least > 0))
        return Refusal{"sets", "A fitted set leaves no movable saturation between its end "
                               "points, so no case can be kept physical."};
    ScalRecommendation r;
    r.system = system;
    r.model = model;
    r.base = r.low = r.high = fits.front();
    for (const Parameter& parameter : parametersOf(system, model)) {
        std::vector<double> values;
        for (FittedSet& fit : fits)
            values.push_back(*parameter.field(fit));
        const double larger = percentile(values, 0.9);
        const double smaller = percentile(values, 0.1);
        *parameter.field(r.base) = percentile(values, 0.5);
        *parameter.field(r.low) = parameter.low == LowTakes::Larger ? larger : smaller;
        *parameter.field(r.high) = parameter.low == LowTakes::Larger ? smaller : larger;
    }
    std::vector<double> misfits;
    for (const FittedSet& fit : fits)
        misfits.push_back(fit.rms);
    for (FittedSet* c : {&r.low, &r.base, &r.high}) {
        c->rms = percentile(misfits, 0.5);
        c->points = 0;
    }
    keepPhysical(r, least);
    r.fits = std::move(fits);
    return r;
}

std::size_t leftOutForRms(const ScalRecommendation& r) {
    return static_cast<std::size_t>(std::count_if(r.leftOut.begin(), r.leftOut.end(),
                                                  [](const LeftOutSet& s) { return s.rms; }));
}

std::string boundsText(const ScalRecommendation& recommendation) {
    constexpr std::size_t named = 5;
    std::vector<std::string> sets;
    std::size_t count = 0;
    for (std::size_t i = 0; i < recommendation.fits.size(); ++i) {
        const FittedSet& fit = recommendation.fits[i];
        if (fit.onBounds.empty())
            continue;
        if (++count > named)
            continue;
        std::string bounds;
        for (const std::string& b : fit.onBounds)
            bounds += (bounds.empty() ? "" : ", ") + b;
        const int match = i < recommendation.fittedMatches.size() ? recommendation.fittedMatches[i]
                                                                  : static_cast<int>(i) + 1;
        sets.push_back("data set # " + std::to_string(match) + " (" + bounds + ")");
    }
    if (count == 0)
        return {};
    std::string text = std::to_string(count) + (count == 1 ? " fit has" : " fits have") +
                       " an exponent on a bound, where the curve wants a value beyond it: ";
    for (std::size_t i = 0; i < sets.size(); ++i)
        text += (i ? "; " : "") + sets[i];
    return text + (count > named ? "; ..." : ".");
}

std::string scaledText(const ScalRecommendation& r, const ScaledEndPoints& scaled) {
    FitEndPoints now = scaled.percentiles;
    for (const EndPoint& end : endPointsOf(r.system))
        now.*end.field *= scaled.factor;
    const double left = movable(r.system, scaled.percentiles);
    return "The " + std::string(scalCaseName(scaled.which)) + " case's end points " +
           endPointsText(r.system, scaled.percentiles) + " leave " +
           (left > 0 ? "a movable saturation of " + fitValueText(left) : "no movable saturation") +
           ", less than any fitted set leaves (" + fitValueText(scaled.leastMovable) +
           " at the least); they are scaled by " + fitValueText(scaled.factor) + " to " +
           endPointsText(r.system, now) + ".";
}

std::variant<ScalRecommendation, Refusal>
recommendScal(const std::filesystem::path& dataDirectory, TwoPhaseSystem system,
              const SearchCriteria& lists, const ToleranceSearch& search, const UserEndPoints& user,
              FitModel model, const RecommendOptions& options, const WorkControl& control) {
    std::vector<FittedSet> fits;
    std::vector<int> matches;
    std::vector<LeftOutSet> leftOut;
    const std::optional<DataFileProblem> problem = forEachMatch(
        dataDirectory, system, lists, search, user,
        [&](int match, const MeasuredDataSet& set) {
            auto fitted = fitDataSet(system, set, model, options.fit);
            if (auto* fit = std::get_if<FittedSet>(&fitted)) {
                // Written so that a NaN misfit, which no limit can vouch for, is left out too.
                if (options.maxRms && !(fit->rms <= *options.maxRms)) {
                    leftOut.push_back({match,
                                       "The fit's rms " + fitValueText(fit->rms) +
                                           " is above the largest allowed, " +
                                           formatGeneral(*options.maxRms) + ".",
                                       fit->rms});
                    return;
                }
                fits.push_back(*fit);
                matches.push_back(match);
            } else {
                leftOut.push_back({match, std::get<Refusal>(fitted).message});
            }
        },
        control);
    if (control.stopRequested())
        return Refusal{std::string(cancelledWork),
                       "The recommendation was cancelled before every matching set was fitted."};
    if (fits.empty() && leftOut.empty())
        return Refusal{"sets", "No data set matches the selection."};
    if (fits.empty()) {
        // Say why, or the user cannot tell which sets to look at; the first few suffice.
        const bool anyFitted =
            std::any_of(leftOut.begin(), leftOut.end(), [](const LeftOutSet& s) { return s.rms; });
        std::string message = "None of the " + std::to_string(leftOut.size()) +
                              " matching data sets could be fitted" +
                              (anyFitted ? " within the largest rms allowed" : "");
        for (std::size_t i = 0; i < leftOut.size() && i < 3; ++i) {
            std::string reason = leftOut[i].reason;
            if (reason.ends_with('.'))
                reason.pop_back(); // the list's own punctuation follows
            message += (i ? "; " : ": ") + std::string("data set # ") +
                       std::to_string(leftOut[i].match) + ": " + reason;
        }
        return Refusal{"sets", message + (leftOut.size() > 3 ? "; ..." : ".")};
    }
    auto result = recommendFromFits(system, model, std::move(fits));
    if (auto* r = std::get_if<ScalRecommendation>(&result)) {
        r->fittedMatches = std::move(matches);
        r->leftOut = std::move(leftOut);
        r->problem = problem;
    }
    return result;
}

FitEndPoints scalEndPoints(const ScalRecommendation& r, double t) {
    const FitEndPoints& a = r.base.ends;
    const FitEndPoints& b = towards(r, t).ends;
    const double w = std::fabs(t);
    return {blend(a.swl, b.swl, w), blend(a.sorw, b.sorw, w), blend(a.sgcr, b.sgcr, w),
            blend(a.sorg, b.sorg, w)};
}

double scalRisingKr(const ScalRecommendation& r, double t, double s) {
    return blend(risingKr(r.model, r.base.rising, s), risingKr(r.model, towards(r, t).rising, s),
                 std::fabs(t));
}

double scalFallingKr(const ScalRecommendation& r, double t, double s) {
    return blend(fallingKr(r.model, r.base.falling, s),
                 fallingKr(r.model, towards(r, t).falling, s), std::fabs(t));
}

std::string recommendationCsv(const ScalRecommendation& r, LineEnd lineEnd) {
    CsvWriter csv(lineEnd);
    csv.name("satnum").name("case");
    for (const std::string& name : fitParameterNames(r.system, r.model))
        csv.name(name);
    csv.endLine();
    for (ScalCase which : {ScalCase::Low, ScalCase::Base, ScalCase::High}) {
        const FittedSet& c = which == ScalCase::Low    ? r.low
                             : which == ScalCase::Base ? r.base
                                                       : r.high;
        csv.integer(1).name(scalCaseName(which));
        for (double value : fitParameterValues(c))
            csv.number(value);
        csv.endLine();
    }
    return csv.str();
}

SaturationTables scalTables(const ScalRecommendation& r, double t, double spacingPercent) {
    return curveTables(
        r.system, scalEndPoints(r, t), spacingPercent,
        [&](double s) { return scalRisingKr(r, t, s); },
        [&](double s) { return scalFallingKr(r, t, s); });
}

} // namespace relperm
