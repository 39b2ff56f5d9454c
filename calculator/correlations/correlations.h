// The correlations of the calculator. Each reads the inputs and the saturation columns and
// fills kr columns row by row, in the evaluation order of its published equations (the
// order of summation is part of the result). None of them checks its inputs: each has a
// check beside it that Generate runs first, naming the input that would leave an equation
// without a value.
//
// wettabilityCode: 1 Water Wet, 2 Strongly Water Wet, 3 Intermediate (Mixed), else 0.
// isSandstone: 1 selects the sandstone equations, any other value the other formation.
#pragma once

#include "calculator/state.h"
#include "common/refusal.h"

#include <cstdint>
#include <optional>

namespace relperm {

// Corey: power laws in normalised saturations; formation and wettability play no part.
void ComputeCorey(const CorrelationInputs& in, Tables& t);
std::optional<Refusal> checkCorey(const CorrelationInputs& in);

// Wyllie: sandstone and other-formation power laws.
void ComputeWyllie(const CorrelationInputs& in, Tables& t, std::int16_t isSandstone);
std::optional<Refusal> checkWyllie(const CorrelationInputs& in);

// Honarpour/Varnholt/Harvey: empirical equations by formation, krw also by wettability
// (water-wet or not); negative results floored at 0.
void ComputeHonarpour(const CorrelationInputs& in, Tables& t, std::int16_t wettabilityCode,
                      std::int16_t isSandstone);
std::optional<Refusal> checkHonarpour(const CorrelationInputs& in, std::int16_t isSandstone);

// Mohamad Ibrahim/Varnholt: polynomials in normalised saturations by formation, the
// water-oil pair also by wettability code 0-3; negative results floored at 0.
void ComputeIbrahim(const CorrelationInputs& in, Tables& t, std::int16_t wettabilityCode,
                    std::int16_t isSandstone);
std::optional<Refusal> checkIbrahim(const CorrelationInputs& in, std::int16_t wettabilityCode,
                                    std::int16_t isSandstone);

// Rose: rational equations in the saturations alone; no floor, no cap.
void ComputeRose(const CorrelationInputs& in, Tables& t);
std::optional<Refusal> checkRose(const CorrelationInputs& in);

// Water-Gas: the gas table's water (krogTable) and gas columns; krg ends at exactly 1.
void watgas(const CorrelationInputs& in, Tables& t);
std::optional<Refusal> checkWatgas(const CorrelationInputs& in);

// Gas-Condensate (Slc in `swc`): condensate (krogTable) and gas columns; krcg starts at
// exactly 1, and negative krg after the last zero row is replaced by a straight line.
void gascon(const CorrelationInputs& in, Tables& t);
std::optional<Refusal> checkGascon(const CorrelationInputs& in);

} // namespace relperm
