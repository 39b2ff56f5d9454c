// A curve between the low, base and high cases of a SCAL recommendation, as pyscal
// interpolates: t from -1 (low) through 0 (base) to 1 (high), the tables (not the
// parameters) mixed at normalised saturations, the end points mixed alike.
#pragma once

#include "common/refusal.h"
#include "satfunc/curves.h"

#include <variant>

namespace relperm::satfunc {

struct CaseTables {
    const WaterOilTable* low;
    const WaterOilTable* base;
    const WaterOilTable* high;
};

struct GasCaseTables {
    const GasOilTable* low;
    const GasOilTable* base;
    const GasOilTable* high;
};

// `h` is the row spacing of the new table. A t within rounding of -1, 0 or 1 gives that
// case's own table; a t beyond -1 to 1 is refused.
std::variant<WaterOilTable, Refusal> interpolateWaterOil(const CaseTables& cases, double t,
                                                         double h);
std::variant<GasOilTable, Refusal> interpolateGasOil(const GasCaseTables& cases, double t,
                                                     double h);

} // namespace relperm::satfunc
