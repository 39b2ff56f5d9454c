#include "calculator/usedinputs.h"

namespace relperm {

namespace {

const char* formationName(const SelectionCodes& codes) {
    return codes.isSandstone == 1 ? "Sandstone" : "Carbonate";
}

// Honarpour tells only water-wet rock from the rest.
const char* honarpourWettability(const SelectionCodes& codes) {
    return codes.wettabilityCode == 1 ? "Water Wet" : "Oil or Intermediate Wet";
}

const char* ibrahimWettability(const SelectionCodes& codes) {
    switch (codes.wettabilityCode) {
    case 1:
        return "Water Wet";
    case 2:
        return "Strongly Water Wet";
    case 3:
        return "Intermediate (Mixed)";
    default:
        return "Oil Wet";
    }
}

} // namespace

UsedInputs usedInputs(const GenerateInput& input) {
    UsedInputs used;
    used.system = fluidSystemOf(input.fluids);
    if (used.system == FluidSystem::WaterGas) {
        used.porosity = used.permeability = true;
        return used;
    }
    if (used.system == FluidSystem::GasCondensate)
        return used;
    used.sorw = true;
    const Correlation correlation = correlationOf(input.correlation);
    used.correlation = correlationName(correlation);
    const SelectionCodes codes = selectionCodes(input);
    const bool sandstone = codes.isSandstone == 1;
    switch (correlation) {
    case Correlation::Wyllie:
        used.formation = formationName(codes);
        break;
    case Correlation::Honarpour:
        used.wettability = honarpourWettability(codes);
        used.formation = formationName(codes);
        used.porosity = used.krgAtSorg = true;
        used.permeability = !sandstone; // the carbonate krg has (k / phi)^0.5
        break;
    case Correlation::Ibrahim: {
        used.wettability = ibrahimWettability(codes);
        used.formation = formationName(codes);
        used.porosity = true; // every krg has a term in phi
        // ln k or k: the sandstone krw of codes 1 and 2, and every carbonate krg.
        const int code = codes.wettabilityCode;
        used.permeability = !sandstone || code == 1 || code == 2;
        break;
    }
    case Correlation::Rose:
    case Correlation::Corey:
    case Correlation::None:
        break;
    }
    return used;
}

} // namespace relperm
