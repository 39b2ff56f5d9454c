// Lines of comma-separated fields, for the database's two text formats (the saved data set
// and the import file), with the strict field readers both use: a file that a program
// writes must read back exactly, and a typing error in a file must be caught, not read as
// the number at the start of the field.
#pragma once

#include "common/csv.h"
#include "database/datafile.h"

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace relperm {

struct CsvRow {
    int line = 0; // 1-based line of the row's first field
    std::vector<CsvField> fields;
};

// The rows of `text`, read by CsvReader (empty lines hold no row).
std::vector<CsvRow> csvRows(std::string_view text);
// Reads the next row from `reader` into `row`, reusing its storage; false at the end.
bool nextCsvRow(CsvReader& reader, CsvRow& row);

// The whole unquoted field as a finite number in decimal or E notation (".35", "-2",
// "1E-05"); nothing for anything else.
std::optional<double> numberField(const CsvField& field);
// The whole unquoted field as an integer.
std::optional<long> integerField(const CsvField& field);
// The same for text whether or not it was quoted, as where a spreadsheet quotes numbers.
std::optional<double> numberText(std::string_view text);
std::optional<long> integerText(std::string_view text);

// Reads a whole file into `text`; returns a message naming the file when it cannot. Only
// a regular file is read: a window must not wait on a pipe.
std::optional<std::string> readTextFile(const std::filesystem::path& path, std::string& text);

// Opens a file for reading as readTextFile does, with the same messages; a pipe is read
// too, since `relperm db import <(...)` names one.
std::optional<std::string> openTextFile(const std::filesystem::path& path, std::ifstream& in);

// Text handed out in runs of whole lines, for readers of files too large to hold whole: a
// run ends after a '\n' (a CR LF stays together), or at the end of the text.
class LineRuns {
  public:
    // Reads `in` in blocks of `blockBytes` (at least 1).
    LineRuns(std::istream& in, std::size_t blockBytes);

    // Appends to `text` the shortest run of whole lines that holds at least `atLeast` bytes,
    // or the rest of the text when it holds fewer. False when the stream could not be read.
    bool appendLines(std::string& text, std::size_t atLeast);
    // True when every byte has been handed out.
    bool atEnd() const { return eof_ && pos_ == buffer_.size(); }
    // The bytes handed out so far.
    std::uintmax_t handedOut() const { return handedOut_; }

  private:
    std::istream& in_;
    std::size_t blockBytes_;
    std::string buffer_; // read but not yet handed out from pos_ on
    std::size_t pos_ = 0;
    bool eof_ = false;
    std::uintmax_t handedOut_ = 0;
};

// A header value as a field: nothing for an empty value, a quoted text for a string, the
// general number form otherwise.
void writeTaggedValue(CsvWriter& writer, const TaggedValue& value);

// A field in a message: quoted as every bad value is (at most 40 characters), or "an
// empty item".
std::string quoteForMessage(const CsvField& field);

} // namespace relperm
