// The list of every data set that matches a selection, one row per set in the order Show
// steps through them, for the browser's list window and `relperm db list`.
//
// A row holds what the description shows of the set: the codes as its texts (wettability
// with the strongly water-wet rule), and the header values unrounded, so a window formats
// them for reading while the comma-separated text keeps every digit. The list is built by
// one read of the file that follows the scan of Count: a record with point count 0 ends
// the data, a damaged record ends it too and is reported.
#pragma once

#include "common/csv.h"
#include "common/progress.h"
#include "database/datafile.h"
#include "database/matchtable.h"
#include "database/search.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace relperm {

// What a list is of: the system, the four list indices, the search option and tolerance,
// and the end points the search compares (with the Sgc default as the display applies it).
struct MatchSelection {
    TwoPhaseSystem system = TwoPhaseSystem::WaterOil;
    SearchCriteria lists;
    bool searchPercent = false;
    double tolerance = 5;
    UserEndPoints user;
    friend bool operator==(const MatchSelection&, const MatchSelection&) = default;
};

struct MatchList {
    MatchSelection selection;
    MatchTable rows;
    // Records lost: the file could not be read, or a damaged record ended the data.
    std::optional<DataFileProblem> problem;
};

// Lists every set of `system`'s file in `dataDirectory` that the scan of Count would
// count for the lists, the search option and the end points.
MatchList listMatches(const std::filesystem::path& dataDirectory, TwoPhaseSystem system,
                      const SearchCriteria& lists, const ToleranceSearch& search,
                      const UserEndPoints& user);

// Calls `visit` with every set the same read would list, its points read, and its match
// number; returns the records lost, as the list does. `control` is told the fraction of
// the file read, and 1 at the end of the data; when it asks to stop, the read ends before
// the next record, as at the end of the data, and the caller, asking it again, knows why.
std::optional<DataFileProblem>
forEachMatch(const std::filesystem::path& dataDirectory, TwoPhaseSystem system,
             const SearchCriteria& lists, const ToleranceSearch& search, const UserEndPoints& user,
             const std::function<void(int match, const MeasuredDataSet& set)>& visit,
             const WorkControl& control = {});

// The row the list holds for `set`, passed by a read as match number `match` with its points
// read (a water-oil set's shown wettability depends on its last point).
MatchRow matchRowOf(TwoPhaseSystem system, int match, const MeasuredDataSet& set);

// The column's name in the comma-separated text: the import file's name where it has one
// ("depth ft ss", "k md", "Slc", "Sorg"), "match" and "points" otherwise.
std::string matchColumnName(TwoPhaseSystem system, MatchColumn column);

// The rows as comma-separated text (CR LF, as the dump writes): a line of column names,
// then one line per row. Texts are quoted, values in the general number form, an empty
// value an empty field.
std::string matchListCsv(const MatchList& list);

// The same text of the list listMatches would make, handed to `sink` in pieces of about
// `pieceBytes` as the file is read, so that it is never held whole (`relperm db list`);
// returns the records lost, as the list does. A piece the sink refuses ends the read. The
// lines end as `lineEnd` says: LF for the scripts that read `relperm db list`.
std::optional<DataFileProblem> writeMatchList(const std::filesystem::path& dataDirectory,
                                              TwoPhaseSystem system, const SearchCriteria& lists,
                                              const ToleranceSearch& search,
                                              const UserEndPoints& user, const TextSink& sink,
                                              std::size_t pieceBytes = std::size_t{1} << 16,
                                              LineEnd lineEnd = LineEnd::CrLf);

// --- for reading in a window ---------------------------------------------------------------

// The search option in words: "Search All", or "Search % within 5 of Swc 20%, Sorw 30%"
// with each end point the search compares for the system.
std::string searchDescription(const MatchSelection& selection);

// The column heading with its unit: "Depth ft ss", "Porosity %", "k md", "Swc %", ...
std::string matchColumnHeading(TwoPhaseSystem system, MatchColumn column);

// A cell for reading: codes as the row holds them, values as matchValueText gives them; an
// empty value gives an empty cell.
std::string matchCellText(const MatchRow& row, MatchColumn column);

} // namespace relperm
