// Plot scenes: what a plot surface shows, as a plain list of primitives in user
// coordinates, built by pure functions and painted by one drawing widget. Tests read the
// scene; the same scene can be painted into a window, a PNG, an SVG or a PDF.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace relperm {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb black{0, 0, 0};

enum class LineStyle { Solid, Dashed };

// A point drawn with a round pen `penWidth` pixels wide.
struct SceneDot {
    double x = 0;
    double y = 0;
    Rgb colour;
    int penWidth = 3;
};

struct SceneLine {
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    Rgb colour;
    int penWidth = 1;
    LineStyle style = LineStyle::Solid;
};

struct ScenePoint {
    double x = 0;
    double y = 0;
    friend bool operator==(const ScenePoint&, const ScenePoint&) = default;
};

// A curve: one line through the points in order. It is stroked as a whole, so a dash pattern
// runs along the curve; drawn as separate short lines, each would start the pattern again
// and a dashed curve of closely spaced points would look solid.
struct ScenePath {
    std::vector<ScenePoint> points;
    Rgb colour;
    int penWidth = 1;
    LineStyle style = LineStyle::Solid;
};

// Which corner of a text stands at its (x, y): the top left, or the top right for a label
// that must end a set distance before what it labels whatever the font's widths.
enum class TextAnchor { TopLeft, TopRight };

// Text whose anchor corner stands at (x, y), in the surface's default font.
struct SceneText {
    double x = 0;
    double y = 0;
    std::string text;
    Rgb colour;
    TextAnchor anchor = TextAnchor::TopLeft;
};

using ScenePrimitive = std::variant<SceneDot, SceneLine, SceneText, ScenePath>;

// The user coordinate system of a surface: the left edge, the top edge, the width and the
// height (a negative height makes y grow upwards).
struct UserCoordinates {
    double left = 0;
    double top = 0;
    double width = 1;
    double height = 1;
};

struct Scene {
    UserCoordinates coordinates;
    std::vector<ScenePrimitive> items; // painted in this order

    template <class T> void add(T primitive) {
        items.emplace_back(std::in_place_type<T>, std::move(primitive));
    }

    template <class T> std::vector<T> all() const {
        std::vector<T> out;
        for (const auto& item : items)
            if (const T* p = std::get_if<T>(&item))
                out.push_back(*p);
        return out;
    }
};

// The rectangle a plot's curves and points are drawn in, in user coordinates.
struct PlotFrame {
    double left = 0;
    double bottom = 0;
    double right = 100;
    double top = 100;
    // Inside or on the edge, with room for the rounding of a value computed as 100 x 1.
    bool contains(ScenePoint p) const;
};

// The frame of every relative permeability plot: saturation 0 to 1 across, kr 0 to 1 up.
inline constexpr PlotFrame krPlotFrame{};

// The curve through `points`, cut where it crosses the frame's edges: each stretch inside
// becomes a path of its own, and nothing outside is drawn. A correlation's kr of 22.8 or a
// measured point below the lower end point would otherwise run over the tick labels and the
// legend. A point that is not finite breaks the curve. Fewer than two points draw nothing.
void addClippedPath(Scene& scene, const std::vector<ScenePoint>& points, Rgb colour,
                    int penWidth = 1, LineStyle style = LineStyle::Solid,
                    const PlotFrame& frame = krPlotFrame);

// The dot, when it stands inside the frame.
void addClippedDot(Scene& scene, const SceneDot& dot, const PlotFrame& frame = krPlotFrame);

// The coordinates of every relative permeability plot: x from -25 to 110, y from 110 down
// to -20, so the unit square of fractions (times 100) sits inside with room for labels.
inline constexpr UserCoordinates krPlotCoordinates{-25, 110, 135, -130};

// The vertical (kr) axis: linear from 0 to 1, or logarithmic over the four decades from
// 1E-04 to 1, where the small values that decide when a phase starts to flow can be read.
enum class KrAxis { Linear, Logarithmic };

