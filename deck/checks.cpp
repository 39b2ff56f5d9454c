#include "deck/checks.h"

#include "common/csv.h"
#include "common/numbers.h"

#include <cmath>

namespace relperm::deck {

namespace {

enum class Direction { Rises, Falls };

struct KrColumn {
    int column;
    Direction direction;
};

// The kr columns of each keyword and the way each must go as its saturation column rises:
// the phase the saturation belongs to flows more, the other less.
std::vector<KrColumn> krColumns(SatKeyword keyword) {
    switch (keyword) {
    case SatKeyword::SWOF:
    case SatKeyword::SGOF:
    case SatKeyword::SGWFN:
        return {{1, Direction::Rises}, {2, Direction::Falls}};
    case SatKeyword::SLGOF:
        return {{1, Direction::Falls}, {2, Direction::Rises}};
    case SatKeyword::SOF3:
        return {{1, Direction::Rises}, {2, Direction::Rises}};
    case SatKeyword::SWFN:
    case SatKeyword::SGFN:
    case SatKeyword::SOF2:
        return {{1, Direction::Rises}};
    }
    return {};
}

// Within this of 0 a value was meant to be 0: a difference of two saturations, or 1 minus
// one, left by arithmetic in a spreadsheet or script.
constexpr double nearZero = 1e-12;
// A critical saturation this close to the first one is the same end point written with
// noise; printed to the usual six or eight digits it lands on it.
constexpr double nearSwl = 1e-6;
// End points compared across tables (1 - Swc, krow = krog) agree to the digits a writer
// prints.
constexpr double sameEnd = 1e-9;

std::string tableCount(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " table" : " tables");
}

std::string n(double v) {
    return formatGeneral(v);
}

class Checker {
  public:
    explicit Checker(const DeckTables& deck) : deck_(deck) {}

    std::vector<Finding> run();

  private:
    void table(const KeywordTables& k, std::size_t index);
    void waterEnds(const KeywordTables& k, std::size_t index);
    void gasEnds(const KeywordTables& k, std::size_t index);
    const Table* waterTable(std::size_t index, SatKeyword& which) const;

    void add(SatKeyword keyword, std::size_t index, std::size_t row, const Row& at,
             const char* check, std::string detail) {
        findings_.push_back({keyword, static_cast<int>(index + 1), static_cast<int>(row + 1),
                             deck_.files[at.file], at.line, check, std::move(detail)});
    }
    void addTable(SatKeyword keyword, std::size_t index, const Row& at, const char* check,
                  std::string detail) {
        findings_.push_back({keyword, static_cast<int>(index + 1), 0, deck_.files[at.file], at.line,
                             check, std::move(detail)});
    }

