#include "database/search.h"

#include "database/adjust.h"

#include <algorithm>
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

UserEndPoints comparedEndPoints(const UserEndPoints& user) {
    UserEndPoints compared = user;
    applySgcDefault(compared);
    return compared;
}

MatchRule::MatchRule(TwoPhaseSystem system, const SearchCriteria& lists,
                     const ToleranceSearch& search, const UserEndPoints& user)
    : system_(system), lists_(lists), searchPercent_(search.enabled),
      tolerance_(search.enabled ? search.tolerance : 0),
      user_(search.enabled ? relperm::comparedEndPoints(user) : UserEndPoints{}) {}

std::optional<DataFileProblem> FindDataSetFromStart(const std::filesystem::path& dataDirectory,
                                                    std::optional<TwoPhaseSystem> system,
                                                    const SearchCriteria& lists,
                                                    const ToleranceSearch& search,
                                                    const UserEndPoints& user, ScanState& scan,
                                                    MeasuredDataSet& set) {
    scan.noMoreData = 0;
    scan.criteria = lists;
    if (!system)
        return std::nullopt;
    scan.matchCount = 0;
    const MatchRule rule(*system, lists, search, user);
    RecordFile file(dataDirectory, *system);
    if (file.AtEnd()) {
        scan.noMoreData = 1;
        return file.problem();
    }
    for (;;) {
        if (file.ReadRecord(set) != ReadOutcome::Stored || set.pointCount == 0)
            break;
        if (!rule.matches(set))
            continue;
        ++scan.matchCount;
        if (scan.matchCount == scan.targetMatch)
            break;
    }
    return file.problem();
}

namespace {

// Whether `index` was built for this file and selection. The tolerance and the user's end
// points select nothing under "Search All", so they do not count then; the end points count
// as compared, so the Sgc default the first Show draws does not make the next one read the
// file again.
bool indexHolds(const MatchIndex& index, const std::filesystem::path& file, TwoPhaseSystem system,
                const SearchCriteria& lists, const ToleranceSearch& search, const MatchRule& rule) {
    return index.valid && index.path.native() == file.native() && index.system == system &&
           index.criteria == lists && index.searchPercent == search.enabled &&
           (!search.enabled ||
            (index.tolerance == search.tolerance && index.user == rule.comparedEndPoints()));
}

// Reads `file` to the record that ends the data, noting in the index where every match
// lies. The data set takes the records read up to the target match, which it then keeps;
// the records after it are read into a scratch set, so the next Show of any match reads
// just that record. Returns the problem as a scan that stopped at the target would have
// met it: damage after the target is kept for the Show that reaches it.
std::optional<DataFileProblem> indexFile(RecordFile& file, const MatchRule& rule, ScanState& scan,
                                         MeasuredDataSet& set) {
    MatchIndex& index = scan.index;
    MeasuredDataSet scratch;
    MeasuredDataSet* into = &set;
    std::optional<DataFileProblem> met;
    bool stopped = false;
    int matches = 0;
    for (;;) {
        const std::uint64_t at = file.offset();
        const int before = file.recordNumber();
        bool ends = file.readHeader(*into) != ReadOutcome::Stored || into->pointCount == 0;
        bool passes = false;
        if (!ends) {
            passes = rule.matches(*into);
            const bool shown = !stopped && passes && matches + 1 == scan.targetMatch;
            ends = file.finishRecord(*into, shown) != ReadOutcome::Stored;
        }
        if (ends) {
            index.endOffset = at;
            index.endRecords = before;
            if (!stopped) {
                scan.matchCount = matches;
                met = file.problem();
            }
            return met;
        }
        if (!passes)
            continue;
        ++matches;
        // Room for the matches the file holds at the size of its records so far: growing a
        // large index step by step costs more than the scan.
        if (matches == 64) {
            const std::uint64_t perRecord = std::max<std::uint64_t>(file.offset() / before, 1);
            const std::size_t expected = index.identity.size / perRecord + 64;
            index.matchOffsets.reserve(expected);
        }
        index.matchOffsets.push_back(at);
        if (!stopped && matches == scan.targetMatch) {
            stopped = true;
            scan.matchCount = matches;
            met = file.problem();
            into = &scratch;
        }
    }
}

// The scan answered from the index: the one record shown, or the record that ends
// the data. Nothing when the file at the path is no longer the one indexed (it is then
// scanned anew): one replaced, written or cut since has another identity.
std::optional<std::optional<DataFileProblem>> scanFromIndex(TwoPhaseSystem system, ScanState& scan,
                                                            MeasuredDataSet& set) {
    const MatchIndex& index = scan.index;
    if (currentIdentity(index.path) != index.identity)
        return std::nullopt;
    const std::size_t known = index.matchOffsets.size();
    const auto target = static_cast<std::size_t>(std::max(scan.targetMatch, 0));
    const bool match = target >= 1 && target <= known;
    // A match read again is a stored record of the unchanged file; should reading it fail
    // all the same (a disk error), the scan from the start says which record it was.
    RecordFile file(index.file, index.path, system,
                    match ? index.matchOffsets[target - 1] : index.endOffset,
                    match ? 0 : index.endRecords);
    const ReadOutcome outcome = file.ReadRecord(set);
    if (match && outcome != ReadOutcome::Stored)
        return std::nullopt;
    scan.matchCount = static_cast<int>(match ? target : known);
    return file.problem();
}

} // namespace

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
    MatchIndex& index = scan.index;
    const std::filesystem::path path = dataDirectory / dataFileName(*system);
    const MatchRule rule(*system, lists, search, user);
    if (indexHolds(index, path, *system, lists, search, rule))
        if (auto answered = scanFromIndex(*system, scan, set))
            return *answered;

    index = MatchIndex{};
    scan.matchCount = 0;
    RecordFile file(dataDirectory, *system);
    if (file.AtEnd()) {
        scan.noMoreData = 1;
        return file.problem();
    }
    if (file.file()) {
        index.valid = true;
        index.path = path;
        index.file = file.file();
        index.identity = file.file()->identity();
        index.system = *system;
        index.criteria = lists;
        index.searchPercent = search.enabled;
        if (search.enabled) {
            index.tolerance = search.tolerance;
            index.user = rule.comparedEndPoints();
        }
    }
    return indexFile(file, rule, scan, set);
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
