// Generate: from the texts of the boxes to the two tables of the calculator.
//
// The steps follow the window's Generate button: read the boxes (text-to-number rule,
// percent to fraction), decide the fluid system and the selection codes, build the
// water-oil and gas saturation rows, run the chosen correlation, fix up the oil columns.
// Inputs the correlations cannot evaluate are refused and leave the state untouched.
#pragma once

#include "calculator/state.h"
#include "common/refusal.h"

#include <cstdint>
#include <optional>
#include <string>

namespace relperm {

// The texts of the boxes as Generate reads them, shown or not.
struct GenerateInput {
    std::string porosity;     // poro, %
    std::string permeability; // permo, md
    std::string krgAtSorg;    // krgo, fraction
    std::string swc;          // Swco, %
    std::string sorw;         // sorwo, %
    std::string sorg;         // sorgo, %
    std::string sgc;          // sgco, %
    std::string spacing;      // spo, %
    std::string fluids;       // text of fldpk
    std::string correlation;  // text of corpk
    std::string wettability;  // text of wetpk
    std::string formation;    // text of formpk
};

// The two codes handed to the correlations.
struct SelectionCodes {
    std::int16_t wettabilityCode = 0; // 1 Water Wet, 2 Strongly Water Wet, 3 Intermediate (Mixed)
    std::int16_t isSandstone = 0;     // 1 when the formation text begins with "Sand"
};

SelectionCodes selectionCodes(const GenerateInput& input);

// The fluid system of the fluid-system box: any text other than "Water-Gas" and
// "Gas-Condensate" generates as Water-Oil-Gas (with Sorw and Sorg 0 unless it is exactly that).
FluidSystem fluidSystemOf(const std::string& fluids);
const char* fluidSystemName(FluidSystem system); // "Water-Oil-Gas", "Water-Gas", ...

// The Water-Oil-Gas correlation that the first four characters of the correlation text
// choose, tested in the order Moha, Hona, Rose, Wyll, Core.
enum class Correlation { None, Ibrahim, Honarpour, Rose, Wyllie, Corey };
Correlation correlationOf(const std::string& text);
const char* correlationName(Correlation correlation); // the list entry; "" for None

// Runs one generation into `state`. On a refusal `state` is left exactly as it was.
std::optional<Refusal> generate(CalculatorState& state, const GenerateInput& input);

// Step count for a spacing fraction d: 1/d rounded to the nearest integer, halves to even.
double stepCount(double spacing);

} // namespace relperm
