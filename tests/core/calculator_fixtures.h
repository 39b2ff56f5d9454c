// Inputs shared by the calculator tests: the worked example of the manual (Swc 20%,
// Sorw 25%, Sorg 10%, Sgc 5%, spacing 5%), with porosity 20%, permeability 100 md and krg
// at Sorg 0.8 for the correlations that read them.
#pragma once

#include "calculator/generate.h"

#include <gtest/gtest.h>

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

// A generation that must succeed.
inline CalculatorState generated(const GenerateInput& in) {
    CalculatorState state;
    auto refusal = generate(state, in);
    EXPECT_FALSE(refusal.has_value()) << refusal->message;
    return state;
}

// The refusal of a generation that must fail.
inline Refusal refused(const GenerateInput& in) {
    CalculatorState state;
    auto refusal = generate(state, in);
    EXPECT_TRUE(refusal.has_value());
    return refusal.value_or(Refusal{});
}

// The tables as a correlation leaves them, before Generate's oil fix-up: the rows of a
// generation with `in`, filled again by `compute(inputs, tables, codes)`.
template <class Compute> Tables rawTables(const GenerateInput& in, Compute compute) {
    const CalculatorState s = generated(in);
    Tables t = s.tables;
    compute(s.inputs.values(), t, selectionCodes(in));
    return t;
}

// Rows of the worked example: Sw .45 is water-oil row 6, Sg .35 gas row 8.
inline constexpr int rowSw045 = 6;
inline constexpr int rowSg035 = 8;

// Values computed by hand from the published equations agree to nine decimals.
inline constexpr double byHand = 5e-9;

} // namespace relperm::testing
