#include "common/simulatorfile.h"

#include "common/linear.h"
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

// A column's values as the file will hold them, each formatted once when the table is built
// (the text is what is written, the value what the text reads back as and the rules are
// checked on); a value changed after that is formatted again when written.
struct HeldTexts {
    std::vector<double> value;
    std::vector<std::size_t> end; // of each value's text in `text`
    std::string text;

    std::string_view at(std::size_t i) const {
        const std::size_t start = i == 0 ? 0 : end[i - 1];
        return std::string_view(text).substr(start, end[i] - start);
    }
};

struct KeywordTable {
    Keyword keyword;
    std::string saturationName;
    std::string capillaryName; // empty: the keyword has no capillary pressure column
    std::vector<double> saturation;
    std::vector<Column> kr;
    std::vector<double> pc;
    std::vector<HeldTexts> held = {}; // saturation, each kr column, pc
};

// The keywords whose table starts where a phase starts to flow (its kr 0 in row 1) and
// ends at the largest saturation of that phase.
bool hasFlowStart(Keyword k) {
    return k == Keyword::SWOF || k == Keyword::SGOF || k == Keyword::SWFN || k == Keyword::SGFN;
}

bool isWaterTable(Keyword k) {
    return k == Keyword::SWOF || k == Keyword::SWFN;
}

std::string num(double v) {
    return formatGeneral(v);
}

// The layout of every table: a comment line naming the columns, a row per entry with each
// value in a column 20 characters wide (at least one blank after it), and "/". `cell`
// appends the text of a row's column to the line.
template <class Cell>
void appendTable(std::string& out, const std::vector<std::string>& columns, std::size_t rows,
                 const Cell& cell) {
    const auto pad = [](std::string& line, std::size_t start) {
        const std::size_t width = line.size() - start;
        line.append(width >= 20 ? 1 : 20 - width, ' ');
    };
    const auto trimmed = [&out](std::string& line) {
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out += line;
        out += '\n';
    };
    std::string line = "-- ";
    for (const std::string& c : columns) {
        const std::size_t start = line.size();
        line += c;
        pad(line, start);
    }
    trimmed(line);
    for (std::size_t row = 0; row < rows; ++row) {
        line.assign("   ");
        for (std::size_t column = 0; column < columns.size(); ++column) {
            const std::size_t start = line.size();
            cell(line, row, column);
            pad(line, start);
        }
        trimmed(line);
    }
    out += "/\n";
}

// A value as the file will hold it: on its bound when within onBound of it, and at the
// digits it is written with, so that the rules are checked on what the simulator reads (two
// saturations that differ past the fifteenth digit are one saturation in the file).
double ontoBound(double v) {
    if (std::abs(v) <= onBound)
        return 0;
    if (std::abs(v - 1) <= onBound)
        return 1;
    return v;
}

