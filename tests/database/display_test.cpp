#include "database/adjust.h"
#include "database/display.h"
#include "database/plot.h"
#include "records.h"
#include "support/plot_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace relperm {
namespace {

using namespace relperm::testing;

std::string described(TwoPhaseSystem system, const MeasuredDataSet& set) {
    return renderDescription(describeDataSet(system, set));
}

TEST(Description, WaterOilListsWettabilityLithologyAndLocationOnTheRight) {
    const MeasuredDataSet set = makeSet(SetRecipe{.wetting = 3,
                                                  .location = 5,
                                                  .lithology = 2,
                                                  .method = 2,
                                                  .depth = 8450.4,
                                                  .porosity = 0.215,
                                                  .k = 125,
                                                  .kabs = 125,
                                                  .swc = 0.18,
                                                  .sorw = 0.3});
    EXPECT_EQ(described(WO, set), "Swc =18.%        Oil-Wet\n"
                                  "Sorw =30.%       Limestone\n"
                                  "k =125. md.      Europe\n"
                                  "Porosity =21.5%   \n"
                                  "Depth =8450 ft. ss\n"
                                  "       Unsteady State\n");
}

TEST(Description, KeepsTheRightColumnAsPositionsForTheWindow) {
    const auto lines = describeDataSet(WO, makeSet(SetRecipe{}));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0].items.back(), (DescriptionItem{18, "Water-Wet"}));
    EXPECT_EQ(lines[5].items, (std::vector<DescriptionItem>{{8, "Steady State"}}));
    EXPECT_EQ(lines[0].colour, black);
}

TEST(Description, StronglyWaterWetNeedsSwcFrom15PercentAndLastKrwUpTo007) {
    auto wettability = [](double swc, double lastKrw, int code = 1) {
        return wettabilityText(WO, makeSet(SetRecipe{.wetting = code,
                                                     .swc = swc,
                                                     .points = {{0, 0, 1}, {1, lastKrw, 0}}}));
    };
    EXPECT_EQ(wettability(0.20, 0.05), "Strongly Water-Wet");
    EXPECT_EQ(wettability(0.15, 0.07), "Strongly Water-Wet");
    EXPECT_EQ(wettability(0.149, 0.05), "Water-Wet");
    EXPECT_EQ(wettability(0.20, 0.071), "Water-Wet");
    EXPECT_EQ(wettability(0.20, 0.05, 2), "Mixed Wet");
    EXPECT_EQ(wettabilityText(GO, makeSet(SetRecipe{})), " ");
}

TEST(Description, GasWaterPrintsItsLithologyFirstAndNoResidualOil) {
    const MeasuredDataSet set = makeSet(SetRecipe{.location = 6,
                                                  .lithology = 4,
                                                  .method = 3,
                                                  .k = 12.345,
                                                  .kabs = 12.345,
                                                  .swc = 0.25,
                                                  .sgc = 0.04});
    EXPECT_EQ(described(GW, set), "Swc =25.%        Shale\n"
                                  "Sgc =4.%         Australia\n"
                                  "k =12.35 md.      \n"
                                  "Porosity =20.%    \n"
                                  "Depth =5000 ft. ss\n"
                                  "       Cap. Pressure\n");
}

TEST(Description, GasCondensateShowsSlcALithologyLineAndNoDepth) {
    const MeasuredDataSet set = makeSet(SetRecipe{.lithology = 3, .method = 4, .swc = 0.3});
    EXPECT_EQ(described(GC, set), "Slc =30.%         \n"
                                  "                 Dolomite\n"
                                  "Sgc =5.%         N. America\n"
                                  "k =100. md.       \n"
                                  "Porosity =20.%    \n"
                                  "       Centrifuge\n");
}

TEST(Description, DifferentKabsMovesTheLocationToThePorosityLine) {
    MeasuredDataSet set = makeSet(SetRecipe{.location = 3, .k = 80, .kabs = 95.5});
    EXPECT_EQ(described(GO, set), "Swc =20.%         \n"
                                  "Sorg =25.%       Sandstone\n"
                                  "Sgc =5.%         Africa\n"
                                  "k =80. md.       kabs. =95.5 md.\n"
                                  "Porosity =20.%    \n"
                                  "Depth =5000 ft. ss\n"
                                  "       Steady State\n");
    set = makeSet(SetRecipe{.location = 3, .porosity = 0, .k = 80, .kabs = 95.5});
    EXPECT_EQ(described(WO, set), "Swc =20.%        Water-Wet\n"
                                  "Sorw =30.%       Sandstone\n"
                                  "k =80. md.       kabs. =95.5 md.\n"
                                  "Depth =5000 ft. ss\n"
                                  "       Steady State\n")
        << "with no porosity line the location is not printed at all";
}

TEST(Description, TheEmptyDataSetShowsEmptyValuesAndBlankTexts) {
    MeasuredDataSet empty;
    EXPECT_EQ(described(WO, empty), "Swc =.%           \n"
                                    "Sorw =.%          \n"
                                    "        \n");
}

