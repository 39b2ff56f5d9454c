// The scans over the record files: counting and stepping through the data sets that match
// the selection lists (FindDataSet), and finding the data set of the other system measured
// on the same sample (findSameSample, the search behind "Matching Gas-Oil Data").
//
// Stepping carries on: a scan reads the file to its end once and keeps where every match
// and the record that ends the data lie, so each later Show reads just the one record it
// shows instead of re-reading the file from its first record, and a count after a count of
// the same selection reads only the record that ends the data. What it keeps holds only
// while the file keeps its identity (device, inode, size, modification time) and the
// selection is the same; otherwise the scan starts from the first record again. The results
// are those of a scan that re-reads the file every time (FindDataSetFromStart).
#pragma once

#include "database/datafile.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace relperm {

// List indices of the four criteria lists; 0 ("All ...") selects every code, -1 means
// nothing is picked.
struct SearchCriteria {
    int wettability = 0; // wettpk
    int lithology = 0;   // rockpk
    int method = 0;      // methpk
    int location = 0;    // locpk
    friend bool operator==(const SearchCriteria&, const SearchCriteria&) = default;
};

// The user's end points as fractions: empty while the box was never typed in or after it
// was cleared, the text's value / 100 otherwise (a text without a number gives 0).
struct UserEndPoints {
    std::optional<double> swc = std::nullopt; // Swc (Slc)
    std::optional<double> sor = std::nullopt; // Sorw or Sorg
    std::optional<double> sgc = std::nullopt;
    friend bool operator==(const UserEndPoints&, const UserEndPoints&) = default;
};

// "Search %": a record must also lie within `tolerance` percentage points of each end point
// the user gave.
struct ToleranceSearch {
    bool enabled = false; // Option2 "Search %" rather than Option1 "Search All"
    double tolerance = 5; // stol, in percentage points
};

// What the scans of one selection found in one state of a file.
struct MatchIndex {
    bool valid = false;
    std::filesystem::path path;
    std::shared_ptr<const OpenDataFile> file; // kept open, so a Show needs no open
    FileIdentity identity;
    TwoPhaseSystem system = TwoPhaseSystem::WaterOil;
    SearchCriteria criteria;
    bool searchPercent = false;
    double tolerance = 0;                    // with searchPercent only
    UserEndPoints user;                      // as the search compares them, with searchPercent only
    std::vector<std::uint64_t> matchOffsets; // the record of match k at [k - 1]
    std::uint64_t endOffset = 0; // the record that ends the data: stored without points,
    int endRecords = 0;          // the end of the file, or a damaged one
};

struct ScanState {
    int targetMatch = 0;     // the match at which the next scan stops; 0 counts them all
    int matchCount = 0;      // matches passed by the last scan (the match number when it stopped)
    int noMoreData = 0;      // 1 when the last scan found no record at all
    SearchCriteria criteria; // critWettability, ... captured at the start of each scan
    MatchIndex index;        // where the scans of the current selection went
};

// A method code of 3 (capillary pressure) or 4 (centrifuge) is searched as 2 (unsteady).
double effectiveMethod(const TaggedValue& methodCode);

// The list criteria: each 0 or equal to the record's code; wettability for water-oil only.
bool passesKeyTest(TwoPhaseSystem system, const SearchCriteria& criteria,
                   const MeasuredDataSet& record);

// Each end point the user gave lies within the tolerance of the record's. A deviation equal
// to the tolerance in the decimals the user typed passes, although in binary 100 x
// |0.15 - 0.20| is a little above 5.
bool passesToleranceTest(TwoPhaseSystem system, const UserEndPoints& user, double tolerance,
                         const MeasuredDataSet& record);

// Which records a selection matches: the one rule behind Count, every Show, the list of
// matching sets and the sets fitted from it, so the count is the number of sets Show steps
// through. Under "Search %" the end points compared are the user's as the display leaves
// them. Drawing a data set puts the Sgc default in place (Sgc 0 when Swc and Sor are both 0
// or never given, which for gas-water and gas-condensate data, whose records hold no Sor,
// means whenever Swc is not given), and every Show draws; were the default left to the
// first drawing, a count made before it would compare no Sgc and count sets that the Shows
// after it, comparing Sgc 0, never reach.
class MatchRule {
  public:
    MatchRule(TwoPhaseSystem system, const SearchCriteria& lists, const ToleranceSearch& search,
              const UserEndPoints& user);

    bool matches(const MeasuredDataSet& record) const {
        return passesKeyTest(system_, lists_, record) &&
               (!searchPercent_ || passesToleranceTest(system_, user_, tolerance_, record));
    }

    // The end points the tolerance test compares, with the Sgc default in place.
    const UserEndPoints& comparedEndPoints() const { return user_; }

  private:
    TwoPhaseSystem system_;
    SearchCriteria lists_;
    bool searchPercent_;
    double tolerance_;
    UserEndPoints user_;
};

// The user's end points as a search compares them: with the Sgc default in place.
UserEndPoints comparedEndPoints(const UserEndPoints& user);

// FindDataSet: captures `lists` as the criteria and scans the file of `system`, counting
// matches, until the match numbered `scan.targetMatch`, a record with point count 0, or the
// end. The data set holds the record at which it stopped. With no system chosen it only
// resets `noMoreData` and captures the criteria. Returns why records were lost, when the
// file could not be read or a record was damaged.
std::optional<DataFileProblem> FindDataSet(const std::filesystem::path& dataDirectory,
                                           std::optional<TwoPhaseSystem> system,
                                           const SearchCriteria& lists,
                                           const ToleranceSearch& search, const UserEndPoints& user,
                                           ScanState& scan, MeasuredDataSet& set);

// The same scan read from the first record every time, keeping nothing: what FindDataSet's
// results are checked against.
std::optional<DataFileProblem> FindDataSetFromStart(const std::filesystem::path& dataDirectory,
                                                    std::optional<TwoPhaseSystem> system,
                                                    const SearchCriteria& lists,
                                                    const ToleranceSearch& search,
                                                    const UserEndPoints& user, ScanState& scan,
                                                    MeasuredDataSet& set);

// The system whose file holds the data set measured on the same sample: gas-oil for
// water-oil and water-oil for gas-oil; none for the other two.
std::optional<TwoPhaseSystem> matchingSystem(TwoPhaseSystem system);

struct SampleMatch {
    bool found = false;
    std::optional<DataFileProblem> problem;
};

// Scans the file of `other` from its start for the first record whose seven sample keys
// (location, lithology, method, depth, porosity, k, Swc) equal those of `set` exactly. On
// success `set` holds that record and `matchCount` its number in the file; otherwise both
// are as they were. The end of the file is not a record and never matches.
SampleMatch findSameSample(const std::filesystem::path& dataDirectory, TwoPhaseSystem other,
                           MeasuredDataSet& set, int& matchCount);

// The red notice of a failed search of `scanned`'s file: "NO Water-Oil MATCH FOUND" or
// "NO Gas-Oil MATCH FOUND".
std::string noMatchNotice(TwoPhaseSystem scanned);

} // namespace relperm
