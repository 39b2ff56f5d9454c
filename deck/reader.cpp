#include "deck/reader.h"

#include "common/numbers.h"
#include "common/quotedtext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace relperm::deck {

namespace {

struct KeywordInfo {
    SatKeyword keyword;
    const char* name;
    int family;
    std::array<const char*, 4> columns;
};

constexpr std::array<KeywordInfo, 8> keywordInfo{{
    {SatKeyword::SWOF, "SWOF", 1, {"Sw", "krw", "krow", "Pcow"}},
    {SatKeyword::SGOF, "SGOF", 1, {"Sg", "krg", "krog", "Pcog"}},
    {SatKeyword::SLGOF, "SLGOF", 1, {"Sl", "krg", "krog", "Pcog"}},
    {SatKeyword::SWFN, "SWFN", 2, {"Sw", "krw", "Pcow", nullptr}},
    {SatKeyword::SGFN, "SGFN", 2, {"Sg", "krg", "Pcog", nullptr}},
    {SatKeyword::SOF3, "SOF3", 2, {"So", "krow", "krog", nullptr}},
    {SatKeyword::SOF2, "SOF2", 2, {"So", "kro", nullptr, nullptr}},
    {SatKeyword::SGWFN, "SGWFN", 2, {"Sg", "krg", "krw", "Pcgw"}},
}};

const KeywordInfo& info(SatKeyword keyword) {
    return keywordInfo[static_cast<std::size_t>(keyword)];
}

// A keyword stands alone on its line: an upper-case name of up to eight letters, digits
// and underscores. Section and switch keywords (RUNSPEC, OIL, METRIC, ...) have no closing
// slash, so this, not the slash, is what ends the data of a keyword the reader passes over.
bool isKeywordName(std::string_view t) {
    if (t.empty() || t.size() > 8 || t[0] < 'A' || t[0] > 'Z')
        return false;
    return std::all_of(t.begin(), t.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
}

struct Token {
    std::string_view text;
    bool quoted = false;
    bool slash = false;
};

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

// The tokens of one line. A comment (`--`) ends the line, and so does a slash: the
// simulator takes what follows a record's slash on its line as comment. Returns false when
// a quote is not closed on its line.
bool tokenize(std::string_view line, std::vector<Token>& tokens) {
    tokens.clear();
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (blank(c)) {
            ++i;
        } else if (c == '-' && i + 1 < line.size() && line[i + 1] == '-') {
            return true;
        } else if (c == '/') {
            tokens.push_back({line.substr(i, 1), false, true});
            return true;
        } else if (c == '\'' || c == '"') {
            const std::size_t close = line.find(c, i + 1);
            if (close == std::string_view::npos)
                return false;
            tokens.push_back({line.substr(i + 1, close - i - 1), true, false});
            i = close + 1;
        } else {
            std::size_t end = i;
            while (end < line.size() && !blank(line[end]) && line[end] != '/' &&
                   line[end] != '\'' && line[end] != '"' &&
                   !(line[end] == '-' && end + 1 < line.size() && line[end + 1] == '-'))
                ++end;
            tokens.push_back({line.substr(i, end - i), false, false});
            i = end;
        }
    }
    return true;
}

// One item of data: a value, `n*value` (n copies), `n*` (n defaults).
struct Item {
    std::size_t count = 1;
    std::optional<double> value; // nothing: defaulted
};

std::optional<double> number(std::string_view text) {
    // The simulator also takes Fortran's D exponent (1.5D-3).
    std::string copy;
    if (text.find_first_of("dD") != std::string_view::npos) {
        copy.assign(text);
        std::replace(copy.begin(), copy.end(), 'd', 'e');
        std::replace(copy.begin(), copy.end(), 'D', 'E');
        text = copy;
    }
    auto v = parseNumber(text);
    if (v && !std::isfinite(*v))
        return std::nullopt;
    return v;
}

std::optional<Item> item(std::string_view text) {
    const std::size_t star = text.find('*');
    if (star == std::string_view::npos) {
        auto v = number(text);
        if (!v)
            return std::nullopt;
        return Item{1, v};
    }
    Item out;
    const std::string_view count = text.substr(0, star);
    if (count.empty())
        return std::nullopt;
    const auto [end, ec] = std::from_chars(count.data(), count.data() + count.size(), out.count);
    if (ec != std::errc() || end != count.data() + count.size() || out.count == 0)
        return std::nullopt;
    const std::string_view rest = text.substr(star + 1);
    if (!rest.empty()) {
        out.value = number(rest);
        if (!out.value)
            return std::nullopt;
    }
    return out;
}

std::string quoteToken(std::string_view text) {
    return quotedText(text);
}

std::string sizeText(std::size_t bytes) {
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0)
        return std::to_string(bytes >> 20) + " MiB";
    return std::to_string(bytes) + " bytes";
}

