// The low/base/high recommendation: percentiles over sets made from known curves, in the
// documented directions, and the cases interpolated without changing them.
#include "analysis/recommend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

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

TEST(Recommend, NothingFittedIsRefused) {
    const auto none = recommendFromFits(WO, FitModel::Corey, {});
    ASSERT_TRUE(std::holds_alternative<Refusal>(none));
    EXPECT_NE(std::get<Refusal>(none).message.find("No data set could be fitted"),
              std::string::npos);
}

} // namespace
} // namespace relperm
