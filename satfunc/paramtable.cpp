#include "satfunc/paramtable.h"

#include "common/csv.h"
#include "common/numbers.h"
#include "common/readfile.h"
#include "satfunc/rows.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace relperm::satfunc {

namespace {

// A parameter table of thousands of regions is a few hundred kilobytes.
constexpr std::size_t largestTable = 16 << 20;

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

std::optional<ScalCase> caseNamed(const std::string& text) {
    const std::string c = lower(trimmed(text));
    if (c == "low" || c == "pess" || c == "pessimistic")
        return ScalCase::Low;
    if (c == "base")
        return ScalCase::Base;
    if (c == "high" || c == "opt" || c == "optimistic")
        return ScalCase::High;
    return std::nullopt;
}

std::string rowRef(const std::string& file, int line) {
    return file + " row " + std::to_string(line);
}

std::string n(double v) {
    return formatGeneral(v);
}

} // namespace

std::variant<ParameterTable, Refusal> readParameterTable(const std::filesystem::path& file,
                                                         const std::string& sheet) {
    const std::string name = file.string();
    std::string ext = lower(file.extension().string());
    // An old .xls goes to the workbook reader too, which recognises it and says what to do.
    if (ext == ".xlsx" || ext == ".xlsm" || ext == ".xls") {
        auto book = readXlsxSheet(file, sheet);
        if (auto* r = std::get_if<Refusal>(&book))
            return *r;
        return parameterTable(std::get<Sheet>(book).rows, name);
    }
    if (!sheet.empty())
        return Refusal{"sheet", "--sheet names a sheet of an .xlsx workbook; " + name +
                                    " is read as comma-separated text."};
    FileStart start;
    if (auto problem = readFileStart(file, PipeUse::Read, largestTable, start))
        return Refusal{name, "Could not read \"" + name + "\": " + *problem};
    if (start.more)
        return Refusal{name, name + " is larger than 16 MiB, too large for a parameter table."};
    return parameterTableFromCsv(start.text, name);
}

std::variant<ParameterTable, Refusal> parameterTableFromCsv(const std::string& text,
                                                            const std::string& file) {
    std::vector<SheetRow> rows;
    CsvReader reader(text);
    SheetRow row;
    while (auto field = reader.next()) {
        if (row.cells.empty())
            row.number = field->line;
        row.cells.push_back(field->text);
        if (field->endsLine) {
            rows.push_back(std::move(row));
            row = {};
        }
    }
    if (!row.cells.empty())
        rows.push_back(std::move(row));
    return parameterTable(rows, file);
}

