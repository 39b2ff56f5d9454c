#include "calculator/simulator.h"

#include "calculator/usedinputs.h"
#include "calculator/validate.h"
#include "common/numbers.h"
#include "common/version.h"

#include <algorithm>
#include <cctype>

namespace relperm {

namespace {

std::string num(double v) {
    return formatGeneral(v);
}

std::vector<SaturationRow> waterOilRows(const Tables& t) {
    std::vector<SaturationRow> rows;
    for (int i = 1; i <= t.nWaterOil; ++i)
        rows.push_back({t.swTable[i], t.krwTable[i], t.krowTable[i]});
    return rows;
}

std::vector<SaturationRow> gasRows(const Tables& t) {
    std::vector<SaturationRow> rows;
    for (int i = 1; i <= t.nGasLiquid; ++i)
        rows.push_back({t.sgTable[i], t.krogTable[i], t.krgTable[i]});
    return rows;
}

std::string capitalised(std::string text) {
    if (!text.empty())
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

// The head of the file: the program, the run's title and the inputs the equations read
// (and no others), one comment line each.
std::vector<std::string> description(const SimulatorRun& run, const CorrelationInputs& in) {
    const UsedInputs used = usedInputs(run.input);
    const bool condensate = used.system == FluidSystem::GasCondensate;
    std::vector<std::string> lines;
    lines.push_back("Relative permeability tables written by " + run.program + " " + suiteVersion +
                    " (Relative Permeability Suite).");
    lines.push_back("Title:" + (run.title.empty() ? "" : " " + run.title));
    lines.push_back(std::string("Fluid system: ") + fluidSystemName(used.system));
    if (!used.correlation.empty())
        lines.push_back("Correlation: " + used.correlation);
    if (!used.wettability.empty())
        lines.push_back("Wettability: " + used.wettability);
    if (!used.formation.empty())
        lines.push_back("Formation: " + used.formation);
    std::string endPoints = std::string(condensate ? "Slc " : "Swc ") + percentText(100 * in.swc);
    if (used.sorw)
        endPoints +=
            ", Sorw " + percentText(100 * in.sorw) + ", Sorg " + percentText(100 * in.sorg);
    lines.push_back(endPoints + ", Sgc " + percentText(100 * in.sgc) + ", saturation spacing " +
                    formatGeneral(textToNumber(run.input.spacing)) + "%");
    std::vector<std::string> others;
    if (used.porosity)
        others.push_back("porosity " + percentText(100 * in.porosity));
    if (used.permeability)
        others.push_back("permeability " + num(in.permeability) + " md");
    if (used.krgAtSorg)
        others.push_back("krg at Sorg " + num(in.krgAtSorg));
    if (!others.empty()) {
        std::string line;
        for (const std::string& o : others)
            line += (line.empty() ? "" : ", ") + o;
        lines.push_back(capitalised(line));
    }
    if (condensate)
        lines.push_back("Gas-condensate: SGOF carries the condensate as the liquid (oil) phase, "
                        "its column krcg in place of krog.");
    lines.push_back("Capillary pressure is 0 throughout.");
    return lines;
}

} // namespace

std::vector<Keyword> keywordsFor(FluidSystem system) {
    switch (system) {
    case FluidSystem::WaterGas:
        return {Keyword::SWFN, Keyword::SGFN};
    case FluidSystem::GasCondensate:
        return {Keyword::SGOF};
    case FluidSystem::WaterOilGas:
        break;
    }
    return {Keyword::SWOF, Keyword::SGOF};
}

std::variant<std::string, Refusal> simulatorTables(const CalculatorState& state,
                                                   const SimulatorRun& run,
                                                   const SimulatorOptions& options) {
    const std::vector<Keyword> fitting = keywordsFor(state.fluidSystem);
    for (Keyword k : options.keywords)
        if (std::find(fitting.begin(), fitting.end(), k) == fitting.end())
            return Refusal{"fldpk",
                           std::string(keywordName(k)) + " does not fit the " +
                               fluidSystemName(state.fluidSystem) + " system; it takes " +
                               (state.fluidSystem == FluidSystem::WaterOilGas ? "SWOF and SGOF."
                                : state.fluidSystem == FluidSystem::WaterGas  ? "SWFN and SGFN."
                                                                              : "SGOF.")};
    if (state.tables.nGasLiquid == 0)
        return Refusal{"Command1", "There are no tables yet: generate them first."};

    const CorrelationInputs in = state.inputs.values();
    SaturationTables tables;
    tables.waterOil = waterOilRows(state.tables);
    tables.gas = gasRows(state.tables);
    tables.liquid = state.fluidSystem == FluidSystem::GasCondensate ? "krcg" : "krog";
    tables.swc = in.swc;
    tables.oilCurvesMeet = state.fluidSystem == FluidSystem::WaterOilGas;
    return simulatorFile(tables, description(run, in), options);
}

} // namespace relperm
