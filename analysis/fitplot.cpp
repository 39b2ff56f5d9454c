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

constexpr double legendLeft = -20;
constexpr double legendRight = 108;
constexpr double sampleLength = 6;
// Above the frame's top: a margin over the legend's lines, and at least the room the frame's
// coordinates leave there.
constexpr double legendMargin = 3;
constexpr double roomAboveFrame = krPlotCoordinates.top - 100;

enum class Sample { None, Dot, Line };

struct LegendPiece {
    std::string text;
    Rgb colour = black;
    Sample sample = Sample::None;
    LineStyle style = LineStyle::Solid;

    // The text and the room of a character and a half after it, which keeps the next sample
    // apart from it also where text is drawn a little wider than measured (a PDF viewer).
    double width(const PlotTextSize& size) const {
        const double label = size.width(text) + 1.5 * size.width("n");
        return sample == Sample::None ? label : sampleLength + 1 + label;
    }
};

// Pieces that stay on one line of the legend.
using LegendUnit = std::vector<LegendPiece>;

double widthOf(const LegendUnit& unit, const PlotTextSize& size) {
    double width = 0;
    for (const LegendPiece& piece : unit)
        width += piece.width(size);
    return width;
}

// The units in lines no wider than the space above the frame; a unit wider than that
// stands on a line of its own.
std::vector<std::vector<LegendUnit>> legendLines(const std::vector<LegendUnit>& units,
                                                 const PlotTextSize& size) {
    std::vector<std::vector<LegendUnit>> lines;
    double x = legendLeft;
    for (const LegendUnit& unit : units) {
        const double width = widthOf(unit, size);
        if (lines.empty() || (x + width > legendRight && x > legendLeft)) {
            lines.emplace_back();
            x = legendLeft;
        }
        lines.back().push_back(unit);
        x += width;
    }
    return lines;
}

void drawLegendLine(Scene& scene, const std::vector<LegendUnit>& units, double y,
                    const PlotTextSize& size) {
    // The sample stands level with the middle of the text, which hangs from y.
    const double middle = y - 3;
    double x = legendLeft;
    for (const LegendUnit& unit : units)
        for (const LegendPiece& piece : unit) {
            double textX = x;
            if (piece.sample == Sample::Dot) {
                scene.add(SceneDot{x + sampleLength / 2, middle, piece.colour, pointWidth});
                textX += sampleLength + 1;
            } else if (piece.sample == Sample::Line) {
                scene.add(
                    SceneLine{x, middle, x + sampleLength, middle, piece.colour, 1, piece.style});
                textX += sampleLength + 1;
            }
            scene.add(SceneText{textX, y, piece.text, piece.colour});
            x += piece.width(size);
        }
}

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
                      {risingName, krAxisColour, Sample::Dot},
                      {fallingName, krOtherColour, Sample::Dot}});
    if (fit)
        legend.push_back({{fitModelName(fit->model) + " fit:"},
                          {risingName, krAxisColour, Sample::Line},
                          {fallingName, krOtherColour, Sample::Line}});
    std::vector<std::size_t> drawn;
    for (std::size_t index : overlays)
        if (index < comparisons.size() && comparisons[index].refusal.empty())
            drawn.push_back(index);
    for (std::size_t index : drawn) {
        LegendUnit unit;
        if (index == drawn.front())
            unit.push_back({"correlations:"});
        unit.push_back({overlayLegendName(comparisons[index].correlation), overlayColour(index),
                        Sample::Line, LineStyle::Dashed});
        legend.push_back(std::move(unit));
    }
    const std::vector<std::vector<LegendUnit>> lines = legendLines(legend, text);

    Scene scene;
    // The coordinates grow upwards by what the legend's lines need above the frame. Text keeps
    // its size on the page whatever the coordinates span, so on taller coordinates a line
    // spans more units: their height h solves h = below + margin + n lineHeight h / span.
    const double below = 100 - (krPlotCoordinates.top + krPlotCoordinates.height);
    const double n = static_cast<double>(lines.size());
    const double span = -krPlotCoordinates.height;
    double height = (below + legendMargin) / (1 - text.lineHeight * n / span);
    if (!(height > 0) || height - below < roomAboveFrame)
        height = below + roomAboveFrame;
    const double lineHeight = text.lineHeight * height / span;
    scene.coordinates = krPlotCoordinates;
    scene.coordinates.top = 100 + height - below;
    scene.coordinates.height = -height;
    addKrPlotFrame(scene, axis);

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
    double y = scene.coordinates.top - 1;
    for (const auto& line : lines) {
        drawLegendLine(scene, line, y, text);
        y -= lineHeight;
    }
    return scene;
}

} // namespace relperm
