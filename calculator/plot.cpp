#include "calculator/plot.h"

namespace relperm {

namespace {

std::vector<double> rows(const Table& table, int count) {
    return {table.begin() + 1, table.begin() + 1 + count};
}

// The title hangs from the top edge: any lower and a curve that reaches kr 1 (the top of the
// frame, ten units down) runs through its letters.
constexpr double titleY = krPlotCoordinates.top;

Scene startSurface(double titleX, const char* title, KrAxis axis) {
    Scene scene;
    scene.coordinates = krPlotCoordinates;
    scene.add(SceneText{titleX, titleY, title, black});
    addKrPlotFrame(scene, axis);
    return scene;
}

// The name of the liquid's kr on the gas surface.
const char* liquidName(FluidSystem system) {
    switch (system) {
    case FluidSystem::WaterGas:
        return "krw";
    case FluidSystem::GasCondensate:
        return "krcg";
    case FluidSystem::WaterOilGas:
        break;
    }
    return "krog";
}

} // namespace

CalculatorPlots PlotCurves(const CalculatorState& state, KrAxis axis) {
    const Tables& t = state.tables;
    CalculatorPlots plots;
    plots.vomarShown = state.fluidSystem == FluidSystem::WaterOilGas;

    plots.vomar = startSurface(25, "Water-Oil Data", axis);
    if (plots.vomarShown) {
        const std::vector<double> sw = rows(t.swTable, t.nWaterOil);
        addKrCurve(plots.vomar, sw, rows(t.krowTable, t.nWaterOil), krowColour, LineStyle::Solid,
                   axis);
        addKrCurve(plots.vomar, sw, rows(t.krwTable, t.nWaterOil), krwColour, LineStyle::Solid,
                   axis);
        addKrAxisNames(plots.vomar, "Sw", axis);
        addLegend(plots.vomar, legendX, legendY, {{"krow", krowColour}, {"krw", krwColour}});
    }

    switch (state.fluidSystem) {
    case FluidSystem::WaterGas:
        plots.krl2 = startSurface(20, "Gas-Water Data", axis);
        break;
    case FluidSystem::GasCondensate:
        plots.krl2 = startSurface(10, "Gas-Condensate Data", axis);
        break;
    case FluidSystem::WaterOilGas:
        plots.krl2 = startSurface(25, "Gas-Oil Data", axis);
        break;
    }
    const std::vector<double> sg = rows(t.sgTable, t.nGasLiquid);
    addKrCurve(plots.krl2, sg, rows(t.krogTable, t.nGasLiquid), krogColour, LineStyle::Solid, axis);
    addKrCurve(plots.krl2, sg, rows(t.krgTable, t.nGasLiquid), krgColour, LineStyle::Solid, axis);
    addKrAxisNames(plots.krl2, "Sg", axis);
    addLegend(plots.krl2, legendX, legendY,
              {{liquidName(state.fluidSystem), krogColour}, {"krg", krgColour}});
    return plots;
}

} // namespace relperm