// Where kr stands on the axis, 0 at the bottom and 100 at the top. On the logarithmic axis
// a kr at or below 1E-04 (0 included) stands on the bottom.
double krHeight(double kr, KrAxis axis);

// The frame of a relative permeability plot in the foreground colour: the left axis, the
// bottom axis and the right border (no top border), then eleven ticks on each axis for
// t = 0, .1, ..., 1 (t accumulated by repeated addition), every other one labelled with t
// in the general number form after a blank (" 0", " .2", ..., " 1"). On a logarithmic kr
// axis the left ticks stand at the decades, labelled ".0001" to "1". The kr labels end at
// krLabelEnd, clear of their ticks at any size the plot's text is drawn.
void addKrPlotFrame(Scene& scene, KrAxis axis = KrAxis::Linear);

// Where the kr axis' labels end: left of the ticks, which reach out to -1.
inline constexpr double krLabelEnd = -3;

// A curve through (100 x[i], krHeight(y[i])): a dot of pen width 3 at each point, then one
// path of pen width 1 through them, both clipped to the frame.
void addKrCurve(Scene& scene, const std::vector<double>& x, const std::vector<double>& y,
                Rgb colour, LineStyle lines = LineStyle::Solid, KrAxis axis = KrAxis::Linear);

// The names of the axes: the saturation under the bottom axis, "kr" left of the vertical
// axis, clear of its tick labels.
void addKrAxisNames(Scene& scene, const std::string& saturation, KrAxis axis = KrAxis::Linear);

// How large a plot's text stands in its user units, which depends on how large the plot is
// drawn against its text: the width of a text and the height of a line, measured on the
// frame's coordinates (krPlotCoordinates). The defaults are those of a plot a little wider
// than high in a window, where text is 8 points.
struct PlotTextSize {
    std::function<double(const std::string&)> width = [](const std::string& text) {
        return 2.8 * static_cast<double>(text.size());
    };
    double lineHeight = 7;
};

struct LegendEntry {
    std::string name; // the curve, in its colour: "krw", "krog", ...
    Rgb colour;
    LineStyle style = LineStyle::Solid;
};

// A legend on one line from (x, y): after `heading` (when not empty), a short line sample
// in each entry's colour and style, then its name in the same colour. Placed in the plot's
// margins (under the bottom axis, right of the saturation's name; above the frame), where
// no curve runs.
// `characterWidth` is the width of a character of the plot's text in user units, which
// depends on how large the plot is drawn against its text. Returns where the legend ends.
double addLegend(Scene& scene, double x, double y, const std::vector<LegendEntry>& entries,
                 const std::string& heading = {}, double characterWidth = 4.5);

// A legend above the frame of a kr plot, laid out with the widths its text is drawn at, so
// its entries stay apart at any size of the plot. A piece is a text in its colour, after a
// short sample of the curve (a line in the curve's style) or of the points (a dot); a unit
// is pieces that stay on one line ("measured:", krw, krow).
enum class LegendSample { None, Dot, Line };
struct LegendPiece {
    std::string text;
    Rgb colour = black;
    LegendSample sample = LegendSample::None;
    LineStyle style = LineStyle::Solid;
};
using LegendUnit = std::vector<LegendPiece>;

// The kr plot's coordinates (krPlotCoordinates), grown upwards by as many lines as `units`
// need at `text` across the frame's width (a unit wider than that on a line of its own), its
// frame on `axis`, and the legend on those lines. With one line the coordinates are
// krPlotCoordinates.
void addKrPlotFrameAndLegend(Scene& scene, const std::vector<LegendUnit>& units,
                             const PlotTextSize& text, KrAxis axis = KrAxis::Linear);

// Where the legend of the curves stands: under the bottom axis, right of the saturation.
inline constexpr double legendX = 56;
inline constexpr double legendY = -10;

} // namespace relperm
