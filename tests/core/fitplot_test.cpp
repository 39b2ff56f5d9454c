// The plot of a fit and what a fit of a shown set writes: the points as dots, the fitted and
// compared curves as lines, a legend that names them all and stays inside the plot.
#include "../database/records.h"
#include "analysis/fitexport.h"
#include "analysis/fitplot.h"
#include "database/plot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace relperm {
namespace {

using namespace relperm::testing;

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

long linesOf(const Scene& scene, Rgb colour, LineStyle style) {
    const auto lines = scene.all<SceneLine>();
    return std::count_if(lines.begin(), lines.end(), [&](const SceneLine& l) {
        return l.colour == colour && l.style == style && l.y1 <= 100;
    });
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
    for (const SceneLine& l : scene.all<SceneLine>()) {
        if (l.colour == krAxisColour || l.colour == overlayColour(0)) {
            EXPECT_TRUE(l.y1 >= 0 && l.y2 >= 0) << l.y1 << " " << l.y2;
        }
    }
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
    EXPECT_EQ(five.coordinates.top + five.coordinates.height,
              krPlotCoordinates.top + krPlotCoordinates.height)
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
