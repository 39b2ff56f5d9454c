#include "common/scene.h"

#include "common/numbers.h"

#include <algorithm>
#include <cmath>

namespace relperm {

namespace {

// The decades of the logarithmic kr axis: 1E-04 at the bottom.
constexpr int decades = 4;

// Width of a character of the calculator's plots' text in user units: the text is sized
// with the plot, so this holds at any size the plot is drawn.
constexpr double characterWidth = 4.5;

void addLogKrTicks(Scene& scene) {
    for (int decade = 0; decade <= decades; ++decade) {
        const double height = 100.0 * decade / decades;
        scene.add(SceneLine{-1, height, 1, height, black});
        const double value = std::pow(10.0, decade - decades);
        const std::string label = formatGeneral(value);
        scene.add(SceneText{-1 - characterWidth * static_cast<double>(label.size()), height + 2,
                            label, black});
    }
}

} // namespace

double krHeight(double kr, KrAxis axis) {
    if (axis == KrAxis::Linear)
        return 100 * kr;
    const double smallest = std::pow(10.0, -decades);
    return 100 * (std::log10(std::max(kr, smallest)) + decades) / decades;
}

void addKrAxisNames(Scene& scene, const std::string& saturation, KrAxis axis) {
    scene.add(SceneText{40, -10, saturation, black});
    // At the left edge, between two tick labels, so it never runs into one.
    scene.add(SceneText{-23, axis == KrAxis::Linear ? 56.0 : 39.0, "kr", black});
}

double addLegend(Scene& scene, double x, double y, const std::vector<LegendEntry>& entries,
                 const std::string& heading, double characterWidth) {
    if (!heading.empty()) {
        scene.add(SceneText{x, y, heading, black});
        x += characterWidth * static_cast<double>(heading.size() + 1);
    }
    constexpr double sample = 6;
    // The sample stands level with the middle of the text, which hangs from y.
    const double middle = y - 3;
    for (const LegendEntry& entry : entries) {
        scene.add(SceneLine{x, middle, x + sample, middle, entry.colour, 1, entry.style});
        scene.add(SceneText{x + sample + 1, y, entry.name, entry.colour});
        x += sample + 1 + characterWidth * static_cast<double>(entry.name.size() + 1);
    }
    return x;
}

void addKrPlotFrame(Scene& scene, KrAxis axis) {
    scene.add(SceneLine{0, 0, 0, 100, black});
    scene.add(SceneLine{0, 0, 100, 0, black});
    scene.add(SceneLine{100, 0, 100, 100, black});

    // The tick value is accumulated, so the eleventh is just below 1; its label, written
    // to 15 significant digits, still reads " 1".
    int counter = 0;
    for (double t = 0; t <= 1; t = t + 0.1) {
        scene.add(SceneLine{100 * t, -1, 100 * t, 1, black});
        if (counter == 0)
            scene.add(SceneText{100 * t - 2, -2, formatGeneral(t, SignPlace::Blank), black});
        counter = counter + 1 == 2 ? 0 : counter + 1;
    }
    if (axis == KrAxis::Logarithmic) {
        addLogKrTicks(scene);
        return;
    }
    counter = 0;
    for (double t = 0; t <= 1; t = t + 0.1) {
        scene.add(SceneLine{-1, 100 * t, 1, 100 * t, black});
        if (counter == 0)
            scene.add(SceneText{-10, 100 * t + 2, formatGeneral(t, SignPlace::Blank), black});
        counter = counter + 1 == 2 ? 0 : counter + 1;
    }
}

void addKrCurve(Scene& scene, const std::vector<double>& x, const std::vector<double>& y,
                Rgb colour, LineStyle lines, KrAxis axis) {
    for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
        scene.add(SceneDot{100 * x[i], krHeight(y[i], axis), colour, 3});
        if (i > 0)
            scene.add(SceneLine{100 * x[i - 1], krHeight(y[i - 1], axis), 100 * x[i],
                                krHeight(y[i], axis), colour, 1, lines});
    }
}

} // namespace relperm
