#include "calculator/validate.h"

#include "calculator/generate.h"
#include "calculator/grids.h"
#include "common/numbers.h"

#include <cmath>

namespace relperm {

std::string percentText(double percent) {
    return formatGeneral(percent) + "%";
}

std::optional<Refusal> checkTypedValues(const TypedValues& t) {
    struct Named {
        double value;
        const char* input;
        const char* name;
    };
    for (const Named& v :
         {Named{t.porosity, "poro", "Porosity"}, Named{t.permeability, "permo", "Permeability"},
          Named{t.krgAtSorg, "krgo", "krg @ Sorg"}, Named{t.swc, "Swco", "Swc"},
          Named{t.sorw, "sorwo", "Sorw"}, Named{t.sorg, "sorgo", "Sorg"},
          Named{t.sgc, "sgco", "Sgc"}, Named{t.spacing, "spo", "Saturation Spacing"}}) {
        if (!std::isfinite(v.value))
            return Refusal{v.input, std::string(v.name) + " is too large to be a number."};
    }
    if (t.spacing <= 0)
        return Refusal{"spo", "Saturation Spacing must be greater than 0% (it is " +
                                  percentText(t.spacing) + ")."};
    const double steps = stepCount(t.spacing / 100);
    if (steps > 102)
        return Refusal{"spo", "Saturation Spacing must give at most 102 steps, so at least "
                              "0.98% (it is " +
                                  percentText(t.spacing) + ", " + formatGeneral(steps) +
                                  " steps)."};
    for (const Named& v : {Named{t.swc, "Swco", "Swc"}, Named{t.sorw, "sorwo", "Sorw"},
                           Named{t.sorg, "sorgo", "Sorg"}, Named{t.sgc, "sgco", "Sgc"}}) {
        if (v.value < 0)
            return Refusal{v.input, std::string(v.name) + " must be 0% or more (it is " +
                                        percentText(v.value) + ")."};
    }
    return std::nullopt;
}

std::optional<Refusal> checkMovableRange(const CorrelationInputs& in, FluidSystem system) {
    const bool withOil = system == FluidSystem::WaterOilGas;
    if (withOil && (1 - in.swc) - in.sorw <= vanishingDenominator)
        return Refusal{"sorwo", "Swc + Sorw must be below 100% (they add up to " +
                                    percentText(100 * (in.swc + in.sorw)) + ")."};
    if ((1 - in.sorg) - in.swc <= vanishingDenominator) {
        if (withOil)
            return Refusal{"sorgo", "Swc + Sorg must be below 100% (they add up to " +
                                        percentText(100 * (in.swc + in.sorg)) + ")."};
        return Refusal{"Swco", "Swc must be below 100% (it is " + percentText(100 * in.swc) + ")."};
    }
    return std::nullopt;
}

std::optional<Refusal> checkFiniteTables(const Tables& t, FluidSystem system,
                                         const std::string& procedure) {
    auto refuse = [&](const std::string& column, double at, bool waterOil) {
        const char* change = waterOil                             ? "Swc or Sorw"
                             : system == FluidSystem::WaterOilGas ? "Swc, Sorg or Sgc"
                             : system == FluidSystem::WaterGas    ? "Swc or Sgc"
                                                                  : "Slc or Sgc";
        return Refusal{waterOil ? "Swco" : "sgco",
                       procedure + " gives no finite " + column + " at " +
                           (waterOil ? "Sw" : "Sg") + " = " + formatGeneral(at) +
                           " with these end points; change " + change + "."};
    };
    if (system == FluidSystem::WaterOilGas) {
        for (int i = 1; i <= t.nWaterOil; ++i) {
            if (!std::isfinite(t.krwTable[i]))
                return refuse("krw", t.swTable[i], true);
            if (!std::isfinite(t.krowTable[i]))
                return refuse("krow", t.swTable[i], true);
        }
    }
    const std::string liquid = gasHeader(system)[1];
    for (int i = 1; i <= t.nGasLiquid; ++i) {
        if (!std::isfinite(t.krogTable[i]))
            return refuse(liquid, t.sgTable[i], false);
        if (!std::isfinite(t.krgTable[i]))
            return refuse("krg", t.sgTable[i], false);
    }
    return std::nullopt;
}

} // namespace relperm
