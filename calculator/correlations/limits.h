// Checks of what the correlations need of their inputs, beyond the movable ranges that
// Generate checks for every correlation (1 - Swc - Sorw and 1 - Swc - Sorg above 0).
// Each names the input the user should change and the range it needs.
#pragma once

#include "calculator/state.h"
#include "common/refusal.h"

#include <optional>

namespace relperm {

enum class Requirement {
    NotNegative, // the value only multiplies a term
    Positive,    // a term divides by it, takes its logarithm or raises it to a real power
};

std::optional<Refusal> requirePorosity(const CorrelationInputs& in, const char* correlation,
                                       Requirement requirement);
std::optional<Refusal> requirePermeability(const CorrelationInputs& in, const char* correlation,
                                           Requirement requirement);

// 1 - Swc - Sorg - Sgc must not vanish.
std::optional<Refusal> requireGasSpan(const CorrelationInputs& in);
// 1 - Swc - Sgc must not vanish (the systems without oil); `liquid` names Swc or Slc.
std::optional<Refusal> requireLiquidGasSpan(const CorrelationInputs& in, const char* liquid);

} // namespace relperm
