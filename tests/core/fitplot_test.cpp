// The plot of a fit and what a fit of a shown set writes: the points as dots, the fitted and
// compared curves as lines, a legend that names them all and stays inside the plot.
#include "../database/records.h"
#include "analysis/fitexport.h"
#include "analysis/fitplot.h"
#include "database/plot.h"
#include "support/plot_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace relperm {
namespace {

using namespace relperm::testing;
using testing::curveLines;

// Four points on Corey curves with a point at each end, where kr of one phase is 0.
MeasuredDataSet fourPoints() {
    SetRecipe made;
    made.points = {{0, 0, 0.9}, {0.3, 0.02, 0.29}, {0.7, 0.16, 0.02}, {1, 0.4, 0}};
    return makeSet(made);
}

FittedSet coreyFit() {
    FittedSet fit;
    fit.model = FitModel::Corey;
    fit.rising = {.n = 2.5, .end = 0.4};
    fit.falling = {.n = 3.2, .end = 0.9};
    fit.rms = 0.01;
    fit.points = 4;
    return fit;
}

CorrelationComparison comparison(const std::string& name, const std::string& refusal = {}) {
    CorrelationComparison c;
    c.correlation = name;
    c.refusal = refusal;
    if (refusal.empty()) {
        c.saturation = {0, 0.5, 1};
        c.rising = {0, 0.1, 0.5};
        c.falling = {0.8, 0.2, 0};
    }
    return c;
}

// The plotted points: dots inside the frame (the legend's dot samples stand above it).
std::vector<SceneDot> plottedDots(const Scene& scene) {
    std::vector<SceneDot> dots;
    for (const SceneDot& d : scene.all<SceneDot>())
        if (d.x >= 0 && d.x <= 100 && d.y >= 0 && d.y <= 100)
            dots.push_back(d);
    return dots;
}

std::vector<std::string> texts(const Scene& scene) {
    std::vector<std::string> out;
    for (const SceneText& t : scene.all<SceneText>())
        out.push_back(t.text);
    return out;
}

// The straight pieces of the curves of one colour and style.
long linesOf(const Scene& scene, Rgb colour, LineStyle style) {
    const auto lines = curveLines(scene, colour);
    return std::count_if(lines.begin(), lines.end(),
                         [&](const SceneLine& l) { return l.style == style; });
}

bool has(const std::vector<std::string>& all, const std::string& text) {
    return std::find(all.begin(), all.end(), text) != all.end();
}

TEST(FitPlot, PointsAreDotsAndTheFitAndTheChosenCorrelationsAreLines) {
    const std::vector<CorrelationComparison> compared = {comparison("Honarpour/Varnholt/Harvey"),
                                                         comparison("Rose", "Rose needs Sorw."),
                                                         comparison("Wyllie")};
    const Scene scene = fitPlot(WO, fourPoints(), coreyFit(), compared, {0, 1}, KrAxis::Linear);

    const std::vector<SceneDot> dots = plottedDots(scene);
    ASSERT_EQ(dots.size(), 8u) << "both kr of each of the four points";
    EXPECT_EQ(std::count_if(dots.begin(), dots.end(),
                            [](const SceneDot& d) { return d.colour == krAxisColour; }),
              4);
    // The last point: krw .4 at the upper end.
    EXPECT_TRUE(std::any_of(dots.begin(), dots.end(), [](const SceneDot& d) {
        return d.x == 100 && std::abs(d.y - 40) < 1e-9 && d.colour == krAxisColour;
    }));
    // No line joins the points: the measured colours draw only the fitted curves, solid.
    EXPECT_EQ(linesOf(scene, krAxisColour, LineStyle::Solid), 49);
    EXPECT_EQ(linesOf(scene, krOtherColour, LineStyle::Solid), 49);
    EXPECT_EQ(linesOf(scene, krAxisColour, LineStyle::Dashed), 0);

    // Honarpour chosen and drawn dashed; Rose chosen but refused, so not drawn; Wyllie not
    // chosen.
    EXPECT_EQ(linesOf(scene, overlayColour(0), LineStyle::Dashed), 4);
    EXPECT_EQ(linesOf(scene, overlayColour(1), LineStyle::Dashed), 0);
    EXPECT_EQ(linesOf(scene, overlayColour(2), LineStyle::Dashed), 0);

    const std::vector<std::string> shown = texts(scene);
    for (const char* name :
         {"measured:", "Corey fit:", "krw", "krow", "correlations:", "Honarpour", "Sw norm", "kr"})
        EXPECT_TRUE(has(shown, name)) << name;
    EXPECT_FALSE(has(shown, "Rose"));
    EXPECT_FALSE(has(shown, "Wyllie"));
}

TEST(FitPlot, ARefusedFitLeavesThePointsAndNamesTheGasCurves) {
    const Scene scene = fitPlot(GO, fourPoints(), std::nullopt, {}, {}, KrAxis::Linear);
    EXPECT_EQ(plottedDots(scene).size(), 8u);
    EXPECT_EQ(linesOf(scene, krAxisColour, LineStyle::Solid), 0);
    const std::vector<std::string> shown = texts(scene);
    EXPECT_TRUE(has(shown, "krg") && has(shown, "krog") && has(shown, "Sg norm"));
    EXPECT_FALSE(has(shown, "Corey fit:"));
    EXPECT_FALSE(has(shown, "LET fit:"));
}

TEST(FitPlot, OnTheLogarithmicAxisEveryPointStaysInTheFrame) {
    const Scene scene =
        fitPlot(WO, fourPoints(), coreyFit(), {comparison("Corey")}, {0}, KrAxis::Logarithmic);
    EXPECT_TRUE(has(texts(scene), ".0001"));
    // kr 0 at either end stands on the axis' foot, not below the frame.
    EXPECT_EQ(plottedDots(scene).size(), 8u);
    for (Rgb colour : {krAxisColour, overlayColour(0)})
        for (const SceneLine& l : curveLines(scene, colour))
            EXPECT_TRUE(l.y1 >= 0 && l.y2 >= 0) << l.y1 << " " << l.y2;
}

TEST(FitPlot, AWideLegendTakesMoreLinesAboveTheFrameAndStaysInsideThePlot) {
    std::vector<CorrelationComparison> compared;
    std::vector<std::size_t> all;
    for (const char* name :
         {"Mohamad Ibrahim/Varnholt", "Honarpour/Varnholt/Harvey", "Rose", "Wyllie", "Corey"}) {
        all.push_back(compared.size());
        compared.push_back(comparison(name));
    }
    const Scene one = fitPlot(WO, fourPoints(), coreyFit(), compared, {}, KrAxis::Linear);
    const Scene five = fitPlot(WO, fourPoints(), coreyFit(), compared, all, KrAxis::Linear);
    EXPECT_GT(five.coordinates.top, one.coordinates.top);
    EXPECT_NEAR(five.coordinates.top + five.coordinates.height,
                krPlotCoordinates.top + krPlotCoordinates.height, 1e-12)
        << "the bottom stays where it is";
    const UserCoordinates& c = five.coordinates;
    for (const SceneText& t : five.all<SceneText>()) {
        EXPECT_LE(t.y, c.top) << t.text;
        // At the legend's character width, the text ends inside the right edge.
        EXPECT_LE(t.x + 2.8 * static_cast<double>(t.text.size()), c.left + c.width) << t.text;
    }
    for (const char* name : {"Mohamad Ibrahim", "Honarpour", "Rose", "Wyllie", "Corey"})
        EXPECT_TRUE(has(texts(five), name)) << name;
}

// A correlation whose kr runs to 22.8 and a measured point below the set's lower end point
// (Sg 0 under its Sgc) stand outside the frame: the curve is cut at the frame and the point
// left out, so neither covers the tick labels or the legend.
TEST(FitPlot, CurvesAndPointsOutsideTheFrameAreCutAtIt) {
    SetRecipe made;
    made.points = {{-0.2, 0, 1}, {0, 0, 0.9}, {0.5, 0.1, 0.2}, {1, 0.4, 0}};
    CorrelationComparison rose = comparison("Rose");
    rose.saturation = {-0.2, 0, 0.5, 1};
    rose.falling = {22.8, 3, 0.5, 0};
    rose.rising = {0, -0.07, 0.1, 0.6};
    const Scene scene = fitPlot(GO, makeSet(made), coreyFit(), {rose}, {0});

    EXPECT_TRUE(curvesInsideFrame(scene));
    EXPECT_EQ(plottedDots(scene).size(), 6u) << "the point at -0.2 is left out";
    EXPECT_EQ(dotsOutsideFrame(scene).size(), 2u) << "the legend's two samples, no more";
    const std::vector<ScenePath> rosePaths = curvePaths(scene, overlayColour(0));
    ASSERT_EQ(rosePaths.size(), 2u) << "krg, then krog";
    // krg enters from below the axis where it rises through 0, between S 0 (kr -.07) and .5.
    EXPECT_NEAR(rosePaths[0].points.front().x, 50 * 7.0 / 17, 1e-9);
    EXPECT_EQ(rosePaths[0].points.front().y, 0);
    EXPECT_EQ(rosePaths[0].points.back(), (ScenePoint{100, 60}));
    // krog enters at the top where it falls through 1, from 3 at S 0 to .5 at S .5.
    EXPECT_NEAR(rosePaths[1].points.front().x, 40, 1e-9);
    EXPECT_EQ(rosePaths[1].points.front().y, 100);
    EXPECT_EQ(rosePaths[1].points.back(), (ScenePoint{100, 0}));
    for (const ScenePath& path : rosePaths)
        EXPECT_EQ(path.style, LineStyle::Dashed);
}

// The legend is laid out with the widths its text has where it is drawn: wider text takes
// more lines and taller coordinates, and no text runs into the next sample or text.
TEST(FitPlot, TheLegendIsLaidOutForTheSizeItsTextIsDrawnAt) {
    std::vector<CorrelationComparison> compared;
    std::vector<std::size_t> all;
    for (const char* name :
         {"Mohamad Ibrahim/Varnholt", "Honarpour/Varnholt/Harvey", "Rose", "Wyllie", "Corey"}) {
        all.push_back(compared.size());
        compared.push_back(comparison(name));
    }
    auto legendRows = [](const Scene& scene) {
        std::map<double, std::vector<std::pair<double, std::string>>> rows;
        // Above the label of kr 1, which hangs from 102.
        for (const SceneText& t : scene.all<SceneText>())
            if (t.y > 102)
                rows[t.y].emplace_back(t.x, t.text);
        return rows;
    };
    PlotTextSize wide;
    wide.width = [](const std::string& text) { return 4.0 * static_cast<double>(text.size()); };
    wide.lineHeight = 9;
    const Scene narrow = fitPlot(WO, fourPoints(), coreyFit(), compared, all);
    const Scene large = fitPlot(WO, fourPoints(), coreyFit(), compared, all, KrAxis::Linear, wide);
    EXPECT_GT(legendRows(large).size(), legendRows(narrow).size());
    EXPECT_GT(large.coordinates.top, narrow.coordinates.top);
    // Every text ends before the next one on its line starts, with the sample between them
    // when there is one, and inside the right edge.
    for (const auto& [y, row] : legendRows(large)) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            const double end = row[i].first + wide.width(row[i].second);
            EXPECT_LE(end, large.coordinates.left + large.coordinates.width) << row[i].second;
            if (i + 1 < row.size()) {
                EXPECT_LT(end, row[i + 1].first)
                    << row[i].second << " runs into " << row[i + 1].second;
            }
        }
        // The lines stand a line's height apart, the lowest one clear of the frame.
        EXPECT_GT(y - wide.lineHeight * large.coordinates.height / krPlotCoordinates.height, 100);
    }
}

TEST(FitExport, ValuesKeepFourSignificantDigitsAndTheSetIsNamed) {
    EXPECT_EQ(fitValueText(2.500000123), "2.5");
    EXPECT_EQ(fitValueText(0.90123456), ".9012");
    EXPECT_EQ(fitValueText(0.000123456), ".0001235");
    EXPECT_EQ(fitValueText(12.3456), "12.35");
    EXPECT_EQ(fitValueText(0), "0");

    ShownDataSet shown;
    shown.system = GW;
    EXPECT_EQ(dataSetName(shown), "Gas-Water Data");
    shown.match = 3;
    shown.title = "Well 7";
    EXPECT_EQ(dataSetName(shown), "Gas-Water Data, data set # 3 - Well 7");
}

} // namespace
} // namespace relperm
