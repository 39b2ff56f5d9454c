#include "calculator/correlations/correlations.h"
#include "calculator/correlations/limits.h"

#include <cmath>

namespace relperm {

std::optional<Refusal> checkCorey(const CorrelationInputs& in) {
    return requireGasSpan(in);
}

void ComputeCorey(const CorrelationInputs& in, Tables& t) {
    const double dw = (1 - in.swc) - in.sorw;
    for (int i = 1; i <= t.nWaterOil; ++i) {
        const double sw = t.swTable[i];
        const double swn = (sw - in.swc) / dw;
        // 1 - Sw, not 1 - Sw - Sorw: the column starts above 1 and Generate's oil fix-up
        // rescales it to ((1 - Sw) / (1 - Swc))^4.
        const double ow = (1 - sw) / dw;
        t.krwTable[i] = std::pow(swn, 4);
        t.krowTable[i] = std::pow(ow, 4);
    }
    const double dg = 1 - (in.swc + (in.sorg + in.sgc));
    for (int i = 1; i <= t.nGasLiquid; ++i) {
        const double sg = t.sgTable[i];
        double sgn = (sg - in.sgc) / dg;
        if (sgn < 0)
            sgn = 0;
        const double lg = sg / dg;
        t.krogTable[i] = std::pow(1 - lg, 4);
        t.krgTable[i] = std::pow(sgn, 3) * (2 - sgn);
    }
}

} // namespace relperm