std::variant<ParameterTable, Refusal> parameterTable(const std::vector<SheetRow>& rows,
                                                     const std::string& file) {
    ParameterTable table;
    table.file = file;
    const auto isEmpty = [](const SheetRow& r) {
        return std::all_of(r.cells.begin(), r.cells.end(),
                           [](const std::string& c) { return trimmed(c).empty(); });
    };
    auto head = std::find_if_not(rows.begin(), rows.end(), isEmpty);
    if (head == rows.end())
        return Refusal{file, file + " holds no parameter table: it has no column names."};
    for (const std::string& cell : head->cells)
        table.columns.push_back(lower(trimmed(cell)));
    if (table.columns.size() == 1 && table.columns[0].find(';') != std::string::npos)
        return Refusal{file, file + " separates its columns with ';': a parameter table's "
                                    "columns are separated by commas, its decimals by points."};
    std::map<std::string, int> where;
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        const std::string& name = table.columns[c];
        if (name.empty())
            continue;
        if (where.count(name))
            return Refusal{name,
                           rowRef(file, head->number) + ": the column " + name + " appears twice."};
        where[name] = static_cast<int>(c);
    }
    if (!where.count("satnum"))
        return Refusal{"satnum", file + " has no SATNUM column: every row must say which "
                                        "saturation region it is for."};
    table.scal = where.count("case") > 0;
    if (where.count("krowend") || where.count("krogend"))
        if (!where.count("kroend"))
            return Refusal{where.count("krowend") ? "krowend" : "krogend",
                           file + " names krowend or krogend: the oil's end-point kr is the "
                                  "column kroend, for both oil curves."};

    for (auto r = head + 1; r != rows.end(); ++r) {
        if (isEmpty(*r))
            continue;
        ParameterRow row;
        row.line = r->number;
        const std::string at = rowRef(file, r->number);
        std::string tag, comment;
        for (std::size_t c = 0; c < table.columns.size() && c < r->cells.size(); ++c) {
            const std::string& name = table.columns[c];
            const std::string cell = trimmed(r->cells[c]);
            if (name.empty() || cell.empty())
                continue;
            if (name == "satnum") {
                const auto v = parseNumber(cell);
                if (!v || *v != std::floor(*v) || *v < 1 || *v > 1e6)
                    return Refusal{"satnum", at + ", column SATNUM: \"" + cell +
                                                 "\" is no SATNUM (a whole number from 1)."};
                row.satnum = static_cast<int>(*v);
            } else if (name == "case") {
                row.scalCase = caseNamed(cell);
                if (!row.scalCase)
                    return Refusal{"case", at + ", column CASE: \"" + cell +
                                               "\" is no case; a case is low, base or high "
                                               "(or pess, pessimistic, opt, optimistic)."};
            } else if (name == "tag") {
                tag = cell;
            } else if (name == "comment") {
                comment = cell;
            } else if (name == "krgendanchor") {
                row.krgendanchor = lower(cell);
            } else {
                const auto v = parseNumber(cell);
                if (!v || !std::isfinite(*v))
                    return Refusal{name,
                                   at + ", column " + name + ": \"" + cell + "\" is not a number."};
                row.values[name] = *v;
            }
        }
        if (row.satnum == 0)
            return Refusal{"satnum", at + ": the SATNUM cell is empty."};
        if (table.scal && !row.scalCase)
            return Refusal{"case", at + ": the CASE cell is empty; with a CASE column every "
                                        "row is the low, base or high case of its SATNUM."};
        if (!tag.empty() && !comment.empty())
            row.tag = "tag: " + tag + "; comment: " + comment;
        else
            row.tag = tag.empty() ? comment : tag;
        table.rows.push_back(std::move(row));
    }
    if (table.rows.empty())
        return Refusal{file, file + " has column names but no rows."};

    std::stable_sort(
        table.rows.begin(), table.rows.end(), [](const ParameterRow& a, const ParameterRow& b) {
            if (a.satnum != b.satnum)
                return a.satnum < b.satnum;
            return a.scalCase.value_or(ScalCase::Base) < b.scalCase.value_or(ScalCase::Base);
        });
    std::set<int> satnums;
    for (const ParameterRow& row : table.rows)
        satnums.insert(row.satnum);
    const int regions = static_cast<int>(satnums.size());
    for (const ParameterRow& row : table.rows)
        if (row.satnum > regions)
            return Refusal{"satnum", rowRef(file, row.line) +
                                         ", column SATNUM: " + std::to_string(row.satnum) +
                                         " leaves a gap: the " + std::to_string(regions) +
                                         " regions must be numbered 1 to " +
                                         std::to_string(regions) + "."};
    for (int s = 1; s <= regions; ++s) {
        std::vector<const ParameterRow*> of;
        for (const ParameterRow& row : table.rows)
            if (row.satnum == s)
                of.push_back(&row);
        if (!table.scal && of.size() > 1)
            return Refusal{"satnum", rowRef(file, of[1]->line) + ", column SATNUM: SATNUM " +
                                         std::to_string(s) + " is also in row " +
                                         std::to_string(of[0]->line) +
                                         " (without a CASE column a region has one row)."};
        if (table.scal) {
            const bool whole = of.size() == 3 && of[0]->scalCase == ScalCase::Low &&
                               of[1]->scalCase == ScalCase::Base &&
                               of[2]->scalCase == ScalCase::High;
            if (!whole)
                return Refusal{"case", rowRef(file, of[0]->line) + ", column CASE: SATNUM " +
                                           std::to_string(s) +
                                           " needs three rows, one each for the low, base and "
                                           "high case; it has " +
                                           std::to_string(of.size()) + "."};
        }
    }
    return table;
}

namespace {

struct RowReader {
    const ParameterTable& table;
    const ParameterRow& row;

