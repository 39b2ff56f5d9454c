// The worked example of the calculator (Swc 20%, Sorw 25%, Sorg 10%, Sgc 5%, spacing 5%),
// with porosity 20%, permeability 100 md and krg at Sorg 0.8 for the correlations that read
// them: the inputs of the tests and of the benchmarks.
#pragma once

#include "calculator/generate.h"

#include <string>

namespace relperm::testing {

inline GenerateInput workedExample(const std::string& correlation,
                                   const std::string& formation = "Select Formation",
                                   const std::string& wettability = "Select Wettability") {
    GenerateInput in;
    in.fluids = "Water-Oil-Gas";
    in.correlation = correlation;
    in.wettability = wettability;
    in.formation = formation;
    in.porosity = "20";
    in.permeability = "100";
    in.krgAtSorg = ".8";
    in.swc = "20";
    in.sorw = "25";
    in.sorg = "10";
    in.sgc = "5";
    in.spacing = "5";
    return in;
}

// The same end points for a system without oil ("Water-Gas" or "Gas-Condensate").
inline GenerateInput gasSystemExample(const std::string& fluids) {
    GenerateInput in = workedExample("Mohamad Ibrahim/Varnholt");
    in.fluids = fluids;
    return in;
}

} // namespace relperm::testing
