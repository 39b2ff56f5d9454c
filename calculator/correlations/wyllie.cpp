#include "calculator/correlations/correlations.h"
#include "calculator/correlations/limits.h"

#include <cmath>

namespace relperm {

std::optional<Refusal> checkWyllie(const CorrelationInputs& in) {
    return requireGasSpan(in);
}

void ComputeWyllie(const CorrelationInputs& in, Tables& t, std::int16_t isSandstone) {
    const bool sandstone = isSandstone == 1;
    const double dw = (1 - in.swc) - in.sorw;
    for (int i = 1; i <= t.nWaterOil; ++i) {
        const double swn = (t.swTable[i] - in.swc) / dw;
        if (sandstone) {
            t.krwTable[i] = std::pow(swn, 3);
            t.krowTable[i] = std::pow(1 - swn, 3);
        } else {
            t.krwTable[i] = std::pow(swn, 4);
            t.krowTable[i] = std::pow(1 - swn, 2) * (1 - std::pow(swn, 2));
        }
    }
    const double dg = 1 - (in.swc + (in.sorg + in.sgc));
    const double oilSpan = 1 - (in.swc + in.sorg);
    for (int i = 1; i <= t.nGasLiquid; ++i) {
        const double sg = t.sgTable[i];
        double sgn = (sg - in.sgc) / dg;
        if (sgn < 0)
            sgn = 0;
        const double son = 1 - sg / oilSpan;
        if (sandstone) {
            t.krogTable[i] = std::pow(son, 3);
            t.krgTable[i] = std::pow(sgn, 3);
        } else {
            t.krogTable[i] = std::pow(son, 4);
            t.krgTable[i] = std::pow(sgn, 2) * (1 - std::pow(son, 2));
        }
    }
}

} // namespace relperm
