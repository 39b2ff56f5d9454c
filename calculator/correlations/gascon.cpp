#include "calculator/correlations/correlations.h"
#include "calculator/correlations/limits.h"
#include "calculator/correlations/terms.h"

#include <cmath>

namespace relperm {

std::optional<Refusal> checkGascon(const CorrelationInputs& in) {
    return requireLiquidGasSpan(in, "Slc");
}

namespace {

// Lays a straight line over the negative krg values that follow the last zero row: from 0
// at row z (the last row whose krg is exactly 0) to the value at row p (the first row whose
// krg is positive). Negative values outside that range stay as they are.
void repairNegativeGas(Tables& t) {
    int z = 0;
    int p = 0;
    bool anyNegative = false;
    for (int j = 1; j <= t.nGasLiquid; ++j) {
        const double krg = t.krgTable[j];
        if (krg == 0)
            z = j;
        if (p == 0 && krg > 0)
            p = j;
        if (krg < 0)
            anyNegative = true;
    }
    if (!anyNegative || p <= z + 1)
        return;
    const double q = t.krgTable[p] / (p - z);
    for (int r = z + 1; r <= p - 1; ++r)
        t.krgTable[r] = q * (r - z);
}

} // namespace

void gascon(const CorrelationInputs& in, Tables& t) {
    using std::pow;
    const double slc = in.swc, sgc = in.sgc;
    for (int j = 1; j <= t.nGasLiquid; ++j) {
        const double sg = t.sgTable[j];
        const double sl = 1 - sg / (1 - slc);
        const double g = floorAtZero((sg - sgc) / (1 - slc - sgc));
        t.krogTable[j] = 0.1194373 * sl - 0.089246 * pow(sl, 2) + 0.9606793 * pow(sl, 3);
        t.krgTable[j] = 3.33929676 * pow(g, 1.2) + 6.75670631 * pow(g, 0.9) * pow(slc, 1.2) -
                        20.926791 * g * pow(slc, 2) * sgc + 101.654474 * g * pow(sgc, 4) -
                        7.3835856 * pow(slc, 0.5) * g;
    }
    if (t.krogTable[1] != 1)
        t.krogTable[1] = 1;
    repairNegativeGas(t);
}

} // namespace relperm
