// Saturation-function keywords for a simulator deck (SWOF, SGOF, SWFN, SGFN) from the
// calculator's tables, checked as a simulator checks them, so an include file we write is
// one the simulator accepts and that puts the fluids where the end points say. A table that
// breaks a rule is refused with the rule, the row and the values, unless a repair is asked
// for; every repair and every added row is listed in the file.
#pragma once

#include "calculator/generate.h"
#include "calculator/state.h"
#include "common/refusal.h"

#include <string>
#include <variant>
#include <vector>

namespace relperm {

enum class Keyword { SWOF, SGOF, SWFN, SGFN };

// SWOF and SGOF for Water-Oil-Gas, SWFN and SGFN for Water-Gas, SGOF (condensate as the
// liquid phase) for Gas-Condensate.
std::vector<Keyword> keywordsFor(FluidSystem system);
const char* keywordName(Keyword keyword);

// The run the tables came from, for the comment block at the head of the file.
struct SimulatorRun {
    std::string program; // "relperm", "vomar"
    std::string title;
    GenerateInput input; // the boxes of the generation
};

// What to write. The simulator takes a table's last row as the largest saturation its phase
// can reach, so tables that stop short of Sw = 1 or Sg = 1 - Swc get one row more: the oil kr
// 0 and the water or gas kr on a straight line to the value given here.
struct SimulatorOptions {
    std::vector<Keyword> keywords = {}; // each must fit the fluid system
    bool repair = false;
    double krwMax = 1; // krw at Sw = 1
    double krgMax = 1; // krg at Sg = 1 - Swc
};

// The include file, or a refusal naming the rule, the keyword, the row and the values. With
// `repair`, rows that break the saturation order are dropped, kr values are clipped to
// [0, 1] and a kr that moves against its curve's direction is levelled to the row before;
// each change is listed. An end row whose kr would fall below the row before it is refused
// with the input "krwMax" or "krgMax".
std::variant<std::string, Refusal> simulatorTables(const CalculatorState& state,
                                                   const SimulatorRun& run,
                                                   const SimulatorOptions& options);

} // namespace relperm
