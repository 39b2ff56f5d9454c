#include "common/scene.h"

#include "common/numbers.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace relperm {

namespace {

// The decades of the logarithmic kr axis: 1E-04 at the bottom.
constexpr int decades = 4;

// How far outside the frame a point may stand and still count as on its edge: 100 x a
// saturation of 1 computed as 1 - Sorw - Swc over the range can land a hair beyond 100.
constexpr double slack = 1e-9;

void addLogKrTicks(Scene& scene) {
    for (int decade = 0; decade <= decades; ++decade) {
        const double height = 100.0 * decade / decades;
        scene.add(SceneLine{-1, height, 1, height, black});
        const double value = std::pow(10.0, decade - decades);
        scene.add(
            SceneText{krLabelEnd, height + 2, formatGeneral(value), black, TextAnchor::TopRight});
    }
}

// The part of the line from a to b inside the frame, as the fractions of the way from a at
// which it enters and leaves (Liang and Barsky); nothing when it misses the frame.
std::optional<std::pair<double, double>> insideStretch(ScenePoint a, ScenePoint b,
                                                       const PlotFrame& f) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {a.x - f.left, f.right - a.x, a.y - f.bottom, f.top - a.y};
    double enter = 0, leave = 1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return std::nullopt;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0)
            enter = std::max(enter, r);
        else
            leave = std::min(leave, r);
    }
    if (enter > leave)
        return std::nullopt;
    return std::pair{enter, leave};
}

ScenePoint along(ScenePoint a, ScenePoint b, double fraction) {
    if (fraction == 0)
        return a;
    if (fraction == 1)
        return b;
    return {a.x + fraction * (b.x - a.x), a.y + fraction * (b.y - a.y)};
}

bool finite(ScenePoint p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// A point a rounding outside an edge, onto it.
ScenePoint onEdge(ScenePoint p, const PlotFrame& f) {
    auto snap = [](double v, double low, double high) {
        if (v < low && v >= low - slack)
            return low;
        if (v > high && v <= high + slack)
            return high;
        return v;
    };
    return {snap(p.x, f.left, f.right), snap(p.y, f.bottom, f.top)};
}

} // namespace

bool PlotFrame::contains(ScenePoint p) const {
    return p.x >= left - slack && p.x <= right + slack && p.y >= bottom - slack &&
           p.y <= top + slack;
}

void addClippedPath(Scene& scene, const std::vector<ScenePoint>& points, Rgb colour, int penWidth,
                    LineStyle style, const PlotFrame& frame) {
    ScenePath path{{}, colour, penWidth, style};
    // A curve that only touches the frame at a point has nothing inside to draw.
    auto finish = [&] {
        const auto& p = path.points;
        if (std::any_of(p.begin(), p.end(), [&](ScenePoint q) { return !(q == p.front()); }))
            scene.add(path);
        path.points.clear();
    };
    for (std::size_t i = 1; i < points.size(); ++i) {
        const ScenePoint a = onEdge(points[i - 1], frame), b = onEdge(points[i], frame);
        const auto stretch = finite(a) && finite(b) ? insideStretch(a, b, frame) : std::nullopt;
        if (!stretch) {
            finish();
            continue;
        }
        // A curve that comes back into the frame starts a new path where it enters.
        if (stretch->first > 0 || path.points.empty()) {
            finish();
            path.points.push_back(along(a, b, stretch->first));
        }
        path.points.push_back(along(a, b, stretch->second));
        if (stretch->second < 1)
            finish();
    }
    finish();
}

void addClippedDot(Scene& scene, const SceneDot& dot, const PlotFrame& frame) {
    if (frame.contains({dot.x, dot.y}))
        scene.add(dot);
}

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

namespace {

constexpr double legendLeft = -20;
constexpr double legendRight = 108;
constexpr double legendSampleLength = 6;
constexpr int legendDotWidth = 5;
// Above the frame's top: a margin over the legend's lines, and at least the room the frame's
// coordinates leave there.
constexpr double legendMargin = 3;
constexpr double roomAboveFrame = krPlotCoordinates.top - 100;

// The text and the room of a character and a half after it, which keeps the next sample
// apart from it also where text is drawn a little wider than measured (a PDF viewer).
double widthOf(const LegendPiece& piece, const PlotTextSize& size) {
    const double label = size.width(piece.text) + 1.5 * size.width("n");
    return piece.sample == LegendSample::None ? label : legendSampleLength + 1 + label;
}

double widthOf(const LegendUnit& unit, const PlotTextSize& size) {
    double width = 0;
    for (const LegendPiece& piece : unit)
        width += widthOf(piece, size);
    return width;
}

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
            if (piece.sample == LegendSample::Dot) {
                scene.add(
                    SceneDot{x + legendSampleLength / 2, middle, piece.colour, legendDotWidth});
                textX += legendSampleLength + 1;
            } else if (piece.sample == LegendSample::Line) {
                scene.add(SceneLine{x, middle, x + legendSampleLength, middle, piece.colour, 1,
                                    piece.style});
                textX += legendSampleLength + 1;
            }
            scene.add(SceneText{textX, y, piece.text, piece.colour});
            x += widthOf(piece, size);
        }
}

} // namespace

void addKrPlotFrameAndLegend(Scene& scene, const std::vector<LegendUnit>& units,
                             const PlotTextSize& text, KrAxis axis) {
    const std::vector<std::vector<LegendUnit>> lines = legendLines(units, text);
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

    double y = scene.coordinates.top - 1;
    for (const auto& line : lines) {
        drawLegendLine(scene, line, y, text);
        y -= lineHeight;
    }
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
            scene.add(SceneText{krLabelEnd, 100 * t + 2, formatGeneral(t, SignPlace::Blank), black,
                                TextAnchor::TopRight});
        counter = counter + 1 == 2 ? 0 : counter + 1;
    }
}

void addKrCurve(Scene& scene, const std::vector<double>& x, const std::vector<double>& y,
                Rgb colour, LineStyle lines, KrAxis axis) {
    std::vector<ScenePoint> points;
    for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
        points.push_back({100 * x[i], krHeight(y[i], axis)});
        addClippedDot(scene, SceneDot{points.back().x, points.back().y, colour, 3});
    }
    addClippedPath(scene, points, colour, 1, lines);
}

} // namespace relperm
