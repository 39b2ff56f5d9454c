// The import file: the data sets of one two-phase system as comma-separated text that a
// lab engineer can type or a spreadsheet can save, read by `relperm db import` to build a
// record file and written by `relperm db dump` from one.
//
// Each data set is a "set" row followed by one row per point, in the order the points are
// tabulated:
//
//   set,Water-Wet,North America,Sandstone,Steady State,8450,.215,125,125,.18,.3
//   0,0,.92
//   .25,.02,.55
//   ...
//
// The set row holds the header fields of the system in stored order (headerFields), the
// point rows the normalized saturation, kr of the axis phase and kr of the other phase.
// Codes may be given as numbers or as their texts ("N. America" or "North America", any
// case). An empty item is an empty value. A line whose first character (after blanks) is
// '#' is a comment. Values are checked: codes must be known (or 0), fractions (porosity and
// the end points) lie in 0 to 1, depth, k, kabs and the kr values are not negative, and a
// set holds 1 to 50 points (a set without points may only close the file, where it is the
// explicit end record: anywhere else it would end every scan and hide the sets after it).
//
// Import writes codes as 16-bit integers, every other number as a double rounded to 15
// significant digits (the digits the dump writes) and empty items as empty values, so a
// file that import wrote comes back byte for byte through dump and import.
#pragma once

#include "database/datafile.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace relperm {

// The comment lines that open a dump: the system and the column names.
std::string importFileComment(TwoPhaseSystem system);

struct DumpResult {
    std::string text;
    int records = 0;
    std::optional<DataFileProblem> problem; // records that could not be read
};

// Every record of the system's file in `dataDirectory`, a stored record without points
// included, up to the end of the file or the first damaged record.
DumpResult dumpDataFile(const std::filesystem::path& dataDirectory, TwoPhaseSystem system);

// Collects the data sets of import files, file by file, and encodes them as one record file.
class RecordImport {
  public:
    explicit RecordImport(TwoPhaseSystem system) : system_(system) {}

    // Reads the data sets of one file's text; `fileName` names the file in the message.
    // Returns the refusal ("water-oil.csv, line 12: ..."), or nothing.
    std::optional<std::string> add(std::string_view text, const std::string& fileName);

    // The bytes of the record file, or the refusal of a set without points that does not
    // close the last file.
    std::optional<std::string> bytes(std::string& out) const;

    int sets() const { return static_cast<int>(records_.size()); }

  private:
    struct Record {
        MeasuredDataSet values;
        std::string where; // file and line of the set row
    };
    TwoPhaseSystem system_;
    std::vector<Record> records_;
};

} // namespace relperm
