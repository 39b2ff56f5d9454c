#include "calculator/plot.h"
#include "calculator_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

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

// The lines of a curve: in its colour and inside the frame (the legend's samples stand
// under the bottom axis).
std::vector<SceneLine> linesIn(const Scene& s, Rgb colour) {
    std::vector<SceneLine> out;
    for (const SceneLine& l : s.all<SceneLine>())
        if (l.colour == colour && l.y1 >= 0 && l.y2 >= 0)
            out.push_back(l);
    return out;
}

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
    EXPECT_EQ(texts[7].x, -10);
    EXPECT_NEAR(texts[7].y, 100 * 0.2 + 2, 1e-12);
    EXPECT_NEAR(texts[5].x, 98, 1e-9) << "the eleventh tick sits just below 1";
}

TEST(PlotCurves, WaterOilGasDrawsBothSurfacesWithTitlesAndAxisNames) {
    const CalculatorPlots p = PlotCurves(generated(workedExample("Corey")));
    EXPECT_TRUE(p.vomarShown);
    EXPECT_EQ(p.vomar.coordinates.left, -25);
    EXPECT_EQ(p.vomar.coordinates.height, -130);
    EXPECT_EQ(textsAt(p.vomar, 25, 105).at(0).text, "Water-Oil Data");
    EXPECT_EQ(textsAt(p.vomar, 40, -10).at(0).text, "Sw");
    EXPECT_EQ(textsAt(p.vomar, -23, 56).at(0).text, "kr");
    EXPECT_EQ(textsAt(p.krl2, 25, 105).at(0).text, "Gas-Oil Data");
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

TEST(PlotCurves, EachCurveHasADotPerRowAndALineBetweenRows) {
    const CalculatorState state = generated(workedExample("Corey"));
    const CalculatorPlots p = PlotCurves(state);
    for (Rgb colour : {krowColour, krwColour}) {
        EXPECT_EQ(dotsIn(p.vomar, colour).size(), 12u);
        EXPECT_EQ(linesIn(p.vomar, colour).size(), 11u);
    }
    for (Rgb colour : {krogColour, krgColour}) {
        EXPECT_EQ(dotsIn(p.krl2, colour).size(), 15u);
        EXPECT_EQ(linesIn(p.krl2, colour).size(), 14u);
    }
    const SceneDot second = dotsIn(p.vomar, krowColour)[1];
    EXPECT_DOUBLE_EQ(second.x, 25);
    EXPECT_DOUBLE_EQ(second.y, 100 * state.tables.krowTable[2]);
    EXPECT_EQ(second.penWidth, 3);
    EXPECT_EQ(linesIn(p.vomar, krowColour)[0].penWidth, 1);
}

TEST(PlotCurves, KrowIsDrawnBeforeKrwAndEachDotBeforeTheLineThatEndsAtIt) {
    const CalculatorPlots p = PlotCurves(generated(workedExample("Corey")));
    std::vector<std::string> order;
    for (const ScenePrimitive& item : p.vomar.items) {
        if (const auto* d = std::get_if<SceneDot>(&item))
            order.push_back(d->colour == krowColour ? "krow dot" : "krw dot");
        else if (const auto* l = std::get_if<SceneLine>(&item); l && !(l->colour == black))
            order.push_back(l->colour == krowColour ? "krow line" : "krw line");
    }
    ASSERT_GE(order.size(), 4u);
    EXPECT_EQ(order[0], "krow dot");
    EXPECT_EQ(order[1], "krow dot");
    EXPECT_EQ(order[2], "krow line");
    auto firstKrw = std::find(order.begin(), order.end(), "krw dot");
    EXPECT_EQ(std::count(order.begin(), firstKrw, "krow dot"), 12);
}

TEST(PlotCurves, SystemsWithoutOilHideTheWaterOilSurfaceAndTitleTheGasOne) {
    const CalculatorPlots wg = PlotCurves(generated(gasSystemExample("Water-Gas")));
    EXPECT_FALSE(wg.vomarShown);
    EXPECT_TRUE(wg.vomar.all<SceneDot>().empty()) << "no curves on the hidden surface";
    EXPECT_TRUE(textsAt(wg.vomar, 40, -10).empty()) << "and no axis names";
    EXPECT_EQ(textsAt(wg.krl2, 20, 105).at(0).text, "Gas-Water Data");
    const CalculatorPlots gc = PlotCurves(generated(gasSystemExample("Gas-Condensate")));
    EXPECT_EQ(textsAt(gc.krl2, 10, 105).at(0).text, "Gas-Condensate Data");
    EXPECT_EQ(dotsIn(gc.krl2, krgColour).size(), 17u);
}

TEST(PlotCurves, ARowCountOfOneDrawsADotAndNoLine) {
    CalculatorState s;
    s.tables.nWaterOil = 1;
    s.tables.nGasLiquid = 0;
    const CalculatorPlots p = PlotCurves(s);
    EXPECT_EQ(dotsIn(p.vomar, krowColour).size(), 1u);
    EXPECT_TRUE(linesIn(p.vomar, krowColour).empty());
    EXPECT_TRUE(dotsIn(p.krl2, krgColour).empty());
    EXPECT_EQ(textsAt(p.krl2, 25, 105).at(0).text, "Gas-Oil Data");
}

} // namespace
} // namespace relperm