TEST(Description, AColumnAlreadyPassedMovesToTheNextLine) {
    const std::vector<DescriptionLine> lines{
        DescriptionLine{{{0, "Porosity =123456.7%"}, {18, "Asia"}}, black},
        DescriptionLine{{{0, "exactly seventeen"}, {18, "X"}}, black}};
    EXPECT_EQ(renderDescription(lines), "Porosity =123456.7%\n"
                                        "                 Asia\n"
                                        "exactly seventeenX\n");
}

TEST(Description, MatchSummaryFollowsTheSystemNowSelected) {
    const MeasuredDataSet set = makeSet(SetRecipe{.depth = 0, .sorg = 0.2, .sgc = 0.05});
    EXPECT_EQ(renderDescription(matchSummary(GO, set)), "Porosity =20. %\n"
                                                        "k =100. md.\n"
                                                        "Swc =20. %\n"
                                                        "Sorg =20. %\n"
                                                        "Sgc =5. %\n");
    const MeasuredDataSet deep = makeSet(SetRecipe{.depth = 9000.6});
    const std::string wo = renderDescription(matchSummary(WO, deep));
    EXPECT_EQ(wo.substr(0, wo.find('\n')), "Depth =9001 ft. ss");
    EXPECT_NE(wo.find("Sorw =30. %\n"), std::string::npos);
}

TEST(Grids, HeadersNameTheColumnsOfEachSystem) {
    EXPECT_EQ(gridHeader(WO), (std::vector<std::string>{"Sw", "krow", "krw"}));
    EXPECT_EQ(gridHeader(GO), (std::vector<std::string>{"Sg", "krog", "krg"}));
    EXPECT_EQ(gridHeader(GC), (std::vector<std::string>{"Sg", "krog", "krg"}));
    EXPECT_EQ(gridHeader(GW), (std::vector<std::string>{"Sg", "krw", "krg"}));
}

TEST(Grids, AsInputSaturationsUseTheDataSetsOwnEndPoints) {
    const SetRecipe stronglyWet{.swc = 0.2,
                                .sorw = 0.3,
                                .sorg = 0.2,
                                .sgc = 0.1,
                                .points = {{0, 0.01234, 1}, {0.5, 0.123456, 0.5}, {1, 1, 0}}};
    auto sat = [&](TwoPhaseSystem system) {
        MeasuredDataSet set = makeSet(stronglyWet);
        GridText grid = asInputTable(system, set);
        std::vector<std::string> out;
        for (const auto& row : grid.rows)
            out.push_back(row[0]);
        return out;
    };
    EXPECT_EQ(sat(WO), (std::vector<std::string>{".2", ".45", ".7"}));
    EXPECT_EQ(sat(GO), (std::vector<std::string>{".1", ".35", ".6"}));
    EXPECT_EQ(sat(GW), (std::vector<std::string>{".1", ".45", ".8"}));
    MeasuredDataSet set = makeSet(stronglyWet);
    GridText grid = asInputTable(WO, set);
    EXPECT_EQ(grid.rows[1], (std::vector<std::string>{".45", ".5", ".1235"}));
    EXPECT_EQ(grid.rows[2], (std::vector<std::string>{".7", ".0", "1.0"}));
    EXPECT_DOUBLE_EQ(set.satAsInput[2], 0.45);
}

TEST(Grids, CaptionCarriesTheMatchNumberAfterOneBlank) {
    EXPECT_EQ(dataSetCaption(3), "Data Set # 3");
    EXPECT_EQ(dataSetCaption(0), "Data Set # 0");
}

// The dots or lines of one colour, in drawing order.
template <class T> std::vector<T> drawnIn(const Scene& s, Rgb colour) {
    std::vector<T> out = s.all<T>();
    std::erase_if(out, [&](const T& item) { return !(item.colour == colour); });
    return out;
}
const auto dotsIn = drawnIn<SceneDot>;
const auto linesIn = testing::curveLines;

std::vector<std::pair<std::string, Rgb>> textsBetween(const Scene& s, double top, double bottom) {
    std::vector<std::pair<std::string, Rgb>> out;
    for (const SceneText& t : s.all<SceneText>())
        if (t.y <= top && t.y >= bottom && t.x > 50)
            out.emplace_back(t.text, t.colour);
    return out;
}

