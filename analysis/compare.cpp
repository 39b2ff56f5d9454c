#include "analysis/compare.h"

#include "analysis/fitexport.h"
#include "calculator/generate.h"
#include "common/numbers.h"
#include "database/computableset.h"
#include "database/display.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace relperm {

namespace {

// The finest spacing the calculator allows is 0.98%; 1% keeps its rows on round
// saturations, and the interpolation between them stays far below a laboratory's scatter.
constexpr const char* comparisonSpacing = "1";

// A Water-Oil-Gas run builds both tables, but a measured set describes only one of them.
// The other table's end points must merely let every correlation run: its residual oil is
// taken as the set's own (the oil left behind by the other displacement), and a water-oil
// set's Sgc, which Rose divides by, as 5% or half the movable range when that is less. Only
// the gas-oil krog reads the water-oil table at all, through Generate matching krog at
// Sg = 0 to krow at Swc.
constexpr double placeholderSgc = 0.05;

std::string percent(double fraction) {
    return formatGeneral(100 * fraction);
}

// The texts of the calculator's wettability lists for the set's code: Ibrahim's list tells
// strongly water-wet rock (as the browser shows it) from water-wet, Honarpour's only
// water-wet from the rest.
std::optional<std::string> wettabilityFor(Correlation correlation, const MeasuredDataSet& set) {
    const double code = set.wettingCode.value();
    if (set.wettingCode.isText() || (code != 1 && code != 2 && code != 3))
        return std::nullopt;
    if (correlation == Correlation::Honarpour)
        return code == 1 ? "Water Wet" : "Oil or Intermediate Wet";
    if (code == 1)
        return wettabilityText(TwoPhaseSystem::WaterOil, set) == "Strongly Water-Wet"
                   ? "Strongly Water Wet"
                   : "Water Wet";
    return code == 2 ? "Intermediate (Mixed)" : "Oil Wet";
}

// Limestone and dolomite are the carbonates; shale is neither of the calculator's
// formations, so a correlation that reads the formation has nothing to say about it.
std::optional<std::string> formationFor(const MeasuredDataSet& set) {
    if (set.lithologyCode.isText())
        return std::nullopt;
    const double code = set.lithologyCode.value();
    if (code == 1)
        return "Sandstone";
    if (code == 2 || code == 3)
        return "Carbonate";
    return std::nullopt;
}

struct Points {
    std::vector<double> s;
    std::vector<double> kr;
};

// The measured krg at the set's upper end point, S = 1: Honarpour's krg at Sorg.
double krAtUpperEnd(const MeasuredDataSet& set) {
    double bestS = -1e300;
    double kr = 0;
    for (int i = 1; i <= set.pointCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (std::fabs(set.normSat[at] - 1) < std::fabs(bestS - 1)) {
            bestS = set.normSat[at];
            kr = set.krAxis[at];
        }
    }
    return std::clamp(kr, 0.0, 1.0);
}

// Linear interpolation in rows of rising saturation, holding the end values beyond them:
// a measured point a little outside the correlation's rows takes the nearest row's kr.
double interpolate(const std::vector<double>& s, const std::vector<double>& kr, double at) {
    if (s.empty())
        return 0;
    if (at <= s.front())
        return kr.front();
    if (at >= s.back())
        return kr.back();
    const auto upper = std::upper_bound(s.begin(), s.end(), at);
    const auto j = static_cast<std::size_t>(upper - s.begin());
    const double t = (at - s[j - 1]) / (s[j] - s[j - 1]);
    return kr[j - 1] + t * (kr[j] - kr[j - 1]);
}

struct Procedure {
    std::string name;
    Correlation correlation; // None for the systems without oil
};

std::vector<Procedure> proceduresFor(TwoPhaseSystem system) {
    switch (system) {
    case TwoPhaseSystem::GasWater:
        return {{"Water-Gas", Correlation::None}};
    case TwoPhaseSystem::GasCondensate:
        return {{"Gas-Condensate", Correlation::None}};
    case TwoPhaseSystem::WaterOil:
    case TwoPhaseSystem::GasOil:
        break;
    }
    std::vector<Procedure> list;
    for (Correlation c : {Correlation::Ibrahim, Correlation::Honarpour, Correlation::Rose,
                          Correlation::Wyllie, Correlation::Corey})
        list.push_back({correlationName(c), c});
    return list;
}

// The boxes as the engineer would fill them for this set, or why the correlation cannot be
// asked at all.
std::variant<GenerateInput, std::string> inputFor(TwoPhaseSystem system, const Procedure& procedure,
                                                  const MeasuredDataSet& set) {
    GenerateInput in;
    in.spacing = comparisonSpacing;
    in.porosity = percent(set.porosityFraction.value());
    in.permeability = formatGeneral(set.permeabilityMd.value());
    in.swc = percent(set.connateWater.value());
    in.sgc = percent(set.criticalGas.value());
    if (system == TwoPhaseSystem::GasWater) {
        in.fluids = "Water-Gas";
        return in;
    }
    if (system == TwoPhaseSystem::GasCondensate) {
        in.fluids = "Gas-Condensate";
        return in;
    }
    in.fluids = "Water-Oil-Gas";
    in.correlation = procedure.name;
    const double swc = set.connateWater.value();
    if (system == TwoPhaseSystem::WaterOil) {
        const double sorw = set.residualOilToWater.value();
        in.sorw = percent(sorw);
        in.sorg = percent(sorw);
        in.sgc = percent(std::clamp((1 - swc - sorw) / 2, 0.0, placeholderSgc));
    } else {
        const double sorg = set.residualOilToGas.value();
        in.sorw = percent(sorg);
        in.sorg = percent(sorg);
        in.krgAtSorg = formatGeneral(krAtUpperEnd(set));
    }
    const Correlation c = procedure.correlation;
    if (c == Correlation::Ibrahim || c == Correlation::Honarpour || c == Correlation::Wyllie) {
        const auto formation = formationFor(set);
        if (!formation)
            return procedure.name + " reads the formation (Sandstone or Carbonate), and the data " +
                   "set's lithology is " +
                   (set.lithologyCode.value() == 4 ? "Shale, neither of them." : "not given.");
        in.formation = *formation;
    }
    // Only the water-oil pairs read the wettability, which gas-oil sets do not carry.
    if (system == TwoPhaseSystem::WaterOil &&
        (c == Correlation::Ibrahim || c == Correlation::Honarpour)) {
        const auto wettability = wettabilityFor(c, set);
        if (!wettability)
            return procedure.name + " reads the wettability, and the data set gives none.";
        in.wettability = *wettability;
    }
    return in;
}

// The compared table's rows as (saturation, rising kr, falling kr).
void tableRows(TwoPhaseSystem system, const Tables& t, std::vector<double>& saturation,
               std::vector<double>& rising, std::vector<double>& falling) {
    if (system == TwoPhaseSystem::WaterOil) {
        for (int i = 1; i <= t.nWaterOil; ++i) {
            saturation.push_back(t.swTable[i]);
            rising.push_back(t.krwTable[i]);
            falling.push_back(t.krowTable[i]);
        }
        return;
    }
    // The gas table's liquid column (krog, krw or krcg by system) is the falling curve.
    for (int i = 1; i <= t.nGasLiquid; ++i) {
        saturation.push_back(t.sgTable[i]);
        rising.push_back(t.krgTable[i]);
        falling.push_back(t.krogTable[i]);
    }
}

// Where one curve leaves 0..1: "krow up to 22.8", "krw down to -.07". A kr computed as 1
// may land a rounding above it, which is no excursion.
void addExcursions(std::vector<std::string>& notes, const std::string& name,
                   const std::vector<double>& kr) {
    constexpr double rounding = 1e-9;
    if (kr.empty())
        return;
    const auto [low, high] = std::minmax_element(kr.begin(), kr.end());
    if (*high > 1 + rounding)
        notes.push_back(name + " up to " + fitValueText(*high));
    if (*low < -rounding)
        notes.push_back(name + " down to " + fitValueText(*low));
}

std::string krOutsideNote(TwoPhaseSystem system, const CorrelationComparison& c) {
    // The grid's column names are the curves' names: the falling one in column 1, the
    // rising one in 2.
    const std::vector<std::string> names = gridHeader(system);
    std::vector<std::string> notes;
    addExcursions(notes, names[2], c.rising);
    addExcursions(notes, names[1], c.falling);
    if (notes.empty())
        return {};
    std::string text = "kr outside 0..1 (";
    for (std::size_t i = 0; i < notes.size(); ++i)
        text += (i > 0 ? ", " : "") + notes[i];
    return text + ")";
}

} // namespace

