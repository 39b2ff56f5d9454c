// Checks of the normalisers that the correlations divide by, beyond the movable ranges
// that Generate checks for every correlation (1 - Swc - Sorw and 1 - Swc - Sorg above 0).
// Each names the end point the user should change and the sum that must stay off 100%.
#pragma once

#include "calculator/state.h"
#include "common/refusal.h"

#include <optional>

namespace relperm {

// 1 - Swc - Sorg - Sgc must not vanish.
std::optional<Refusal> requireGasSpan(const CorrelationInputs& in);

} // namespace relperm
