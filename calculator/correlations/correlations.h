// The correlations of the calculator. Each reads the inputs and the saturation columns and
// fills kr columns row by row, in the evaluation order of its published equations (the
// order of summation is part of the result). None of them checks its inputs: each has a
// check beside it that Generate runs first, naming the input that would leave an equation
// without a value.
#pragma once

#include "calculator/state.h"
#include "common/refusal.h"

#include <cstdint>
#include <optional>

namespace relperm {

// Corey: power laws in normalised saturations; formation and wettability play no part.
void ComputeCorey(const CorrelationInputs& in, Tables& t);
std::optional<Refusal> checkCorey(const CorrelationInputs& in);

// Wyllie: isSandstone 1 selects the sandstone equations, any other value the other set.
void ComputeWyllie(const CorrelationInputs& in, Tables& t, std::int16_t isSandstone);
std::optional<Refusal> checkWyllie(const CorrelationInputs& in);

} // namespace relperm
