#include "analysis/fittables.h"

#include "common/numbers.h"
#include "satfunc/interpolation.h"

namespace relperm {

namespace {

satfunc::Shape shapeOf(FitModel model, const CurveParameters& c) {
    if (model == FitModel::Corey)
        return {.n = c.n};
    return {.let = true, .l = c.l, .e = c.e, .t = c.t};
}

SaturationTables tablesOf(const satfunc::WaterOilTable& w) {
    SaturationTables tables;
    tables.swc = w.swl;
    for (std::size_t i = 0; i < w.sw.size(); ++i)
        tables.waterOil.push_back({w.sw[i], w.krw[i], w.krow[i], w.pc[i]});
    return tables;
}

// The parameter's own name for a refusal of the curve code: the tables' options are named
// as the command line names them.
Refusal asTableRefusal(Refusal r) {
    if (r.input == "krwmax")
        r.input = "krwMax";
    return r;
}

} // namespace

satfunc::WaterOilParameters waterOilParameters(const FittedSet& fit, double spacingPercent,
                                               double krwMax) {
    return {.swl = fit.ends.swl,
            .swcr = fit.ends.swl,
            .sorw = fit.ends.sorw,
            .h = spacingPercent / 100,
            .water = shapeOf(fit.model, fit.rising),
            .oil = shapeOf(fit.model, fit.falling),
            .krwend = fit.rising.end,
            .krwmax = krwMax,
            .kroend = fit.falling.end};
}

std::variant<SaturationTables, Refusal> fitTables(const FittedSet& fit, double spacingPercent,
                                                  double krwMax) {
    if (fit.system != TwoPhaseSystem::WaterOil)
        return fittedTables(fit, spacingPercent);
    auto table = satfunc::waterOilTable(waterOilParameters(fit, spacingPercent, krwMax));
    if (auto* r = std::get_if<Refusal>(&table))
        return asTableRefusal(*r);
    return tablesOf(std::get<satfunc::WaterOilTable>(table));
}

std::variant<SaturationTables, Refusal> recommendationTables(const ScalRecommendation& r, double t,
                                                             double spacingPercent, double krwMax) {
    if (r.system != TwoPhaseSystem::WaterOil)
        return scalTables(r, t, spacingPercent);
    std::vector<satfunc::WaterOilTable> cases;
    for (const FittedSet* c : {&r.low, &r.base, &r.high}) {
        auto table = satfunc::waterOilTable(waterOilParameters(*c, spacingPercent, krwMax));
        if (auto* refusal = std::get_if<Refusal>(&table))
            return asTableRefusal(*refusal);
        cases.push_back(std::get<satfunc::WaterOilTable>(std::move(table)));
    }
    auto mixed =
        satfunc::interpolateWaterOil({&cases[0], &cases[1], &cases[2]}, t, spacingPercent / 100);
    if (auto* refusal = std::get_if<Refusal>(&mixed))
        return asTableRefusal(*refusal);
    return tablesOf(std::get<satfunc::WaterOilTable>(mixed));
}

std::string rowsText(TwoPhaseSystem system, double spacingPercent) {
    if (system == TwoPhaseSystem::WaterOil)
        return "Rows every " + formatGeneral(spacingPercent) +
               " % of saturation from swl and at the end points, as pyscal lays them.";
    return "Rows every " + formatGeneral(spacingPercent) +
           " % of saturation between the end points, from the fitted curves.";
}

} // namespace relperm
