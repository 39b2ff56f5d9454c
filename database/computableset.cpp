#include "database/computableset.h"

#include "common/numbers.h"
#include "database/display.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

namespace relperm {

namespace {

// What is wrong with a value that no computation may take, or nothing.
std::optional<std::string> unusable(double value) {
    if (std::isnan(value))
        return "is not a number (NaN)";
    if (std::isinf(value))
        return std::string("is ") + (value > 0 ? "infinite" : "minus infinity");
    if (std::fpclassify(value) == FP_SUBNORMAL)
        return "is " + formatGeneral(value) + ", too small to compute with (a subnormal number)";
    return std::nullopt;
}

struct EndPoint {
    const char* name;
    const TaggedValue MeasuredDataSet::*field;
};

std::vector<EndPoint> endPointsOf(TwoPhaseSystem system) {
    const EndPoint swc{system == TwoPhaseSystem::GasCondensate ? "Slc" : "Swc",
                       &MeasuredDataSet::connateWater};
    const EndPoint sgc{"Sgc", &MeasuredDataSet::criticalGas};
    switch (system) {
    case TwoPhaseSystem::WaterOil:
        return {swc, {"Sorw", &MeasuredDataSet::residualOilToWater}};
    case TwoPhaseSystem::GasOil:
        return {swc, {"Sorg", &MeasuredDataSet::residualOilToGas}, sgc};
    case TwoPhaseSystem::GasWater:
    case TwoPhaseSystem::GasCondensate:
        break;
    }
    return {swc, sgc};
}

Refusal refused(const std::string& field, const std::string& message) {
    return Refusal{field, "The data set cannot be used: its " + field + " " + message + "."};
}

} // namespace

// No measured point lies further out: normalised saturations and kr values lie near 0 to 1,
// a little outside from a laboratory's scatter. Beyond, a value is no measurement, and its
// squares and sums overflow the misfits of fits and comparisons.
constexpr double farthestPointValue = 10;

std::optional<Refusal> checkSetValues(TwoPhaseSystem system, const MeasuredDataSet& set) {
    for (const EndPoint& end : endPointsOf(system)) {
        const double value = (set.*end.field).value();
        if (auto wrong = unusable(value))
            return refused(end.name, *wrong);
        if (value < 0 || value > 1)
            return refused(end.name, "is " + formatGeneral(value) +
                                         "; an end point must be a fraction from 0 to 1");
    }
    const SaturationScale scale = ownSaturationScale(system, set);
    if (!(scale.range > 0)) {
        std::string names;
        for (const EndPoint& end : endPointsOf(system))
            names += (names.empty() ? "" : " + ") + std::string(end.name);
        return Refusal{"points", "The data set cannot be used: its end points leave no "
                                 "saturation range (" +
                                     names + " is 1 or more)."};
    }
    if (set.pointCount < 0 || set.pointCount > maxPoints)
        return Refusal{"points", "The data set cannot be used: its point count " +
                                     std::to_string(set.pointCount) + " is outside 0 to " +
                                     std::to_string(maxPoints) + "."};
    const auto names = pointColumnNames(system);
    const PointColumn MeasuredDataSet::*columns[] = {
        &MeasuredDataSet::normSat, &MeasuredDataSet::krAxis, &MeasuredDataSet::krOther};
    for (int i = 1; i <= set.pointCount; ++i)
        for (std::size_t c = 0; c < 3; ++c) {
            const double value = (set.*columns[c])[static_cast<std::size_t>(i)];
            const auto field = [&] {
                return "point " + std::to_string(i) + " " + std::string(names[c]);
            };
            if (auto wrong = unusable(value))
                return refused(field(), *wrong);
            if (std::abs(value) > farthestPointValue)
                return refused(field(), "is " + formatGeneral(value) +
                                            "; a measured value lies between -10 and 10");
        }
    return std::nullopt;
}

MeasuredDataSet inSaturationOrder(const MeasuredDataSet& set, PointColumn MeasuredDataSet::*by) {
    const int count = std::clamp<int>(set.pointCount, 0, maxPoints);
    std::vector<std::size_t> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), std::size_t{1});
    // NaN compares false both ways, which a sort must not meet: it goes last.
    const auto before = [&](std::size_t a, std::size_t b) {
        const double x = (set.*by)[a];
        const double y = (set.*by)[b];
        return !std::isnan(x) && (std::isnan(y) || x < y);
    };
    if (std::is_sorted(order.begin(), order.end(), before))
        return set;
    std::stable_sort(order.begin(), order.end(), before);
    MeasuredDataSet sorted = set;
    for (PointColumn MeasuredDataSet::*column :
         {&MeasuredDataSet::normSat, &MeasuredDataSet::krAxis, &MeasuredDataSet::krOther,
          &MeasuredDataSet::satAsInput, &MeasuredDataSet::satAdjusted,
          &MeasuredDataSet::krOtherAdjusted, &MeasuredDataSet::krAxisAdjusted})
        for (std::size_t i = 0; i < order.size(); ++i)
            (sorted.*column)[i + 1] = (set.*column)[order[i]];
    return sorted;
}

} // namespace relperm