std::string tableWord(std::size_t index) {
    return "table " + std::to_string(index + 1);
}

class Reader {
  public:
    Reader(const IncludeLoader& load, const ReadLimits& limits) : load_(load), limits_(limits) {}

    std::optional<Refusal> readFile(std::string_view text, const std::string& name, int depth);
    DeckTables deck;

  private:
    enum class Mode { Start, Skip, Table, AfterTables, Include, Tabdims };

    std::optional<Refusal> line(std::string_view text, int number, int depth);
    std::optional<Refusal> keywordLine(std::string_view name, int number);
    std::optional<Refusal> tableToken(const Token& token, int number);
    std::optional<Refusal> endTable(int number);
    std::optional<Refusal> finishKeyword(int number);
    std::optional<Refusal> include(std::string_view path, int number, int depth);

    Refusal refusal(int number, const std::string& message) const {
        return Refusal{name(), name() + " line " + std::to_string(number) + ": " + message};
    }
    const std::string& name() const { return deck.files[file_]; }
    std::string keywordAt() const { return info(keyword_).name; }

    const IncludeLoader& load_;
    const ReadLimits& limits_;
    std::uint32_t file_ = 0;
    Mode mode_ = Mode::Start;
    bool ended_ = false; // END seen
    std::size_t values_ = 0;
    std::size_t bytes_ = 0;

    // The saturation keyword being read.
    SatKeyword keyword_{};
    int keywordLine_ = 0;
    std::vector<Table> tables_;
    std::vector<std::optional<double>> pending_; // the open table's values
    std::vector<int> rowLines_;                  // the line of each open row's first value

    // INCLUDE's file name once read.
    std::optional<std::string> includePath_;
    std::vector<Token> tokens_;
};

std::optional<Refusal> Reader::readFile(std::string_view text, const std::string& name, int depth) {
    if (deck.files.size() >= std::numeric_limits<std::uint32_t>::max())
        return Refusal{name, name + ": too many files"};
    if (depth == 0)
        bytes_ = text.size();
    const std::uint32_t outer = file_;
    deck.files.push_back(name);
    file_ = static_cast<std::uint32_t>(deck.files.size() - 1);
    mode_ = Mode::Start;
    int number = 0;
    std::size_t at = 0;
    while (at < text.size() && !ended_) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        ++number;
        if (auto r = line(text.substr(at, end - at), number, depth))
            return r;
        at = end + 1;
    }
    // A keyword's data lies in one file: the file's end ends it.
    if (mode_ == Mode::Table || mode_ == Mode::AfterTables) {
        if (auto r = finishKeyword(number))
            return r;
    } else if (mode_ == Mode::Include) {
        return refusal(number, "the file ends inside INCLUDE: it needs a file name and '/'");
    }
    file_ = outer;
    mode_ = Mode::Skip;
    return std::nullopt;
}

