#include "calculator/correlations/limits.h"

#include "calculator/validate.h"
#include "common/numbers.h"

#include <cmath>
#include <string>

namespace relperm {

namespace {

std::optional<Refusal> requireNonZero(double normaliser, const char* input, const std::string& sum,
                                      double total) {
    if (std::fabs(normaliser) > vanishingDenominator)
        return std::nullopt;
    return Refusal{input, sum + " must not be 100% (it is " + percentText(100 * total) +
                              "): the correlation divides by 100% minus it."};
}

std::optional<Refusal> require(double value, const std::string& shown, const char* input,
                               const char* name, const char* correlation, Requirement requirement,
                               const char* unit) {
    const bool positive = requirement == Requirement::Positive;
    if (positive ? value > 0 : value >= 0)
        return std::nullopt;
    return Refusal{input, std::string(name) + " must be " + (positive ? "greater than 0" : "0") +
                              unit + (positive ? "" : " or more") + " for " + correlation +
                              " (it is " + shown + ")."};
}

} // namespace

std::optional<Refusal> requirePorosity(const CorrelationInputs& in, const char* correlation,
                                       Requirement requirement) {
    return require(in.porosity, percentText(100 * in.porosity), "poro", "Porosity", correlation,
                   requirement, "%");
}

std::optional<Refusal> requirePermeability(const CorrelationInputs& in, const char* correlation,
                                           Requirement requirement) {
    return require(in.permeability, formatGeneral(in.permeability) + " md", "permo", "Permeability",
                   correlation, requirement, " md");
}

std::optional<Refusal> requireGasSpan(const CorrelationInputs& in) {
    return requireNonZero(1 - (in.swc + (in.sorg + in.sgc)), "sgco", "Swc + Sorg + Sgc",
                          in.swc + in.sorg + in.sgc);
}

std::optional<Refusal> requireLiquidGasSpan(const CorrelationInputs& in, const char* liquid) {
    return requireNonZero(1 - (in.swc + in.sgc), "sgco", std::string(liquid) + " + Sgc",
                          in.swc + in.sgc);
}

} // namespace relperm
