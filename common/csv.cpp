#include "common/csv.h"

#include "common/numbers.h"

#include <algorithm>

namespace relperm {

void CsvWriter::separate() {
    if (!lineStart_)
        out_ += ',';
    lineStart_ = false;
}

CsvWriter& CsvWriter::text(std::string_view value) {
    separate();
    out_ += '"';
    for (char c : value)
        out_ += c == '"' ? '\'' : c;
    out_ += '"';
    return *this;
}

CsvWriter& CsvWriter::name(std::string_view value) {
    if (value.find_first_of(",\"\r\n") != std::string_view::npos)
        return text(value);
    separate();
    out_ += value;
    return *this;
}

CsvWriter& CsvWriter::integer(std::int64_t value) {
    separate();
    out_ += std::to_string(value);
    return *this;
}

CsvWriter& CsvWriter::number(double value) {
    separate();
    out_ += formatGeneral(value);
    return *this;
}

CsvWriter& CsvWriter::empty() {
    separate();
    return *this;
}

CsvWriter& CsvWriter::endLine() {
    out_ += lineEnd_ == LineEnd::CrLf ? "\r\n" : "\n";
    lineStart_ = true;
    return *this;
}

bool CsvWriter::passOn(const TextSink& sink, std::size_t pieceBytes) {
    if (out_.size() < pieceBytes || out_.empty())
        return true;
    const bool taken = sink(out_);
    out_.clear();
    return taken;
}

bool containsQuote(std::string_view value) {
    return value.find('"') != std::string_view::npos;
}

bool CsvReader::atLineEnd() const {
    return pos_ < text_.size() && (text_[pos_] == '\r' || text_[pos_] == '\n');
}

void CsvReader::consumeLineEnd() {
    if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n')
        ++pos_;
    ++pos_;
    ++line_;
}

void CsvReader::finishField(CsvField& field) {
    if (pos_ >= text_.size()) {
        afterComma_ = false;
        field.endsLine = true;
    } else if (text_[pos_] == ',') {
        ++pos_;
        afterComma_ = true;
    } else {
        consumeLineEnd();
        afterComma_ = false;
        field.endsLine = true;
    }
}

std::optional<CsvField> CsvReader::next() {
    for (;;) {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t'))
            ++pos_;
        if (pos_ >= text_.size()) {
            if (!afterComma_)
                return std::nullopt;
            afterComma_ = false;
            return CsvField{{}, false, true, line_};
        }
        if (!atLineEnd() || afterComma_)
            break;
        consumeLineEnd(); // an empty line holds no field
    }

    CsvField field;
    field.line = line_;
    if (text_[pos_] == '"') {
        field.quoted = true;
        std::size_t close = text_.find('"', pos_ + 1);
        std::size_t end = close == std::string_view::npos ? text_.size() : close;
        field.text = std::string(text_.substr(pos_ + 1, end - pos_ - 1));
        line_ += static_cast<int>(std::count(field.text.begin(), field.text.end(), '\n'));
        pos_ = close == std::string_view::npos ? text_.size() : close + 1;
        while (pos_ < text_.size() && text_[pos_] != ',' && !atLineEnd())
            ++pos_;
    } else {
        std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != ',' && !atLineEnd())
            ++pos_;
        field.text = std::string(text_.substr(start, pos_ - start));
        while (!field.text.empty() && (field.text.back() == ' ' || field.text.back() == '\t'))
            field.text.pop_back();
    }
    finishField(field);
    return field;
}

// The states are those of CsvReader::next: blanks before a field are skipped, a field
// whose first character is a quote runs to the next quote wherever it is, and what follows
// a closing quote, like an unquoted field, runs to the next comma or line end.
void CsvQuoteState::follow(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        switch (state_) {
        case State::FieldStart: {
            const char c = text[pos++];
            if (c == '"')
                state_ = State::Quoted;
            else if (c != ' ' && c != '\t' && c != ',' && c != '\r' && c != '\n')
                state_ = State::Unquoted;
            break;
        }
        case State::Quoted:
            pos = text.find('"', pos);
            if (pos == std::string_view::npos)
                return;
            ++pos;
            state_ = State::AfterQuote;
            break;
        case State::Unquoted:
        case State::AfterQuote:
            pos = text.find_first_of(",\r\n", pos);
            if (pos == std::string_view::npos)
                return;
            ++pos;
            state_ = State::FieldStart;
            break;
        }
    }
}

} // namespace relperm