    bool has(const std::string& k) const { return row.values.count(k) > 0; }
    bool column(const std::string& k) const {
        return std::find(table.columns.begin(), table.columns.end(), k) != table.columns.end();
    }
    double get(const std::string& k, double fallback) const {
        const auto it = row.values.find(k);
        return it == row.values.end() ? fallback : it->second;
    }
    std::string at(const std::string& column) const {
        return rowRef(table.file, row.line) + ", column " + column;
    }
    Refusal refused(const std::string& column, const std::string& message) const {
        return Refusal{column, at(column) + ": " + message};
    }
    // LET keys named either way (low or lo).
    std::optional<Shape> shape(const std::string& corey, const std::vector<std::string>& let,
                               const std::vector<std::string>& alias = {}) const {
        if (has(corey))
            return Shape{.n = get(corey, 0)};
        for (const auto* names : {&let, &alias}) {
            if (names->empty())
                continue;
            if (std::all_of(names->begin(), names->end(), [&](const auto& k) { return has(k); }))
                return Shape{.let = true,
                             .l = get((*names)[0], 0),
                             .e = get((*names)[1], 0),
                             .t = get((*names)[2], 0)};
        }
        return std::nullopt;
    }
    std::optional<Shape> water() const { return shape("nw", {"lw", "ew", "tw"}); }
    std::optional<Shape> oilInWater() const {
        return shape("now", {"low", "eow", "tow"}, {"lo", "eo", "to"});
    }
    std::optional<Shape> gas() const { return shape("ng", {"lg", "eg", "tg"}); }
    std::optional<Shape> oilInGas() const { return shape("nog", {"log", "eog", "tog"}); }

    bool all(std::initializer_list<const char*> keys) const {
        return std::all_of(keys.begin(), keys.end(), [&](const char* k) { return has(k); });
    }

    Capillary capillary() const {
        if (all({"a", "b", "poro_ref", "perm_ref", "drho"}))
            return SimpleJ{
                get("a", 0),    get("b", 0), get("poro_ref", 0), get("perm_ref", 0), get("drho", 0),
                get("g", 9.81), false};
        if (all({"a_petro", "b_petro", "poro_ref", "perm_ref", "drho"}))
            return SimpleJ{get("a_petro", 0),
                           get("b_petro", 0),
                           get("poro_ref", 0),
                           get("perm_ref", 0),
                           get("drho", 0),
                           get("g", 9.81),
                           true};
        if (all({"a", "b", "poro", "perm", "sigma_costau"}))
            return NormalisedJ{get("a", 0), get("b", 0), get("poro", 0), get("perm", 0),
                               get("sigma_costau", 0)};
        if (all({"lpow", "epow", "tpow", "ltow", "etow", "ttow", "pcowmax", "pcowt"}))
            return LetDrainage{get("lpow", 0), get("epow", 0), get("tpow", 0),    get("ltow", 0),
                               get("etow", 0), get("ttow", 0), get("pcowmax", 0), get("pcowt", 0)};
        if (all({"lsow", "esow", "tsow", "lfow", "efow", "tfow", "pcowmax", "pcowmin", "pcowt"}))
            return LetImbibition{get("lsow", 0),    get("esow", 0),    get("tsow", 0),
                                 get("lfow", 0),    get("efow", 0),    get("tfow", 0),
                                 get("pcowmax", 0), get("pcowmin", 0), get("pcowt", 0)};
        if (all({"cw", "co", "aw", "ao"}))
            return Skjaeveland{get("cw", 0), get("co", 0), get("aw", 0), get("ao", 0)};
        return std::monostate{};
    }

