#include "calculator/correlations/limits.h"

#include "calculator/validate.h"

#include <cmath>
#include <string>

namespace relperm {

namespace {

std::optional<Refusal> requireNonZero(double normaliser, const char* input, const char* sum,
                                      double total) {
    if (std::fabs(normaliser) > vanishingDenominator)
        return std::nullopt;
    return Refusal{input, std::string(sum) + " must not be 100% (it is " +
                              percentText(100 * total) + "): the correlation divides by " +
                              "100% minus it."};
}

} // namespace

std::optional<Refusal> requireGasSpan(const CorrelationInputs& in) {
    return requireNonZero(1 - (in.swc + (in.sorg + in.sgc)), "sgco", "Swc + Sorg + Sgc",
                          in.swc + in.sorg + in.sgc);
}

} // namespace relperm
