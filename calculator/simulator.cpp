#include "calculator/simulator.h"

#include "calculator/validate.h"
#include "common/numbers.h"
#include "common/version.h"

#include <algorithm>

namespace relperm {

namespace {

// The correlations reach their end values only to rounding (a last krg of
// 1.0000000000000004); within this distance a value counts as on its bound.
constexpr double onBound = 1e-12;

struct Row {
    double saturation;
    double first;  // krw (water-oil) or krog/krw/krcg (gas table)
    double second; // krow (water-oil) or krg (gas table)
};

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

std::vector<Row> waterOilRows(const Tables& t) {
    std::vector<Row> rows;
    for (int i = 1; i <= t.nWaterOil; ++i)
        rows.push_back({t.swTable[i], t.krwTable[i], t.krowTable[i]});
    return rows;
}

std::vector<Row> gasRows(const Tables& t) {
    std::vector<Row> rows;
    for (int i = 1; i <= t.nGasLiquid; ++i)
        rows.push_back({t.sgTable[i], t.krogTable[i], t.krgTable[i]});
    return rows;
}

double snapped(double v) {
    if (std::abs(v) <= onBound)
        return 0;
    if (std::abs(v - 1) <= onBound)
        return 1;
    return v;
}

// Keeps the last row, the table's exact end point, and drops every earlier row whose
// saturation is not below the row kept after it.
void dropRowsOutOfOrder(std::vector<Row>& rows, const char* table, const char* sat,
                        std::vector<std::string>& repairs) {
    std::vector<Row> kept;
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

KeywordTable buildTable(Keyword keyword, FluidSystem system, const std::vector<Row>& water,
                        const std::vector<Row>& gas) {
    KeywordTable table{keyword, {}, {}, {}, {}};
    const std::string liquid = system == FluidSystem::GasCondensate ? "krcg" : "krog";
    switch (keyword) {
    case Keyword::SWOF:
        table.saturationName = "Sw";
        table.capillaryName = "Pcow";
        table.kr = {{"krw", true, {}}, {"krow", false, {}}};
        for (const Row& r : water) {
            table.saturation.push_back(r.saturation);
            table.kr[0].values.push_back(r.first);
            table.kr[1].values.push_back(r.second);
        }
        break;
    case Keyword::SGOF:
        table.saturationName = "Sg";
        table.capillaryName = "Pcog";
        table.kr = {{"krg", true, {}}, {liquid, false, {}}};
        for (const Row& r : gas) {
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
        for (const Row& r : gas) {
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
    for (Column& c : t.kr) {
        for (std::size_t i = 0; i < c.values.size(); ++i) {
            double& v = c.values[i];
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

std::optional<Refusal> check(const KeywordTable& t) {
    const std::string name = keywordName(t.keyword);
    const std::string& sat = t.saturationName;
    for (std::size_t i = 1; i < t.saturation.size(); ++i)
        if (t.saturation[i] <= t.saturation[i - 1])
            return broken(sat + " must increase from row to row",
                          name + " row " + std::to_string(i + 1) + " has " + sat + " " +
                              num(t.saturation[i]) + " after " + num(t.saturation[i - 1]) +
                              " in row " + std::to_string(i) + " (a repair drops such rows).");
    for (const Column& c : t.kr) {
        for (std::size_t i = 0; i < c.values.size(); ++i) {
            if (c.values[i] < 0 || c.values[i] > 1)
                return broken(c.name + " must lie between 0 and 1",
                              rowText(t, i) + " has " + c.name + " " + num(c.values[i]) +
                                  " (a repair clips it).");
            if (i > 0 && (c.rises ? c.values[i] < c.values[i - 1] : c.values[i] > c.values[i - 1]))
                return broken(c.name + (c.rises ? " must not fall" : " must not rise") + " as " +
                                  sat + " increases",
                              rowText(t, i) + " has " + c.name + " " + num(c.values[i]) +
                                  " after " + num(c.values[i - 1]) + " (a repair levels it).");
        }
    }
    if (t.saturation.empty())
        return broken(name + " needs rows", "the table is empty.");
    const bool water = t.keyword == Keyword::SWOF || t.keyword == Keyword::SWFN;
    if (water && t.kr[0].values.front() != 0)
        return broken("krw must start at 0",
                      rowText(t, 0) + " has krw " + num(t.kr[0].values.front()) + ".");
    if (!water && t.saturation.front() != 0)
        return broken("the gas table must start at Sg = 0",
                      name + " row 1 has Sg " + num(t.saturation.front()) + ".");
    if (!water && t.kr[0].values.front() != 0)
        return broken("krg must be 0 at Sg = 0",
                      rowText(t, 0) + " has krg " + num(t.kr[0].values.front()) + ".");
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

} // namespace

SimulatorRun simulatorRunOf(std::string program, std::string title, const GenerateInput& input) {
    return {std::move(program),
            std::move(title),
            input.fluids,
            input.correlation,
            input.wettability,
            input.formation,
            formatGeneral(textToNumber(input.spacing))};
}

std::vector<Keyword> keywordsFor(FluidSystem system) {
    switch (system) {
    case FluidSystem::WaterGas:
        return {Keyword::SWFN, Keyword::SGFN};
    case FluidSystem::GasCondensate:
        return {Keyword::SGOF};
    case FluidSystem::WaterOilGas:
        break;
    }
    return {Keyword::SWOF, Keyword::SGOF};
}

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

std::variant<std::string, Refusal> simulatorTables(const CalculatorState& state,
                                                   const SimulatorRun& run,
                                                   const std::vector<Keyword>& keywords,
                                                   bool repair) {
    const std::vector<Keyword> fitting = keywordsFor(state.fluidSystem);
    for (Keyword k : keywords)
        if (std::find(fitting.begin(), fitting.end(), k) == fitting.end())
            return Refusal{"fldpk",
                           std::string(keywordName(k)) + " does not fit the " + run.fluids +
                               " system; it takes " +
                               (state.fluidSystem == FluidSystem::WaterOilGas ? "SWOF and SGOF."
                                : state.fluidSystem == FluidSystem::WaterGas  ? "SWFN and SGFN."
                                                                              : "SGOF.")};
    if (state.tables.nGasLiquid == 0)
        return Refusal{"Command1", "There are no tables yet: generate them first."};

    std::vector<std::string> repairs;
    std::vector<Row> water = waterOilRows(state.tables);
    std::vector<Row> gas = gasRows(state.tables);
    if (repair) {
        dropRowsOutOfOrder(water, "water-oil", "Sw", repairs);
        dropRowsOutOfOrder(gas, "gas", "Sg", repairs);
    }
    std::vector<KeywordTable> tables;
    for (Keyword k : keywords)
        tables.push_back(buildTable(k, state.fluidSystem, water, gas));
    for (KeywordTable& t : tables) {
        if (repair)
            repairKr(t, repairs);
        if (auto r = check(t))
            return *r;
    }

    // Across the tables: the oil curves of both tables meet at Swc, Sg = 0, and the gas
    // table ends where the connate water leaves no more room.
    const CorrelationInputs in = state.inputs.values();
    if (state.fluidSystem == FluidSystem::WaterOilGas && !water.empty() && !gas.empty()) {
        const double krow = snapped(water.front().second);
        const double krog = snapped(gas.front().first);
        if (std::abs(krow - krog) > onBound)
            return broken("krow at Swc must equal krog at Sg = 0",
                          "krow is " + num(krow) + " and krog is " + num(krog) + ".");
    }
    const double sgMax = snapped(gas.back().saturation);
    const double room = snapped(1 - in.swc);
    if (sgMax > room + onBound)
        return broken("the largest Sg may not pass 1 - Swc",
                      "Sg reaches " + num(sgMax) + " but 1 - Swc is " + num(room) + ".");

    std::string out;
    out += "-- Relative permeability tables written by " + run.program + " " + suiteVersion +
           " (Relative Permeability Suite).\n";
    out += "-- Title: " + run.title + "\n";
    out += "-- Fluid system: " + run.fluids + "\n";
    if (state.fluidSystem == FluidSystem::WaterOilGas) {
        out += "-- Correlation: " + run.correlation + "\n";
        out += "-- Wettability: " + run.wettability + "\n";
        out += "-- Formation: " + run.formation + "\n";
    }
    const bool condensate = state.fluidSystem == FluidSystem::GasCondensate;
    out += std::string("-- ") + (condensate ? "Slc " : "Swc ") + percentText(100 * in.swc);
    if (state.fluidSystem == FluidSystem::WaterOilGas)
        out += ", Sorw " + percentText(100 * in.sorw) + ", Sorg " + percentText(100 * in.sorg);
    out += ", Sgc " + percentText(100 * in.sgc) + ", saturation spacing " + run.spacing + "%\n";
    out += "-- Porosity " + percentText(100 * in.porosity) + ", permeability " +
           num(in.permeability) + " md, krg at Sorg " + num(in.krgAtSorg) + "\n";
    if (condensate)
        out += "-- Gas-condensate: SGOF carries the condensate as the liquid (oil) phase, its "
               "column krcg in place of krog.\n";
    out += "-- Capillary pressure is 0 throughout.\n";
    if (repairs.empty()) {
        out += "-- No value was changed.\n";
    } else {
        out += "-- Repaired, so the simulator accepts the tables:\n";
        for (const std::string& r : repairs)
            out += "--   " + r + "\n";
    }
    out += "\n";
    for (const KeywordTable& t : tables)
        writeTable(out, t);
    return out;
}

} // namespace relperm