TEST(Plot, MeasuredCurvesInGreenAndBlueOverTheSharedFrame) {
    MeasuredDataSet set = makeSet(SetRecipe{});
    asInputTable(WO, set);
    const Scene s = dataSetPlot(WO, set, false);
    EXPECT_EQ(s.coordinates.left, -25);
    EXPECT_EQ(s.coordinates.height, -130);
    const auto green = dotsIn(s, krOtherColour);
    ASSERT_EQ(green.size(), 3u);
    EXPECT_DOUBLE_EQ(green[1].x, 45);
    EXPECT_DOUBLE_EQ(green[1].y, 30);
    EXPECT_EQ(green[1].penWidth, 3);
    ASSERT_EQ(linesIn(s, krAxisColour).size(), 2u);
    EXPECT_EQ(linesIn(s, krAxisColour)[0].style, LineStyle::Solid);
    const auto texts = s.all<SceneText>();
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const SceneText& t) {
        return t.text == "Sw" && t.x == 40 && t.y == -10;
    }));
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const SceneText& t) {
        return t.text == "kr" && t.x == -23 && t.y == 56;
    }));
    EXPECT_TRUE(dotsIn(s, krAxisAdjustedColour).empty());
    EXPECT_EQ(textsBetween(s, -10, -10), (std::vector<std::pair<std::string, Rgb>>{
                                             {"krow", krOtherColour}, {"krw", krAxisColour}}))
        << "the legend under the bottom axis";
}

TEST(Plot, AdjustedCurvesHaveDashedLinesAndComeLast) {
    MeasuredDataSet set = makeSet(SetRecipe{});
    asInputTable(GW, set);
    MakeAdjustedTable(GW, {.swc = 0.1, .sgc = 0.1}, set);
    const Scene s = dataSetPlot(GW, set, true);
    const auto pink = linesIn(s, krOtherAdjustedColour);
    const auto red = linesIn(s, krAxisAdjustedColour);
    ASSERT_EQ(pink.size(), 2u);
    ASSERT_EQ(red.size(), 2u);
    EXPECT_EQ(pink[0].style, LineStyle::Dashed);
    EXPECT_EQ(red[1].style, LineStyle::Dashed);
    EXPECT_EQ(dotsIn(s, krAxisAdjustedColour)[0].penWidth, 3);
    EXPECT_DOUBLE_EQ(red[1].x2, 100 * set.satAdjusted[3]);
    const auto* last = std::get_if<ScenePath>(&s.items.back());
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->colour, krAxisAdjustedColour);
    const auto texts = s.all<SceneText>();
    EXPECT_TRUE(
        std::any_of(texts.begin(), texts.end(), [](const SceneText& t) { return t.text == "Sg"; }));
    // Measured and adjusted curves are both named over the frame, in their colours, by the
    // gas-water columns krw and krg, one key after the other; none is left under the axis.
    std::vector<std::string> above;
    double lastX = -25;
    for (const SceneText& t : texts) {
        if (t.text != "Sg") {
            EXPECT_NE(t.y, legendY) << t.text;
        }
        if (t.y == 109) {
            above.push_back(t.text);
            EXPECT_GT(t.x, lastX) << t.text;
            lastX = t.x;
        }
    }
    EXPECT_EQ(above,
              (std::vector<std::string>{"measured:", "krw", "krg", "adjusted:", "krw", "krg"}));
    EXPECT_LT(lastX, 105) << "the last name starts inside the plot";
    const auto dashedSamples = drawnIn<SceneLine>(s, krAxisAdjustedColour);
    EXPECT_TRUE(std::any_of(dashedSamples.begin(), dashedSamples.end(), [](const SceneLine& l) {
        return l.y1 > 100 && l.style == LineStyle::Dashed;
    }));
}

TEST(Plot, LinesJoinThePointsInSaturationOrderHoweverTheSetListsThem) {
    MeasuredDataSet set =
        makeSet(SetRecipe{.points = {{1, 0.4, 0}, {0.2, 0.05, 0.6}, {0.6, 0.2, 0.1}}});
    asInputTable(GO, set);
    const Scene s = dataSetPlot(GO, set, false);
    const auto lines = linesIn(s, krAxisColour);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_LT(lines[0].x1, lines[0].x2);
    EXPECT_DOUBLE_EQ(lines[0].x2, lines[1].x1);
    EXPECT_LT(lines[1].x1, lines[1].x2);
    EXPECT_DOUBLE_EQ(set.satAsInput[1], 0.55) << "the set itself keeps its order";
}

TEST(Plot, ASetNoComputationCanTakeShowsWhyInsideTheFrame) {
    MeasuredDataSet set = makeSet(SetRecipe{.swc = std::numeric_limits<double>::infinity()});
    asInputTable(WO, set);
    const Scene s = dataSetPlot(WO, set, false);
    EXPECT_TRUE(s.all<SceneDot>().empty());
    std::string said;
    for (const SceneText& t : s.all<SceneText>())
        if (t.x == 4) {
            EXPECT_GT(t.y, 0);
            EXPECT_LE(t.y, 100);
            EXPECT_LE(t.text.size(), 36u) << t.text;
            said += (said.empty() ? "" : " ") + t.text;
        }
    EXPECT_EQ(said, "The data set cannot be used: its Swc is infinite.");
}

TEST(Plot, NoPointsGiveTheFrameAlone) {
    MeasuredDataSet empty;
    const Scene s = dataSetPlot(WO, empty, false);
    EXPECT_TRUE(s.all<SceneDot>().empty());
    EXPECT_EQ(s.all<SceneLine>().size(), 3u + 22 + 2) << "the frame and the legend's samples";
}

} // namespace
} // namespace relperm