double snapped(double v) {
    return generalValue(ontoBound(v));
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

void addRow(KeywordTable& t, double saturation, std::initializer_list<double> kr, double pc) {
    t.saturation.push_back(saturation);
    std::size_t c = 0;
    for (double v : kr)
        t.kr[c++].values.push_back(v);
    t.pc.push_back(pc);
}

// Linear between a table's points, its end values carried beyond them (0 for no table).
double carried(const std::vector<double>& xs, const std::vector<double>& ys, double x) {
    return ys.empty() ? 0 : linearAt(xs, ys, x, ys.front(), ys.back());
}

// Oil in three phases: krow and krog against the oil saturations of both tables (the gas
// table's at connate water), each interpolated on its own table's points.
void addOilRows(KeywordTable& t, const std::vector<SaturationRow>& water,
                const std::vector<SaturationRow>& gas, double swc) {
    std::vector<double> soWater, krow, soGas, krog, all;
    for (auto r = water.rbegin(); r != water.rend(); ++r) {
        soWater.push_back(1 - r->saturation);
        krow.push_back(r->second);
    }
    for (auto r = gas.rbegin(); r != gas.rend(); ++r) {
        soGas.push_back(1 - r->saturation - swc);
        krog.push_back(r->first);
    }
    all = soWater;
    all.insert(all.end(), soGas.begin(), soGas.end());
    for (double so : distinctSaturations(all))
        addRow(t, std::abs(so) < 1e-12 ? 0.0 : so,
               {carried(soWater, krow, so), carried(soGas, krog, so)}, 0);
}

KeywordTable buildTable(Keyword keyword, const SaturationTables& tables,
                        const std::vector<SaturationRow>& water,
                        const std::vector<SaturationRow>& gas) {
    KeywordTable table{keyword, {}, {}, {}, {}, {}};
    switch (keyword) {
    case Keyword::SWOF:
        table.saturationName = "Sw";
        table.capillaryName = "Pcow";
        table.kr = {{"krw", true, {}}, {"krow", false, {}}};
        for (const SaturationRow& r : water)
            addRow(table, r.saturation, {r.first, r.second}, r.pc);
        break;
    case Keyword::SGOF:
        table.saturationName = "Sg";
        table.capillaryName = "Pcog";
        table.kr = {{"krg", true, {}}, {tables.liquid, false, {}}};
        for (const SaturationRow& r : gas)
            addRow(table, r.saturation, {r.second, r.first}, r.pc);
        break;
    case Keyword::SLGOF: {
        // Liquid saturation 1 - Sg, from where the oil stops flowing in gas up to Sl = 1.
        table.saturationName = "Sl";
        table.capillaryName = "Pcog";
        table.kr = {{"krg", false, {}}, {tables.liquid, true, {}}};
        std::size_t last = 0;
        while (last + 1 < gas.size() && gas[last].first > 0)
            ++last;
        for (std::size_t i = last + 1; i-- > 0;)
            addRow(table, 1 - gas[i].saturation, {gas[i].second, gas[i].first}, gas[i].pc);
        break;
    }
    case Keyword::SWFN:
        table.saturationName = "Sw";
        // Water against oil, unless the region has no oil (its gas table's liquid is water).
        table.capillaryName = tables.swfnFromWaterOil && tables.liquid != "krw" ? "Pcow" : "Pcgw";
        table.kr = {{"krw", true, {}}};
        if (tables.swfnFromWaterOil)
            for (const SaturationRow& r : water)
                addRow(table, r.saturation, {r.first}, r.pc);
        else // the gas table read from its last row up, as water saturation 1 - Sg
            for (auto r = gas.rbegin(); r != gas.rend(); ++r)
                addRow(table, 1 - r->saturation, {r->first}, r->pc);
        break;
    case Keyword::SGFN:
        table.saturationName = "Sg";
        table.capillaryName = "Pcog";
        table.kr = {{"krg", true, {}}};
        for (const SaturationRow& r : gas)
            addRow(table, r.saturation, {r.second}, r.pc);
        break;
    case Keyword::SOF3:
        table.saturationName = "So";
        table.kr = {{"krow", true, {}}, {tables.liquid, true, {}}};
        addOilRows(table, water, gas, tables.swc);
        break;
    }
    std::vector<std::vector<double>*> columns{&table.saturation};
    for (Column& c : table.kr)
        columns.push_back(&c.values);
    columns.push_back(&table.pc);
    for (std::vector<double>* column : columns) {
        HeldTexts& held = table.held.emplace_back();
        for (double& v : *column) {
            v = held.value.emplace_back(appendGeneralValue(held.text, ontoBound(v)));
            held.end.push_back(held.text.size());
        }
    }
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
    if (hasFlowStart(t.keyword) && !rising.values.empty() && rising.values.front() != 0) {
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
    for (std::size_t i = 0; i < t.pc.size(); ++i)
        if (!std::isfinite(t.pc[i]))
            return broken(t.capillaryName + " must be a finite number",
                          rowText(t, i) + " has " + t.capillaryName + " " + num(t.pc[i]) + ".");
    if (t.keyword == Keyword::SLGOF && (t.saturation.back() != 1 || t.kr[0].values.back() != 0))
        return broken("SLGOF must end at Sl = 1 with krg 0", rowText(t, t.saturation.size() - 1) +
                                                                 " has krg " +
                                                                 num(t.kr[0].values.back()) + ".");
    if (!hasFlowStart(t.keyword))
        return std::nullopt;
    const bool water = isWaterTable(t.keyword);
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

void writeRows(std::string& out, const KeywordTable& t) {
    std::vector<std::string> heads{t.saturationName};
    std::vector<const std::vector<double>*> columns{&t.saturation};
    for (const Column& c : t.kr) {
        heads.push_back(c.name);
        columns.push_back(&c.values);
    }
    if (!t.capillaryName.empty()) {
        heads.push_back(t.capillaryName);
        columns.push_back(&t.pc);
    }
    appendTable(out, heads, t.saturation.size(),
                [&](std::string& line, std::size_t row, std::size_t column) {
                    const double v = (*columns[column])[row];
                    // held is in the order of the columns: saturation, kr, Pc.
                    const HeldTexts& held = t.held[column];
                    if (row < held.value.size() && held.value[row] == v)
                        line += held.at(row);
                    else
                        appendGeneral(line, v);
                });
}

// The simulator sets the largest saturation of each phase from a table's last row, so a
// table that stops at 1 - Sorw leaves Sorw of oil in the aquifer and one that stops at
// 1 - Swc - Sorg leaves Sorg of oil in the gas cap. One more row, at Sw = 1 or Sg = 1 - Swc,
// makes oil immobile there (kr 0, as it is from the table's last row on) and takes the water
// or gas kr on a straight line to the end value. The table's own rows stay as they are.
std::optional<Refusal> addEndRow(KeywordTable& t, double swc, const SimulatorOptions& options,
                                 std::vector<std::string>& added) {
    if (!hasFlowStart(t.keyword))
        return std::nullopt;
    const bool water = isWaterTable(t.keyword);
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
    t.pc.push_back(t.pc.back());
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
        return "SGFN";
    case Keyword::SOF3:
        return "SOF3";
    case Keyword::SLGOF:
        break;
    }
    return "SLGOF";
}

std::string tabdimsNote(std::size_t tables, std::size_t rows) {
    return "-- TABDIMS needs at least " + std::to_string(tables) +
           (tables == 1 ? " saturation table" : " saturation tables") + " (NTSFUN) of up to " +
           std::to_string(rows) + " rows (NSSFUN).\n";
}

std::string tableText(const std::vector<std::string>& columns,
                      const std::vector<std::vector<double>>& rows) {
    std::string out;
    appendTable(out, columns, rows.size(),
                [&](std::string& line, std::size_t row, std::size_t column) {
                    appendGeneral(line, rows[row][column]);
                });
    return out;
}

std::vector<double> distinctSaturations(std::vector<double> values) {
    std::stable_sort(values.begin(), values.end());
    // Rounded half to even on a 1e-5 scale, as the rows of either table were laid out.
    const auto bin = [](double s) { return std::nearbyint(s * 100000.0); };
    std::vector<double> kept;
    for (double v : values)
        if (kept.empty() || bin(v) != bin(kept.back()))
            kept.push_back(v);
    return kept;
}

namespace {

// One region's keyword tables as they will be written, with what was repaired or added.
struct PreparedRegion {
    std::vector<KeywordTable> written;
    std::vector<std::string> repairs;
    std::vector<std::string> added;
};

std::variant<PreparedRegion, Refusal> prepare(const SaturationTables& tables,
                                              const SimulatorOptions& options) {
    PreparedRegion region;
    std::vector<std::string>& repairs = region.repairs;
    std::vector<SaturationRow> water = tables.waterOil;
    std::vector<SaturationRow> gas = tables.gas;
    if (options.repair) {
        dropRowsOutOfOrder(water, "water-oil", "Sw", repairs);
        dropRowsOutOfOrder(gas, "gas", "Sg", repairs);
    }
    const bool tableRowsDropped =
        water.size() < tables.waterOil.size() || gas.size() < tables.gas.size();
    for (Keyword k : options.keywords)
        region.written.push_back(buildTable(k, tables, water, gas));
    for (KeywordTable& t : region.written) {
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

    for (KeywordTable& t : region.written)
        if (auto r = addEndRow(t, tables.swc, options, region.added))
            return *r;
    for (const KeywordTable& t : region.written)
        if (auto r = checkEveryPhaseFlows(t))
            return *r;
    return region;
}

// What was changed on the way into the file, as comment lines: values put on their bounds,
// repairs, rows added.
std::string notes(const SaturationTables& tables, const PreparedRegion& region) {
    std::string out;
    for (const std::string& change : tables.changes)
        out += "-- " + commentText(change) + "\n";
    if (region.repairs.empty()) {
        if (tables.changes.empty())
            out += "-- No value was changed.\n";
    } else {
        out += "-- Repaired, so the simulator accepts the tables:\n";
        for (const std::string& r : region.repairs)
            out += "--   " + r + "\n";
    }
    if (!region.added.empty()) {
        out += "-- Rows added so each table reaches the largest saturation of its phase (the "
               "simulator\n-- takes a table's last row as that saturation):\n";
        for (const std::string& a : region.added)
            out += "--   " + a + "\n";
    }
    return out;
}

} // namespace

std::variant<std::string, Refusal> simulatorFile(const SaturationTables& tables,
                                                 const std::vector<std::string>& description,
                                                 const SimulatorOptions& options) {
    auto prepared = prepare(tables, options);
    if (auto* r = std::get_if<Refusal>(&prepared))
        return *r;
    const PreparedRegion& region = std::get<PreparedRegion>(prepared);
    std::string out;
    for (const std::string& line : description)
        out += "-- " + commentText(line) + "\n";
    out += notes(tables, region) + "\n";
    for (const KeywordTable& t : region.written) {
        out += std::string(keywordName(t.keyword)) + "\n";
        writeRows(out, t);
        out += "\n";
    }
    return out;
}

std::variant<std::string, Refusal> simulatorFile(const std::vector<RegionTables>& regions,
                                                 const std::vector<std::string>& description,
                                                 const SimulatorOptions& options) {
    std::vector<PreparedRegion> prepared;
    std::size_t rows = 0;
    for (const RegionTables& r : regions) {
        auto one = prepare(r.tables, options);
        if (auto* refusal = std::get_if<Refusal>(&one))
            return Refusal{refusal->input, r.name + ": " + refusal->message};
        prepared.push_back(std::move(std::get<PreparedRegion>(one)));
        for (const KeywordTable& t : prepared.back().written)
            rows = std::max(rows, t.saturation.size());
    }
    std::string out;
    for (const std::string& line : description)
        out += "-- " + commentText(line) + "\n";
    out += tabdimsNote(regions.size(), rows) + "\n";
    for (std::size_t k = 0; k < options.keywords.size(); ++k) {
        out += std::string(keywordName(options.keywords[k])) + "\n";
        for (std::size_t r = 0; r < regions.size(); ++r) {
            const Keyword keyword = options.keywords[k];
            const bool water = isWaterTable(keyword) || keyword == Keyword::SOF3;
            const bool gas = !isWaterTable(keyword);
            for (const auto* lines :
                 {&regions[r].comment, water ? &regions[r].waterComment : nullptr,
                  gas ? &regions[r].gasComment : nullptr})
                if (lines)
                    for (const std::string& line : *lines)
                        out += "-- " + commentText(line) + "\n";
            const std::string changed = notes(regions[r].tables, prepared[r]);
            if (changed != "-- No value was changed.\n")
                out += changed;
            writeRows(out, prepared[r].written[k]);
        }
        out += "\n";
    }
    return out;
}

} // namespace relperm
