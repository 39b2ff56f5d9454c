// Helpers shared by the calculator tests, over the worked example of support/.
#pragma once

#include "calculator/generate.h"
#include "support/worked_example.h"

#include <gtest/gtest.h>

namespace relperm::testing {

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