    // swl as given, or from swlheight through the J function's reference values.
    std::variant<double, Refusal> swl() const {
        if (!has("swlheight"))
            return get("swl", 0);
        if (has("swl"))
            return refused("swlheight", "give swl or swlheight, not both.");
        for (const char* k : {"swirr", "a", "b", "poro_ref", "perm_ref"})
            if (!has(k))
                return refused("swlheight",
                               std::string("swlheight needs the column ") + k + " to find swl.");
        const double height = get("swlheight", 0);
        if (!(height > 0))
            return refused("swlheight", "swlheight must be above 0; it is " + n(height) + ".");
        const double swirr = get("swirr", 0);
        return swirr +
               (1 - swirr) * std::pow(height * std::sqrt(get("perm_ref", 0) / get("poro_ref", 0)) /
                                          get("a", 0),
                                      1 / get("b", 0));
    }
    std::variant<double, Refusal> swcr(double swl) const {
        if (!has("swcr_add"))
            return get("swcr", 0);
        if (has("swcr"))
            return refused("swcr_add", "give swcr or swcr_add, not both.");
        return swl + get("swcr_add", 0);
    }
};

std::optional<Refusal> requireCells(const RowReader& r, std::initializer_list<const char*> keys) {
    for (const char* k : keys)
        if (r.column(k) && !r.has(k))
            return r.refused(k, "the cell is empty; in this kind of table a column given must "
                                "be filled in every row.");
    return std::nullopt;
}

struct Completeness {
    bool wo = false, go = false, gw = false;
};

Completeness completeness(const RowReader& r) {
    return {r.water() && r.oilInWater(), r.gas() && r.oilInGas(), r.water() && r.gas()};
}

std::variant<RegionParameters, Refusal> parametersOf(const RowReader& r, RegionKind kind,
                                                     bool wantWater, bool wantGas) {
    RegionParameters p;
    p.satnum = r.row.satnum;
    p.line = r.row.line;
    p.kind = kind;
    p.tag = "SATNUM " + std::to_string(r.row.satnum) + (r.row.tag.empty() ? "" : " " + r.row.tag);
    auto swlOr = r.swl();
    if (auto* refusal = std::get_if<Refusal>(&swlOr))
        return *refusal;
    const double swl = std::get<double>(swlOr);
    auto swcrOr = r.swcr(swl);
    if (auto* refusal = std::get_if<Refusal>(&swcrOr))
        return *refusal;
    const double swcr = std::get<double>(swcrOr);
    if (r.has("swlheight") && r.has("swcr") && swcr < swl)
        return r.refused("swcr", "swcr (" + n(swcr) + ") is below the swl that swlheight gives (" +
                                     n(swl) + ").");
    const double h = r.get("h", 0.01);
    const double kroend = r.get("kroend", 1);

    if (kind == RegionKind::GasWater) {
        if (auto refusal = requireCells(r, {"swirr", "swl", "sgl", "swcr", "sgrw", "sgcr", "h"}))
            return *refusal;
        const double sgl = r.get("sgl", 0), sgcr = r.get("sgcr", 0), sgrw = r.get("sgrw", 0);
        if (!(sgl < sgcr + epsilon && sgl < sgrw + epsilon && swl < 1 - sgl))
            return r.refused("sgl", "sgl (" + n(sgl) +
                                        ") may not exceed sgcr or sgrw, nor leave swl at or "
                                        "above 1 - sgl.");
        p.gasWater = GasWaterParameters{.swirr = r.get("swirr", 0),
                                        .swl = swl,
                                        .swcr = swcr,
                                        .sgrw = sgrw,
                                        .sgcr = sgcr,
                                        .h = h,
                                        .water = *r.water(),
                                        .gas = *r.gas(),
                                        .krwend = r.get("krwend", 1),
                                        .krwmax = r.get("krwmax", 1),
                                        .krgend = r.get("krgend", 1),
                                        .krgmax = r.get("krgmax", 1),
                                        .pc = r.capillary()};
        return p;
    }
    if (kind == RegionKind::WaterOilGas) {
        if (r.column("socr"))
            return r.refused("socr", "socr is for water-oil tables alone, not for three phases.");
        if (auto refusal = requireCells(r, {"swirr", "swl", "swcr", "sorw", "sorg", "sgcr", "h"}))
            return *refusal;
    }
    if (wantWater) {
        double sorw = r.get("sorw", 0);
        if (r.has("sgrw")) {
            if (r.has("sorw") && r.get("sgrw", 0) != sorw)
                return r.refused("sgrw", "sgrw names sorw in a water-oil table, and differs from "
                                         "the sorw given (" +
                                             n(sorw) + ").");
            sorw = r.get("sgrw", 0);
        }
        WaterOilParameters wo{.swirr = r.get("swirr", 0),
                              .swl = swl,
                              .swcr = swcr,
                              .sorw = sorw,
                              .h = h,
                              .water = *r.water(),
                              .oil = *r.oilInWater(),
                              .krwend = r.get("krwend", 1),
                              .krwmax = r.get("krwmax", 1),
                              .kroend = kroend,
                              .pc = r.capillary()};
        if (r.has("socr"))
            wo.socr = r.get("socr", 0);
        p.waterOil = wo;
    }
    if (wantGas) {
        const std::string& anchor = r.row.krgendanchor;
        p.gasOil = GasOilParameters{
            .swirr = r.get("swirr", 0),
            .swl = swl,
            .sgcr = r.get("sgcr", 0),
            .sorg = r.get("sorg", 0),
            .sgro = r.get("sgro", 0),
            .anchoredToSorg = anchor == "sorg",
            .h = h,
            .gas = *r.gas(),
            .oil = *r.oilInGas(),
            .krgend = r.get("krgend", 1),
            .krgmax = r.get("krgmax", 1),
            .kroend = kroend,
            .kromax = r.has("kromax") ? std::optional<double>(r.get("kromax", 0)) : std::nullopt};
    }
    return p;
}

const char* kindName(RegionKind kind) {
    switch (kind) {
    case RegionKind::WaterOil:
        return "water-oil";
    case RegionKind::GasOil:
        return "gas-oil";
    case RegionKind::WaterOilGas:
        return "water-oil and gas-oil";
    case RegionKind::GasWater:
        break;
    }
    return "gas-water";
}

std::string missingCurves(RegionKind kind) {
    switch (kind) {
    case RegionKind::WaterOil:
        return "a water curve (nw, or lw ew tw) and an oil curve (now, or low eow tow)";
    case RegionKind::GasOil:
        return "a gas curve (ng, or lg eg tg) and an oil curve in gas (nog, or log eog tog)";
    case RegionKind::WaterOilGas:
        return "water, oil and gas curves (nw now ng nog, or their LET columns)";
    case RegionKind::GasWater:
        break;
    }
    return "a water curve (nw, or lw ew tw) and a gas curve (ng, or lg eg tg)";
}

} // namespace

