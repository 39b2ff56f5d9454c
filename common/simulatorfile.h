// The one writer of saturation-function keywords for a simulator deck (SWOF, SGOF, SLGOF,
// SWFN, SGFN, SOF3), whatever the tables come from: a correlation of the calculator, a measured
// data set, a fitted model, a parameter table of many regions. The tables are checked as a
// simulator checks them, so an include file we write is one the simulator accepts, and they are
// taken on to the largest saturation of each phase, so the simulator puts the fluids where the end
// points say. A table that breaks a rule is refused with the rule, the row and the values, unless a
// repair is asked for; every repair and every added row is listed in the file.
#pragma once

#include "common/refusal.h"

#include <string>
#include <variant>
#include <vector>

namespace relperm {

enum class Keyword { SWOF, SGOF, SWFN, SGFN, SOF3, SLGOF };
const char* keywordName(Keyword keyword);

struct SaturationRow {
    double saturation;
    double first;  // krw (water-oil table), or the liquid's kr (gas table)
    double second; // krow (water-oil table), or krg (gas table)
    double pc = 0; // capillary pressure, bar: Pcow (water-oil table), Pcog (gas table)
};

// The tables, in rows of rising saturation. SWOF is written from the water-oil table; SGOF,
// SLGOF (as liquid saturation 1 - Sg) and SGFN from the gas table; SOF3 from both, on the
// oil saturations of either. SWFN comes from the water-oil table when `swfnFromWaterOil`,
// otherwise from the gas table read from its last row up, as water saturation 1 - Sg (the
// water-gas system of one table, whose liquid is water).
struct SaturationTables {
    std::vector<SaturationRow> waterOil = {}; // Sw, krw, krow
    std::vector<SaturationRow> gas = {};      // Sg, krog (krw, krcg), krg
    std::string liquid = "krog";              // the liquid's column in SGOF: krog or krcg
    double swc = 0;                           // connate water (or liquid): Sg goes up to 1 - Swc
    // Three-phase tables: krow at Swc must equal krog at Sg = 0, as both are the oil at
    // connate water and no gas.
    bool oilCurvesMeet = false;
    bool swfnFromWaterOil = false;
    // Values the rows were given before they came here (a measured point put on the bound it
    // lay just beyond), one sentence each: the head lists them where it would otherwise say
    // that no value was changed.
    std::vector<std::string> changes = {};
};

// What to write. The simulator takes a table's last row as the largest saturation its phase
// can reach, so tables that stop short of Sw = 1 or Sg = 1 - Swc get one row more: the oil
// (liquid) kr 0 and the water or gas kr on a straight line to the value given here.
struct SimulatorOptions {
    std::vector<Keyword> keywords = {};
    bool repair = false;
    double krwMax = 1; // krw at Sw = 1
    double krgMax = 1; // krg at Sg = 1 - Swc
};

// The include file: the comment lines of `description` (each written after "-- ", with line
// breaks and control characters made blanks so that nothing in them becomes deck input),
// the repairs and added rows, then the keywords. Or a refusal naming the rule, the keyword,
// the row and the values; an end row whose kr would fall below the row before it is refused
// with the input "krwMax" or "krgMax". Besides the rules a repair can mend, two are always
// refused, as the simulator stops on both: a kr column that is 0 in every row written, end
// rows included (a phase that never flows), and a table with fewer than two rows of its own
// (a repair says when its dropped rows left one).
std::variant<std::string, Refusal> simulatorFile(const SaturationTables& tables,
                                                 const std::vector<std::string>& description,
                                                 const SimulatorOptions& options);

// One saturation region (SATNUM) of a deck: its name for messages ("SATNUM 3"), the comment
// lines heading its table in every keyword, those heading only the keywords of its water
// table (SWOF, SWFN) or of its gas table (SGOF, SLGOF, SGFN; SOF3 takes both), and its
// tables.
struct RegionTables {
    std::string name;
    std::vector<std::string> comment;
    std::vector<std::string> waterComment = {};
    std::vector<std::string> gasComment = {};
    SaturationTables tables;
};

// The include file of many regions: each keyword once, with one table per region in the
// order given, each ending with "/". The same rules hold as for one region; a refusal names
// the region. The head says how many tables and rows the deck's TABDIMS must allow.
std::variant<std::string, Refusal> simulatorFile(const std::vector<RegionTables>& regions,
                                                 const std::vector<std::string>& description,
                                                 const SimulatorOptions& options);

// The head line saying what TABDIMS must allow for `tables` tables of up to `rows` rows.
std::string tabdimsNote(std::size_t tables, std::size_t rows);

// One table as every include file lays it out: a comment line naming the columns, a row
// per entry (each value in the general number form, in a column 20 characters wide), and
// the "/" that ends the table.
std::string tableText(const std::vector<std::string>& columns,
                      const std::vector<std::vector<double>>& rows);

// Saturations in rising order with those that print alike dropped: two values closer than
// the 1e-5 the tables resolve are one row, the smaller kept (rows made elsewhere from the
// same saturations line up row by row).
std::vector<double> distinctSaturations(std::vector<double> values);

} // namespace relperm
