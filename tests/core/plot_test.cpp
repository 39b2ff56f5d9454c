#include "calculator/plot.h"
#include "calculator_fixtures.h"
#include "support/plot_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace relperm {
namespace {

using namespace relperm::testing;

std::vector<SceneText> textsAt(const Scene& s, double x, double y) {
    std::vector<SceneText> out;
    for (const SceneText& t : s.all<SceneText>())
        if (t.x == x && t.y == y)
            out.push_back(t);
    return out;
}

std::vector<SceneDot> dotsIn(const Scene& s, Rgb colour) {
    std::vector<SceneDot> out;
    for (const SceneDot& d : s.all<SceneDot>())
        if (d.colour == colour)
            out.push_back(d);
    return out;
}

using testing::curvePaths;

TEST(KrPlotFrame, HasThreeBordersAndElevenLabelledEveryOtherTicksPerAxis) {
    Scene s;
    addKrPlotFrame(s);
    const auto lines = s.all<SceneLine>();
    ASSERT_EQ(lines.size(), 3u + 11 + 11);
    EXPECT_EQ(lines[0].x2, 0);
    EXPECT_EQ(lines[0].y2, 100) << "left axis";
    EXPECT_EQ(lines[2].x1, 100) << "right border; no top border";
    for (const SceneLine& l : lines)
        EXPECT_FALSE(l.y1 == 100 && l.y2 == 100 && l.x1 != l.x2 && l.x2 - l.x1 > 2)
            << "a top border";
    std::vector<std::string> labels;
    for (const SceneText& t : s.all<SceneText>())
        labels.push_back(t.text);
    EXPECT_EQ(labels, (std::vector<std::string>{" 0", " .2", " .4", " .6", " .8", " 1", " 0", " .2",
                                                " .4", " .6", " .8", " 1"}));
    const auto texts = s.all<SceneText>();
    EXPECT_EQ(texts[1].x, 100 * 0.2 - 2);
    EXPECT_EQ(texts[1].y, -2);
    EXPECT_EQ(texts[1].anchor, TextAnchor::TopLeft);
    EXPECT_NEAR(texts[5].x, 98, 1e-9) << "the eleventh tick sits just below 1";
    // The kr labels end short of their ticks, which reach out to -1, whatever their width.
    for (std::size_t i = 6; i < texts.size(); ++i) {
        EXPECT_EQ(texts[i].anchor, TextAnchor::TopRight) << texts[i].text;
        EXPECT_LT(texts[i].x, -1 - 1) << texts[i].text;
    }
    EXPECT_NEAR(texts[7].y, 100 * 0.2 + 2, 1e-12);
}

// Curves are cut where they cross the frame and dots outside it are left out, so nothing a
// correlation or a measured set holds can run over the labels or the legend.
TEST(ClippedCurves, OnlyWhatLiesInsideTheFrameIsDrawn) {
    auto pathsOf = [](const std::vector<ScenePoint>& points) {
        Scene s;
        addClippedPath(s, points, krwColour, 1, LineStyle::Dashed);
        std::vector<std::vector<ScenePoint>> out;
        for (const ScenePath& p : s.all<ScenePath>()) {
            EXPECT_EQ(p.style, LineStyle::Dashed);
            out.push_back(p.points);
        }
        return out;
    };
    using Paths = std::vector<std::vector<ScenePoint>>;
    EXPECT_EQ(pathsOf({{0, 0}, {50, 20}, {100, 100}}), (Paths{{{0, 0}, {50, 20}, {100, 100}}}))
        << "inside, edges included: one path";
    EXPECT_EQ(pathsOf({{0, 0}, {50, 50}, {100, 150}}), (Paths{{{0, 0}, {50, 50}, {75, 100}}}))
        << "a kr above 1 stops at the top";
    EXPECT_EQ(pathsOf({{0, 50}, {50, -50}, {100, 50}}),
              (Paths{{{0, 50}, {25, 0}}, {{75, 0}, {100, 50}}}))
        << "below the axis and back: two paths";
    EXPECT_EQ(pathsOf({{-20, 0}, {20, 40}}), (Paths{{{0, 20}, {20, 40}}}))
        << "a saturation below the lower end point starts at the kr axis";
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(pathsOf({{0, 0}, {10, 10}, {nan, 5}, {20, 20}, {30, 30}}),
              (Paths{{{0, 0}, {10, 10}}, {{20, 20}, {30, 30}}}));
    EXPECT_TRUE(pathsOf({{-10, 50}, {-5, 60}}).empty());
    EXPECT_TRUE(pathsOf({{-10, 110}, {0, 100}, {-10, 90}}).empty()) << "touching a corner";
    EXPECT_TRUE(pathsOf({{50, 50}}).empty());
    // 100 x a saturation of 1 computed through a subtraction lands a hair beyond the edge.
    EXPECT_EQ(pathsOf({{0, 0}, {100 + 1e-12, 100}}).size(), 1u);

    Scene dots;
    for (double x : {-20.0, 0.0, 50.0, 100 + 1e-12, 101.0})
        addClippedDot(dots, SceneDot{x, 50, krwColour, 5});
    std::vector<double> kept;
    for (const SceneDot& d : dots.all<SceneDot>())
        kept.push_back(d.x);
    EXPECT_EQ(kept, (std::vector<double>{0, 50, 100 + 1e-12}));
}

TEST(PlotCurves, WaterOilGasDrawsBothSurfacesWithTitlesAndAxisNames) {
    const CalculatorPlots p = PlotCurves(generated(workedExample("Corey")));
    EXPECT_TRUE(p.vomarShown);
    EXPECT_EQ(p.vomar.coordinates.left, -25);
    EXPECT_EQ(p.vomar.coordinates.height, -130);
    // The titles hang from the top edge, clear of a curve that reaches kr 1.
    EXPECT_EQ(textsAt(p.vomar, 25, 110).at(0).text, "Water-Oil Data");
    EXPECT_EQ(textsAt(p.vomar, 40, -10).at(0).text, "Sw");
    EXPECT_EQ(textsAt(p.vomar, -23, 56).at(0).text, "kr");
    EXPECT_EQ(textsAt(p.krl2, 25, 110).at(0).text, "Gas-Oil Data");
    EXPECT_EQ(textsAt(p.krl2, 40, -10).at(0).text, "Sg");
    EXPECT_EQ(textsAt(p.krl2, -23, 56).at(0).text, "kr");
}

// Each surface names its curves in their colours, under the bottom axis right of the
// saturation's name, where no curve runs; the gas surface names the liquid of its system.
TEST(PlotCurves, TheLegendNamesEachCurveInItsColour) {
    auto legend = [](const Scene& s) {
        std::vector<std::pair<std::string, Rgb>> entries;
        for (const SceneText& t : s.all<SceneText>())
            if (t.y == legendY && t.x >= legendX)
                entries.emplace_back(t.text, t.colour);
        return entries;
    };
    const CalculatorPlots wog = PlotCurves(generated(workedExample("Corey")));
    EXPECT_EQ(legend(wog.vomar),
              (std::vector<std::pair<std::string, Rgb>>{{"krow", krowColour}, {"krw", krwColour}}));
    EXPECT_EQ(legend(wog.krl2),
              (std::vector<std::pair<std::string, Rgb>>{{"krog", krogColour}, {"krg", krgColour}}));
    const CalculatorPlots wg = PlotCurves(generated(gasSystemExample("Water-Gas")));
    EXPECT_EQ(legend(wg.krl2).at(0).first, "krw");
    const CalculatorPlots gc = PlotCurves(generated(gasSystemExample("Gas-Condensate")));
    EXPECT_EQ(legend(gc.krl2).at(0).first, "krcg");
    // A sample line of each colour beside its name, and every legend item inside the plot.
    for (const SceneLine& l : wog.vomar.all<SceneLine>()) {
        if (l.y1 < 0 && l.y1 == l.y2 && l.colour == krwColour) {
            EXPECT_GT(l.x2, l.x1);
        }
    }
    for (const SceneText& t : wog.vomar.all<SceneText>())
        EXPECT_LT(t.x + 4.5 * static_cast<double>(t.text.size()), 110) << t.text;
}

// On the logarithmic axis the decades from .0001 to 1 are labelled, and a kr stands at
// 25 x (log10 kr + 4); 0 and anything below .0001 stand on the bottom axis.
TEST(PlotCurves, ALogarithmicKrAxisShowsTheSmallValues) {
    EXPECT_DOUBLE_EQ(krHeight(1, KrAxis::Logarithmic), 100);
    EXPECT_DOUBLE_EQ(krHeight(0.01, KrAxis::Logarithmic), 50);
    EXPECT_DOUBLE_EQ(krHeight(0, KrAxis::Logarithmic), 0);
    EXPECT_DOUBLE_EQ(krHeight(1e-7, KrAxis::Logarithmic), 0);
    EXPECT_DOUBLE_EQ(krHeight(0.25, KrAxis::Linear), 25);
    const CalculatorState state = generated(workedExample("Corey"));
    const CalculatorPlots log = PlotCurves(state, KrAxis::Logarithmic);
    std::vector<std::string> labels;
    for (const SceneText& t : log.vomar.all<SceneText>())
        if (t.x < 0 && t.y > 0 && t.text != "kr")
            labels.push_back(t.text);
    EXPECT_EQ(labels, (std::vector<std::string>{".0001", ".001", ".01", ".1", "1"}));
    // krw .00007 at Sw .25 is below the axis; .00553 at Sw .35 stands between its decades.
    EXPECT_DOUBLE_EQ(dotsIn(log.vomar, krwColour)[1].y, 0);
    EXPECT_NEAR(dotsIn(log.vomar, krwColour)[3].y, 25 * (std::log10(state.tables.krwTable[4]) + 4),
                1e-9);
}

TEST(PlotCurves, EachCurveHasADotPerRowAndOneLineThroughThem) {
    const CalculatorState state = generated(workedExample("Corey"));
    const CalculatorPlots p = PlotCurves(state);
    for (Rgb colour : {krowColour, krwColour}) {
        EXPECT_EQ(dotsIn(p.vomar, colour).size(), 12u);
        ASSERT_EQ(curvePaths(p.vomar, colour).size(), 1u);
        EXPECT_EQ(curvePaths(p.vomar, colour)[0].points.size(), 12u);
    }
    for (Rgb colour : {krogColour, krgColour}) {
        EXPECT_EQ(dotsIn(p.krl2, colour).size(), 15u);
        ASSERT_EQ(curvePaths(p.krl2, colour).size(), 1u);
        EXPECT_EQ(curvePaths(p.krl2, colour)[0].points.size(), 15u);
    }
    const SceneDot second = dotsIn(p.vomar, krowColour)[1];
    EXPECT_DOUBLE_EQ(second.x, 25);
    EXPECT_DOUBLE_EQ(second.y, 100 * state.tables.krowTable[2]);
    EXPECT_EQ(second.penWidth, 3);
    const ScenePath krow = curvePaths(p.vomar, krowColour)[0];
    EXPECT_EQ(krow.penWidth, 1);
    EXPECT_EQ(krow.points[1], (ScenePoint{second.x, second.y}));
}

TEST(PlotCurves, KrowIsDrawnBeforeKrwEachCurvesDotsBeforeItsLine) {
    const CalculatorPlots p = PlotCurves(generated(workedExample("Corey")));
    std::vector<std::string> order;
    for (const ScenePrimitive& item : p.vomar.items) {
        if (const auto* d = std::get_if<SceneDot>(&item))
            order.push_back(d->colour == krowColour ? "krow dot" : "krw dot");
        else if (const auto* l = std::get_if<ScenePath>(&item))
            order.push_back(l->colour == krowColour ? "krow line" : "krw line");
    }
    std::vector<std::string> expected(12, "krow dot");
    expected.push_back("krow line");
    expected.insert(expected.end(), 12, "krw dot");
    expected.push_back("krw line");
    EXPECT_EQ(order, expected);
}

TEST(PlotCurves, SystemsWithoutOilHideTheWaterOilSurfaceAndTitleTheGasOne) {
    const CalculatorPlots wg = PlotCurves(generated(gasSystemExample("Water-Gas")));
    EXPECT_FALSE(wg.vomarShown);
    EXPECT_TRUE(wg.vomar.all<SceneDot>().empty()) << "no curves on the hidden surface";
    EXPECT_TRUE(textsAt(wg.vomar, 40, -10).empty()) << "and no axis names";
    EXPECT_EQ(textsAt(wg.krl2, 20, 110).at(0).text, "Gas-Water Data");
    const CalculatorPlots gc = PlotCurves(generated(gasSystemExample("Gas-Condensate")));
    EXPECT_EQ(textsAt(gc.krl2, 10, 110).at(0).text, "Gas-Condensate Data");
    EXPECT_EQ(dotsIn(gc.krl2, krgColour).size(), 17u);
}

TEST(PlotCurves, ARowCountOfOneDrawsADotAndNoLine) {
    CalculatorState s;
    s.tables.nWaterOil = 1;
    s.tables.nGasLiquid = 0;
    const CalculatorPlots p = PlotCurves(s);
    EXPECT_EQ(dotsIn(p.vomar, krowColour).size(), 1u);
    EXPECT_TRUE(curvePaths(p.vomar, krowColour).empty());
    EXPECT_TRUE(dotsIn(p.krl2, krgColour).empty());
    EXPECT_EQ(textsAt(p.krl2, 25, 110).at(0).text, "Gas-Oil Data");
}

} // namespace
} // namespace relperm
