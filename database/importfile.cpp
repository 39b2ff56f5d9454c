#include "database/importfile.h"

#include "common/csv.h"
#include "common/numbers.h"
#include "database/csvrows.h"

#include <cmath>

namespace relperm {

namespace {

bool isCode(FieldKind kind) {
    return kind == FieldKind::Wettability || kind == FieldKind::Location ||
           kind == FieldKind::Lithology || kind == FieldKind::Method;
}

bool isSetMarker(const CsvField& field) {
    std::string t = field.text;
    for (char& c : t)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return t == "set";
}

// A number as the dump will write it, so that dump and import agree to the last bit.
double toFifteenDigits(double value) {
    CsvField field{formatGeneral(value), false, true, 0};
    return numberField(field).value_or(value);
}

// Comment lines become blank lines, so the line numbers of the other rows stay right.
std::string withoutComments(std::string_view text) {
    std::string out(text);
    std::size_t lineStart = 0;
    while (lineStart < out.size()) {
        std::size_t end = out.find_first_of("\r\n", lineStart);
        if (end == std::string::npos)
            end = out.size();
        std::size_t first = out.find_first_not_of(" \t", lineStart);
        if (first < end && out[first] == '#')
            std::fill(out.begin() + static_cast<std::ptrdiff_t>(first),
                      out.begin() + static_cast<std::ptrdiff_t>(end), ' ');
        lineStart = end + 1;
    }
    return out;
}

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
        auto number = integerField(field);
        if (number && *number >= 0 && *number <= highestCode(kind))
            return TaggedValue::of(static_cast<double>(*number), ValueTag::Int16);
        return std::nullopt;
    }
    auto number = numberField(field);
    if (!number || *number < 0 || (kind == FieldKind::Fraction && *number > 1))
        return std::nullopt;
    return TaggedValue::of(toFifteenDigits(*number));
}

} // namespace

std::string importFileComment(TwoPhaseSystem system) {
    std::string names = "set";
    for (const HeaderField& field : headerFields(system))
        names += "," + std::string(field.name);
    const auto points = pointColumnNames(system);
    return "# " + std::string(systemListText(system)) +
           ": a \"set\" row per data set, then one row per point.\r\n# " + names + "\r\n# " +
           std::string(points[0]) + "," + std::string(points[1]) + "," + std::string(points[2]) +
           "\r\n";
}

DumpResult dumpDataFile(const std::filesystem::path& dataDirectory, TwoPhaseSystem system) {
    DumpResult result;
    RecordFile file(dataDirectory, system);
    CsvWriter w;
    MeasuredDataSet set;
    while (!file.AtEnd() && file.ReadRecord(set) == ReadOutcome::Stored) {
        ++result.records;
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
    result.text = importFileComment(system) + w.str();
    result.problem = file.problem();
    return result;
}

std::optional<std::string> RecordImport::add(std::string_view text, const std::string& fileName) {
    const std::string cleaned = withoutComments(text);
    const auto at = [&](int line, const std::string& what) {
        return fileName + ", line " + std::to_string(line) + ": " + what + ".";
    };
    const std::span<const HeaderField> fields = headerFields(system_);
    const auto pointNames = pointColumnNames(system_);
    bool inSet = false;
    for (const CsvRow& row : csvRows(cleaned)) {
        if (isSetMarker(row.fields[0])) {
            if (row.fields.size() != fields.size() + 1)
                return at(row.line, "a set row of " + std::string(systemListText(system_)) +
                                        " holds \"set\" and " + std::to_string(fields.size()) +
                                        " values, found " + std::to_string(row.fields.size() - 1));
            Record record{{}, fileName + ", line " + std::to_string(row.line)};
            for (std::size_t k = 0; k < fields.size(); ++k) {
                const CsvField& item = row.fields[k + 1];
                auto value = headerValue(fields[k].kind, item);
                if (!value)
                    return at(row.line, std::string(fields[k].name) + " must be " +
                                            describeRange(fields[k].kind) + ", not " +
                                            quoteForMessage(item));
                record.values.*fields[k].member = std::move(*value);
            }
            records_.push_back(std::move(record));
            inSet = true;
            continue;
        }
        if (!inSet)
            return at(row.line, "the first row must be a set row, starting with \"set\"");
        if (row.fields.size() != 3)
            return at(row.line, "a point row holds 3 values (" + std::string(pointNames[0]) + ", " +
                                    std::string(pointNames[1]) + ", " + std::string(pointNames[2]) +
                                    "), found " + std::to_string(row.fields.size()));
        MeasuredDataSet& set = records_.back().values;
        if (set.pointCount == maxPoints)
            return at(row.line, "a set holds at most " + std::to_string(maxPoints) + " points");
        double v[3];
        for (std::size_t c = 0; c < 3; ++c) {
            auto number = numberField(row.fields[c]);
            if (!number || (c > 0 && *number < 0))
                return at(row.line, std::string(pointNames[c]) + " must be " +
                                        (c > 0 ? "a number of 0 or more" : "a number") + ", not " +
                                        quoteForMessage(row.fields[c]));
            v[c] = toFifteenDigits(*number);
        }
        const auto i = static_cast<std::size_t>(++set.pointCount);
        set.normSat[i] = v[0];
        set.krAxis[i] = v[1];
        set.krOther[i] = v[2];
    }
    return std::nullopt;
}

std::optional<std::string> RecordImport::bytes(std::string& out) const {
    std::string bytes;
    for (std::size_t r = 0; r < records_.size(); ++r) {
        if (records_[r].values.pointCount == 0 && r + 1 < records_.size())
            return records_[r].where +
                   ": a set without points ends every scan, so the sets after it could never "
                   "be found; give its points, or move it to the end as the end record.";
        bytes += encodeRecord(system_, records_[r].values);
    }
    out = std::move(bytes);
    return std::nullopt;
}

} // namespace relperm
