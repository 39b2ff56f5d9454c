#include "calculator/generate.h"

#include "calculator/correlations/correlations.h"
#include "calculator/validate.h"
#include "common/numbers.h"
#include "common/quotedtext.h"

#include <cmath>
#include <string_view>

namespace relperm {

namespace {

// Within this distance a saturation counts as having reached an end point.
constexpr double endPointTolerance = 1e-05;

// Builds the saturation columns and the two row counts. Returns a refusal when a column
// cannot start or end inside the table, so no stale row count survives.
std::optional<Refusal> buildSaturationRows(const CorrelationInputs& in, double d, Tables& t) {
    const int n = static_cast<int>(stepCount(d));
    const double swMax = 1 - in.sorw;
    const double sgMax = (1 - in.sorg) - in.swc;

    // First sweep: the first multiple of the spacing beyond Swc, and Sgc as the second gas row.
    bool waterStart = false;
    bool gasStart = false;
    t.sgTable[1] = 0;
    double a = 0;
    double b = 0;
    for (int k = 1; k <= n; ++k) {
        a = a + d;
        b = b + d;
        if (!waterStart && a > in.swc + endPointTolerance) {
            t.swTable[1] = in.swc;
            t.swTable[2] = a;
            waterStart = true;
        }
        if (!gasStart && b > in.sgc + endPointTolerance) {
            t.sgTable[2] = in.sgc;
            gasStart = true;
        }
    }
    const std::string span = percentText(100 * a);
    if (!waterStart)
        return Refusal{"Swco", "Swc must be below " + span +
                                   ", the span of the saturation rows with this spacing (it is " +
                                   percentText(100 * in.swc) + ")."};
    if (!gasStart)
        return Refusal{"sgco", "Sgc must be below " + span +
                                   ", the span of the saturation rows with this spacing (it is " +
                                   percentText(100 * in.sgc) + ")."};

    // Second sweep: both columns grow by the spacing until each reaches its maximum, which
    // then replaces the last value. The gas end is never taken on the first row (j = 3).
    bool waterEnd = false;
    bool gasEnd = false;
    for (int j = 3; j <= n + 3; ++j) {
        t.swTable[j] = t.swTable[j - 1] + d;
        t.sgTable[j] = t.sgTable[j - 1] + d;
        if (!waterEnd && t.swTable[j] + endPointTolerance >= swMax) {
            t.nWaterOil = static_cast<std::int16_t>(j);
            t.swTable[j] = swMax;
            waterEnd = true;
        }
        if (j == 3)
            continue;
        if (!gasEnd && t.sgTable[j] + endPointTolerance >= sgMax) {
            t.sgTable[j] = sgMax;
            gasEnd = true;
            t.nGasLiquid = static_cast<std::int16_t>(j);
        }
    }
    // With end points of at least 0 and the spacing checked, n + 1 steps always pass both
    // maxima; this guards the row counts should those checks ever change.
    if (!waterEnd || !gasEnd)
        return Refusal{"spo", "Saturation Spacing leaves the table without its last row."};
    return std::nullopt;
}

// Runs the correlation the text chooses on the tables. Returns a refusal for a text that
// names none of them or for inputs the correlation cannot evaluate.
std::optional<Refusal> runCorrelation(const std::string& correlation, const CorrelationInputs& in,
                                      const SelectionCodes& codes, Tables& t) {
    std::optional<Refusal> refusal;
    switch (correlationOf(correlation)) {
    case Correlation::Ibrahim:
        if (!(refusal = checkIbrahim(in, codes.wettabilityCode, codes.isSandstone)))
            ComputeIbrahim(in, t, codes.wettabilityCode, codes.isSandstone);
        break;
    case Correlation::Honarpour:
        if (!(refusal = checkHonarpour(in, codes.isSandstone)))
            ComputeHonarpour(in, t, codes.wettabilityCode, codes.isSandstone);
        break;
    case Correlation::Rose:
        if (!(refusal = checkRose(in)))
            ComputeRose(in, t);
        break;
    case Correlation::Wyllie:
        if (!(refusal = checkWyllie(in)))
            ComputeWyllie(in, t, codes.isSandstone);
        break;
    case Correlation::Corey:
        if (!(refusal = checkCorey(in)))
            ComputeCorey(in, t);
        break;
    case Correlation::None:
        refusal = Refusal{"corpk", "Pick a correlation (Mohamad Ibrahim/Varnholt, "
                                   "Honarpour/Varnholt/Harvey, Rose, Wyllie or Corey); " +
                                       quotedText(correlation) + " is none of them."};
        break;
    }
    return refusal;
}

// Makes the oil columns consistent: krow starts at 1 at most and ends at 0, and the gas
// table's oil curve starts where the water-oil one does.
std::optional<Refusal> fixUpOilColumns(const std::string& correlation, Tables& t) {
    const double first = t.krowTable[1];
    if (first > 1.0)
        for (int i = 1; i <= t.nWaterOil; ++i)
            t.krowTable[i] = t.krowTable[i] / first;
    t.krowTable[t.nWaterOil] = 0;
    if (t.krogTable[1] == 0)
        return Refusal{"corpk", correlation + " gives krog = 0 at Sg = 0 with these end points, "
                                              "so the gas table cannot be matched to krow at "
                                              "Swc; change Swc, Sorg or Sgc."};
    const double r = t.krowTable[1] / t.krogTable[1];
    for (int i = 1; i <= t.nGasLiquid; ++i)
        t.krogTable[i] = t.krogTable[i] * r;
    return std::nullopt;
}

} // namespace

FluidSystem fluidSystemOf(const std::string& fluids) {
    if (fluids == "Water-Gas")
        return FluidSystem::WaterGas;
    if (fluids == "Gas-Condensate")
        return FluidSystem::GasCondensate;
    return FluidSystem::WaterOilGas;
}

const char* fluidSystemName(FluidSystem system) {
    switch (system) {
    case FluidSystem::WaterGas:
        return "Water-Gas";
    case FluidSystem::GasCondensate:
        return "Gas-Condensate";
    case FluidSystem::WaterOilGas:
        break;
    }
    return "Water-Oil-Gas";
}

Correlation correlationOf(const std::string& text) {
    const std::string c4 = text.substr(0, 4);
    for (Correlation c : {Correlation::Ibrahim, Correlation::Honarpour, Correlation::Rose,
                          Correlation::Wyllie, Correlation::Corey})
        if (c4 == std::string_view(correlationName(c)).substr(0, 4))
            return c;
    return Correlation::None;
}

const char* correlationName(Correlation correlation) {
    switch (correlation) {
    case Correlation::Ibrahim:
        return "Mohamad Ibrahim/Varnholt";
    case Correlation::Honarpour:
        return "Honarpour/Varnholt/Harvey";
    case Correlation::Rose:
        return "Rose";
    case Correlation::Wyllie:
        return "Wyllie";
    case Correlation::Corey:
        return "Corey";
    case Correlation::None:
        break;
    }
    return "";
}

double stepCount(double spacing) {
    return std::nearbyint(1 / spacing);
}

SelectionCodes selectionCodes(const GenerateInput& input) {
    SelectionCodes codes;
    if (input.wettability == "Water Wet")
        codes.wettabilityCode = 1;
    else if (input.wettability == "Strongly Water Wet")
        codes.wettabilityCode = 2;
    else if (input.wettability == "Intermediate (Mixed)")
        codes.wettabilityCode = 3;
    codes.isSandstone = input.formation.substr(0, 4) == "Sand" ? 1 : 0;
    return codes;
}

std::optional<Refusal> generate(CalculatorState& state, const GenerateInput& input) {
    TypedValues typed;
    typed.porosity = textToNumber(input.porosity);
    typed.permeability = textToNumber(input.permeability);
    typed.krgAtSorg = textToNumber(input.krgAtSorg);
    typed.swc = textToNumber(input.swc);
    typed.sorw = textToNumber(input.sorw);
    typed.sorg = textToNumber(input.sorg);
    typed.sgc = textToNumber(input.sgc);
    typed.spacing = textToNumber(input.spacing);

    CorrelationInputs in;
    in.porosity = typed.porosity / 100;
    in.swc = typed.swc / 100;
    in.sorw = typed.sorw / 100;
    in.sorg = typed.sorg / 100;
    in.sgc = typed.sgc / 100;
    in.krgAtSorg = typed.krgAtSorg;
    in.permeability = typed.permeability;
    if (input.fluids != "Water-Oil-Gas") {
        in.sorw = 0;
        in.sorg = 0;
        typed.sorw = 0;
        typed.sorg = 0;
    }
    const FluidSystem system = fluidSystemOf(input.fluids);
    const SelectionCodes codes = selectionCodes(input);

    if (auto r = checkTypedValues(typed))
        return r;
    if (auto r = checkMovableRange(in, system))
        return r;

    // Work on a copy so that a refusal at any step leaves the state as it was.
    Tables t = state.tables;
    if (auto r = buildSaturationRows(in, typed.spacing / 100, t))
        return r;

    // The systems without oil fill only the gas table; the water-oil kr columns keep what
    // an earlier generation left there, and there is no oil column to fix up.
    std::string procedure = input.correlation;
    if (system == FluidSystem::WaterGas) {
        procedure = "Water-Gas";
        if (auto r = checkWatgas(in))
            return r;
        watgas(in, t);
    } else if (system == FluidSystem::GasCondensate) {
        procedure = "Gas-Condensate";
        if (auto r = checkGascon(in))
            return r;
        gascon(in, t);
    } else {
        if (auto r = runCorrelation(input.correlation, in, codes, t))
            return r;
        if (auto r = fixUpOilColumns(input.correlation, t))
            return r;
    }
    if (auto r = checkFiniteTables(t, system, procedure))
        return r;

    state.tables = t;
    state.fluidSystem = system;
    state.inputs.porosity = in.porosity;
    state.inputs.swc = in.swc;
    state.inputs.sorw = in.sorw;
    state.inputs.sorg = in.sorg;
    state.inputs.sgc = in.sgc;
    state.inputs.krgAtSorg = in.krgAtSorg;
    state.inputs.permeability = in.permeability;
    return std::nullopt;
}

} // namespace relperm
