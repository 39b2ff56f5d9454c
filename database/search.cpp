#include "database/search.h"

#include <cmath>

namespace relperm {

namespace {

// Tolerances are typed in percent with a few decimals; a margin far below those decimals
// lets a deviation that equals the tolerance pass despite binary rounding.
constexpr double toleranceMargin = 1e-9;

bool criterionHolds(int criterion, const TaggedValue& code) {
    return criterion == 0 || code.equalsCode(criterion);
}

bool within(const std::optional<double>& user, const TaggedValue& stored, double tolerance) {
    if (!user)
        return true;
    const double deviation = 100 * std::fabs(*user - stored.value());
    return deviation <= tolerance + toleranceMargin;
}

} // namespace

double effectiveMethod(const TaggedValue& methodCode) {
    const double code = methodCode.value();
    return code > 2 && code < 5 ? 2.0 : code;
}

bool passesKeyTest(TwoPhaseSystem system, const SearchCriteria& criteria,
                   const MeasuredDataSet& record) {
    if (!criterionHolds(criteria.location, record.locationCode) ||
        !criterionHolds(criteria.lithology, record.lithologyCode))
        return false;
    if (criteria.method != 0 && effectiveMethod(record.methodCode) != criteria.method)
        return false;
    return system != TwoPhaseSystem::WaterOil ||
           criterionHolds(criteria.wettability, record.wettingCode);
}

bool passesToleranceTest(TwoPhaseSystem system, const UserEndPoints& user, double tolerance,
                         const MeasuredDataSet& record) {
    if (!within(user.swc, record.connateWater, tolerance))
        return false;
    switch (system) {
    case TwoPhaseSystem::WaterOil:
        return within(user.sor, record.residualOilToWater, tolerance);
    case TwoPhaseSystem::GasOil:
        return within(user.sor, record.residualOilToGas, tolerance) &&
               within(user.sgc, record.criticalGas, tolerance);
    case TwoPhaseSystem::GasWater:
    case TwoPhaseSystem::GasCondensate:
        break;
    }
    return within(user.sgc, record.criticalGas, tolerance);
}

std::optional<DataFileProblem> FindDataSet(const std::filesystem::path& dataDirectory,
                                           std::optional<TwoPhaseSystem> system,
                                           const SearchCriteria& lists,
                                           const ToleranceSearch& search, const UserEndPoints& user,
                                           ScanState& scan, MeasuredDataSet& set) {
    scan.noMoreData = 0;
    scan.criteria = lists;
    if (!system)
        return std::nullopt;
    scan.matchCount = 0;
    RecordFile file(dataDirectory, *system);
    if (file.AtEnd()) {
        scan.noMoreData = 1;
        return file.problem();
    }
    for (;;) {
        if (file.ReadRecord(set) != ReadOutcome::Stored || set.pointCount == 0)
            break;
        if (!passesKeyTest(*system, scan.criteria, set))
            continue;
        if (search.enabled && !passesToleranceTest(*system, user, search.tolerance, set))
            continue;
        ++scan.matchCount;
        if (scan.matchCount == scan.targetMatch)
            break;
    }
    return file.problem();
}

std::optional<TwoPhaseSystem> matchingSystem(TwoPhaseSystem system) {
    switch (system) {
    case TwoPhaseSystem::WaterOil:
        return TwoPhaseSystem::GasOil;
    case TwoPhaseSystem::GasOil:
        return TwoPhaseSystem::WaterOil;
    case TwoPhaseSystem::GasWater:
    case TwoPhaseSystem::GasCondensate:
        break;
    }
    return std::nullopt;
}

SampleMatch findSameSample(const std::filesystem::path& dataDirectory, TwoPhaseSystem other,
                           MeasuredDataSet& set, int& matchCount) {
    using Key = TaggedValue MeasuredDataSet::*;
    static constexpr Key keys[] = {
        &MeasuredDataSet::locationCode,     &MeasuredDataSet::lithologyCode,
        &MeasuredDataSet::methodCode,       &MeasuredDataSet::depthFtSs,
        &MeasuredDataSet::porosityFraction, &MeasuredDataSet::permeabilityMd,
        &MeasuredDataSet::connateWater};
    const MeasuredDataSet copy = set;
    const int copyCount = matchCount;

    SampleMatch result;
    matchCount = 0;
    RecordFile file(dataDirectory, other);
    while (!file.AtEnd()) {
        if (file.ReadRecord(set) != ReadOutcome::Stored)
            break;
        ++matchCount;
        bool same = true;
        for (Key key : keys)
            same = same && sameKey(set.*key, copy.*key);
        if (same) {
            result.found = true;
            break;
        }
    }
    result.problem = file.problem();
    if (!result.found) {
        set = copy;
        matchCount = copyCount;
    }
    return result;
}

std::string noMatchNotice(TwoPhaseSystem scanned) {
    return scanned == TwoPhaseSystem::WaterOil ? "NO Water-Oil MATCH FOUND"
                                               : "NO Gas-Oil MATCH FOUND";
}

} // namespace relperm
