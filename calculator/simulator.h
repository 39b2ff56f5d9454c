// The calculator's tables as simulator keywords (SWOF, SGOF, SWFN, SGFN), through the one
// simulator writer (common/simulatorfile.h), with a head that names the run.
#pragma once

#include "calculator/generate.h"
#include "calculator/state.h"
#include "common/refusal.h"
#include "common/simulatorfile.h"

#include <string>
#include <variant>
#include <vector>

namespace relperm {

// SWOF and SGOF for Water-Oil-Gas, SWFN and SGFN for Water-Gas, SGOF (condensate as the
// liquid phase) for Gas-Condensate.
std::vector<Keyword> keywordsFor(FluidSystem system);

// The run the tables came from, for the comment block at the head of the file.
struct SimulatorRun {
    std::string program; // "relperm", "vomar"
    std::string title;
    GenerateInput input; // the boxes of the generation
};

// The include file with `options.keywords` (each must fit the fluid system), or a refusal.
// The head names the program, the run's title and the inputs the correlation reads.
std::variant<std::string, Refusal> simulatorTables(const CalculatorState& state,
                                                   const SimulatorRun& run,
                                                   const SimulatorOptions& options);

} // namespace relperm
