#include "database/csvrows.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace relperm {

std::vector<CsvRow> csvRows(std::string_view text) {
    std::vector<CsvRow> rows;
    CsvReader reader(text);
    bool startRow = true;
    while (auto field = reader.next()) {
        if (startRow)
            rows.push_back(CsvRow{field->line, {}});
        startRow = field->endsLine;
        rows.back().fields.push_back(std::move(*field));
    }
    return rows;
}

std::optional<double> numberField(const CsvField& field) {
    const std::string& t = field.text;
    if (field.quoted || t.empty())
        return std::nullopt;
    const char* first = t.data() + (t[0] == '+' && t.size() > 1 && t[1] != '-' ? 1 : 0);
    double value = 0;
    auto [end, ec] = std::from_chars(first, t.data() + t.size(), value);
    if (ec != std::errc() || end != t.data() + t.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<long> integerField(const CsvField& field) {
    const std::string& t = field.text;
    if (field.quoted || t.empty())
        return std::nullopt;
    long value = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (ec != std::errc() || end != t.data() + t.size())
        return std::nullopt;
    return value;
}

std::optional<std::string> readTextFile(const std::filesystem::path& path, std::string& text) {
    const std::string name = "\"" + path.string() + "\"";
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return "Could not read " + name + ": it is a folder.";
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "Could not read " + name + ": " +
               (errno ? std::strerror(errno) : "the file could not be opened") + ".";
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad())
        return "Could not read " + name + ".";
    return std::nullopt;
}

void writeTaggedValue(CsvWriter& w, const TaggedValue& value) {
    if (value.isEmpty())
        w.empty();
    else if (value.isText())
        w.text(value.text);
    else
        w.number(value.number);
}

std::string quoteForMessage(const CsvField& field) {
    if (field.text.empty() && !field.quoted)
        return "an empty item";
    return "\"" + field.text + "\"";
}

} // namespace relperm