std::optional<Refusal> Reader::line(std::string_view text, int number, int depth) {
    if (!tokenize(text, tokens_))
        return refusal(number, "a quote is not closed on its line");
    if (tokens_.empty())
        return std::nullopt;
    const Token& first = tokens_.front();
    if (tokens_.size() == 1 && !first.quoted && !first.slash && isKeywordName(first.text))
        return keywordLine(first.text, number);
    switch (mode_) {
    case Mode::Start:
        return refusal(number, "values " + quoteToken(first.text) + " stand before any keyword");
    case Mode::Skip:
        return std::nullopt;
    case Mode::Tabdims: {
        // TABDIMS item 1, NTSFUN: the number of saturation tables of every keyword.
        if (first.slash) {
            deck.ntsfun = 1;
        } else {
            auto i = item(first.text);
            if (!i || (i->value &&
                       (*i->value < 1 || *i->value > 1e6 || *i->value != std::floor(*i->value))))
                return refusal(number, "TABDIMS item 1 (NTSFUN) is a whole number of tables "
                                       "from 1, not " +
                                           quoteToken(first.text));
            deck.ntsfun = i->value ? static_cast<int>(*i->value) : 1;
        }
        mode_ = Mode::Skip;
        return std::nullopt;
    }
    case Mode::Include:
        for (const Token& t : tokens_) {
            if (t.slash) {
                if (!includePath_)
                    return refusal(number, "INCLUDE needs a file name before its '/'");
                const std::string path = *includePath_;
                includePath_.reset();
                mode_ = Mode::Skip;
                return include(path, number, depth);
            }
            if (includePath_)
                return refusal(number, "INCLUDE takes one file name, then '/'; " +
                                           quoteToken(t.text) + " follows " +
                                           quoteToken(*includePath_));
            includePath_ = std::string(t.text);
        }
        return std::nullopt;
    case Mode::AfterTables:
        return refusal(number, keywordAt() + " holds " + std::to_string(tables_.size()) +
                                   " tables, as TABDIMS (NTSFUN) says, but " +
                                   quoteToken(first.text) + " follows them");
    case Mode::Table:
        for (const Token& t : tokens_)
            if (auto r = tableToken(t, number))
                return r;
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<Refusal> Reader::keywordLine(std::string_view name, int number) {
    if (mode_ == Mode::Table || mode_ == Mode::AfterTables) {
        if (auto r = finishKeyword(number))
            return r;
    } else if (mode_ == Mode::Include) {
        return refusal(number, "INCLUDE needs a file name and '/' before " + std::string(name));
    }
    if (name == "END") {
        ended_ = true;
        return std::nullopt;
    }
    if (name == "INCLUDE") {
        mode_ = Mode::Include;
        includePath_.reset();
        return std::nullopt;
    }
    if (name == "TABDIMS") {
        mode_ = Mode::Tabdims;
        return std::nullopt;
    }
    if (auto keyword = satKeyword(name)) {
        keyword_ = *keyword;
        keywordLine_ = number;
        tables_.clear();
        pending_.clear();
        rowLines_.clear();
        mode_ = Mode::Table;
        return std::nullopt;
    }
    mode_ = Mode::Skip;
    return std::nullopt;
}

std::optional<Refusal> Reader::tableToken(const Token& token, int number) {
    if (token.slash)
        return endTable(number);
    const std::string where = keywordAt() + " " + tableWord(tables_.size()) + ": ";
    if (token.quoted)
        return refusal(number,
                       where + "a table holds numbers, not the text " + quoteToken(token.text));
    const auto i = item(token.text);
    if (!i)
        return refusal(number, where + quoteToken(token.text) + " is not a number");
    if (i->count > limits_.values - values_)
        return refusal(number, where + "the saturation tables hold more than " +
                                   std::to_string(limits_.values) + " values");
    values_ += i->count;
    const auto columns = static_cast<std::size_t>(columnCount(keyword_));
    for (std::size_t k = 0; k < i->count; ++k) {
        if (pending_.size() % columns == 0)
            rowLines_.push_back(number);
        pending_.push_back(i->value);
    }
    return std::nullopt;
}

std::optional<Refusal> Reader::endTable(int number) {
    const auto columns = static_cast<std::size_t>(columnCount(keyword_));
    const std::string where = keywordAt() + " " + tableWord(tables_.size());
    if (pending_.empty())
        return refusal(number, where + " is empty: a table needs at least one row of " +
                                   std::to_string(columns) + " values before its '/'");
    if (pending_.size() % columns != 0)
        return refusal(number, where + " holds " + std::to_string(pending_.size()) +
                                   " values, not a whole number of rows of " +
                                   std::to_string(columns));
    Table table;
    const std::size_t rows = pending_.size() / columns;
    table.rows.resize(rows);
    for (std::size_t r = 0; r < rows; ++r) {
        Row& row = table.rows[r];
        row.file = file_;
        row.line = rowLines_[r];
        const auto& s = pending_[r * columns];
        if (!s)
            return refusal(row.line, where + ", row " + std::to_string(r + 1) + ": the " +
                                         info(keyword_).columns[0] +
                                         " is defaulted; a saturation must be given");
        row.values[0] = *s;
    }
    // A defaulted kr or Pc lies on the straight line between the given values around it,
    // in the saturation column.
    for (std::size_t c = 1; c < columns; ++c) {
        std::optional<std::size_t> before;
        for (std::size_t r = 0; r < rows; ++r) {
            if (pending_[r * columns + c]) {
                table.rows[r].values[c] = *pending_[r * columns + c];
                before = r;
                continue;
            }
            std::size_t after = r + 1;
            while (after < rows && !pending_[after * columns + c])
                ++after;
            if (!before || after == rows)
                return refusal(table.rows[r].line,
                               where + ", row " + std::to_string(r + 1) + ": the " +
                                   info(keyword_).columns[c] +
                                   " is defaulted, and only a value between given rows can be "
                                   "interpolated");
            const double s0 = table.rows[*before].values[0];
            const double s1 = table.rows[after].values[0];
            const double v0 = table.rows[*before].values[c];
            const double v1 = *pending_[after * columns + c];
            const double s = table.rows[r].values[0];
            // Saturations that do not rise leave no line; the checks report them.
            table.rows[r].values[c] = s1 != s0 ? v0 + (v1 - v0) * (s - s0) / (s1 - s0) : v0;
            if (!std::isfinite(table.rows[r].values[c]))
                table.rows[r].values[c] = v0;
        }
    }
    tables_.push_back(std::move(table));
    pending_.clear();
    rowLines_.clear();
    if (deck.ntsfun && tables_.size() == static_cast<std::size_t>(*deck.ntsfun))
        mode_ = Mode::AfterTables;
    return std::nullopt;
}

std::optional<Refusal> Reader::finishKeyword(int number) {
    const std::string name = keywordAt();
    if (!pending_.empty())
        return refusal(number, name + " " + tableWord(tables_.size()) + " (from line " +
                                   std::to_string(rowLines_.front()) + ") has no closing '/'");
    if (tables_.empty())
        return refusal(keywordLine_, name + " holds no table");
    if (deck.ntsfun && tables_.size() < static_cast<std::size_t>(*deck.ntsfun))
        return refusal(number, name + " holds " + std::to_string(tables_.size()) +
                                   (tables_.size() == 1 ? " table" : " tables") +
                                   " where TABDIMS (NTSFUN) asks for " +
                                   std::to_string(*deck.ntsfun));
    KeywordTables kt{keyword_, file_, keywordLine_, std::move(tables_)};
    tables_.clear();
    // A keyword given again replaces the earlier one, as in the simulator.
    auto same = std::find_if(deck.keywords.begin(), deck.keywords.end(),
                             [&](const KeywordTables& k) { return k.keyword == keyword_; });
    if (same != deck.keywords.end())
        *same = std::move(kt);
    else
        deck.keywords.push_back(std::move(kt));
    mode_ = Mode::Skip;
    return std::nullopt;
}

std::optional<Refusal> Reader::include(std::string_view path, int number, int depth) {
    if (depth >= limits_.includeDepth)
        return refusal(number, "INCLUDE " + quoteToken(path) + " goes deeper than " +
                                   std::to_string(limits_.includeDepth) +
                                   " files within files; does a file include itself?");
    std::filesystem::path target(path);
    if (target.is_relative())
        target = std::filesystem::path(name()).parent_path() / target;
    auto loaded = load_(target);
    if (auto* r = std::get_if<Refusal>(&loaded)) {
        r->message += " (INCLUDE at " + name() + " line " + std::to_string(number) + ")";
        return *r;
    }
    const std::string& text = std::get<std::string>(loaded);
    const std::string included = target.string();
    if (text.size() > limits_.fileBytes)
        return refusal(number, "INCLUDE " + quoteToken(path) + ": " + included +
                                   " is larger than " + sizeText(limits_.fileBytes));
    if (text.size() > limits_.totalBytes - bytes_)
        return refusal(number, "INCLUDE " + quoteToken(path) +
                                   ": the deck's files together are "
                                   "larger than " +
                                   sizeText(limits_.totalBytes));
    bytes_ += text.size();
    const std::uint32_t outer = file_;
    if (auto r = readFile(text, included, depth + 1))
        return r;
    file_ = outer;
    return std::nullopt;
}

} // namespace

const char* keywordName(SatKeyword keyword) {
    return info(keyword).name;
}

std::optional<SatKeyword> satKeyword(std::string_view name) {
    for (const auto& k : keywordInfo)
        if (name == k.name)
            return k.keyword;
    return std::nullopt;
}

int columnCount(SatKeyword keyword) {
    const auto& columns = info(keyword).columns;
    return static_cast<int>(
        std::count_if(columns.begin(), columns.end(), [](const char* c) { return c != nullptr; }));
}

const char* columnName(SatKeyword keyword, int column) {
    return info(keyword).columns[static_cast<std::size_t>(column)];
}

int family(SatKeyword keyword) {
    return info(keyword).family;
}

const KeywordTables* DeckTables::find(SatKeyword keyword) const {
    for (const auto& k : keywords)
        if (k.keyword == keyword)
            return &k;
    return nullptr;
}

std::variant<DeckTables, Refusal> readDeckText(std::string_view text, const std::string& name,
                                               const IncludeLoader& load,
                                               const ReadLimits& limits) {
    if (text.size() > limits.fileBytes || text.size() > limits.totalBytes)
        return Refusal{name, name + " is larger than " + sizeText(limits.fileBytes) +
                                 ", too large for a deck"};
    Reader reader(load, limits);
    if (auto r = reader.readFile(text, name, 0))
        return *r;
    return std::move(reader.deck);
}

std::variant<DeckTables, Refusal> readDeck(const std::filesystem::path& path, PipeUse pipes,
                                           const ReadLimits& limits) {
    const auto readText = [&](const std::filesystem::path& file,
                              PipeUse use) -> std::variant<std::string, Refusal> {
        FileStart start;
        const std::string name = file.string();
        if (auto problem = readFileStart(file, use, limits.fileBytes, start))
            return Refusal{name, "Could not read \"" + name + "\": " + *problem};
        if (start.more)
            return Refusal{name, name + " is larger than " + sizeText(limits.fileBytes) +
                                     ", too large for a deck"};
        return std::move(start.text);
    };
    auto text = readText(path, pipes);
    if (auto* r = std::get_if<Refusal>(&text))
        return *r;
    // Included files are read as files only: a FIFO named in a deck would hang the reader.
    const IncludeLoader fromDisk = [&](const std::filesystem::path& file) {
        return readText(file, PipeUse::Refuse);
    };
    return readDeckText(std::get<std::string>(text), path.string(), fromDisk, limits);
}

std::string noSaturationTable(const std::string& name) {
    return name + " holds no saturation table (SWOF, SGOF, SLGOF, SWFN, SGFN, SOF3, SOF2 or SGWFN)";
}

std::string rowPlace(const DeckTables& deck, const Row& row) {
    return deck.files[row.file] + " line " + std::to_string(row.line);
}

} // namespace relperm::deck
