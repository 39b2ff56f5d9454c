// Lines of comma-separated fields, for the database's two text formats (the saved data set
// and the import file), with the strict field readers both use: a file that a program
// writes must read back exactly, and a typing error in a file must be caught, not read as
// the number at the start of the field.
#pragma once

#include "common/csv.h"
#include "database/datafile.h"

#include <cstdint>
#include <filesystem>
#include <functional>
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
// run ends after a '\n', after a '\r' that no '\n' follows (a CR LF stays together), or at
// the end of the text.
//
// What no reader wants is dropped as it is read, so that it costs no more than a block:
// a byte-order mark at the start, and the text of each comment line (one whose first
// character after blanks is '#', wherever it stands, also inside a quoted field), which is
// handed out as one blank between its blanks and its line end, so that the lines after it
// keep their numbers. Any other line is refused when it grows past a limit, rather than
// held whole.
class LineRuns {
  public:
    // A comment line as it was dropped.
    struct Comment {
        int line = 0;          // 1-based
        std::string_view head; // its first commentHeadBytes bytes from the '#' on
        bool whole = true;     // head is the whole comment
    };
    static constexpr std::size_t commentHeadBytes = 256;

    enum class Outcome {
        Lines,      // appended, or the text is at its end
        Unreadable, // the stream could not be read
        LongLine,   // the line at line() is longer than lineBytes; nothing more is handed out
    };

    // Reads `in` in blocks of `blockBytes` (at least 3, so the first holds a byte-order mark);
    // hands each comment line to `onComment` once its text has been read.
    LineRuns(std::istream& in, std::size_t blockBytes, std::size_t lineBytes,
             std::function<void(const Comment&)> onComment = {});

    // Appends to `text` the shortest run of whole lines that holds at least `atLeast` bytes,
    // or the rest of the text when it holds fewer. A long line is not appended: the run
    // then ends before it.
    Outcome appendLines(std::string& text, std::size_t atLeast);
    // True when every byte has been handed out.
    bool atEnd() const { return eof_ && pos_ == end_; }
    // The bytes of the stream that the text handed out so far stood for, dropped ones
    // included: how far a reader has come through the file.
    std::uintmax_t bytesRead() const { return consumed_; }
    // The line (1-based) that the next byte handed out stands on.
    int line() const { return line_; }

  private:
    enum class State { LineStart, InLine, InComment };
    bool refill();
    std::size_t findLineEnd(std::size_t from) const;
    void endComment();

    std::istream& in_;
    std::vector<char> block_;
    std::size_t pos_ = 0; // the bytes of block_ from pos_ to end_ are not yet looked at
    std::size_t end_ = 0;
    bool started_ = false;
    bool eof_ = false;
    std::size_t lineBytes_;
    std::function<void(const Comment&)> onComment_;
    State state_ = State::LineStart;
    std::size_t lineLength_ = 0; // bytes of the current line handed out
    bool afterCr_ = false;       // the last byte looked at was a '\r'
    int line_ = 1;
    std::string head_; // of the comment being read
    bool headWhole_ = true;
    std::uintmax_t consumed_ = 0;
};

// A header value as a field: nothing for an empty value, a quoted text for a string, the
// general number form otherwise.
void writeTaggedValue(CsvWriter& writer, const TaggedValue& value);

// A field in a message: quoted as every bad value is (at most 40 characters), or "an
// empty item".
std::string quoteForMessage(const CsvField& field);

} // namespace relperm