std::string comparisonSummary(const CorrelationComparison& c) {
    if (!c.refusal.empty())
        return c.refusal.find(c.correlation) != std::string::npos
                   ? c.refusal
                   : c.correlation + ": " + c.refusal;
    if (!c.krOutside.empty())
        return c.correlation + "    " + c.krOutside;
    return c.correlation + "    rms " + fitValueText(c.rms);
}

std::vector<CorrelationComparison> compareCorrelations(TwoPhaseSystem system,
                                                       const MeasuredDataSet& set) {
    const SaturationScale scale = ownSaturationScale(system, set);
    const std::optional<Refusal> unusable = checkSetValues(system, set);
    std::vector<CorrelationComparison> comparisons;
    for (const Procedure& procedure : proceduresFor(system)) {
        CorrelationComparison c;
        c.correlation = procedure.name;
        if (unusable) {
            c.refusal = unusable->message;
            comparisons.push_back(std::move(c));
            continue;
        }
        auto input = inputFor(system, procedure, set);
        if (const auto* why = std::get_if<std::string>(&input)) {
            c.refusal = *why;
            comparisons.push_back(std::move(c));
            continue;
        }
        CalculatorState state;
        if (auto refusal = generate(state, std::get<GenerateInput>(input))) {
            c.refusal = refusal->message;
            comparisons.push_back(std::move(c));
            continue;
        }
        if (scale.range <= 0) {
            // Generate refuses such end points itself; this guards the division below.
            c.refusal = "The data set's end points leave no saturation range.";
            comparisons.push_back(std::move(c));
            continue;
        }
        tableRows(system, state.tables, c.saturation, c.rising, c.falling);
        for (double& s : c.saturation)
            s = (s - scale.lower) / scale.range;
        double sum = 0;
        for (int i = 1; i <= set.pointCount; ++i) {
            const auto at = static_cast<std::size_t>(i);
            const double s = set.normSat[at];
            const double rising = interpolate(c.saturation, c.rising, s) - set.krAxis[at];
            const double falling = interpolate(c.saturation, c.falling, s) - set.krOther[at];
            sum += rising * rising + falling * falling;
        }
        c.rms = set.pointCount > 0 ? std::sqrt(sum / (2.0 * set.pointCount)) : 0.0;
        c.krOutside = krOutsideNote(system, c);
        if (!std::isfinite(c.rms)) {
            // A header porosity or permeability far from any rock's (a k of 1E+80 md) drives
            // some correlations to kr values whose squares overflow: nothing to compare.
            CorrelationComparison refused;
            refused.correlation = c.correlation;
            refused.refusal = "At the data set's porosity and permeability its kr grows too "
                              "large to compare with the points.";
            c = std::move(refused);
        }
        comparisons.push_back(std::move(c));
    }
    return comparisons;
}

} // namespace relperm