    const DeckTables& deck_;
    std::vector<Finding> findings_;
};

std::vector<Finding> Checker::run() {
    // One family per deck: the simulator takes either keyword set, never both.
    const KeywordTables* earlier = nullptr;
    for (const auto& k : deck_.keywords) {
        if (!earlier) {
            earlier = &k;
        } else if (family(k.keyword) != family(earlier->keyword)) {
            findings_.push_back({k.keyword, 0, 0, deck_.files[k.file], k.line, "families-mixed",
                                 std::string(keywordName(k.keyword)) + " (family " +
                                     std::to_string(family(k.keyword)) + ") stands with " +
                                     keywordName(earlier->keyword) + " (family " +
                                     std::to_string(family(earlier->keyword)) +
                                     "); a deck uses the keywords of one family"});
            break;
        }
    }
    // Every keyword describes the same regions.
    const KeywordTables* most = nullptr;
    for (const auto& k : deck_.keywords)
        if (!most || k.tables.size() > most->tables.size())
            most = &k;
    for (const auto& k : deck_.keywords)
        if (k.tables.size() < most->tables.size())
            findings_.push_back(
                {k.keyword, 0, 0, deck_.files[k.file], k.line, "table-count",
                 std::string(keywordName(k.keyword)) + " holds " + tableCount(k.tables.size()) +
                     ", " + keywordName(most->keyword) + " " + std::to_string(most->tables.size()) +
                     ": every keyword needs a table per "
                     "SATNUM region"});
    for (const auto& k : deck_.keywords)
        for (std::size_t t = 0; t < k.tables.size(); ++t)
            table(k, t);
    return std::move(findings_);
}

void Checker::table(const KeywordTables& k, std::size_t index) {
    const SatKeyword keyword = k.keyword;
    const auto& rows = k.tables[index].rows;
    const int columns = columnCount(keyword);
    const std::string s = columnName(keyword, 0);
    const auto krs = krColumns(keyword);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Row& row = rows[r];
        const double sat = row.values[0];
        for (int c = 0; c < columns; ++c) {
            const double v = row.values[static_cast<std::size_t>(c)];
            if (v != 0 && std::abs(v) <= nearZero)
                add(keyword, index, r, row, "near-zero",
                    std::string(columnName(keyword, c)) + " is " + n(v) +
                        ": within 1e-12 of 0 but not 0, which the simulator takes as it stands; "
                        "write 0 if 0 is meant");
        }
        if (sat < 0 || sat > 1)
            add(keyword, index, r, row, "saturation-range",
                s + " " + n(sat) + " lies outside 0 to 1");
        if (r > 0 && !(sat > rows[r - 1].values[0]))
            add(keyword, index, r, row, "saturation-rises",
                s + " " + n(sat) + " does not rise above the row before's " +
                    n(rows[r - 1].values[0]));
        for (const auto& kr : krs) {
            const auto c = static_cast<std::size_t>(kr.column);
            const std::string name = columnName(keyword, kr.column);
            const double v = row.values[c];
            if (v < 0 || v > 1)
                add(keyword, index, r, row, "kr-range", name + " " + n(v) + " lies outside 0 to 1");
            if (r == 0)
                continue;
            const double before = rows[r - 1].values[c];
            if (kr.direction == Direction::Rises && v < before)
                add(keyword, index, r, row, "kr-direction",
                    name + " falls from " + n(before) + " to " + n(v) + " as " + s +
                        " rises; it may only rise");
            if (kr.direction == Direction::Falls && v > before)
                add(keyword, index, r, row, "kr-direction",
                    name + " rises from " + n(before) + " to " + n(v) + " as " + s +
                        " rises; it may only fall");
        }
    }
    if (rows.empty())
        return;
    switch (keyword) {
    case SatKeyword::SWOF:
    case SatKeyword::SWFN:
        waterEnds(k, index);
        break;
    case SatKeyword::SGOF:
    case SatKeyword::SLGOF:
    case SatKeyword::SGFN:
        gasEnds(k, index);
        break;
    case SatKeyword::SOF3: {
        // At the largest oil saturation only oil and connate water are present: oil in
        // water and oil in gas are then one and the same kr.
        const Row& last = rows.back();
        if (std::abs(last.values[1] - last.values[2]) > sameEnd)
            add(keyword, index, rows.size() - 1, last, "oil-curves-meet",
                "krow " + n(last.values[1]) + " and krog " + n(last.values[2]) +
                    " differ at the largest So " + n(last.values[0]) +
                    "; both are the oil's kr at connate water there");
        break;
    }
    default:
        break;
    }
}

void Checker::waterEnds(const KeywordTables& k, std::size_t index) {
    const auto& rows = k.tables[index].rows;
    const Row& first = rows.front();
    if (first.values[1] != 0)
        add(k.keyword, index, 0, first, "first-kr-zero",
            "krw is " + n(first.values[1]) + " at the first Sw " + n(first.values[0]) +
                "; water at its smallest saturation cannot flow, so krw must be 0");
    // The critical water saturation: the last Sw where krw is still 0.
    std::size_t critical = 0;
    while (critical + 1 < rows.size() && rows[critical + 1].values[1] == 0)
        ++critical;
    const double swl = first.values[0];
    const double swcr = rows[critical].values[0];
    if (critical > 0 && swcr != swl && std::abs(swcr - swl) <= nearSwl)
        add(k.keyword, index, critical, rows[critical], "swcr-near-swl",
            "the critical water saturation (last Sw with krw 0) " + n(swcr) +
                " lies within 1e-6 of the first Sw " + n(swl) +
                " but differs from it; printed to fewer digits it falls on it");
}

const Table* Checker::waterTable(std::size_t index, SatKeyword& which) const {
    for (SatKeyword w : {SatKeyword::SWOF, SatKeyword::SWFN})
        if (const auto* k = deck_.find(w);
            k && index < k->tables.size() && !k->tables[index].rows.empty()) {
            which = w;
            return &k->tables[index];
        }
    return nullptr;
}

