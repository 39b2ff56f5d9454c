// Saturation-function keywords for a simulator deck (SWOF, SGOF, SWFN, SGFN) from the
// calculator's tables, checked as a simulator checks them, so an include file we write is
// one the simulator accepts. A table that breaks a rule is refused with the rule, the row
// and the values, unless a repair is asked for; every repair is listed in the file.
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

// The texts of the run, for the comment block at the head of the file.
struct SimulatorRun {
    std::string program; // "relperm", "vomar"
    std::string title;
    std::string fluids;
    std::string correlation;
    std::string wettability;
    std::string formation;
    std::string spacing; // as typed, percent
};

// The run as the texts of the boxes it was generated from.
SimulatorRun simulatorRunOf(std::string program, std::string title, const GenerateInput& input);

// The include file with `keywords` (each must fit the fluid system), or a refusal naming
// the rule, the keyword, the row and the values. With `repair`, rows that break the
// saturation order are dropped, kr values are clipped to [0, 1] and a kr that moves
// against its curve's direction is levelled to the row before; each change is listed.
std::variant<std::string, Refusal> simulatorTables(const CalculatorState& state,
                                                   const SimulatorRun& run,
                                                   const std::vector<Keyword>& keywords,
                                                   bool repair);

} // namespace relperm
