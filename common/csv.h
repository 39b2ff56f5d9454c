// The comma-separated text files of the suite (run files, export files, saved data sets,
// import files, and text for scripts): lines end with CR LF or LF (LineEnd), text fields
// stand between double quotes without escaping, integers are written plainly and other
// numbers in the general number form.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace relperm {

// Takes a text piece by piece, as it is made; false when it can take no more (a failed
// write), which ends the making.
using TextSink = std::function<bool(std::string_view piece)>;

// How the lines of a written CSV text end: CR LF in the files whose layout the windows
// define (run, export, saved data set and import files, which older readers take), LF in
// the text written for scripts, which cut and awk split at LF alone.
enum class LineEnd { CrLf, Lf };

// Builds the text of a comma-separated file, field by field and line by line.
class CsvWriter {
  public:
    explicit CsvWriter(LineEnd lineEnd = LineEnd::CrLf) : lineEnd_(lineEnd) {}

    // A text field between double quotes. The format has no escape for a double quote, so
    // one inside `value` is written as an apostrophe; callers that must not change a text
    // silently check for quotes first (see containsQuote).
    CsvWriter& text(std::string_view value);
    // A name as it stands, without quotes (a column heading other programs match by its
    // letters). A name that holds a comma, a quote or a line break is written as text.
    CsvWriter& name(std::string_view value);
    CsvWriter& integer(std::int64_t value);
    // A number in the general number form (.35, 1E-05, 20).
    CsvWriter& number(double value);
    // A field with nothing between its commas.
    CsvWriter& empty();
    // Ends the current line (CR LF unless the writer was made for LF).
    CsvWriter& endLine();

    const std::string& str() const { return out_; }
    // Hands the text so far to `sink` and starts afresh, once it holds `pieceBytes` or more
    // (whatever it holds, with 0), so that a file of any size leaves in pieces without being
    // held. Gives the sink's answer, or true when nothing was handed on.
    bool passOn(const TextSink& sink, std::size_t pieceBytes = 0);

  private:
    void separate();
    std::string out_;
    LineEnd lineEnd_;
    bool lineStart_ = true;
};

bool containsQuote(std::string_view value);

struct CsvField {
    std::string text;      // without the quotes of a quoted field
    bool quoted = false;   // the field began with a double quote
    bool endsLine = false; // a line end (or the end of the text) follows the field
    int line = 1;          // 1-based line on which the field starts
};

// Reads fields across line ends: blanks before a field are skipped, a quoted field runs
// to its closing quote (anything between that and the next comma or line end is dropped),
// an unquoted field runs to the next comma or line end and loses its trailing blanks.
// A comma at the end of a line leaves an empty field there; empty lines hold no fields.
class CsvReader {
  public:
    // The reader keeps a view of `text`, which must outlive it. `firstLine` is the line
    // number of the text's first line, for text that continues a longer one (see
    // CsvQuoteState).
    explicit CsvReader(std::string_view text, int firstLine = 1) : text_(text), line_(firstLine) {}
    explicit CsvReader(std::string&&, int = 1) = delete;

    // The next field, or nothing at the end of the text.
    std::optional<CsvField> next();
    // The line the reader stands on (1-based), for messages about a missing field.
    int line() const { return line_; }

  private:
    bool atLineEnd() const;
    void consumeLineEnd();
    // Consumes the delimiter after a field and records what it was.
    void finishField(CsvField& field);

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    bool afterComma_ = false;
};

// Follows text by CsvReader's rules just far enough to tell whether its end lies inside a
// quoted field, so that text too large to hold whole can be read in pieces. A piece that
// ends after a '\n' outside quotes leaves the reader where the whole text would: at the
// start of a line with no field open. A CsvReader over each such piece, started on the line
// where the previous one stopped (its line()), then gives exactly the fields of the whole.
// Counting quotes would not do: a quote inside an unquoted field (ab"c) or after a closing
// quote is kept or dropped as text and opens nothing.
class CsvQuoteState {
  public:
    // Follows `text`, which continues the text followed so far.
    void follow(std::string_view text);
    bool insideQuotes() const { return state_ == State::Quoted; }

  private:
    enum class State { FieldStart, Unquoted, Quoted, AfterQuote };
    State state_ = State::FieldStart;
};

} // namespace relperm
