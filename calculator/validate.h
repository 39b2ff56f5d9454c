// The limits of the inputs that a generation needs, and the refusals that name them.
#pragma once

#include "calculator/state.h"
#include "common/refusal.h"

#include <optional>
#include <string>

namespace relperm {

// The numbers read from the boxes, before percent becomes a fraction.
struct TypedValues {
    double porosity = 0;     // %
    double permeability = 0; // md
    double krgAtSorg = 0;    // fraction
    double swc = 0;          // %
    double sorw = 0;         // %
    double sorg = 0;         // %
    double sgc = 0;          // %
    double spacing = 0;      // %
};

// A denominator this close to zero counts as zero: end points typed to add up to 100%
// leave only binary rounding error in it.
inline constexpr double vanishingDenominator = 1e-9;

// Every typed value finite; the spacing above 0 and no finer than 102 steps; end points
// not negative.
std::optional<Refusal> checkTypedValues(const TypedValues& typed);

// The end points must leave a movable range in both tables (swMax above Swc, sgMax above 0).
std::optional<Refusal> checkMovableRange(const CorrelationInputs& in, FluidSystem system);

// Every value of the filled rows must be a finite number.
std::optional<Refusal> checkFiniteTables(const Tables& tables, FluidSystem system,
                                         const std::string& procedure);

// A percentage as the user would read it in a message: "20%".
std::string percentText(double percent);

} // namespace relperm
