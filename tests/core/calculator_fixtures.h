// Inputs shared by the calculator tests: the worked example of the manual (Swc 20%,
// Sorw 25%, Sorg 10%, Sgc 5%, spacing 5%) with a correlation picked.
#pragma once

#include "calculator/generate.h"

namespace relperm::testing {

inline GenerateInput workedExample(const std::string& correlation,
                                   const std::string& formation = "Select Formation") {
    GenerateInput in;
    in.fluids = "Water-Oil-Gas";
    in.correlation = correlation;
    in.wettability = "Select Wettability";
    in.formation = formation;
    in.swc = "20";
    in.sorw = "25";
    in.sorg = "10";
    in.sgc = "5";
    in.spacing = "5";
    return in;
}

} // namespace relperm::testing
