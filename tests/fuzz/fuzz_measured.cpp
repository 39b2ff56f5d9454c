// Measured sets holding any values, as a record file may hold them (NaN, infinite and
// subnormal numbers, end points of +-1E+300 or -1E+09, saturations below 0, points listed
// with saturation falling or in no order), through everything that computes with a set: the
// check, the fits of both models, the comparison with the correlations, the plots, the
// measured and fitted simulator tables, and the recommendation from the sets fitted.
//
// Checks: a set is refused by the check or computed with, never both ways: a set the check
// refuses is refused by the fit and the tables too, and one it accepts gives finite
// parameters within their bounds; every table that is written reads back as a simulator
// reads it and has no more rows than its saturation range allows; plots hold finite
// coordinates; a recommendation's cases are finite and its tables pass the same rules.
#include "analysis/compare.h"
#include "analysis/fit.h"
#include "analysis/fitexport.h"
#include "analysis/fitplot.h"
#include "analysis/recommend.h"
#include "database/computableset.h"
#include "database/datasetexport.h"
#include "database/display.h"
#include "database/plot.h"
#include "fuzz_check.h"
#include "table_fuzzing.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstring>
#include <limits>

using namespace relperm;
using relperm::fuzz::readsBackAsTables;
using relperm::fuzz::require;

namespace {

// A value as a record may hold it: mostly a plausible fraction, often one of the values
// that broke computations, sometimes any double at all.
double valueFrom(FuzzedDataProvider& in) {
    static const double special[] = {std::numeric_limits<double>::quiet_NaN(),
                                     std::numeric_limits<double>::infinity(),
                                     -std::numeric_limits<double>::infinity(),
                                     std::numeric_limits<double>::denorm_min(),
                                     -std::numeric_limits<double>::denorm_min(),
                                     1e300,
                                     -1e300,
                                     -1e9,
                                     1e-310,
                                     0,
                                     1,
                                     -0.05};
    switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0:
        return special[in.ConsumeIntegralInRange<std::size_t>(0, std::size(special) - 1)];
    case 1:
        return fuzz::anyDouble(in);
    default:
        return in.ConsumeFloatingPointInRange(-0.1, 1.1);
    }
}

// A set's points: on a smooth pair of curves in rising, falling or shuffled order, or any
// values, with a few values replaced by anything.
void pointsFrom(FuzzedDataProvider& in, MeasuredDataSet& set) {
    // Most sets are short, so a run covers many; a long one now and then reaches the limit.
    const int count =
        in.ConsumeIntegralInRange(0, in.ConsumeIntegralInRange(0, 7) == 0 ? maxPoints : 8);
    set.pointCount = static_cast<std::int16_t>(count);
    const int order = in.ConsumeIntegralInRange(0, 3); // rising, falling, shuffled, any
    const double n = in.ConsumeFloatingPointInRange(0.5, 6.0);
    for (int i = 1; i <= count; ++i) {
        const auto at = static_cast<std::size_t>(i);
        double s = count > 1 ? static_cast<double>(i - 1) / (count - 1) : 0.5;
        if (order == 1)
            s = 1 - s;
        if (order == 2)
            s = in.ConsumeProbability<double>() * 1.2 - 0.1;
        set.normSat[at] = order == 3 ? valueFrom(in) : s;
        set.krAxis[at] = order == 3 ? valueFrom(in) : std::pow(std::clamp(s, 0.0, 1.0), n);
        set.krOther[at] = order == 3 ? valueFrom(in) : std::pow(1 - std::clamp(s, 0.0, 1.0), n);
    }
    for (int k = in.ConsumeIntegralInRange(0, 2); k > 0 && count > 0; --k) {
        const auto at = static_cast<std::size_t>(in.ConsumeIntegralInRange(1, count));
        PointColumn* columns[] = {&set.normSat, &set.krAxis, &set.krOther};
        (*columns[in.ConsumeIntegralInRange(0, 2)])[at] = valueFrom(in);
    }
}

MeasuredDataSet setFrom(FuzzedDataProvider& in) {
    MeasuredDataSet set;
    const auto fraction = [&] {
        return in.ConsumeIntegralInRange(0, 3) == 0 ? valueFrom(in)
                                                    : in.ConsumeFloatingPointInRange(0.0, 0.35);
    };
    set.connateWater = TaggedValue::of(fraction());
    set.residualOilToWater = TaggedValue::of(fraction());
    set.residualOilToGas = TaggedValue::of(fraction());
    set.criticalGas = TaggedValue::of(fraction());
    set.porosityFraction = TaggedValue::of(valueFrom(in));
    set.permeabilityMd = TaggedValue::of(1000 * valueFrom(in));
    pointsFrom(in, set);
    return set;
}

bool finite(const Scene& scene) {
    for (const ScenePrimitive& item : scene.items) {
        if (const auto* dot = std::get_if<SceneDot>(&item))
            if (!std::isfinite(dot->x) || !std::isfinite(dot->y))
                return false;
        if (const auto* line = std::get_if<SceneLine>(&item))
            if (!std::isfinite(line->x1) || !std::isfinite(line->y1) || !std::isfinite(line->x2) ||
                !std::isfinite(line->y2))
                return false;
        if (const auto* path = std::get_if<ScenePath>(&item))
            for (const ScenePoint& p : path->points)
                if (!std::isfinite(p.x) || !std::isfinite(p.y))
                    return false;
    }
    return true;
}

