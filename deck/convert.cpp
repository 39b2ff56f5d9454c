#include "deck/convert.h"

#include "common/linear.h"
#include "common/numbers.h"
#include "common/simulatorfile.h"

#include <algorithm>
#include <cmath>

namespace relperm::deck {

namespace {

// A table as columns: column 0 the saturation, rising.
using Columns = std::vector<std::vector<double>>;

Columns columnsOf(const Table& table, SatKeyword keyword) {
    Columns columns(static_cast<std::size_t>(columnCount(keyword)));
    for (const Row& row : table.rows)
        for (std::size_t c = 0; c < columns.size(); ++c)
            columns[c].push_back(row.values[c]);
    return columns;
}

Table tableOf(const Columns& columns) {
    Table table;
    const std::size_t rows = columns.empty() ? 0 : columns.front().size();
    for (std::size_t i = 0; i < rows; ++i) {
        Row row;
        for (std::size_t c = 0; c < columns.size(); ++c)
            row.values[c] = columns[c][i];
        table.rows.push_back(row);
    }
    return table;
}

// Saturations closer than this are one row: a saturation derived as 1 - Swc - So carries
// the rounding of two subtractions (1 - .15 - .8 is .04999999999999993), and no table
// resolves saturations this close.
constexpr double sameSaturation = 1e-9;

// A derived saturation or an interpolated value as the file will hold it, without the
// rounding noise of its arithmetic (.000600000000000001): saturations on a 1e-12 grid, values
// on a 1e-14 grid, both at the digits written.
double tidy(double v, double grid) {
    return generalValue(std::round(v / grid) * grid) + 0.0; // + 0.0: no -0 in the file
}

double derived(double s) {
    return tidy(s, 1e-12);
}

// Column `c` at saturation `s` as the simulator reads it: linear between rows and carried
// flat beyond them; a row's own value where `s` is that row's saturation.
double at(const Columns& t, std::size_t c, double s) {
    const std::vector<double>& x = t[0];
    const auto i = static_cast<std::size_t>(std::lower_bound(x.begin(), x.end(), s) - x.begin());
    for (std::size_t j : {i, i - 1})
        if (j < x.size() && std::abs(x[j] - s) <= sameSaturation)
            return t[c][j];
    return tidy(linearAt(x, t[c], s, t[c].front(), t[c].back()), 1e-14);
}

// `own` (a table's saturations, rising, kept as they are) with each of `more` that is not
// already there, rising.
std::vector<double> merged(const std::vector<double>& own, std::vector<double> more) {
    std::sort(more.begin(), more.end());
    std::vector<double> out = own;
    const auto near = [](double a, double b) { return std::abs(a - b) <= sameSaturation; };
    for (std::size_t k = 0; k < more.size(); ++k) {
        const double s = more[k];
        if (k > 0 && near(more[k - 1], s))
            continue; // kept or found with the one before it
        const auto at = std::lower_bound(own.begin(), own.end(), s);
        const bool inOwn =
            (at != own.end() && near(*at, s)) || (at != own.begin() && near(*(at - 1), s));
        if (!inOwn)
            out.push_back(s);
    }
    std::sort(out.begin(), out.end());
    return out;
}

// The rows where column `c` bends: its ends and every row off the straight line through its
// neighbours. Rows a conversion added to carry another table's saturations lie on that line
// to the digits written (a kr bend finer than 1e-10 changes nothing a simulator computes).
std::vector<bool> bends(const Columns& t, std::size_t c) {
    const std::vector<double>& x = t[0];
    const std::vector<double>& y = t[c];
    std::vector<bool> bend(x.size(), true);
    for (std::size_t i = 1; i + 1 < x.size(); ++i) {
        const double f = (x[i] - x[i - 1]) / (x[i + 1] - x[i - 1]);
        const double line = y[i - 1] + f * (y[i + 1] - y[i - 1]);
        bend[i] = std::abs(y[i] - line) > 1e-10;
    }
    return bend;
}

// One region in family 1: its SWOF (Sw, krw, krow, Pcow) and SGOF (Sg, krg, krog, Pcog),
// either of which may be missing in a two-phase deck.
struct Region {
    Columns water;
    Columns gas;
};

// SWOF from SWFN and the oil column of SOF3 or SOF2 (in So), or SGOF from SGFN and its oil
// column (So = 1 - Swc - Sg): the rows of the family 2 table and those oil rows where the oil
// curve bends, within the family 2 table's saturations (the oil column beyond them is never
// reached in two phases).
Columns family1Table(const Columns& phase, const Columns& oil, std::size_t oilColumn, double swc) {
    std::vector<double> bendsAt;
    const std::vector<bool> bend = bends(oil, oilColumn);
    for (std::size_t i = 0; i < oil[0].size(); ++i) {
        const double s = derived(1 - swc - oil[0][i]);
        if (bend[i] && s >= phase[0].front() && s <= phase[0].back())
            bendsAt.push_back(s);
    }
    Columns out(4);
    for (double s : merged(phase[0], bendsAt)) {
        out[0].push_back(s);
        out[1].push_back(at(phase, 1, s));
        out[2].push_back(at(oil, oilColumn, derived(1 - swc - s)));
        out[3].push_back(at(phase, 2, s));
    }
    return out;
}

// SWFN or SGFN: the saturation, the water or gas kr and Pc of a family 1 table.
Columns family2Table(const Columns& t) {
    return {t[0], t[1], t[3]};
}

// SOF3 (both tables) or SOF2 (one): the oil columns at the union of the oil saturations of
// the tables.
Columns oilTable(const Region& r, double swc) {
    std::vector<const Columns*> tables;
    std::vector<double> shift; // So = shift - S
    if (!r.water.empty()) {
        tables.push_back(&r.water);
        shift.push_back(1);
    }
    if (!r.gas.empty()) {
        tables.push_back(&r.gas);
        shift.push_back(1 - swc);
    }
    std::vector<double> nodes;
    for (std::size_t k = 0; k < tables.size(); ++k)
        for (double s : (*tables[k])[0])
            nodes.push_back(derived(shift[k] - s));
    Columns out(1 + tables.size());
    for (double so : merged({}, nodes)) {
        out[0].push_back(so);
        for (std::size_t k = 0; k < tables.size(); ++k)
            out[1 + k].push_back(at(*tables[k], 2, derived(shift[k] - so)));
    }
    return out;
}

// SLGOF from SGOF and back: the same rows in the other direction, Sl = 1 - Sg.
Columns reversed(const Columns& t) {
    Columns out(t.size());
    for (std::size_t i = t[0].size(); i-- > 0;) {
        out[0].push_back(derived(1 - t[0][i]));
        for (std::size_t c = 1; c < t.size(); ++c)
            out[c].push_back(t[c][i]);
    }
    return out;
}

Refusal refused(const std::string& reason) {
    return Refusal{"", reason};
}

std::string keywordList(const DeckTables& deck) {
    std::string names;
    for (const KeywordTables& k : deck.keywords)
        names += (names.empty() ? "" : ", ") + std::string(keywordName(k.keyword));
    return names;
}

// The deck's regions in family 1, or why they cannot be.
std::variant<std::vector<Region>, Refusal> family1Regions(const DeckTables& deck) {
    if (deck.keywords.empty())
        return refused("the file holds no saturation table to convert");
    const std::size_t regions = deck.keywords.front().tables.size();
    for (const KeywordTables& k : deck.keywords) {
        if (family(k.keyword) != family(deck.keywords.front().keyword))
            return refused("the file mixes the keyword families (" + keywordList(deck) +
                           "); a deck uses SWOF, SGOF, SLGOF or SWFN, SGFN, SOF3, SOF2");
        if (k.tables.size() != regions)
            return refused(std::string(keywordName(k.keyword)) + " holds " +
                           std::to_string(k.tables.size()) + " tables but " +
                           keywordName(deck.keywords.front().keyword) + " holds " +
                           std::to_string(regions) + "; every keyword needs one per region");
        for (std::size_t t = 0; t < k.tables.size(); ++t)
            if (k.tables[t].rows.size() < 2)
                return refused(std::string(keywordName(k.keyword)) + " table " +
                               std::to_string(t + 1) + " has fewer than two rows");
    }
    const auto* swof = deck.find(SatKeyword::SWOF);
    const auto* sgof = deck.find(SatKeyword::SGOF);
    const auto* slgof = deck.find(SatKeyword::SLGOF);
    const auto* swfn = deck.find(SatKeyword::SWFN);
    const auto* sgfn = deck.find(SatKeyword::SGFN);
    const auto* sof3 = deck.find(SatKeyword::SOF3);
    const auto* sof2 = deck.find(SatKeyword::SOF2);
    if (sgof && slgof)
        return refused("the file holds both SGOF and SLGOF, two gas tables for each region");
    if (deck.find(SatKeyword::SGWFN) || (swfn && sgfn && !sof3 && !sof2))
        return refused("the file holds a gas-water system (" + keywordList(deck) +
                       "), which has no family 1 keywords");
    if (sof3 && !(swfn && sgfn))
        return refused("SOF3 is the oil of three phases and needs both SWFN and SGFN");
    if (sof2 && (sof3 || (swfn && sgfn)))
        return refused("SOF2 is the oil of two phases and goes with SWFN or SGFN, not both "
                       "(three phases take SOF3)");
    if ((swfn || sgfn) && !sof3 && !sof2)
        return refused(std::string(swfn ? "SWFN" : "SGFN") +
                       " needs the oil's table, SOF3 or SOF2, to convert");
    if ((sof3 || sof2) && !swfn && !sgfn)
        return refused("the oil's table needs SWFN or SGFN beside it to convert");

    std::vector<Region> out(regions);
    for (std::size_t i = 0; i < regions; ++i) {
        Region& r = out[i];
        if (swof)
            r.water = columnsOf(swof->tables[i], SatKeyword::SWOF);
        if (sgof)
            r.gas = columnsOf(sgof->tables[i], SatKeyword::SGOF);
        if (slgof)
            r.gas = reversed(columnsOf(slgof->tables[i], SatKeyword::SLGOF));
        if (family(deck.keywords.front().keyword) == 1)
            continue;
        const Columns oil = sof3 ? columnsOf(sof3->tables[i], SatKeyword::SOF3)
                                 : columnsOf(sof2->tables[i], SatKeyword::SOF2);
        Columns water;
        if (swfn) {
            water = columnsOf(swfn->tables[i], SatKeyword::SWFN);
            r.water = family1Table(water, oil, 1, 0);
        }
        if (sgfn) {
            const double swc = swfn ? water[0].front() : 0;
            r.gas =
                family1Table(columnsOf(sgfn->tables[i], SatKeyword::SGFN), oil, sof3 ? 2 : 1, swc);
        }
    }
    return out;
}

void add(DeckTables& deck, SatKeyword keyword, Columns columns, std::size_t region) {
    KeywordTables* k = nullptr;
    for (KeywordTables& existing : deck.keywords)
        if (existing.keyword == keyword)
            k = &existing;
    if (!k) {
        deck.keywords.push_back({keyword, 0, 0, {}});
        k = &deck.keywords.back();
    }
    if (k->tables.size() <= region)
        k->tables.resize(region + 1);
    k->tables[region] = tableOf(columns);
}

} // namespace

std::optional<TargetFamily> targetFamilyNamed(std::string_view name) {
    if (name == "family1")
        return TargetFamily::Family1;
    if (name == "family2")
        return TargetFamily::Family2;
    if (name == "slgof")
        return TargetFamily::Slgof;
    return std::nullopt;
}

const char* targetFamilyName(TargetFamily family) {
    switch (family) {
    case TargetFamily::Family1:
        return "family1";
    case TargetFamily::Family2:
        return "family2";
    case TargetFamily::Slgof:
        break;
    }
    return "slgof";
}

std::variant<DeckTables, Refusal> convertTables(const DeckTables& deck, TargetFamily to) {
    auto regions = family1Regions(deck);
    if (auto* r = std::get_if<Refusal>(&regions))
        return *r;
    const auto& family1 = std::get<std::vector<Region>>(regions);
    if (to == TargetFamily::Slgof && family1.front().gas.empty())
        return refused("SLGOF is a gas table and the file holds none (" + keywordList(deck) + ")");

    DeckTables out;
    out.files = deck.files;
    out.ntsfun = deck.ntsfun;
    for (std::size_t i = 0; i < family1.size(); ++i) {
        const Region& r = family1[i];
        switch (to) {
        case TargetFamily::Family1:
        case TargetFamily::Slgof:
            if (!r.water.empty())
                add(out, SatKeyword::SWOF, r.water, i);
            if (!r.gas.empty())
                add(out, to == TargetFamily::Slgof ? SatKeyword::SLGOF : SatKeyword::SGOF,
                    to == TargetFamily::Slgof ? reversed(r.gas) : r.gas, i);
            break;
        case TargetFamily::Family2: {
            const double swc = r.water.empty() ? 0 : r.water[0].front();
            if (!r.water.empty())
                add(out, SatKeyword::SWFN, family2Table(r.water), i);
            if (!r.gas.empty())
                add(out, SatKeyword::SGFN, family2Table(r.gas), i);
            const bool threePhase = !r.water.empty() && !r.gas.empty();
            add(out, threePhase ? SatKeyword::SOF3 : SatKeyword::SOF2, oilTable(r, swc), i);
            break;
        }
        }
    }
    return out;
}

std::variant<std::string, Refusal> convertedFile(const DeckTables& deck, TargetFamily to) {
    auto converted = convertTables(deck, to);
    if (auto* r = std::get_if<Refusal>(&converted))
        return *r;
    const DeckTables& out = std::get<DeckTables>(converted);
    std::size_t rows = 0;
    for (const KeywordTables& k : out.keywords)
        for (const Table& t : k.tables)
            rows = std::max(rows, t.rows.size());
    const std::size_t regions = out.keywords.front().tables.size();
    std::string text;
    text += "-- Saturation tables converted by relperm deck convert from " + keywordList(deck) +
            " of " + (deck.files.empty() ? std::string("the deck") : deck.files.front()) + " to " +
            keywordList(out) + ".\n";
    const bool oilRetabulated =
        family(deck.keywords.front().keyword) != family(out.keywords.front().keyword);
    if (oilRetabulated)
        text += "-- The oil columns are tabulated at the saturations of every table they meet, "
                "so the\n-- simulator's linear interpolation gives the same kr as from the "
                "original tables.\n";
    if (out.find(SatKeyword::SLGOF))
        text += "-- SLGOF holds the rows of the gas table in liquid saturation Sl = 1 - Sg.\n";
    text += tabdimsNote(regions, rows) + "\n";
    for (const KeywordTables& k : out.keywords) {
        text += std::string(keywordName(k.keyword)) + "\n";
        std::vector<std::string> heads;
        for (int c = 0; c < columnCount(k.keyword); ++c)
            heads.emplace_back(columnName(k.keyword, c));
        for (std::size_t t = 0; t < k.tables.size(); ++t) {
            text += "-- SATNUM " + std::to_string(t + 1) + "\n";
            std::vector<std::vector<double>> rows;
            for (const Row& row : k.tables[t].rows)
                rows.emplace_back(row.values.begin(), row.values.begin() + columnCount(k.keyword));
            text += tableText(heads, rows);
        }
        text += "\n";
    }
    return text;
}

} // namespace relperm::deck
