#include "common/simulatorfile.h"

#include "common/numbers.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace relperm {

namespace {

// The correlations reach their end values only to rounding (a last krg of
// 1.0000000000000004); within this distance a value counts as on its bound.
constexpr double onBound = 1e-12;

struct Column {
    std::string name;
    bool rises; // with the keyword's saturation
    std::vector<double> values;
};

struct KeywordTable {
    Keyword keyword;
    std::string saturationName;
    std::string capillaryName;
    std::vector<double> saturation;
    std::vector<Column> kr;
};

std::string num(double v) {
    return formatGeneral(v);
}

// A value as the file will hold it: on its bound when within onBound of it, and at the
// digits it is written with, so that the rules are checked on what the simulator reads (two
// saturations that differ past the fifteenth digit are one saturation in the file).
double snapped(double v) {
    if (std::abs(v) <= onBound)
        return 0;
    if (std::abs(v - 1) <= onBound)
        return 1;
    return parseNumber(formatGeneral(v)).value_or(v);
}

bool isFraction(double v) {
    return v >= 0 && v <= 1; // false for NaN
}

// Keeps the last row, the table's exact end point, and drops every earlier row whose
// saturation is not below the row kept after it.
void dropRowsOutOfOrder(std::vector<SaturationRow>& rows, const char* table, const char* sat,
                        std::vector<std::string>& repairs) {
    std::vector<SaturationRow> kept;
    for (std::size_t i = rows.size(); i-- > 0;) {
        if (!kept.empty() && rows[i].saturation >= kept.back().saturation) {
            repairs.push_back(std::string("the ") + table + " table's row " +
                              std::to_string(i + 1) + " (" + sat + " " + num(rows[i].saturation) +
                              ") is dropped: saturations must increase, and a later row has " +
                              sat + " " + num(kept.back().saturation) + ".");
            continue;
        }
        kept.push_back(rows[i]);
    }
    std::reverse(kept.begin(), kept.end());
    rows = kept;
}

KeywordTable buildTable(Keyword keyword, const std::string& liquid,
                        const std::vector<SaturationRow>& water,
                        const std::vector<SaturationRow>& gas) {
    KeywordTable table{keyword, {}, {}, {}, {}};
    switch (keyword) {
    case Keyword::SWOF:
        table.saturationName = "Sw";
        table.capillaryName = "Pcow";
        table.kr = {{"krw", true, {}}, {"krow", false, {}}};
        for (const SaturationRow& r : water) {
            table.saturation.push_back(r.saturation);
            table.kr[0].values.push_back(r.first);
            table.kr[1].values.push_back(r.second);
        }
        break;
    case Keyword::SGOF:
        table.saturationName = "Sg";
        table.capillaryName = "Pcog";
        table.kr = {{"krg", true, {}}, {liquid, false, {}}};
        for (const SaturationRow& r : gas) {
            table.saturation.push_back(r.saturation);
            table.kr[0].values.push_back(r.second);
            table.kr[1].values.push_back(r.first);
        }
        break;
    case Keyword::SWFN:
        // The gas table read from its last row up, as water saturation 1 - Sg.
        table.saturationName = "Sw";
        table.capillaryName = "Pcgw";
        table.kr = {{"krw", true, {}}};
        for (auto r = gas.rbegin(); r != gas.rend(); ++r) {
            table.saturation.push_back(1 - r->saturation);
            table.kr[0].values.push_back(r->first);
        }
        break;
    case Keyword::SGFN:
        table.saturationName = "Sg";
        table.capillaryName = "Pcog";
        table.kr = {{"krg", true, {}}};
        for (const SaturationRow& r : gas) {
            table.saturation.push_back(r.saturation);
            table.kr[0].values.push_back(r.second);
        }
        break;
    }
    for (double& s : table.saturation)
        s = snapped(s);
    for (Column& c : table.kr)
        for (double& v : c.values)
            v = snapped(v);
    return table;
}

std::string rowText(const KeywordTable& t, std::size_t row) {
    return std::string(keywordName(t.keyword)) + " row " + std::to_string(row + 1) + " (" +
           t.saturationName + " " + num(t.saturation[row]) + ")";
}

void repairKr(KeywordTable& t, std::vector<std::string>& repairs) {
    // The water or gas does not flow at the start of its table (a measured curve may not
    // quite reach 0 there).
    Column& rising = t.kr[0];
    if (!rising.values.empty() && rising.values.front() != 0) {
        repairs.push_back(rowText(t, 0) + ": " + rising.name + " " + num(rising.values.front()) +
                          " is set to 0, where the phase starts to flow.");
        rising.values.front() = 0;
    }
    for (Column& c : t.kr) {
        for (std::size_t i = 0; i < c.values.size(); ++i) {
            double& v = c.values[i];
            if (std::isnan(v))
                continue; // no value to repair it to: the check refuses it
            const double clipped = std::clamp(v, 0.0, 1.0);
            if (clipped != v) {
                repairs.push_back(rowText(t, i) + ": " + c.name + " " + num(v) + " is set to " +
                                  num(clipped) + ", the nearest value in [0, 1].");
                v = clipped;
            }
            if (i == 0)
                continue;
            const double before = c.values[i - 1];
            if (c.rises ? v < before : v > before) {
                repairs.push_back(rowText(t, i) + ": " + c.name + " " + num(v) + " is set to " +
                                  num(before) + ", the value of the row before, so the curve " +
                                  (c.rises ? "does not fall." : "does not rise."));
                v = before;
            }
        }
    }
}

Refusal broken(const std::string& rule, const std::string& detail) {
    return Refusal{"", "The table cannot go into a simulator deck: " + rule + "; " + detail};
}

std::optional<Refusal> check(const KeywordTable& t, bool repaired) {
    const std::string name = keywordName(t.keyword);
    const std::string& sat = t.saturationName;
    for (std::size_t i = 0; i < t.saturation.size(); ++i)
        if (!isFraction(t.saturation[i]))
            return broken(sat + " must lie between 0 and 1",
                          rowText(t, i) + " is outside (a repair cannot move a saturation).");
    for (std::size_t i = 1; i < t.saturation.size(); ++i)
        if (t.saturation[i] <= t.saturation[i - 1])
            return broken(sat + " must increase from row to row",
                          name + " row " + std::to_string(i + 1) + " has " + sat + " " +
                              num(t.saturation[i]) + " after " + num(t.saturation[i - 1]) +
                              " in row " + std::to_string(i) + " (a repair drops such rows).");
    if (t.saturation.empty())
        return broken(name + " needs rows", "the table is empty.");
    // A table of one row is no curve, and the simulator stops on it.
    if (t.saturation.size() < 2)
        return broken(name + " needs at least two rows of its own to describe its curves",
                      "it has one (" + sat + " " + num(t.saturation.front()) + ")" +
                          (repaired ? ", the others having been dropped by the repair." : "."));
    for (const Column& c : t.kr) {
        for (std::size_t i = 0; i < c.values.size(); ++i) {
            if (!isFraction(c.values[i]))
                return broken(c.name + " must lie between 0 and 1",
                              rowText(t, i) + " has " + c.name + " " + num(c.values[i]) +
                                  (std::isnan(c.values[i]) ? "." : " (a repair clips it)."));
            if (i > 0 && (c.rises ? c.values[i] < c.values[i - 1] : c.values[i] > c.values[i - 1]))
                return broken(c.name + (c.rises ? " must not fall" : " must not rise") + " as " +
                                  sat + " increases",
                              rowText(t, i) + " has " + c.name + " " + num(c.values[i]) +
                                  " after " + num(c.values[i - 1]) + " (a repair levels it).");
        }
    }
    const bool water = t.keyword == Keyword::SWOF || t.keyword == Keyword::SWFN;
    if (water && t.kr[0].values.front() != 0)
        return broken("krw must start at 0", rowText(t, 0) + " has krw " +
                                                 num(t.kr[0].values.front()) +
                                                 " (a repair sets it to 0).");
    if (!water && t.saturation.front() != 0)
        return broken("the gas table must start at Sg = 0",
                      name + " row 1 has Sg " + num(t.saturation.front()) + ".");
    if (!water && t.kr[0].values.front() != 0)
        return broken("krg must be 0 at Sg = 0", rowText(t, 0) + " has krg " +
                                                     num(t.kr[0].values.front()) +
                                                     " (a repair sets it to 0).");
    return std::nullopt;
}

// A phase that never flows is no curve: the simulator stops on a kr column that never leaves
// 0 (it scales the curve by its largest value), and moves no fluid at all without the other
// phase's. Checked on the rows the simulator reads, end rows included.
std::optional<Refusal> checkEveryPhaseFlows(const KeywordTable& t) {
    for (const Column& c : t.kr)
        if (std::none_of(c.values.begin(), c.values.end(), [](double v) { return v > 0; }))
            return broken(c.name + " must be above 0 somewhere",
                          "every " + c.name + " of " + keywordName(t.keyword) +
                              " is 0, so the phase would never flow.");
    return std::nullopt;
}

std::string padded(const std::string& text, std::size_t width) {
    return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

void writeTable(std::string& out, const KeywordTable& t) {
    out += keywordName(t.keyword);
    out += "\n-- " + padded(t.saturationName, 20);
    for (const Column& c : t.kr)
        out += padded(c.name, 20);
    out += t.capillaryName + "\n";
    for (std::size_t i = 0; i < t.saturation.size(); ++i) {
        out += "   " + padded(num(t.saturation[i]), 20);
        for (const Column& c : t.kr)
            out += padded(num(c.values[i]), 20);
        out += "0\n";
    }
    out += "/\n\n";
}

// The simulator sets the largest saturation of each phase from a table's last row, so a
// table that stops at 1 - Sorw leaves Sorw of oil in the aquifer and one that stops at
// 1 - Swc - Sorg leaves Sorg of oil in the gas cap. One more row, at Sw = 1 or Sg = 1 - Swc,
// makes oil immobile there (kr 0, as it is from the table's last row on) and takes the water
// or gas kr on a straight line to the end value. The table's own rows stay as they are.
std::optional<Refusal> addEndRow(KeywordTable& t, double swc, const SimulatorOptions& options,
                                 std::vector<std::string>& added) {
    const bool water = t.keyword == Keyword::SWOF || t.keyword == Keyword::SWFN;
    const double end = water ? 1.0 : snapped(1 - swc);
    const double last = t.saturation.back();
    if (last >= end - onBound)
        return std::nullopt;
    Column& rising = t.kr[0]; // krw or krg
    const double kr = water ? options.krwMax : options.krgMax;
    const std::string at = rising.name + " at " + t.saturationName + " = " + num(end) +
                           " (the row added at the end of " + keywordName(t.keyword) + ")";
    if (!(kr >= 0 && kr <= 1))
        return Refusal{water ? "krwMax" : "krgMax",
                       at + " must lie between 0 and 1; it is " + num(kr) + "."};
    if (kr < rising.values.back())
        return Refusal{water ? "krwMax" : "krgMax",
                       at + " must not be below " + num(rising.values.back()) + ", the " +
                           rising.name + " of the last row (" + t.saturationName + " " + num(last) +
                           "); it is " + num(kr) + "."};
    t.saturation.push_back(end);
    rising.values.push_back(kr);
    std::string values = rising.name + " " + num(kr);
    for (std::size_t c = 1; c < t.kr.size(); ++c) {
        t.kr[c].values.push_back(0);
        values += ", " + t.kr[c].name + " 0";
    }
    added.push_back(rowText(t, t.saturation.size() - 1) + ": " + values + "; " + rising.name +
                    " straight from " + t.saturationName + " " + num(last) + ".");
    return std::nullopt;
}

// Text fit for a comment line: a line break or other control character would end the
// comment and turn the rest into deck input.
std::string commentText(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = ' ';
    return text;
}

} // namespace

const char* keywordName(Keyword keyword) {
    switch (keyword) {
    case Keyword::SWOF:
        return "SWOF";
    case Keyword::SGOF:
        return "SGOF";
    case Keyword::SWFN:
        return "SWFN";
    case Keyword::SGFN:
        break;
    }
    return "SGFN";
}

std::variant<std::string, Refusal> simulatorFile(const SaturationTables& tables,
                                                 const std::vector<std::string>& description,
                                                 const SimulatorOptions& options) {
    std::vector<std::string> repairs;
    std::vector<SaturationRow> water = tables.waterOil;
    std::vector<SaturationRow> gas = tables.gas;
    if (options.repair) {
        dropRowsOutOfOrder(water, "water-oil", "Sw", repairs);
        dropRowsOutOfOrder(gas, "gas", "Sg", repairs);
    }
    const bool tableRowsDropped =
        water.size() < tables.waterOil.size() || gas.size() < tables.gas.size();
    std::vector<KeywordTable> written;
    for (Keyword k : options.keywords)
        written.push_back(buildTable(k, tables.liquid, water, gas));
    for (KeywordTable& t : written) {
        if (options.repair)
            repairKr(t, repairs);
        if (auto r = check(t, tableRowsDropped))
            return *r;
    }

    // Across the tables: the oil curves of both tables meet at Swc, Sg = 0, and the gas
    // table ends where the connate water leaves no more room.
    if (tables.oilCurvesMeet && !water.empty() && !gas.empty()) {
        const double krow = snapped(water.front().second);
        const double krog = snapped(gas.front().first);
        if (std::abs(krow - krog) > onBound)
            return broken("krow at Swc must equal krog at Sg = 0",
                          "krow is " + num(krow) + " and krog is " + num(krog) + ".");
    }
    if (!gas.empty()) {
        const double sgMax = snapped(gas.back().saturation);
        const double room = snapped(1 - tables.swc);
        if (!isFraction(room))
            return broken("Swc must lie between 0 and 1", "it is " + num(tables.swc) + ".");
        if (sgMax > room + onBound)
            return broken("the largest Sg may not pass 1 - Swc",
                          "Sg reaches " + num(sgMax) + " but 1 - Swc is " + num(room) + ".");
    }

    std::vector<std::string> added;
    for (KeywordTable& t : written)
        if (auto r = addEndRow(t, tables.swc, options, added))
            return *r;
    for (const KeywordTable& t : written)
        if (auto r = checkEveryPhaseFlows(t))
            return *r;

    std::string out;
    for (const std::string& line : description)
        out += "-- " + commentText(line) + "\n";
    for (const std::string& change : tables.changes)
        out += "-- " + commentText(change) + "\n";
    if (repairs.empty()) {
        if (tables.changes.empty())
            out += "-- No value was changed.\n";
    } else {
        out += "-- Repaired, so the simulator accepts the tables:\n";
        for (const std::string& r : repairs)
            out += "--   " + r + "\n";
    }
    if (!added.empty()) {
        out += "-- Rows added so each table reaches the largest saturation of its phase (the "
               "simulator\n-- takes a table's last row as that saturation):\n";
        for (const std::string& a : added)
            out += "--   " + a + "\n";
    }
    out += "\n";
    for (const KeywordTable& t : written)
        writeTable(out, t);
    return out;
}

} // namespace relperm
