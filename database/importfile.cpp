#include "database/importfile.h"

#include "common/csv.h"
#include "common/numbers.h"
#include "common/quotedtext.h"
#include "database/csvrows.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <istream>
#include <streambuf>
#include <utility>

namespace relperm {

namespace {

bool isCode(FieldKind kind) {
    return kind == FieldKind::Wettability || kind == FieldKind::Location ||
           kind == FieldKind::Lithology || kind == FieldKind::Method;
}

bool isSetMarker(const CsvField& field) {
    const std::string& t = field.text;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
    return t.size() == 3 && lower(t[0]) == 's' && lower(t[1]) == 'e' && lower(t[2]) == 't';
}

// A number as the dump will write it, so that dump and import agree to the last bit.
double toFifteenDigits(double value) {
    CsvField field{formatGeneral(value), false, true, 0};
    return numberField(field).value_or(value);
}

// A view of text as a stream, so whole text goes through the same reading as a file.
class ViewBuffer : public std::streambuf {
  public:
    explicit ViewBuffer(std::string_view text) {
        char* begin = const_cast<char*>(text.data()); // only ever read
        setg(begin, begin, begin + text.size());
    }
};

void writeCode(CsvWriter& w, FieldKind kind, const TaggedValue& value) {
    const std::string text = codeListText(kind, value);
    if (!text.empty())
        w.text(text);
    else if (value.isText())
        w.text(value.text);
    else if (value.isEmpty())
        w.empty();
    else
        w.number(value.number);
}

std::string describeRange(FieldKind kind) {
    switch (kind) {
    case FieldKind::Fraction:
        return "a fraction from 0 to 1";
    case FieldKind::Depth:
    case FieldKind::Permeability:
        return "a number of 0 or more";
    default:
        return "0, a code from 1 to " + std::to_string(highestCode(kind)) + " or its text";
    }
}

// The value of one header item, or nothing when the item is not acceptable.
std::optional<TaggedValue> headerValue(FieldKind kind, const CsvField& field) {
    if (field.text.empty() && !field.quoted)
        return TaggedValue{};
    if (isCode(kind)) {
        if (auto code = codeFromText(kind, field.text))
            return TaggedValue::of(*code, ValueTag::Int16);
        auto number = integerText(field.text);
        if (number && *number >= 0 && *number <= highestCode(kind))
            return TaggedValue::of(static_cast<double>(*number), ValueTag::Int16);
        return std::nullopt;
    }
    auto number = numberText(field.text);
    if (!number || *number < 0 || (kind == FieldKind::Fraction && *number > 1))
        return std::nullopt;
    return TaggedValue::of(toFifteenDigits(*number));
}

// The column names of a set row: "set,location,lithology,...".
std::string setColumnNames(TwoPhaseSystem system) {
    std::string names = "set";
    for (const HeaderField& field : headerFields(system))
        names += "," + std::string(field.name);
    return names;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

// The system a comment line says the file holds, as the files the suite writes open: the
// system's list text and a colon ("# Gas-Oil Data: a \"set\" row per data set, ..."), the
// list text alone (a title, as in the README's example), or the column names of its set
// rows; in any case, since people retype them. Gas-oil and water-oil set rows hold as many
// values, so without this a file of one would import as the other whenever its codes are
// numbers and its depth is small enough to pass as a method code.
std::optional<TwoPhaseSystem> declaredSystem(const LineRuns::Comment& comment) {
    static const std::array<std::string, allSystems.size()> columnNames = [] {
        std::array<std::string, allSystems.size()> names;
        for (std::size_t i = 0; i < allSystems.size(); ++i)
            names[i] = setColumnNames(allSystems[i]);
        return names;
    }();
    std::string_view text = comment.head.substr(1);
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    std::string_view trimmed = text;
    while (!trimmed.empty() && blank(trimmed.back()))
        trimmed.remove_suffix(1);
    for (std::size_t i = 0; i < allSystems.size(); ++i) {
        const std::string_view name = systemListText(allSystems[i]);
        if (text.size() > name.size() && text[name.size()] == ':' &&
            equalIgnoringCase(text.substr(0, name.size()), name))
            return allSystems[i];
        if (comment.whole &&
            (equalIgnoringCase(trimmed, name) || equalIgnoringCase(trimmed, columnNames[i])))
            return allSystems[i];
    }
    return std::nullopt;
}

} // namespace

std::string importFileComment(TwoPhaseSystem system) {
    const std::string names = setColumnNames(system);
    const auto points = pointColumnNames(system);
    return "# " + std::string(systemListText(system)) +
           ": a \"set\" row per data set, then one row per point.\r\n# " + names + "\r\n# " +
           std::string(points[0]) + "," + std::string(points[1]) + "," + std::string(points[2]) +
           "\r\n";
}

void writeImportSet(CsvWriter& w, TwoPhaseSystem system, const MeasuredDataSet& set) {
    w.text("set");
    for (const HeaderField& field : headerFields(system)) {
        if (isCode(field.kind))
            writeCode(w, field.kind, set.*field.member);
        else
            writeTaggedValue(w, set.*field.member);
    }
    w.endLine();
    for (int i = 1; i <= set.pointCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        w.number(set.normSat[at]).number(set.krAxis[at]).number(set.krOther[at]).endLine();
    }
}

DumpResult dumpDataFile(const std::filesystem::path& dataDirectory, TwoPhaseSystem system) {
    std::string text;
    DumpResult result = dumpDataFile(dataDirectory, system, [&](std::string_view piece) {
        text += piece;
        return true;
    });
    result.text = std::move(text);
    return result;
}

DumpResult dumpDataFile(const std::filesystem::path& dataDirectory, TwoPhaseSystem system,
                        const TextSink& sink, std::size_t pieceBytes) {
    DumpResult result;
    RecordFile file(dataDirectory, system);
    if (!sink(importFileComment(system)))
        return result;
    CsvWriter w;
    MeasuredDataSet set;
    while (!file.AtEnd() && file.ReadRecord(set) == ReadOutcome::Stored) {
        ++result.records;
        writeImportSet(w, system, set);
        if (!w.passOn(sink, pieceBytes))
            return result;
    }
    result.problem = file.problem();
    w.passOn(sink);
    return result;
}

RecordImport::RecordImport(TwoPhaseSystem system, RecordSink sink, ImportSettings settings)
    : system_(system), sink_(std::move(sink)), settings_(std::move(settings)) {}

std::optional<ImportFailure> RecordImport::addFile(const std::filesystem::path& path) {
    std::ifstream in;
    if (auto failure = openTextFile(path, in))
        return ImportFailure{ImportFailure::Kind::Unreadable, *failure};
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    return add(in, path.string(), ec ? 0 : size);
}

std::optional<ImportFailure> RecordImport::add(std::string_view text, const std::string& fileName) {
    ViewBuffer buffer(text);
    std::istream in(&buffer);
    return add(in, fileName, text.size());
}

std::optional<ImportFailure> RecordImport::add(std::istream& in, const std::string& fileName,
                                               std::uintmax_t fileBytes) {
    fileName_ = fileName;
    fileHasSet_ = false;
    std::optional<std::pair<int, TwoPhaseSystem>> declared; // the first line that says so
    const auto noteComment = [&](const LineRuns::Comment& comment) {
        if (declared)
            return;
        if (auto system = declaredSystem(comment); system && *system != system_)
            declared.emplace(comment.line, *system);
    };
    const auto refused = [&](int line, const std::string& what) {
        return ImportFailure{ImportFailure::Kind::Refused,
                             fileName_ + ", line " + std::to_string(line) + ": " + what + "."};
    };
    const auto otherSystem = [&] {
        const std::string other(systemListText(declared->second));
        return refused(declared->first, "the file says it holds " + other +
                                            ", but the import is of " +
                                            std::string(systemListText(system_)) +
                                            "; import it with --system \"" + other + "\"");
    };
    // Pieces far larger than a read are fine; reads that large would only waste memory.
    LineRuns lines(in, std::min<std::size_t>(settings_.pieceBytes, 1 << 20), settings_.lineBytes,
                   noteComment);
    std::string piece;
    int line = 1;
    while (!lines.atEnd()) {
        piece.clear();
        const LineRuns::Outcome outcome = lines.appendLines(piece, settings_.pieceBytes);
        if (outcome == LineRuns::Outcome::Unreadable)
            return ImportFailure{ImportFailure::Kind::Unreadable,
                                 "Could not read " + quotedName(fileName) + "."};
        // A piece may end inside a quoted item (at a long line, or where the piece was cut);
        // readRow refuses the row holding it, as it refuses every item over a line end, so
        // no row is read in two parts. The refusal that comes first in the file is the one
        // reported, whatever the size of the pieces.
        CsvReader reader(piece, line);
        while (nextCsvRow(reader, row_)) {
            if (declared && row_.line > declared->first)
                return otherSystem();
            if (auto refusal = readRow(row_))
                return ImportFailure{ImportFailure::Kind::Refused, std::move(*refusal)};
        }
        if (declared)
            return otherSystem();
        if (outcome == LineRuns::Outcome::LongLine)
            return refused(lines.line(), "the line is longer than " +
                                             std::to_string(settings_.lineBytes) +
                                             " bytes; no set or point row is that long");
        line = reader.line();
        flush();
        if (settings_.progress)
            settings_.progress(ImportProgress{fileName_, lines.bytesRead(), fileBytes, sets_});
    }
    return std::nullopt;
}

std::optional<std::string> RecordImport::readRow(const CsvRow& row) {
    const auto at = [&](const std::string& what) {
        return fileName_ + ", line " + std::to_string(row.line) + ": " + what + ".";
    };
    // No value holds a line end, so an item in quotes that runs over one has lost its
    // closing quote; reading on would take the rest of the file into it.
    for (const CsvField& item : row.fields)
        if (item.quoted && item.text.find_first_of("\r\n") != std::string::npos)
            return fileName_ + ", line " + std::to_string(item.line) +
                   ": an item in quotes runs over the end of its line, which no value does; is "
                   "its closing quote missing?";
    const std::span<const HeaderField> fields = headerFields(system_);
    if (isSetMarker(row.fields[0])) {
        if (row.fields.size() != fields.size() + 1)
            return at("a set row of " + std::string(systemListText(system_)) +
                      " holds \"set\" and " + std::to_string(fields.size()) + " values, found " +
                      std::to_string(row.fields.size() - 1));
        for (std::size_t k = 0; k < fields.size(); ++k) {
            const CsvField& item = row.fields[k + 1];
            auto value = headerValue(fields[k].kind, item);
            if (!value)
                return at(std::string(fields[k].name) + " must be " +
                          describeRange(fields[k].kind) + ", not " + quoteForMessage(item));
            header_[k] = std::move(*value);
        }
        completeSet(false);
        set_ = MeasuredDataSet{};
        for (std::size_t k = 0; k < fields.size(); ++k)
            set_.*fields[k].member = std::move(header_[k]);
        setFile_ = fileName_;
        setLine_ = row.line;
        setOpen_ = true;
        fileHasSet_ = true;
        ++sets_;
        return std::nullopt;
    }
    if (!fileHasSet_)
        return at("the first row must be a set row, starting with \"set\"");
    const auto pointNames = pointColumnNames(system_);
    if (row.fields.size() != 3)
        return at("a point row holds 3 values (" + std::string(pointNames[0]) + ", " +
                  std::string(pointNames[1]) + ", " + std::string(pointNames[2]) + "), found " +
                  std::to_string(row.fields.size()));
    if (set_.pointCount == maxPoints)
        return at("a set holds at most " + std::to_string(maxPoints) + " points");
    double v[3];
    for (std::size_t c = 0; c < 3; ++c) {
        auto number = numberText(row.fields[c].text);
        if (!number || (c > 0 && *number < 0))
            return at(std::string(pointNames[c]) + " must be " +
                      (c > 0 ? "a number of 0 or more" : "a number") + ", not " +
                      quoteForMessage(row.fields[c]));
        v[c] = toFifteenDigits(*number);
    }
    const auto i = static_cast<std::size_t>(++set_.pointCount);
    set_.normSat[i] = v[0];
    set_.krAxis[i] = v[1];
    set_.krOther[i] = v[2];
    return std::nullopt;
}

void RecordImport::completeSet(bool closesImport) {
    if (!setOpen_)
        return;
    setOpen_ = false;
    if (set_.pointCount == 0 && !closesImport && !hidingSet_)
        hidingSet_ = setFile_ + ", line " + std::to_string(setLine_) +
                     ": a set without points ends every scan, so the sets after it could never "
                     "be found; give its points, or move it to the end as the end record.";
    // Once the import is sure to fail, nothing more is worth writing.
    if (!hidingSet_ && !writeFailure_)
        pending_ += encodeRecord(system_, set_);
}

void RecordImport::flush() {
    if (!pending_.empty() && !writeFailure_)
        writeFailure_ = sink_(pending_);
    pending_.clear();
}

std::optional<ImportFailure> RecordImport::finish() {
    completeSet(true);
    flush();
    if (hidingSet_)
        return ImportFailure{ImportFailure::Kind::Refused, *hidingSet_};
    if (writeFailure_)
        return ImportFailure{ImportFailure::Kind::Unwritable, *writeFailure_};
    return std::nullopt;
}

} // namespace relperm
