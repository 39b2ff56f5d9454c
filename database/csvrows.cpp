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

LineRuns::LineRuns(std::istream& in, std::size_t blockBytes, std::size_t lineBytes,
                   std::function<void(const Comment&)> onComment)
    : in_(in), block_(std::max<std::size_t>(blockBytes, 3)), lineBytes_(lineBytes),
      onComment_(std::move(onComment)) {}

bool LineRuns::refill() {
    in_.read(block_.data(), static_cast<std::streamsize>(block_.size()));
    pos_ = 0;
    end_ = static_cast<std::size_t>(in_.gcount());
    if (in_.bad())
        return false;
    // A read comes back short only at the end of the stream.
    eof_ = end_ < block_.size();
    if (!started_) {
        started_ = true;
        // A byte-order mark, as spreadsheets put before UTF-8 text, is no part of the data.
        if (std::string_view(block_.data(), end_).starts_with("\xEF\xBB\xBF")) {
            pos_ = 3;
            consumed_ = 3;
        }
    }
    return true;
}

std::size_t LineRuns::findLineEnd(std::size_t from) const {
    const char* const data = block_.data();
    while (from < end_ && data[from] != '\n' && data[from] != '\r')
        ++from;
    return from;
}

void LineRuns::endComment() {
    if (state_ != State::InComment)
        return;
    state_ = State::LineStart;
    if (onComment_)
        onComment_(Comment{line_, head_, headWhole_});
}

LineRuns::Outcome LineRuns::appendLines(std::string& text, std::size_t atLeast) {
    const std::size_t start = text.size();
    std::size_t lineStart = start; // runs end at line ends, so each call starts a line
    const auto tooLong = [&](std::size_t more) {
        if (lineLength_ + more <= lineBytes_)
            return false;
        text.resize(lineStart);
        return true;
    };
    for (;;) {
        if (pos_ == end_) {
            if (!eof_ && !refill())
                return Outcome::Unreadable;
            if (pos_ == end_) {
                endComment();
                return Outcome::Lines;
            }
        }
        switch (state_) {
        case State::InComment: {
            const std::size_t stop = findLineEnd(pos_);
            const std::size_t keep = std::min(stop - pos_, commentHeadBytes - head_.size());
            head_.append(block_.data() + pos_, keep);
            headWhole_ = headWhole_ && keep == stop - pos_;
            consumed_ += stop - pos_;
            pos_ = stop;
            if (pos_ == end_)
                continue;
            endComment();
            break;
        }
        case State::LineStart: {
            const char c = block_[pos_];
            if (c == ' ' || c == '\t') {
                if (tooLong(1))
                    return Outcome::LongLine;
                text.push_back(c);
                ++lineLength_;
                ++pos_;
                ++consumed_;
                afterCr_ = false;
                continue;
            }
            if (c == '#') {
                // One blank stands for the text, so that a lone CR before the comment and
                // the LF after it do not meet as one CR LF and take a line number away.
                if (tooLong(1))
                    return Outcome::LongLine;
                text.push_back(' ');
                ++lineLength_;
                state_ = State::InComment;
                head_.assign(1, '#');
                headWhole_ = true;
                ++pos_;
                ++consumed_;
                afterCr_ = false;
                continue;
            }
            if (c == '\n' || c == '\r')
                break;
            state_ = State::InLine;
            [[fallthrough]];
        }
        case State::InLine: {
            const std::size_t stop = findLineEnd(pos_);
            const std::size_t length = stop - pos_;
            if (tooLong(length))
                return Outcome::LongLine;
            text.append(block_.data() + pos_, length);
            lineLength_ += length;
            consumed_ += length;
            pos_ = stop;
            afterCr_ = false;
            if (pos_ == end_)
                continue;
            break;
        }
        }
        // A line end: '\r', '\n', or the '\n' of a CR LF, which counts no second line.
        const char c = block_[pos_++];
        ++consumed_;
        text.push_back(c);
        if (c == '\r' || !afterCr_)
            ++line_;
        afterCr_ = c == '\r';
        state_ = State::LineStart;
        lineLength_ = 0;
        lineStart = text.size();
        if (text.size() - start >= atLeast) {
            // Reading ahead here tells a CR LF from a lone CR, and makes atEnd() true as soon
            // as the last byte is handed out.
            if (pos_ == end_ && !eof_ && !refill())
                return Outcome::Unreadable;
            if (c == '\n' || pos_ == end_ || block_[pos_] != '\n')
                return Outcome::Lines;
        }
    }
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
