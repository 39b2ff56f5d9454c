#include "calculator/correlations/correlations.h"
#include "calculator/correlations/limits.h"
#include "calculator/correlations/terms.h"

#include <cmath>

namespace relperm {

std::optional<Refusal> checkHonarpour(const CorrelationInputs& in, std::int16_t isSandstone) {
    const char* name = "Honarpour/Varnholt/Harvey";
    if (isSandstone == 1)
        return requirePorosity(in, name, Requirement::NotNegative);
    // Carbonate: phi^2.15 and 1/k in the water-wet krw, (k / phi)^0.5 in every krg.
    if (auto r = requirePorosity(in, name, Requirement::Positive))
        return r;
    return requirePermeability(in, name, Requirement::Positive);
}

namespace {

void sandstoneRows(const CorrelationInputs& in, Tables& t, bool waterWet) {
    const double phi = in.porosity, swc = in.swc, sorw = in.sorw, sorg = in.sorg, sgc = in.sgc;
    const double krgo = in.krgAtSorg;
    for (int i = 1; i <= t.nWaterOil; ++i) {
        const double sw = t.swTable[i];
        const double so = 1 - sw;
        const double dW = floorAtZero(sw - sorw); // floored before the power 2.9
        t.krwTable[i] = waterWet ? 0.035388 * (sw - swc) / (1 - swc - sorw) -
                                       0.010874 * std::pow(dW / (1 - swc - sorw), 2.9) +
                                       0.56556 * std::pow(sw, 3.6) * (sw - swc)
                                 : 1.5814 * std::pow((sw - swc) / (1 - swc), 1.91) -
                                       0.58617 * (dW / (1 - swc - sorw)) * (sw - swc) -
                                       1.2484 * phi * (1 - swc) * (sw - swc);
        // So / (1 - Swc) is formed first and Sorw is subtracted from that ratio.
        t.krowTable[i] = 0.76067 * std::pow((so / (1 - swc) - sorw) / (1 - sorw), 1.8) *
                             std::pow((so - sorw) / (1 - swc - sorw), 2) +
                         2.6318 * phi * (1 - sorw) * (so - sorw);
    }
    for (int j = 1; j <= t.nGasLiquid; ++j) {
        const double sg = t.sgTable[j];
        const double sog = 1 - sg - swc;
        t.krogTable[j] =
            0.98372 * std::pow(sog / (1 - swc), 4) * std::pow((sog - sorg) / (1 - swc - sorg), 2);
        t.krgTable[j] = 1.1072 * std::pow((sg - sgc) / (1 - swc), 2) * krgo +
                        2.7794 * sorg * ((sg - sgc) / (1 - swc)) * krgo;
    }
}

void carbonateRows(const CorrelationInputs& in, Tables& t, bool waterWet) {
    const double phi = in.porosity, k = in.permeability, swc = in.swc, sorw = in.sorw;
    const double sorg = in.sorg, sgc = in.sgc, krgo = in.krgAtSorg;
    for (int i = 1; i <= t.nWaterOil; ++i) {
        const double sw = t.swTable[i];
        const double so = 1 - sw;
        const double dW = floorAtZero(sw - sorw);
        t.krwTable[i] = waterWet ? 0.0020525 * (sw - swc) / std::pow(phi, 2.15) -
                                       0.051371 * (sw - swc) * std::pow(1 / k, 0.43)
                                 : 0.29986 * (sw - swc) / (1 - swc) -
                                       0.32797 * std::pow(dW / (1 - swc - sorw), 2) * (sw - swc) +
                                       0.413259 * std::pow((sw - swc) / (1 - swc - sorw), 4);
        t.krowTable[i] =
            1.2624 * ((so - sorw) / (1 - sorw)) * std::pow((so - sorw) / (1 - swc - sorw), 2);
    }
    const double a = (1 - swc - sorg - sgc) / (1 - swc);
    for (int j = 1; j <= t.nGasLiquid; ++j) {
        const double sg = t.sgTable[j];
        const double sog = 1 - sg - swc;
        t.krogTable[j] =
            0.93752 * std::pow(sog / (1 - swc), 4) * std::pow((sog - sorg) / (1 - swc - sorg), 2);
        // The first term has the single divisor (1 - Swc); the third depends on Sg only
        // through its factor (Sg - Sgc).
        t.krgTable[j] =
            1.8655 * krgo * sg * (sg - sgc) / (1 - swc) +
            8.0053 * std::pow(sorg, 2) * (sg - sgc) / (1 - swc) -
            0.02589 * (sg - sgc) * std::pow(a, 2) * std::pow(1 - a, 2) * std::pow(k / phi, 0.5);
    }
}

} // namespace

void ComputeHonarpour(const CorrelationInputs& in, Tables& t, std::int16_t wettabilityCode,
                      std::int16_t isSandstone) {
    const bool waterWet = wettabilityCode == 1;
    if (isSandstone == 1)
        sandstoneRows(in, t, waterWet);
    else
        carbonateRows(in, t, waterWet);
    floorKrColumns(t);
}

} // namespace relperm
