#include "database/adjust.h"

#include "common/numbers.h"
#include "database/display.h"

#include <algorithm>

namespace relperm {

namespace {

bool positive(const std::optional<double>& value) {
    return value && *value > 0;
}

SaturationScale userSaturationScale(TwoPhaseSystem system, const UserEndPoints& user) {
    const double swc = user.swc.value_or(0);
    const double sor = user.sor.value_or(0);
    const double sgc = user.sgc.value_or(0);
    switch (system) {
    case TwoPhaseSystem::WaterOil:
        return {swc, 1 - swc - sor};
    case TwoPhaseSystem::GasOil:
        return {sgc, 1 - swc - sor - sgc};
    case TwoPhaseSystem::GasWater:
    case TwoPhaseSystem::GasCondensate:
        break;
    }
    return {sgc, 1 - swc - sgc};
}

// The rows of gas-water and gas-condensate tables start at zero gas saturation: a first
// point below zero is interpolated to zero with the first point at or above zero, one
// above zero is extrapolated to zero through the second point. `s` holds the unclipped
// adjusted saturations.
void clipFirstPointAtZeroGas(MeasuredDataSet& set, const PointColumn& s) {
    const int n = set.pointCount;
    if (set.satAdjusted[1] < 0) {
        int t = n;
        for (int j = 2; j <= n; ++j) {
            if (s[static_cast<std::size_t>(j)] >= 0) {
                t = j;
                break;
            }
        }
        const auto ti = static_cast<std::size_t>(t);
        const double divisor = s[ti] - set.satAdjusted[1];
        if (divisor != 0) {
            const double kr = set.krOther[1] + (set.krOther[ti] - set.krOther[1]) *
                                                   (0 - set.satAdjusted[1]) / divisor;
            set.krOtherAdjusted[1] = std::max(kr, 0.0);
        }
        set.satAdjusted[1] = 0;
    }
    if (set.satAdjusted[1] > 0) {
        const double s2 = n >= 2 ? s[2] : set.satAdjusted[1];
        const double divisor = s2 - set.satAdjusted[1];
        if (divisor != 0)
            set.krOtherAdjusted[1] =
                set.krOther[2] + (set.krOther[1] - set.krOther[2]) * s2 / divisor;
        set.satAdjusted[1] = 0;
    }
}

} // namespace

std::optional<double> endPointValue(std::string_view boxText) {
    if (boxText.empty())
        return std::nullopt;
    return textToNumber(boxText) / 100;
}

void applySgcDefault(UserEndPoints& user) {
    if (user.swc.value_or(0) == 0 && user.sor.value_or(0) == 0)
        user.sgc = 0.0;
}

bool AdjustmentWanted(TwoPhaseSystem system, const UserEndPoints& user) {
    if (!positive(user.swc) && !positive(user.sor) && !positive(user.sgc))
        return false;
    if (user.swc && user.sor && user.sgc)
        return true;
    switch (system) {
    case TwoPhaseSystem::WaterOil:
        return user.swc && user.sor;
    case TwoPhaseSystem::GasWater:
    case TwoPhaseSystem::GasCondensate:
        return user.swc && user.sgc;
    case TwoPhaseSystem::GasOil:
        break;
    }
    return false;
}

EndPointLayout LayoutEndPointBoxes(TwoPhaseSystem system) {
    switch (system) {
    case TwoPhaseSystem::WaterOil:
        return {true, false, "Sorw %"};
    case TwoPhaseSystem::GasOil:
        return {true, true, "Sorg %"};
    case TwoPhaseSystem::GasWater:
    case TwoPhaseSystem::GasCondensate:
        break;
    }
    return {false, true, std::nullopt};
}

std::string_view swcBoxCaption(TwoPhaseSystem system) {
    return system == TwoPhaseSystem::GasCondensate ? "Slc %" : "Swc %";
}

GridText MakeAdjustedTable(TwoPhaseSystem system, const UserEndPoints& user, MeasuredDataSet& set) {
    GridText grid{gridHeader(system), {}};
    const int n = set.pointCount;
    const SaturationScale scale = userSaturationScale(system, user);
    PointColumn s{};
    for (int d = 1; d <= n; ++d) {
        const auto i = static_cast<std::size_t>(d);
        s[i] = scale.lower + scale.range * set.normSat[i];
    }
    const bool clipped =
        system == TwoPhaseSystem::GasWater || system == TwoPhaseSystem::GasCondensate;

    // Each row is final when it is written; a later point changes only itself.
    for (int d = 1; d <= n; ++d) {
        const auto i = static_cast<std::size_t>(d);
        set.krOtherAdjusted[i] = set.krOther[i];
        set.krAxisAdjusted[i] = set.krAxis[i];
        set.satAdjusted[i] = s[i];
        // The last point of a gas-oil set always stands at zero gas saturation.
        if (system == TwoPhaseSystem::GasOil && d == n)
            set.satAdjusted[i] = 0;
        if (clipped) {
            if (d == 1) {
                clipFirstPointAtZeroGas(set, s);
            } else if (set.satAdjusted[i] < 0) {
                set.satAdjusted[i] = 0;
                set.krOtherAdjusted[i] = set.krOtherAdjusted[1];
            }
            // Gas kr is clipped at gas saturation 1 by interpolating with the row before.
            if (set.satAdjusted[i] > 1) {
                const double before = set.satAdjusted[i - 1];
                if (before < 1)
                    set.krAxisAdjusted[i] =
                        set.krAxisAdjusted[i - 1] +
                        (1 - before) * (set.krAxisAdjusted[i] - set.krAxisAdjusted[i - 1]) /
                            (set.satAdjusted[i] - before);
                else
                    set.krAxisAdjusted[i] = set.krAxisAdjusted[i - 1];
                set.satAdjusted[i] = 1;
            }
        }
        grid.rows.push_back(
            gridRow(set.satAdjusted[i], set.krOtherAdjusted[i], set.krAxisAdjusted[i]));
    }
    return grid;
}

} // namespace relperm