std::variant<std::vector<Region>, Refusal> regionsOf(const ParameterTable& table) {
    std::vector<Completeness> complete;
    for (const ParameterRow& row : table.rows)
        complete.push_back(completeness(RowReader{table, row}));
    RegionKind kind;
    const auto every = [&](bool Completeness::*half) {
        return std::all_of(complete.begin(), complete.end(),
                           [&](const Completeness& c) { return c.*half; });
    };
    if (table.scal) {
        if (every(&Completeness::wo) || every(&Completeness::go))
            kind = RegionKind::WaterOilGas;
        else if (every(&Completeness::gw))
            kind = RegionKind::GasWater;
        else
            return Refusal{"case", table.file +
                                       ": the cases of a SCAL recommendation must all give "
                                       "water-oil curves, all gas-oil curves, or all gas-water "
                                       "curves."};
    } else {
        const Completeness& first = complete.front();
        if (first.wo && first.go)
            kind = RegionKind::WaterOilGas;
        else if (first.wo)
            kind = RegionKind::WaterOil;
        else if (first.go)
            kind = RegionKind::GasOil;
        else if (first.gw)
            kind = RegionKind::GasWater;
        else
            return Refusal{"satnum", rowRef(table.file, table.rows.front().line) +
                                         ": no curves: a row needs the exponents of " +
                                         missingCurves(RegionKind::WaterOilGas) +
                                         ", of two of them, or of gas and water."};
    }

    std::vector<Region> regions;
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        const RowReader reader{table, table.rows[i]};
        const Completeness& c = complete[i];
        bool water = false, gas = false;
        switch (kind) {
        case RegionKind::WaterOil:
            water = c.wo;
            break;
        case RegionKind::GasOil:
            gas = c.go;
            break;
        case RegionKind::WaterOilGas:
            water = c.wo;
            gas = c.go;
            break;
        case RegionKind::GasWater:
            water = gas = c.gw;
            break;
        }
        const bool whole = table.scal && kind == RegionKind::WaterOilGas ? (water || gas)
                           : kind == RegionKind::WaterOilGas             ? (water && gas)
                                                                         : (water || gas);
        if (!whole)
            return Refusal{"satnum", rowRef(table.file, table.rows[i].line) + ": the table is " +
                                         kindName(kind) + ", and this row lacks " +
                                         missingCurves(kind) + "."};
        auto p = parametersOf(reader, kind, water && kind != RegionKind::GasWater,
                              gas && kind != RegionKind::GasWater);
        if (auto* r = std::get_if<Refusal>(&p))
            return *r;
        if (regions.empty() || regions.back().satnum != table.rows[i].satnum)
            regions.push_back(Region{table.rows[i].satnum, {}});
        regions.back().cases.push_back(std::get<RegionParameters>(std::move(p)));
    }
    return regions;
}

} // namespace relperm::satfunc
