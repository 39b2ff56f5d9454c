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
// case). An empty item is an empty value; an item in quotes stays on its line. A line
// whose first character (after blanks) is '#' is a comment, except that one saying the file
// holds another system (as the comments that open a dump do) refuses the file. Values are
// checked: codes must be known (or 0), fractions (porosity and the end points) lie in 0 to
// 1, depth, k, kabs and the kr values are not negative, and a set holds 1 to 50 points (a
// set without points may only close the file, where it is the explicit end record:
// anywhere else it would end every scan and hide the sets after it).
//
// Import writes codes as 16-bit integers, every other number as a double rounded to 15
// significant digits (the digits the dump writes) and empty items as empty values, so a
// file that import wrote comes back byte for byte through dump and import.
#pragma once

#include "database/csvrows.h"
#include "database/datafile.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
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

// One data set as import text: the set row and its point rows.
void writeImportSet(CsvWriter& writer, TwoPhaseSystem system, const MeasuredDataSet& set);

// Every record of the system's file in `dataDirectory`, a stored record without points
// included, up to the end of the file or the first damaged record.
DumpResult dumpDataFile(const std::filesystem::path& dataDirectory, TwoPhaseSystem system);

// The same text handed to `sink` in pieces of about `pieceBytes` as the records are read, so
// a dump holds one piece however large the file; the result's text stays empty. A piece
// the sink refuses ends the dump.
DumpResult dumpDataFile(const std::filesystem::path& dataDirectory, TwoPhaseSystem system,
                        const TextSink& sink, std::size_t pieceBytes = std::size_t{1} << 16);

// Why an import stopped.
struct ImportFailure {
    enum class Kind {
        Refused,    // a row or a set that the format does not allow
        Unreadable, // an import file could not be read
        Unwritable, // the sink could not take the record bytes
    };
    Kind kind;
    std::string message;
};

// How far an import has come, for a progress display.
struct ImportProgress {
    std::string_view fileName;    // valid during the report only
    std::uintmax_t bytesRead = 0; // of this file
    std::uintmax_t fileBytes = 0; // the size of this file, 0 when not known
    int sets = 0;                 // set rows of every file so far
};

// Takes the bytes of the record file in order, as the import produces them; returns a
// message when they could not be written.
using RecordSink = std::function<std::optional<std::string>(std::string_view bytes)>;

struct ImportSettings {
    // The text read and checked at a time: each piece is a run of whole lines of about this
    // size, so the memory an import needs does not grow with its files.
    std::size_t pieceBytes = std::size_t{1} << 20;
    // A line longer than this (comment lines aside, which cost nothing however long) is
    // refused rather than held: a set row needs a few hundred bytes, so such a line is
    // damage or another kind of file, and holding it would make the memory grow with it.
    std::size_t lineBytes = std::size_t{1} << 20;
    // Called after each piece.
    std::function<void(const ImportProgress&)> progress;
};

// Reads the data sets of import files, file by file and piece by piece, and hands each
// record to the sink as soon as the set is complete (at the next set row, or at finish).
// Each piece holds whole lines, and a row is read from one piece (one whose quoted item
// runs over a line end is refused), so the rows, the line numbers, the bytes and the
// refusal are those of reading every file whole.
//
// A refused import must not be used: the caller abandons what the sink took. Row refusals
// and unreadable files are reported at once; a set without points that does not close the
// last file, and a failed write, only by finish. Until then the import keeps checking rows
// (without writing) so that a bad row is reported before a failed write, as when the
// record file was written only after every row had been read.
class RecordImport {
  public:
    RecordImport(TwoPhaseSystem system, RecordSink sink, ImportSettings settings = {});

    // Reads one file's text from `in`; `fileName` names the file in messages ("water-oil.csv,
    // line 12: ...") and progress, `fileBytes` is its size for progress.
    std::optional<ImportFailure> add(std::istream& in, const std::string& fileName,
                                     std::uintmax_t fileBytes = 0);
    // The same for a file's whole text.
    std::optional<ImportFailure> add(std::string_view text, const std::string& fileName);
    // Opens the file at `path` and reads it; messages name it as `path` is written.
    std::optional<ImportFailure> addFile(const std::filesystem::path& path);

    // Hands the last set to the sink. Reports a set without points that does not close the
    // last file, then a write that failed, or nothing.
    std::optional<ImportFailure> finish();

    int sets() const { return sets_; }

  private:
    // The refusal of the row, or nothing.
    std::optional<std::string> readRow(const CsvRow& row);
    // Encodes the set being read, now complete; only the set that closes the import may
    // hold no points.
    void completeSet(bool closesImport);
    void flush();

    TwoPhaseSystem system_;
    RecordSink sink_;
    ImportSettings settings_;

    std::string fileName_;
    bool fileHasSet_ = false; // every file starts with a set row
    CsvRow row_;              // storage reused from row to row

    bool setOpen_ = false; // set_ waits for more points or the next set row
    MeasuredDataSet set_;
    std::string setFile_; // where the set row of set_ stands
    int setLine_ = 0;
    std::array<TaggedValue, 12> header_; // a set row's values while they are checked
    int sets_ = 0;

    std::string pending_; // encoded records not yet handed to the sink
    std::optional<std::string> hidingSet_;
    std::optional<std::string> writeFailure_;
};

} // namespace relperm
