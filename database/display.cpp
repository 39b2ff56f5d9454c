#include "database/display.h"

#include "common/numbers.h"

#include <cmath>

namespace relperm {

namespace {

// The right-hand column of the description and the indent of the method line.
constexpr int rightColumn = 18;
constexpr int methodColumn = 8;

std::string percent(const TaggedValue& fraction, const char* pattern) {
    return formatPattern(100 * fraction.value(), pattern);
}

DescriptionLine line(std::vector<DescriptionItem> items) {
    return DescriptionLine{std::move(items), black};
}

} // namespace

std::vector<std::string> gridHeader(TwoPhaseSystem system) {
    switch (system) {
    case TwoPhaseSystem::WaterOil:
        return {"Sw", "krow", "krw"};
    case TwoPhaseSystem::GasWater:
        return {"Sg", "krw", "krg"};
    case TwoPhaseSystem::GasOil:
    case TwoPhaseSystem::GasCondensate:
        break;
    }
    return {"Sg", "krog", "krg"};
}

std::vector<std::string> gridRow(double saturation, double krOther, double krAxis) {
    return {formatPattern(saturation, "#.0##"), formatPattern(krOther, "#.0###"),
            formatPattern(krAxis, "#.0###")};
}

SaturationScale ownSaturationScale(TwoPhaseSystem system, const MeasuredDataSet& set) {
    const double swc = set.connateWater.value();
    const double sgc = set.criticalGas.value();
    switch (system) {
    case TwoPhaseSystem::WaterOil:
        return {swc, 1 - swc - set.residualOilToWater.value()};
    case TwoPhaseSystem::GasOil:
        return {sgc, 1 - swc - set.residualOilToGas.value() - sgc};
    case TwoPhaseSystem::GasWater:
    case TwoPhaseSystem::GasCondensate:
        break;
    }
    return {sgc, 1 - swc - sgc};
}

GridText asInputTable(TwoPhaseSystem system, MeasuredDataSet& set) {
    GridText grid{gridHeader(system), {}};
    const SaturationScale scale = ownSaturationScale(system, set);
    for (int d = 1; d <= set.pointCount; ++d) {
        const auto i = static_cast<std::size_t>(d);
        set.satAsInput[i] = scale.lower + scale.range * set.normSat[i];
        grid.rows.push_back(gridRow(set.satAsInput[i], set.krOther[i], set.krAxis[i]));
    }
    return grid;
}

std::string dataSetCaption(int matchCount) {
    return "Data Set # " + std::to_string(matchCount);
}

std::string wettabilityText(TwoPhaseSystem system, const MeasuredDataSet& set) {
    if (system != TwoPhaseSystem::WaterOil)
        return " ";
    // With no points the rule reads index 0, which holds no point and counts as 0.
    const double lastKrw =
        set.pointCount > 0 ? set.krAxis[static_cast<std::size_t>(set.pointCount)] : 0.0;
    if (set.wettingCode.equalsCode(1) && set.connateWater.value() >= 0.15 && lastKrw <= 0.07)
        return "Strongly Water-Wet";
    return codeText(FieldKind::Wettability, set.wettingCode);
}

std::vector<DescriptionLine> describeDataSet(TwoPhaseSystem system, const MeasuredDataSet& set) {
    const std::string lithology = codeText(FieldKind::Lithology, set.lithologyCode);
    std::string location = codeText(FieldKind::Location, set.locationCode);
    std::vector<DescriptionLine> lines;

    lines.push_back(
        line({{0, system == TwoPhaseSystem::GasCondensate ? "Slc =" : "Swc ="},
              {0, percent(set.connateWater, "##.#")},
              {0, "%"},
              {rightColumn,
               system == TwoPhaseSystem::GasWater ? lithology : wettabilityText(system, set)}}));
    if (system == TwoPhaseSystem::WaterOil)
        lines.push_back(line({{0, "Sorw ="},
                              {0, percent(set.residualOilToWater, "##.#")},
                              {0, "%"},
                              {rightColumn, lithology}}));
    if (system == TwoPhaseSystem::GasOil)
        lines.push_back(line({{0, "Sorg ="},
                              {0, percent(set.residualOilToGas, "##.#")},
                              {0, "%"},
                              {rightColumn, lithology}}));
    if (system == TwoPhaseSystem::GasCondensate)
        lines.push_back(line({{rightColumn, lithology}}));
    // The location is printed once, on the first of these lines that is shown.
    if (isGasSystem(system)) {
        lines.push_back(line({{0, "Sgc ="},
                              {0, percent(set.criticalGas, "##.#")},
                              {0, "%"},
                              {rightColumn, location}}));
        location = " ";
    }
    const double k = set.permeabilityMd.value();
    if (k > 0 && sameKey(set.absPermeabilityMd, set.permeabilityMd)) {
        lines.push_back(line(
            {{0, "k ="}, {0, formatPattern(k, "##.##")}, {0, " md."}, {rightColumn, location}}));
        location = " ";
    } else if (k > 0) {
        lines.push_back(line({{0, "k ="},
                              {0, formatPattern(k, "##.##")},
                              {0, " md."},
                              {rightColumn, "kabs. ="},
                              {0, formatPattern(set.absPermeabilityMd.value(), "##.##")},
                              {0, " md."}}));
    }
    if (set.porosityFraction.value() > 0)
        lines.push_back(line({{0, "Porosity ="},
                              {0, percent(set.porosityFraction, "##.##")},
                              {0, "%"},
                              {rightColumn, location}}));
    if (set.depthFtSs.value() > 0 && system != TwoPhaseSystem::GasCondensate)
        lines.push_back(line(
            {{0, "Depth ="}, {0, formatPattern(set.depthFtSs.value(), "#####")}, {0, " ft. ss"}}));
    lines.push_back(line({{methodColumn, codeText(FieldKind::Method, set.methodCode)}}));
    return lines;
}

std::vector<DescriptionLine> matchSummary(TwoPhaseSystem system, const MeasuredDataSet& set) {
    std::vector<DescriptionLine> lines;
    auto add = [&](const char* name, std::string value, const char* unit) {
        lines.push_back(line({{0, name}, {0, std::move(value)}, {0, unit}}));
    };
    if (set.depthFtSs.value() > 0)
        add("Depth =", formatPattern(set.depthFtSs.value(), "#####"), " ft. ss");
    add("Porosity =", percent(set.porosityFraction, "##.#"), " %");
    add("k =", formatPattern(set.permeabilityMd.value(), "##.#"), " md.");
    add("Swc =", percent(set.connateWater, "##.#"), " %");
    if (system == TwoPhaseSystem::WaterOil)
        add("Sorw =", percent(set.residualOilToWater, "##.#"), " %");
    if (system == TwoPhaseSystem::GasOil) {
        add("Sorg =", percent(set.residualOilToGas, "##.#"), " %");
        add("Sgc =", percent(set.criticalGas, "##.#"), " %");
    }
    return lines;
}

std::string renderDescription(const std::vector<DescriptionLine>& lines) {
    std::string out;
    for (const DescriptionLine& l : lines) {
        std::size_t lineStart = out.size();
        for (const DescriptionItem& item : l.items) {
            if (item.column > 0) {
                const auto target = static_cast<std::size_t>(item.column);
                if (out.size() - lineStart + 1 > target) {
                    out += '\n';
                    lineStart = out.size();
                }
                out.append(target - 1 - (out.size() - lineStart), ' ');
            }
            out += item.text;
        }
        out += '\n';
    }
    return out;
}

} // namespace relperm
