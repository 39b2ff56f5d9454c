#include "calculator/plot.h"

namespace relperm {

namespace {

std::vector<double> rows(const Table& table, int count) {
    return {table.begin() + 1, table.begin() + 1 + count};
}

Scene startSurface(double titleX, const char* title) {
    Scene scene;
    scene.coordinates = krPlotCoordinates;
    scene.add(SceneText{titleX, 105, title, black});
    addKrPlotFrame(scene);
    return scene;
}

void addAxisNames(Scene& scene, const char* saturation) {
    scene.add(SceneText{40, -10, saturation, black});
    // The vertical axis carries the name of the water-oil surface on both plots.
    scene.add(SceneText{-23, 50, "vomar", black});
}

} // namespace

CalculatorPlots PlotCurves(const CalculatorState& state) {
    const Tables& t = state.tables;
    CalculatorPlots plots;
    plots.vomarShown = state.fluidSystem == FluidSystem::WaterOilGas;

    plots.vomar = startSurface(25, "Water-Oil Data");
    if (plots.vomarShown) {
        const std::vector<double> sw = rows(t.swTable, t.nWaterOil);
        addKrCurve(plots.vomar, sw, rows(t.krowTable, t.nWaterOil), krowColour);
        addKrCurve(plots.vomar, sw, rows(t.krwTable, t.nWaterOil), krwColour);
        addAxisNames(plots.vomar, "Sw");
    }

    switch (state.fluidSystem) {
    case FluidSystem::WaterGas:
        plots.krl2 = startSurface(20, "Gas-Water Data");
        break;
    case FluidSystem::GasCondensate:
        plots.krl2 = startSurface(10, "Gas-Condensate Data");
        break;
    case FluidSystem::WaterOilGas:
        plots.krl2 = startSurface(25, "Gas-Oil Data");
        break;
    }
    const std::vector<double> sg = rows(t.sgTable, t.nGasLiquid);
    addKrCurve(plots.krl2, sg, rows(t.krogTable, t.nGasLiquid), krogColour);
    addKrCurve(plots.krl2, sg, rows(t.krgTable, t.nGasLiquid), krgColour);
    addAxisNames(plots.krl2, "Sg");
    return plots;
}

} // namespace relperm
