#include "calculator/correlations/correlations.h"
#include "calculator/correlations/limits.h"
#include "calculator/correlations/terms.h"

#include <cmath>

namespace relperm {

std::optional<Refusal> checkWatgas(const CorrelationInputs& in) {
    const char* name = "Water-Gas";
    if (auto r = requireLiquidGasSpan(in, "Swc"))
        return r;
    if (auto r = requirePermeability(in, name, Requirement::Positive)) // ln k
        return r;
    return requirePorosity(in, name, Requirement::NotNegative);
}

void watgas(const CorrelationInputs& in, Tables& t) {
    using std::pow;
    const double phi = in.porosity, k = in.permeability, swc = in.swc, sgc = in.sgc;
    const double lnk = std::log(k);
    for (int j = 1; j <= t.nGasLiquid; ++j) {
        const double sg = t.sgTable[j];
        const double sw = 1 - sg / (1 - swc);
        const double g = floorAtZero((sg - sgc) / (1 - swc - sgc));
        t.krgTable[j] = 1.3046802 * g - 8.159598 * pow(g, 2) + 25.50978 * pow(g, 3) -
                        31.53754 * pow(g, 4) + 13.883828 * pow(g, 5);
        t.krogTable[j] = 0.94555376 * sw - 1.2967293 * pow(sw, 1.7) + 1.69592185 * pow(sw, 3) -
                         0.0424518 * sgc * pow(lnk, 3) * pow(sw, 5) -
                         145.83028 * pow(swc, 1.5) * pow(phi * sw, 2) +
                         0.02764389 * swc * phi * pow(k * sgc, 2) * pow(sw, 4);
    }
    if (t.krgTable[t.nGasLiquid] != 1)
        t.krgTable[t.nGasLiquid] = 1;
}

} // namespace relperm
