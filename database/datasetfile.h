// The data-set text file that Save writes and Open reads: one data set with its title, the
// search criteria of the last scan and its stored (normalized) points, never the adjusted
// table. Lines end with CR LF:
//
//   1. the two-phase list index at save time (-1 to 3) and the title;
//   2. by that index, the point count, the criteria (list indices) and the header values
//      (none for index -1; see lineTwoItems);
//   3. one line per point: normalized saturation, kr of the axis phase, kr of the other.
//
// Reading is all or nothing: a file that does not follow the layout is refused with its
// name and line, and the caller's data set stays as it was.
#pragma once

#include "database/datafile.h"
#include "database/search.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace relperm {

struct SavedDataSet {
    int systemIndex = -1; // the wetpk index: -1 (none chosen) to 3
    std::string title;
    SearchCriteria criteria; // only the criteria line 2 carries are meaningful
    MeasuredDataSet values;  // line 2's header fields and the points
};

// Item k of line 2 for a system index: the point count, a criterion, or a header field.
struct LineTwoItem {
    enum class Kind { PointCount, Wettability, Location, Lithology, Method, Header } kind;
    TaggedValue MeasuredDataSet::*member = nullptr; // for Header
    std::string_view name;
};
std::vector<LineTwoItem> lineTwoItems(int systemIndex);

std::string dataSetFileText(const SavedDataSet& saved);

// Parses a file's text; `fileName` names the file in the message. Returns the refusal
// message, or nothing with `out` filled.
std::optional<std::string> parseDataSetFile(std::string_view text, const std::string& fileName,
                                            SavedDataSet& out);

// Writes the file atomically; returns the failure, or nothing.
std::optional<std::string> saveDataSetFile(const std::filesystem::path& path,
                                           const SavedDataSet& saved);
// Open reads no more of a file than this: a saved data set is a title, one line of values
// and at most 50 points, so a file chosen by mistake is refused at once, whatever its size.
inline constexpr std::size_t dataSetFileReadLimit = std::size_t{1} << 20;

// Reads and parses the file; returns the failure or refusal, or nothing with `out` filled.
// A file that goes on past dataSetFileReadLimit is refused unread.
std::optional<std::string> openDataSetFile(const std::filesystem::path& path, SavedDataSet& out);

// Copies what a file of `saved.systemIndex` carries into `set`: line 2's header fields, the
// point count and the points. The other fields of `set` keep their values.
void applySavedValues(const SavedDataSet& saved, MeasuredDataSet& set);

} // namespace relperm
