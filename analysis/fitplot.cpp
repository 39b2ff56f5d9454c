#include "analysis/fitplot.h"

#include "database/computableset.h"
#include "database/display.h"
#include "database/plot.h"

#include <algorithm>
#include <array>

namespace relperm {

namespace {

// Enough points that a curve with an exponent of 10 still reads as a curve.
constexpr int curvePoints = 50;
// The measured points stand out from the lines drawn through them.
constexpr int pointWidth = 5;

std::vector<double> column(const PointColumn& values, int count) {
    return {values.begin() + 1, values.begin() + 1 + count};
}

// A measured point below the set's lower end point (Sg 0 under an Sgc of .1) stands left of
// the normalised axis: clipped, like every curve, so nothing covers the tick labels.
void addDots(Scene& scene, const std::vector<double>& x, const std::vector<double>& kr, Rgb colour,
             KrAxis axis) {
    for (std::size_t i = 0; i < x.size() && i < kr.size(); ++i)
        addClippedDot(scene, SceneDot{100 * x[i], krHeight(kr[i], axis), colour, pointWidth});
}

void addLines(Scene& scene, const std::vector<double>& x, const std::vector<double>& kr, Rgb colour,
              LineStyle style, KrAxis axis) {
    std::vector<ScenePoint> points;
    for (std::size_t i = 0; i < x.size() && i < kr.size(); ++i)
        points.push_back({100 * x[i], krHeight(kr[i], axis)});
    addClippedPath(scene, points, colour, 1, style);
}

} // namespace

Rgb overlayColour(std::size_t index) {
    // Away from the measured blue and dark green, and from each other on white.
    static constexpr std::array<Rgb, 6> colours{Rgb{220, 0, 0},   Rgb{230, 130, 0},
                                                Rgb{190, 0, 190}, Rgb{0, 160, 170},
                                                Rgb{140, 80, 20}, Rgb{110, 110, 110}};
    return colours[index % colours.size()];
}

std::string overlayLegendName(const std::string& correlation) {
    return correlation.substr(0, correlation.find('/'));
}

Scene fitPlot(TwoPhaseSystem system, const MeasuredDataSet& set,
              const std::optional<FittedSet>& fit,
              const std::vector<CorrelationComparison>& comparisons,
              const std::vector<std::size_t>& overlays, KrAxis axis, const PlotTextSize& text) {
    // The grid's column names are the curves' names: krOther in column 1, krAxis in 2; the
    // axis phase's kr is the one that rises with the normalised saturation.
    const std::vector<std::string> names = gridHeader(system);
    const std::string& risingName = names[2];
    const std::string& fallingName = names[1];

    std::vector<LegendUnit> legend;
    legend.push_back({{"measured:"},
                      {risingName, krAxisColour, LegendSample::Dot},
                      {fallingName, krOtherColour, LegendSample::Dot}});
    if (fit)
        legend.push_back({{fitModelName(fit->model) + " fit:"},
                          {risingName, krAxisColour, LegendSample::Line},
                          {fallingName, krOtherColour, LegendSample::Line}});
    std::vector<std::size_t> drawn;
    for (std::size_t index : overlays)
        if (index < comparisons.size() && comparisons[index].refusal.empty())
            drawn.push_back(index);
    for (std::size_t index : drawn) {
        LegendUnit unit;
        if (index == drawn.front())
            unit.push_back({"correlations:"});
        unit.push_back({overlayLegendName(comparisons[index].correlation), overlayColour(index),
                        LegendSample::Line, LineStyle::Dashed});
        legend.push_back(std::move(unit));
    }

    Scene scene;
    addKrPlotFrameAndLegend(scene, legend, text, axis);

    const int count = std::clamp<int>(set.pointCount, 0, maxPoints);
    const std::vector<double> saturation = column(set.normSat, count);
    if (fit) {
        std::vector<double> s, rising, falling;
        for (int i = 0; i < curvePoints; ++i) {
            s.push_back(static_cast<double>(i) / (curvePoints - 1));
            rising.push_back(risingKr(fit->model, fit->rising, s.back()));
            falling.push_back(fallingKr(fit->model, fit->falling, s.back()));
        }
        addLines(scene, s, rising, krAxisColour, LineStyle::Solid, axis);
        addLines(scene, s, falling, krOtherColour, LineStyle::Solid, axis);
    }
    for (std::size_t index : drawn) {
        const CorrelationComparison& c = comparisons[index];
        addLines(scene, c.saturation, c.rising, overlayColour(index), LineStyle::Dashed, axis);
        addLines(scene, c.saturation, c.falling, overlayColour(index), LineStyle::Dashed, axis);
    }
    // Last, so no line hides a measured point. A set whose values cannot be computed with
    // (its refusal stands beside the plot) has no point that could be placed.
    if (!checkSetValues(system, set)) {
        addDots(scene, saturation, column(set.krAxis, count), krAxisColour, axis);
        addDots(scene, saturation, column(set.krOther, count), krOtherColour, axis);
    }

    addKrAxisNames(scene, std::string(pointColumnNames(system)[0]), axis);
    return scene;
}

} // namespace relperm