void Checker::gasEnds(const KeywordTables& k, std::size_t index) {
    const auto& rows = k.tables[index].rows;
    const Row& first = rows.front();
    const Row& last = rows.back();
    const SatKeyword keyword = k.keyword;
    if (keyword == SatKeyword::SLGOF) {
        // SLGOF runs in liquid saturation: no gas at Sl = 1, its last row.
        if (last.values[0] != 1)
            add(keyword, index, rows.size() - 1, last, "liquid-ends-at-one",
                "the last Sl is " + n(last.values[0]) + "; SLGOF must end at Sl = 1 (no gas)");
        else if (last.values[1] != 0)
            add(keyword, index, rows.size() - 1, last, "first-kr-zero",
                "krg is " + n(last.values[1]) + " at Sl = 1; with no gas krg must be 0");
    } else {
        if (keyword == SatKeyword::SGOF && first.values[0] != 0)
            add(keyword, index, 0, first, "gas-starts-at-zero",
                "the first Sg is " + n(first.values[0]) + "; SGOF must start at Sg = 0");
        if (first.values[1] != 0)
            add(keyword, index, 0, first, "first-kr-zero",
                "krg is " + n(first.values[1]) + " at the first Sg " + n(first.values[0]) +
                    "; gas at its smallest saturation cannot flow, so krg must be 0");
    }
    if (keyword == SatKeyword::SGFN)
        return;
    // Gas displaces oil down to connate water: the gas-oil table reaches 1 - Swc of the
    // region's water table.
    SatKeyword which{};
    const Table* water = waterTable(index, which);
    if (!water)
        return;
    const double swc = water->rows.front().values[0];
    const std::string waterName =
        std::string(keywordName(which)) + " table " + std::to_string(index + 1);
    if (keyword == SatKeyword::SGOF) {
        if (std::abs(last.values[0] - (1 - swc)) > sameEnd)
            add(keyword, index, rows.size() - 1, last, "gas-ends-at-swc",
                "the last Sg is " + n(last.values[0]) + "; with Swc " + n(swc) + " of " +
                    waterName + " it must be 1 - Swc = " + n(1 - swc));
    } else if (std::abs(first.values[0] - swc) > sameEnd &&
               !(first.values[0] > swc && first.values[2] == 0)) {
        // A table that stops where the oil stops flowing (krog 0) may start above Swc: the
        // simulator holds its first row for the smaller liquid saturations.
        add(keyword, index, 0, first, "gas-ends-at-swc",
            "the first Sl is " + n(first.values[0]) + " with krog " + n(first.values[2]) +
                "; it must be Swc " + n(swc) + " of " + waterName +
                " (the most gas, 1 - Swc), or a saturation where krog is 0");
    }
}

} // namespace

std::vector<Finding> checkTables(const DeckTables& deck) {
    return Checker(deck).run();
}

std::string tablesSummary(const DeckTables& deck) {
    std::string out;
    for (const auto& k : deck.keywords) {
        if (!out.empty())
            out += ", ";
        out += std::string(keywordName(k.keyword)) + " " + tableCount(k.tables.size());
    }
    return out;
}

std::string findingsText(const std::vector<Finding>& findings) {
    std::string out;
    for (const auto& f : findings) {
        out += f.file + " line " + std::to_string(f.line) + ": " + keywordName(f.keyword);
        if (f.satnum > 0)
            out +=
                " table " + std::to_string(f.satnum) + " (SATNUM " + std::to_string(f.satnum) + ")";
        if (f.row > 0)
            out += ", row " + std::to_string(f.row);
        out += ": " + f.detail + "\n";
    }
    return out;
}

std::string findingsCsv(const std::vector<Finding>& findings, LineEnd lineEnd) {
    CsvWriter csv(lineEnd);
    for (const char* column : {"keyword", "satnum", "row", "file", "line", "check", "detail"})
        csv.name(column);
    csv.endLine();
    for (const auto& f : findings) {
        csv.name(keywordName(f.keyword));
        if (f.satnum > 0)
            csv.integer(f.satnum);
        else
            csv.empty();
        if (f.row > 0)
            csv.integer(f.row);
        else
            csv.empty();
        csv.text(f.file).integer(f.line).name(f.check).text(f.detail).endLine();
    }
    return csv.str();
}

} // namespace relperm::deck
