#include "database/csvrows.h"

#include "common/quotedtext.h"
#include "common/readfile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace relperm {

std::vector<CsvRow> csvRows(std::string_view text) {
    std::vector<CsvRow> rows;
    CsvReader reader(text);
    CsvRow row;
    while (nextCsvRow(reader, row))
        rows.push_back(row);
    return rows;
}

bool nextCsvRow(CsvReader& reader, CsvRow& row) {
    std::size_t count = 0;
    while (auto field = reader.next()) {
        if (count == 0)
            row.line = field->line;
        if (count < row.fields.size())
            row.fields[count] = std::move(*field);
        else
            row.fields.push_back(std::move(*field));
        ++count;
        if (row.fields[count - 1].endsLine)
            break;
    }
    row.fields.resize(count);
    return count > 0;
}

std::optional<double> numberField(const CsvField& field) {
    if (field.quoted)
        return std::nullopt;
    return numberText(field.text);
}

std::optional<double> numberText(std::string_view t) {
    if (t.empty())
        return std::nullopt;
    const char* first = t.data() + (t[0] == '+' && t.size() > 1 && t[1] != '-' ? 1 : 0);
    double value = 0;
    auto [end, ec] = std::from_chars(first, t.data() + t.size(), value);
    if (ec != std::errc() || end != t.data() + t.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<long> integerField(const CsvField& field) {
    if (field.quoted)
        return std::nullopt;
    return integerText(field.text);
}

std::optional<long> integerText(std::string_view t) {
    if (t.empty())
        return std::nullopt;
    long value = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (ec != std::errc() || end != t.data() + t.size())
        return std::nullopt;
    return value;
}

std::optional<std::string> openTextFile(const std::filesystem::path& path, std::ifstream& in) {
    // A pipe is opened once, by the stream: a second reader opened after a check would wait
    // for a writer that has already written everything and gone. Anything else is checked
    // on a descriptor first (a device is refused), then opened, which no longer waits.
    struct stat status {};
    int fd = -1;
    if (::stat(path.c_str(), &status) != 0 || !S_ISFIFO(status.st_mode)) {
        std::string problem;
        fd = openForReading(path, PipeUse::Read, problem);
        if (fd < 0)
            return "Could not read " + quotedName(path.string()) + ": " + problem + ".";
    }
    errno = 0;
    in.open(path, std::ios::binary);
    if (fd >= 0)
        ::close(fd);
    if (!in)
        return "Could not read " + quotedName(path.string()) + ": " +
               (errno ? std::strerror(errno) : "the file could not be opened") + ".";
    return std::nullopt;
}

std::optional<std::string> readTextFile(const std::filesystem::path& path, std::string& text) {
    if (auto problem = readWholeFile(path, PipeUse::Refuse, text))
        return "Could not read " + quotedName(path.string()) + ": " + *problem + ".";
    return std::nullopt;
}

LineRuns::LineRuns(std::istream& in, std::size_t blockBytes)
    : in_(in), blockBytes_(std::max<std::size_t>(blockBytes, 1)) {}

bool LineRuns::appendLines(std::string& text, std::size_t atLeast) {
    // The run ends at the first line end from its atLeast-th byte on; `from` counts from
    // the start of the run, which moves to the front of the buffer before each read.
    std::size_t from = atLeast > 0 ? atLeast - 1 : 0;
    std::size_t end = std::string::npos;
    for (;;) {
        if (from < buffer_.size() - pos_) {
            end = buffer_.find('\n', pos_ + from);
            if (end != std::string::npos)
                break;
            from = buffer_.size() - pos_;
        }
        if (eof_)
            break;
        buffer_.erase(0, pos_);
        pos_ = 0;
        const std::size_t had = buffer_.size();
        buffer_.resize(had + blockBytes_);
        in_.read(buffer_.data() + had, static_cast<std::streamsize>(blockBytes_));
        buffer_.resize(had + static_cast<std::size_t>(in_.gcount()));
        if (in_.bad())
            return false;
        eof_ = in_.eof();
    }
    const std::size_t stop = end == std::string::npos ? buffer_.size() : end + 1;
    text.append(buffer_, pos_, stop - pos_);
    handedOut_ += stop - pos_;
    pos_ = stop;
    return true;
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
    return quotedText(field.text);
}

} // namespace relperm
