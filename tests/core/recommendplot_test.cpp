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
using testing::curvePaths;
using testing::curvesInsideFrame;

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

// Where the first or last curve of `colour` stands in the order of painting; -1 for none.
std::ptrdiff_t firstCurveOf(const Scene& scene, Rgb colour) {
    for (std::size_t i = 0; i < scene.items.size(); ++i)
        if (const auto* path = std::get_if<ScenePath>(&scene.items[i]);
            path && path->colour == colour)
            return static_cast<std::ptrdiff_t>(i);
    return -1;
}

std::ptrdiff_t lastCurveOf(const Scene& scene, Rgb colour) {
    std::ptrdiff_t last = -1;
    for (std::size_t i = 0; i < scene.items.size(); ++i)
        if (const auto* path = std::get_if<ScenePath>(&scene.items[i]);
            path && path->colour == colour)
            last = static_cast<std::ptrdiff_t>(i);
    return last;
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
    EXPECT_LT(lastCurveOf(scene, fittedSetColour),
              firstCurveOf(scene, scalCaseColour(ScalCase::Low)));

    const std::vector<std::string> names = texts(scene);
    for (const char* name : {"Sw norm", "kr", "fits", "low", "base", "high"})
        EXPECT_TRUE(has(names, name)) << name;
    EXPECT_TRUE(curveLines(scene, scalTColour).empty());
    for (const SceneText& text : scene.all<SceneText>())
        EXPECT_TRUE(text.x >= -25 && text.x + 2.8 * text.text.size() <= 110) << text.text;
}

// The case at t is dashed under the three cases, so they stay in sight where it crosses them;
// at -1, 0 and 1 it is one of them, drawn once in that case's colour and named with t.
TEST(RecommendationPlot, TheCaseAtTIsDashedUnderTheCasesAndNotRedrawnOnOne) {
    const ScalRecommendation rec = fiveFits();
    const Scene half = recommendationPlot(rec, 0.5);
    EXPECT_TRUE(has(texts(half), "t = 0.50"));
    const std::vector<ScenePath> dashed = curvePaths(half, scalTColour);
    ASSERT_EQ(dashed.size(), 2u) << "one path for each curve, so its dashes run along it";
    for (const ScenePath& path : dashed)
        EXPECT_EQ(path.style, LineStyle::Dashed);
    EXPECT_LT(lastCurveOf(half, fittedSetColour), firstCurveOf(half, scalTColour));
    EXPECT_LT(lastCurveOf(half, scalTColour), firstCurveOf(half, scalCaseColour(ScalCase::Low)));
    // Between the cases, not on one of them.
    const std::vector<ScenePath> high = curvePaths(half, scalCaseColour(ScalCase::High));
    EXPECT_NE(dashed[0].points[30].y, high[0].points[30].y);

    const std::pair<double, std::string> onCases[] = {
        {-1, "low (t = -1.00)"}, {0, "base (t = 0.00)"}, {1, "high (t = 1.00)"}};
    for (const auto& [t, name] : onCases) {
        const Scene on = recommendationPlot(rec, t);
        EXPECT_TRUE(curvePaths(on, scalTColour).empty()) << t;
        EXPECT_TRUE(has(texts(on), name)) << name;
        const std::size_t open = name.find('(') + 1;
        EXPECT_FALSE(has(texts(on), name.substr(open, name.find(')') - open)))
            << "no entry of its own";
    }
    EXPECT_EQ(curvePaths(recommendationPlot(rec, -0.99), scalTColour).size(), 2u);
    EXPECT_EQ(scalTText(-0.001), "t = 0.00");
}

TEST(RecommendationPlot, OnTheLogarithmicAxisEveryCurveStaysInTheFrame) {
    const Scene scene = recommendationPlot(fiveFits(), 0.25, KrAxis::Logarithmic);
    EXPECT_TRUE(has(texts(scene), ".0001"));
    EXPECT_TRUE(curvesInsideFrame(scene));
    EXPECT_GT(scene.all<ScenePath>().size(), 10u);
}

} // namespace
} // namespace relperm
