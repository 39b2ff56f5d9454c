// The plot of a SCAL recommendation: each fitted set's two curves in grey behind the low,
// base and high cases, the case at the slider's t dashed over them, and a legend naming them.
#include "analysis/recommendplot.h"
#include "support/plot_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <variant>
#include <vector>

namespace relperm {
namespace {

using testing::curveLines;

FittedSet coreyFit(double nw, double now, double swl) {
    FittedSet fit;
    fit.model = FitModel::Corey;
    fit.ends = {.swl = swl, .sorw = 0.25};
    fit.rising = {.n = nw, .end = 0.4};
    fit.falling = {.n = now, .end = 0.9};
    fit.rms = 0.01;
    fit.points = 10;
    return fit;
}

ScalRecommendation fiveFits() {
    std::vector<FittedSet> fits;
    for (int i = 0; i < 5; ++i)
        fits.push_back(coreyFit(1.5 + 0.5 * i, 2 + 0.25 * i, 0.15 + 0.02 * i));
    auto made = recommendFromFits(TwoPhaseSystem::WaterOil, FitModel::Corey, fits);
    EXPECT_TRUE(std::holds_alternative<ScalRecommendation>(made));
    return std::get<ScalRecommendation>(made);
}

// A curve starts at the left axis: its first line's start.
int curvesOf(const std::vector<SceneLine>& lines) {
    return static_cast<int>(
        std::count_if(lines.begin(), lines.end(), [](const SceneLine& l) { return l.x1 == 0; }));
}

std::vector<std::string> texts(const Scene& scene) {
    std::vector<std::string> out;
    for (const SceneText& t : scene.all<SceneText>())
        out.push_back(t.text);
    return out;
}

bool has(const std::vector<std::string>& all, const std::string& text) {
    return std::find(all.begin(), all.end(), text) != all.end();
}

TEST(RecommendationPlot, GreyFitsBehindTheThreeCasesWithALegend) {
    const ScalRecommendation rec = fiveFits();
    const Scene scene = recommendationPlot(rec, std::nullopt);

    const std::vector<SceneLine> grey = curveLines(scene, fittedSetColour);
    EXPECT_EQ(curvesOf(grey), 2 * 5);
    for (const SceneLine& line : grey)
        EXPECT_EQ(line.penWidth, 1);
    for (ScalCase which : {ScalCase::Low, ScalCase::Base, ScalCase::High}) {
        const std::vector<SceneLine> lines = curveLines(scene, scalCaseColour(which));
        EXPECT_EQ(curvesOf(lines), 2) << scalCaseName(which);
        for (const SceneLine& line : lines)
            EXPECT_TRUE(line.penWidth > 1 && line.style == LineStyle::Solid);
    }
    EXPECT_NE(scalCaseColour(ScalCase::Low), scalCaseColour(ScalCase::High));

    // The cases are drawn over the fits, never hidden by them.
    std::ptrdiff_t lastGrey = -1, firstCase = -1;
    for (std::size_t i = 0; i < scene.items.size(); ++i)
        if (const auto* line = std::get_if<SceneLine>(&scene.items[i])) {
            if (line->colour == fittedSetColour && line->y1 <= 100)
                lastGrey = static_cast<std::ptrdiff_t>(i);
            else if (line->colour == scalCaseColour(ScalCase::Low) && firstCase < 0)
                firstCase = static_cast<std::ptrdiff_t>(i);
        }
    EXPECT_LT(lastGrey, firstCase);

    const std::vector<std::string> names = texts(scene);
    for (const char* name : {"Sw norm", "kr", "fits", "low", "base", "high"})
        EXPECT_TRUE(has(names, name)) << name;
    EXPECT_TRUE(curveLines(scene, scalTColour).empty());
    for (const SceneText& text : scene.all<SceneText>())
        EXPECT_TRUE(text.x >= -25 && text.x + 2.8 * text.text.size() <= 110) << text.text;
}

TEST(RecommendationPlot, TheCaseAtTIsDashedAndAtMinusOneIsTheLowCase) {
    const ScalRecommendation rec = fiveFits();
    const Scene half = recommendationPlot(rec, 0.5);
    EXPECT_TRUE(has(texts(half), "t = 0.50"));
    const std::vector<SceneLine> dashed = curveLines(half, scalTColour);
    EXPECT_EQ(curvesOf(dashed), 2);
    for (const SceneLine& line : dashed)
        EXPECT_EQ(line.style, LineStyle::Dashed);

    const Scene low = recommendationPlot(rec, -1);
    EXPECT_TRUE(has(texts(low), "t = -1.00"));
    const std::vector<SceneLine> atT = curveLines(low, scalTColour);
    const std::vector<SceneLine> lowCase = curveLines(low, scalCaseColour(ScalCase::Low));
    ASSERT_EQ(atT.size(), lowCase.size());
    for (std::size_t i = 0; i < atT.size(); ++i) {
        EXPECT_DOUBLE_EQ(atT[i].y1, lowCase[i].y1);
        EXPECT_DOUBLE_EQ(atT[i].y2, lowCase[i].y2);
    }
    // Between the cases, not on one of them.
    EXPECT_NE(dashed[10].y2, lowCase[10].y2);
    EXPECT_EQ(scalTText(-0.001), "t = 0.00");
}

TEST(RecommendationPlot, OnTheLogarithmicAxisEveryCurveStaysInTheFrame) {
    const Scene scene = recommendationPlot(fiveFits(), 0.25, KrAxis::Logarithmic);
    EXPECT_TRUE(has(texts(scene), ".0001"));
    int drawn = 0;
    for (const SceneLine& line : scene.all<SceneLine>()) {
        // The legend's samples stand level above the frame; every other line of colour is
        // a curve and stays inside it.
        const bool legendSample = line.y1 == line.y2 && line.y1 > 100;
        if (line.colour == black || legendSample)
            continue;
        ++drawn;
        EXPECT_TRUE(line.y1 >= 0 && line.y1 <= 100 && line.y2 >= 0 && line.y2 <= 100);
    }
    EXPECT_GT(drawn, 100);
}

} // namespace
} // namespace relperm
