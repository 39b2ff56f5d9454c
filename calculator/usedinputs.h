// Which inputs a generation's equations read, so a record of the run (the head of a
// simulator file) lists those and nothing else. The lists are given as the correlation reads
// them: a wettability the correlation does not tell apart, or a box still showing its
// prompt, appears as the case the equations fall into.
#pragma once

#include "calculator/generate.h"

#include <string>

namespace relperm {

struct UsedInputs {
    FluidSystem system = FluidSystem::WaterOilGas;
    std::string correlation; // the list entry; empty for the systems without oil
    std::string wettability; // empty when the equations read none
    std::string formation;   // empty when the equations read none
    bool sorw = false;       // Sorw and Sorg: Water-Oil-Gas only
    bool porosity = false;
    bool permeability = false;
    bool krgAtSorg = false;
};

UsedInputs usedInputs(const GenerateInput& input);

} // namespace relperm
