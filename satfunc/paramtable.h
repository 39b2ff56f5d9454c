// The parameter table an engineer keeps for a model's saturation regions, in the layout
// pyscal reads (and `relperm fit` and `relperm recommend` write): a row per SATNUM, or three
// per SATNUM with a CASE column for a SCAL recommendation, column names in any case.
#pragma once

#include "common/refusal.h"
#include "satfunc/curves.h"
#include "satfunc/xlsx.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace relperm::satfunc {

enum class ScalCase { Low, Base, High };

// One row as read: its row number in the file, SATNUM, CASE, tag and the numbers of its
// non-empty cells by lower-case column name.
struct ParameterRow {
    int line = 0;
    int satnum = 0;
    std::optional<ScalCase> scalCase;
    std::string tag;
    std::map<std::string, double> values;
    std::string krgendanchor = "sorg";
};

struct ParameterTable {
    std::string file;                 // as named to the reader, for messages
    std::vector<std::string> columns; // lower-case, in file order
    std::vector<ParameterRow> rows;   // in SATNUM order (and low, base, high within one)
    bool scal = false;
};

// A comma-separated file, or an .xlsx workbook's first or named sheet.
std::variant<ParameterTable, Refusal> readParameterTable(const std::filesystem::path& file,
                                                         const std::string& sheet = {});
// Comma-separated text (a fit's or a recommendation's parameters); `file` names it.
std::variant<ParameterTable, Refusal> parameterTableFromCsv(const std::string& text,
                                                            const std::string& file);
// The table in cells, as a reader found them; `file` names it in messages.
std::variant<ParameterTable, Refusal> parameterTable(const std::vector<SheetRow>& rows,
                                                     const std::string& file);

enum class RegionKind { WaterOil, GasOil, WaterOilGas, GasWater };

// One region's curves, or one case of a SCAL recommendation.
struct RegionParameters {
    int satnum = 0;
    int line = 0;
    std::string tag; // "SATNUM 3 sand"
    RegionKind kind = RegionKind::WaterOil;
    std::optional<WaterOilParameters> waterOil; // water-oil, and water-gas as water table
    std::optional<GasOilParameters> gasOil;
    std::optional<GasWaterParameters> gasWater;
};

// A region of the deck: its parameters, or the low, base and high cases of a SCAL
// recommendation.
struct Region {
    int satnum = 0;
    std::vector<RegionParameters> cases; // one, or low, base and high
};

// The regions of the table, each row's curves decided by its columns as pyscal decides
// them; a refusal names the file, the row and the column.
std::variant<std::vector<Region>, Refusal> regionsOf(const ParameterTable& table);

} // namespace relperm::satfunc
