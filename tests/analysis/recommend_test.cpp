// The low/base/high recommendation: percentiles over sets made from known curves, in the
// documented directions, a case whose percentiles leave too little to move scaled to the
// least of the sets, and the cases interpolated without changing them; a recommendation
// from a file watched and cancelled as the window runs it; its plot bounded at any number
// of fits.
#include "../database/records.h"
#include "analysis/recommend.h"
#include "analysis/recommendplot.h"
#include "support/plot_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace relperm {
namespace {

constexpr auto WO = TwoPhaseSystem::WaterOil;

// A fit as the fitting would give it for a set made from these Corey curves.
FittedSet coreyFit(double nw, double now, double sorw, double krwend = 0.4, double kroend = 0.9) {
    FittedSet f;
    f.system = WO;
    f.model = FitModel::Corey;
    f.ends.swl = 0.2;
    f.ends.sorw = sorw;
    f.rising.n = nw;
    f.rising.end = krwend;
    f.falling.n = now;
    f.falling.end = kroend;
    f.points = 10;
    return f;
}

// 21 sets: nw 1.5 to 3.5 by .1; now 2 to 4 by .1 and sorw .2 to .3 by .005, both in
// another order than nw, so a case cannot take one set's values whole.
std::vector<FittedSet> twentyOneSets() {
    std::vector<FittedSet> fits;
    for (int k = 0; k <= 20; ++k) {
        const int other = (k * 8) % 21; // a permutation of 0..20
        fits.push_back(coreyFit(1.5 + 0.1 * k, 2 + 0.1 * other, 0.2 + 0.005 * ((20 - other) % 21),
                                0.3 + 0.01 * other, 0.8 + 0.01 * (k % 5)));
    }
    return fits;
}

ScalRecommendation recommended(std::vector<FittedSet> fits) {
    auto r = recommendFromFits(WO, FitModel::Corey, std::move(fits));
    EXPECT_TRUE(std::holds_alternative<ScalRecommendation>(r));
    return std::get<ScalRecommendation>(r);
}

TEST(Recommend, BaseIsTheMedianAndTheCasesThePercentilesInTheirDirections) {
    const ScalRecommendation r = recommended(twentyOneSets());
    // 21 values: the median is the 11th, the 10th and 90th percentiles the 3rd and the 19th.
    EXPECT_NEAR(r.base.rising.n, 2.5, 1e-12);
    EXPECT_NEAR(r.base.falling.n, 3.0, 1e-12);
    EXPECT_NEAR(r.base.ends.sorw, 0.25, 1e-12);
    // Low: water moves sooner (smaller nw), oil later (larger now), more oil stays.
    EXPECT_NEAR(r.low.rising.n, 1.7, 1e-12);
    EXPECT_NEAR(r.low.falling.n, 3.8, 1e-12);
    EXPECT_NEAR(r.low.ends.sorw, 0.29, 1e-12);
    EXPECT_NEAR(r.low.rising.end, 0.48, 1e-12); // krwend: larger
    EXPECT_NEAR(r.high.rising.n, 3.3, 1e-12);
    EXPECT_NEAR(r.high.falling.n, 2.2, 1e-12);
    EXPECT_NEAR(r.high.ends.sorw, 0.21, 1e-12);
    EXPECT_NEAR(r.high.rising.end, 0.32, 1e-12);
    EXPECT_LE(r.low.falling.end, r.base.falling.end); // kroend: smaller for low
    EXPECT_GE(r.high.falling.end, r.base.falling.end);
    EXPECT_DOUBLE_EQ(r.base.ends.swl, 0.2);
}

TEST(Recommend, PercentilesInterpolateBetweenSets) {
    // Four sets: the median lies halfway between the 2nd and 3rd, the 10th percentile
    // three tenths of the way from the 1st to the 2nd.
    const ScalRecommendation r = recommended(
        {coreyFit(1, 2, 0.2), coreyFit(2, 2, 0.2), coreyFit(3, 2, 0.2), coreyFit(5, 2, 0.2)});
    EXPECT_DOUBLE_EQ(r.base.rising.n, 2.5);
    EXPECT_DOUBLE_EQ(r.low.rising.n, 1.3);
    EXPECT_DOUBLE_EQ(r.high.rising.n, 4.4);
}

TEST(Recommend, TheCasesComeOutOfTheInterpolationUnchanged) {
    const ScalRecommendation r = recommended(twentyOneSets());
    auto same = [](const SaturationTables& a, const SaturationTables& b) {
        ASSERT_EQ(a.waterOil.size(), b.waterOil.size());
        for (std::size_t i = 0; i < a.waterOil.size(); ++i) {
            EXPECT_EQ(a.waterOil[i].saturation, b.waterOil[i].saturation);
            EXPECT_EQ(a.waterOil[i].first, b.waterOil[i].first);
            EXPECT_EQ(a.waterOil[i].second, b.waterOil[i].second);
        }
    };
    same(scalTables(r, 0, 5), fittedTables(r.base, 5));
    same(scalTables(r, -1, 5), fittedTables(r.low, 5));
    same(scalTables(r, 1, 5), fittedTables(r.high, 5));
    // Halfway to high: end points halfway, kr halfway at equal normalised saturation.
    const FitEndPoints half = scalEndPoints(r, 0.5);
    EXPECT_NEAR(half.sorw, (r.base.ends.sorw + r.high.ends.sorw) / 2, 1e-15);
    EXPECT_NEAR(scalRisingKr(r, 0.5, 0.6),
                (risingKr(FitModel::Corey, r.base.rising, 0.6) +
                 risingKr(FitModel::Corey, r.high.rising, 0.6)) /
                    2,
                1e-15);
    // The low case lets less oil flow than base everywhere in between.
    for (double s = 0.05; s < 1; s += 0.1)
        EXPECT_LT(scalFallingKr(r, -1, s), scalFallingKr(r, 0, s)) << s;
}

TEST(Recommend, TheParameterFileHasACaseColumnAndThreeRows) {
    const std::string csv = recommendationCsv(recommended(twentyOneSets()));
    EXPECT_EQ(csv.substr(0, csv.find('\r')), "satnum,case,swl,swcr,sorw,nw,now,krwend,kroend,rms");
    EXPECT_NE(csv.find("\n1,low,.2,.2,.29,1.7"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\n1,base,.2,.2,.25,2.5"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\n1,high,.2,.2,.21,3.3"), std::string::npos) << csv;
}

// Ten sets of two rocks, swl .5 with sorw .1 and swl .1 with sorw .5: each leaves .4 to
// move, but their 90th percentiles, swl .5 and sorw .5, leave nothing.
std::vector<FittedSet> twoRocks() {
    std::vector<FittedSet> fits;
    for (int k = 0; k < 10; ++k) {
        FittedSet f = coreyFit(2, 3, k % 2 ? 0.5 : 0.1);
        f.ends.swl = k % 2 ? 0.1 : 0.5;
        fits.push_back(f);
    }
    return fits;
}

TEST(Recommend, ACaseLeavingLessMovableSaturationThanEverySetIsScaledToTheLeastOfThem) {
    const ScalRecommendation r = recommended(twoRocks());
    ASSERT_EQ(r.scaled.size(), 1u);
    EXPECT_EQ(r.scaled[0].which, ScalCase::Low);
    EXPECT_NEAR(r.low.ends.swl, 0.3, 1e-12);
    EXPECT_NEAR(r.low.ends.sorw, 0.3, 1e-12);
    EXPECT_EQ(scaledText(r, r.scaled[0]),
              "The low case's end points swl .5, sorw .5 leave no movable saturation, less than "
              "any fitted set leaves (.4 at the least); they are scaled by .6 to swl .3, sorw .3.");
    // Base leaves the .4 of every set, to the last digit but one: no case is scaled for
    // rounding noise. High leaves more than any set and keeps its percentiles.
    EXPECT_NEAR(r.base.ends.swl, 0.3, 1e-12);
    EXPECT_NEAR(r.high.ends.swl, 0.1, 1e-12);
    EXPECT_NEAR(r.high.ends.sorw, 0.1, 1e-12);

    // A set that leaves nothing to move gives no least to keep to.
    std::vector<FittedSet> fits = twoRocks();
    fits[3].ends.sorw = 0.9;
    EXPECT_TRUE(std::holds_alternative<Refusal>(recommendFromFits(WO, FitModel::Corey, fits)));
}

TEST(Recommend, FitsWithAnExponentOnABoundAreNamed) {
    std::vector<FittedSet> fits = twentyOneSets();
    EXPECT_EQ(boundsText(recommended(fits)), "");
    for (int k : {2, 4, 6, 8, 10, 12}) {
        fits[static_cast<std::size_t>(k)].falling.n = 10;
        fits[static_cast<std::size_t>(k)].onBounds = {"now at its upper bound 10"};
    }
    fits[2].onBounds.push_back("nw at its lower bound .5");
    ScalRecommendation r = recommended(fits);
    r.fittedMatches.clear();
    for (int k = 0; k <= 20; ++k)
        r.fittedMatches.push_back(100 + k);
    EXPECT_EQ(boundsText(r),
              "6 fits have an exponent on a bound, where the curve wants a value beyond it: data "
              "set # 102 (now at its upper bound 10, nw at its lower bound .5); data set # 104 "
              "(now at its upper bound 10); data set # 106 (now at its upper bound 10); data set "
              "# 108 (now at its upper bound 10); data set # 110 (now at its upper bound 10); ...");
}

TEST(Recommend, NothingFittedIsRefused) {
    const auto none = recommendFromFits(WO, FitModel::Corey, {});
    ASSERT_TRUE(std::holds_alternative<Refusal>(none));
    EXPECT_NE(std::get<Refusal>(none).message.find("No data set could be fitted"),
              std::string::npos);
}

using RecommendFromFile = testing::TempDirTest;

// 200 sets of ten points on krw = .4 S^nw, krow = .9 (1 - S)^3, nw from 1.5 to 3.5.
void writeCoreySets(const std::filesystem::path& dir) {
    std::vector<testing::SetRecipe> sets(200);
    for (std::size_t k = 0; k < sets.size(); ++k) {
        const double nw = 1.5 + 0.01 * static_cast<double>(k);
        sets[k].points.clear();
        for (int i = 0; i < 10; ++i) {
            const double s = i / 9.0;
            sets[k].points.push_back({s, 0.4 * std::pow(s, nw), 0.9 * std::pow(1 - s, 3)});
        }
    }
    testing::writeDataFile(dir, WO, testing::recordsOf(WO, sets));
}

TEST_F(RecommendFromFile, WatchedItGivesTheSameCasesAndACancelIsNeverTakenForThem) {
    writeCoreySets(dir);
    const auto plain = recommendScal(dir, WO, {}, {}, {}, FitModel::Corey);
    ASSERT_TRUE(std::holds_alternative<ScalRecommendation>(plain));
    EXPECT_EQ(std::get<ScalRecommendation>(plain).fits.size(), 200u);

    std::vector<double> reported;
    const auto watched = recommendScal(
        dir, WO, {}, {}, {}, FitModel::Corey, {},
        {[&](double fraction) { reported.push_back(fraction); }, [] { return false; }});
    ASSERT_TRUE(std::holds_alternative<ScalRecommendation>(watched));
    EXPECT_EQ(recommendationCsv(std::get<ScalRecommendation>(watched)),
              recommendationCsv(std::get<ScalRecommendation>(plain)));
    ASSERT_FALSE(reported.empty());
    EXPECT_EQ(reported.back(), 1.0);

    // Cancelled halfway through the file: the cases of the first half are not handed over.
    bool cancel = false;
    reported.clear();
    const auto halfway = recommendScal(dir, WO, {}, {}, {}, FitModel::Corey, {},
                                       {[&](double fraction) {
                                            reported.push_back(fraction);
                                            cancel = fraction >= 0.5;
                                        },
                                        [&] { return cancel; }});
    ASSERT_TRUE(std::holds_alternative<Refusal>(halfway));
    EXPECT_EQ(std::get<Refusal>(halfway).input, cancelledWork);
    EXPECT_EQ(std::get<Refusal>(halfway).message,
              "The recommendation was cancelled before every matching set was fitted.");
    ASSERT_FALSE(reported.empty());
    EXPECT_LT(reported.back(), 0.6);

    // Cancelled before the first set: a cancellation still, not "no set matches".
    const auto atOnce =
        recommendScal(dir, WO, {}, {}, {}, FitModel::Corey, {}, {{}, [] { return true; }});
    ASSERT_TRUE(std::holds_alternative<Refusal>(atOnce));
    EXPECT_EQ(std::get<Refusal>(atOnce).input, cancelledWork);
}

// Fits enough to plot: every one differs, so each drawn curve is a fit's own.
ScalRecommendation recommendationOf(std::size_t count) {
    std::vector<FittedSet> fits;
    for (std::size_t k = 0; k < count; ++k)
        fits.push_back(
            coreyFit(1.5 + 2.0 * static_cast<double>(k) / static_cast<double>(count), 3, 0.25));
    return recommended(fits);
}

int curvesOf(const std::vector<SceneLine>& lines) {
    return static_cast<int>(
        std::count_if(lines.begin(), lines.end(), [](const SceneLine& l) { return l.x1 == 0; }));
}

bool holdsText(const Scene& scene, const std::string& text) {
    const std::vector<SceneText> texts = scene.all<SceneText>();
    return std::any_of(texts.begin(), texts.end(),
                       [&](const SceneText& t) { return t.text == text; });
}

TEST(RecommendationPlot, DrawsAtMostAFewHundredFitsEvenlySpacedAndSaysSo) {
    EXPECT_EQ(drawnFits(4), (std::vector<std::size_t>{0, 1, 2, 3}));
    const std::vector<std::size_t> drawn = drawnFits(1000000);
    ASSERT_EQ(drawn.size(), maxFitsDrawn);
    EXPECT_EQ(drawn.front(), 0u);
    for (std::size_t i = 1; i < drawn.size(); ++i) {
        const std::size_t step = drawn[i] - drawn[i - 1];
        EXPECT_TRUE(step == 1000000 / maxFitsDrawn || step == 1000000 / maxFitsDrawn + 1) << i;
    }
    EXPECT_GE(drawn.back(), 1000000 - 1000000 / maxFitsDrawn - 1);

    // Every fit drawn while they are few, with nothing to say about it.
    const Scene all = recommendationPlot(recommendationOf(maxFitsDrawn), 0.5);
    EXPECT_EQ(curvesOf(testing::curveLines(all, fittedSetColour)), 2 * int(maxFitsDrawn));
    EXPECT_FALSE(holdsText(all, "fits: " + std::to_string(maxFitsDrawn) + " of " +
                                    std::to_string(maxFitsDrawn)));

    // Past that, the same scene however many there are, and it says how many it draws.
    const Scene more = recommendationPlot(recommendationOf(maxFitsDrawn + 1), 0.5);
    const Scene many = recommendationPlot(recommendationOf(20000), 0.5);
    EXPECT_EQ(curvesOf(testing::curveLines(many, fittedSetColour)), 2 * int(maxFitsDrawn));
    EXPECT_EQ(many.items.size(), more.items.size());
    const std::string drawnText = "fits: " + std::to_string(maxFitsDrawn) + " of ";
    EXPECT_TRUE(holdsText(more, drawnText + std::to_string(maxFitsDrawn + 1)));
    EXPECT_TRUE(holdsText(many, drawnText + "20000"));
}

} // namespace
} // namespace relperm