// Rows the curves of a fit may have at `spacing` percent: every step of 0 to 1, the end
// points and the row at Sg = 0.
std::size_t mostRows(double spacing) {
    return static_cast<std::size_t>(std::ceil(100 / spacing)) + 4;
}

void tablesPass(const SaturationTables& tables, TwoPhaseSystem system, double spacing,
                const std::vector<std::string>& head) {
    require(tables.waterOil.size() <= mostRows(spacing) && tables.gas.size() <= mostRows(spacing),
            "a table's rows come from its saturation range");
    const std::vector<Keyword> keywords = measuredKeywords(system);
    const auto file = simulatorFile(tables, head, {.keywords = keywords});
    if (const auto* text = std::get_if<std::string>(&file))
        readsBackAsTables(*text, keywords, tables.swc);
}

void parametersFinite(const FittedSet& fit) {
    for (double value : fitParameterValues(fit))
        require(std::isfinite(value), "fitted parameters are finite", fitParametersText(fit, true));
}

std::optional<FittedSet> fitAndWrite(FuzzedDataProvider& in, const ShownDataSet& shown,
                                     FitModel model, bool usable) {
    auto fitted = fitDataSet(shown.system, shown.set, model);
    if (std::holds_alternative<Refusal>(fitted))
        return std::nullopt;
    require(usable, "a set the check refuses is not fitted");
    const FittedSet& fit = std::get<FittedSet>(fitted);
    parametersFinite(fit);
    for (const CurveParameters* c : {&fit.rising, &fit.falling}) {
        require(c->end >= 0 && c->end <= 1, "end kr within its bounds");
        if (model == FitModel::Corey)
            require(c->n >= 0.5 && c->n <= 10, "Corey exponents within their bounds");
    }
    const double spacing = in.ConsumeFloatingPointInRange(1.0, 20.0);
    const SaturationTables tables = fittedTables(fit, spacing);
    require(tables.waterOil.size() <= mostRows(spacing) && tables.gas.size() <= mostRows(spacing),
            "a table's rows come from its saturation range");
    const auto file = fitSimulatorTables(shown, fit, "fuzz", spacing);
    if (const auto* text = std::get_if<std::string>(&file))
        readsBackAsTables(*text, measuredKeywords(shown.system), fit.ends.swl);
    return fit;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const TwoPhaseSystem system = allSystems[in.ConsumeIntegralInRange<std::size_t>(0, 3)];
    // LET fits try several starts each; most inputs take Corey so a run covers more sets.
    const FitModel model = in.ConsumeIntegralInRange(0, 3) == 0 ? FitModel::Let : FitModel::Corey;
    std::vector<FittedSet> fits;
    for (int sets = in.ConsumeIntegralInRange(1, 3); sets > 0 && in.remaining_bytes() > 0; --sets) {
        ShownDataSet shown{system, setFrom(in), {}, false, sets, "fuzz"};
        const bool usable = !checkSetValues(system, shown.set).has_value();

        MeasuredDataSet drawn = shown.set;
        asInputTable(system, drawn);
        require(finite(dataSetPlot(system, drawn, false)), "the browser's plot is finite");

        for (bool adjusted : {false, true}) {
            if (adjusted)
                shown.user = {valueFrom(in), valueFrom(in), valueFrom(in)};
            const auto file = dataSetSimulatorTables(
                shown, adjusted, "fuzz",
                {.keywords = measuredKeywords(system), .repair = in.ConsumeBool()});
            if (const auto* text = std::get_if<std::string>(&file)) {
                require(usable, "a set the check refuses writes no table");
                const double swc =
                    adjusted ? shown.user.swc.value_or(0) : shown.set.connateWater.value();
                readsBackAsTables(*text, measuredKeywords(system), swc);
            }
        }

        const auto comparisons = compareCorrelations(system, shown.set);
        for (const CorrelationComparison& c : comparisons)
            require(!c.refusal.empty() || (usable && std::isfinite(c.rms)),
                    "a comparison is refused or has a finite misfit", c.correlation);

        const std::optional<FittedSet> fit = fitAndWrite(in, shown, model, usable);
        require(finite(fitPlot(system, shown.set, fit, comparisons, {0, 1, 2})),
                "the fit's plot is finite");
        if (fit)
            fits.push_back(*fit);
    }

    auto recommended = recommendFromFits(system, model, fits);
    if (const auto* rec = std::get_if<ScalRecommendation>(&recommended)) {
        for (const FittedSet* c : {&rec->low, &rec->base, &rec->high})
            parametersFinite(*c);
        const double t = in.ConsumeFloatingPointInRange(-1.0, 1.0);
        const double spacing = in.ConsumeFloatingPointInRange(1.0, 20.0);
        tablesPass(scalTables(*rec, t, spacing), system, spacing, {"recommendation"});
    }
    return 0;
}
