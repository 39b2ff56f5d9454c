#include "calculator/correlations/correlations.h"
#include "calculator/correlations/limits.h"

#include <cmath>

namespace relperm {

std::optional<Refusal> checkRose(const CorrelationInputs& in) {
    // Each end point below makes one denominator vanish at an end row of the tables.
    if (in.swc <= 0)
        return Refusal{"Swco", "Swc must be greater than 0% for Rose: krw divides by zero at "
                               "Sw = Swc otherwise."};
    if (in.sorw <= 0)
        return Refusal{"sorwo", "Sorw must be greater than 0% for Rose: krow divides by zero at "
                                "Sw = 1 - Sorw otherwise."};
    if (in.swc + in.sorg <= 0)
        return Refusal{"sorgo", "Swc + Sorg must be greater than 0% for Rose: krog divides by "
                                "zero at the last gas row otherwise."};
    if (in.sgc <= 0)
        return Refusal{"sgco", "Sgc must be greater than 0% for Rose: krg divides by zero at "
                               "Sg = 0 otherwise."};
    return std::nullopt;
}

void ComputeRose(const CorrelationInputs& in, Tables& t) {
    using std::pow;
    const double swc = in.swc, sorw = in.sorw, sorg = in.sorg, sgc = in.sgc;
    for (int i = 1; i <= t.nWaterOil; ++i) {
        const double sw = t.swTable[i];
        const double x = 1 - sw;
        const double dw = pow(
            2 * pow(sw, 2) * (2 - 3 * swc) + 3 * sw * swc * (3 * swc - 2) + swc * (4 - 5 * swc), 2);
        t.krwTable[i] = 16 * pow(sw, 2) * pow(sw - swc, 3) * (1 - swc) / dw;
        const double dOil =
            pow(2 * pow(x, 2) * (4 * swc - 3 * sorw) + 3 * x * sorw * (3 * sorw - 2 + 2 * swc) +
                    sorw * (1 - swc) * (4 - swc - 5 * sorw),
                2);
        t.krowTable[i] = 16 * pow(x, 2) * pow(x - sorw, 3) * (1 - swc - sorw) / dOil;
    }
    for (int j = 1; j <= t.nGasLiquid; ++j) {
        const double sg = t.sgTable[j];
        const double l = 1 - sg;
        const double y = swc + sorg;
        const double dl =
            pow(2 * pow(l, 2) * (2 - 3 * y) + 3 * l * y * (3 * y - 2) + y * (4 - 5 * y), 2);
        t.krogTable[j] = 16 * pow(l, 2) * pow(l - y, 3) * (1 - y) / dl;
        const double dg =
            pow(2 * pow(sg, 2) * (4 * y - 3 * sgc) + 3 * sg * sgc * (3 * sgc - 2 + 2 * y) +
                    sgc * (1 - y) * (4 - y - 5 * sgc),
                2);
        t.krgTable[j] = 16 * pow(sg, 2) * pow(sg - sgc, 3) * (1 - y - sgc) / dg;
    }
}

} // namespace relperm
