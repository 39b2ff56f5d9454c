#include "satfunc/tablesplot.h"

#include "common/numbers.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace relperm::satfunc {

namespace {

// The legend and the tick labels stand in the text of the plot view, as the fit plot's do.
constexpr double characterWidth = 2.8;
constexpr double legendLeft = -20;
constexpr double legendTop = 109;
constexpr Rgb zeroLineColour{190, 190, 190};

struct Curve {
    std::string name;
    const std::vector<double>* saturation;
    const std::vector<double>* value;
};

// The curves a region's tables hold, water table first. The oil columns of a gas-water
// region's tables are no curve of it.
std::vector<Curve> krCurves(const RegionCurves& region) {
    std::vector<Curve> curves;
    const bool oil = region.kind != RegionKind::GasWater;
    if (region.water) {
        curves.push_back({"krw", &region.water->sw, &region.water->krw});
        if (oil)
            curves.push_back({"krow", &region.water->sw, &region.water->krow});
    }
    if (region.gas) {
        curves.push_back({"krg", &region.gas->sg, &region.gas->krg});
        if (oil)
            curves.push_back({"krog", &region.gas->sg, &region.gas->krog});
    }
    return curves;
}

std::vector<Curve> pcCurves(const RegionCurves& region) {
    std::vector<Curve> curves;
    if (region.water)
        curves.push_back({region.kind == RegionKind::GasWater ? "Pcgw" : "Pcow", &region.water->sw,
                          &region.water->pc});
    // A gas table's Pc is 0 unless its row gave a model: then it is worth a curve of its own.
    if (region.gas && std::any_of(region.gas->pc.begin(), region.gas->pc.end(),
                                  [](double pc) { return pc != 0; }))
        curves.push_back({"Pcog", &region.gas->sg, &region.gas->pc});
    return curves;
}

// Lines alone: a table's rows stand a step of 0.01 apart, and a dot on each would hide the
// curve's shape at its ends, where it matters.
void addLines(Scene& scene, const Curve& curve, Rgb colour, const auto& height) {
    const std::vector<double>& s = *curve.saturation;
    const std::vector<double>& v = *curve.value;
    std::vector<ScenePoint> points;
    for (std::size_t i = 0; i < s.size() && i < v.size(); ++i)
        points.push_back({100 * s[i], height(v[i])});
    addClippedPath(scene, points, colour, 2);
}

// Two groups on the line above the frame, each after the saturation its curves stand on.
void addCurveLegend(Scene& scene, const std::vector<Curve>& curves) {
    std::vector<LegendEntry> water, gas;
    for (const Curve& c : curves) {
        const bool onSw = !c.name.ends_with("g") && c.name != "Pcog";
        (onSw ? water : gas).push_back({c.name, tablesCurveColour(c.name)});
    }
    double x = legendLeft;
    if (!water.empty())
        x = addLegend(scene, x, legendTop, water, "Sw:", characterWidth) + characterWidth;
    if (!gas.empty())
        addLegend(scene, x, legendTop, gas, "Sg:", characterWidth);
}

std::string saturationName(const RegionCurves& region) {
    if (region.water && region.gas)
        return "Sw, Sg";
    return region.gas ? "Sg" : "Sw";
}

} // namespace

Rgb tablesCurveColour(const std::string& curve) {
    if (curve == "krw" || curve == "Pcow" || curve == "Pcgw")
        return {0, 70, 220};
    if (curve == "krg" || curve == "Pcog")
        return {210, 0, 0};
    if (curve == "krow")
        return {0, 150, 60};
    return {150, 90, 20}; // krog
}

Scene tablesKrPlot(const RegionCurves& region, KrAxis axis) {
    Scene scene;
    scene.coordinates = krPlotCoordinates;
    addKrPlotFrame(scene, axis);
    const std::vector<Curve> curves = krCurves(region);
    if (curves.empty()) {
        // A frame alone would read as curves of 0 throughout.
        scene.add(SceneText{30, 60, "No curves: see the simulator checks", black});
        return scene;
    }
    for (const Curve& c : curves)
        addLines(scene, c, tablesCurveColour(c.name),
                 [axis](double kr) { return krHeight(kr, axis); });
    addKrAxisNames(scene, saturationName(region), axis);
    addCurveLegend(scene, curves);
    return scene;
}

PcTicks pcTicks(double low, double high) {
    if (!(high > low))
        return low == 0 && high == 0 ? PcTicks{} : pcTicks(low - 0.5, high + 0.5);
    const double span = high - low;
    double step = std::pow(10.0, std::floor(std::log10(span / 10)));
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (span / (factor * step) <= 10) {
            step *= factor;
            break;
        }
    }
    // A low or high that is itself a multiple of the step stays the axis' end.
    const double bottom = std::floor(low / step * (1 + 1e-12) + 1e-9) * step;
    const double top = std::ceil(high / step * (1 - 1e-12) - 1e-9) * step;
    return {bottom, top > bottom ? top : bottom + step, step};
}

PcTicks addPcFrame(Scene& scene, double low, double high, const std::string& unit) {
    const PcTicks ticks = pcTicks(low, high);
    const auto height = [&](double pc) {
        return 100 * (pc - ticks.bottom) / (ticks.top - ticks.bottom);
    };
    scene.add(SceneLine{0, 0, 0, 100, black});
    scene.add(SceneLine{0, 0, 100, 0, black});
    scene.add(SceneLine{100, 0, 100, 100, black});
    for (int i = 0; i <= 10; ++i) {
        const double t = i / 10.0;
        scene.add(SceneLine{100 * t, -1, 100 * t, 1, black});
        if (i % 2 == 0)
            scene.add(SceneText{100 * t - 2, -2, formatGeneral(t, SignPlace::Blank), black});
    }
    const int steps = static_cast<int>(std::lround((ticks.top - ticks.bottom) / ticks.step));
    for (int i = 0; i <= steps; ++i) {
        // Each tick from its own multiple, so the labels read 0.3, not 0.30000000000000004.
        const double value = ticks.bottom + i * ticks.step;
        const std::string label = formatGeneral(std::round(value / ticks.step) * ticks.step);
        const double y = height(value);
        scene.add(SceneLine{-1, y, 1, y, black});
        scene.add(SceneText{-2 - characterWidth * static_cast<double>(label.size()), y + 2, label,
                            black});
    }
    if (ticks.bottom < 0)
        scene.add(SceneLine{0, height(0), 100, height(0), zeroLineColour});
    // Under the frame at the left, where the legend above it leaves no room.
    scene.add(SceneText{-20, -10, unit, black});
    return ticks;
}

Scene tablesPcPlot(const RegionCurves& region) {
    Scene scene;
    scene.coordinates = krPlotCoordinates;
    const std::vector<Curve> curves = pcCurves(region);
    double low = 0, high = 0;
    for (const Curve& c : curves)
        for (double pc : *c.value) {
            low = std::min(low, pc);
            high = std::max(high, pc);
        }
    const bool flat = low == 0 && high == 0;
    const PcTicks ticks = addPcFrame(scene, low, high, "Pc, bar");
    const auto height = [&](double pc) {
        return 100 * (pc - ticks.bottom) / (ticks.top - ticks.bottom);
    };
    if (curves.empty())
        return scene;
    scene.add(SceneText{40, -10, saturationName(region), black});
    for (const Curve& c : curves)
        addLines(scene, c, tablesCurveColour(c.name), height);
    addCurveLegend(scene, curves);
    if (flat)
        scene.add(SceneText{30, 60, "Zero capillary pressure throughout", black});
    return scene;
}

} // namespace relperm::satfunc
