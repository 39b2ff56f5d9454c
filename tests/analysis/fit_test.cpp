// Fitting Corey and LET curves: sets made from known curves give their parameters back,
// noise costs a stated accuracy, and what leaves the fit (parameter file, tables) is what
// pyscal and the simulator read.
#include "analysis/fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace relperm {
namespace {

constexpr auto WO = TwoPhaseSystem::WaterOil;
constexpr auto GO = TwoPhaseSystem::GasOil;
constexpr auto GW = TwoPhaseSystem::GasWater;

CurveParameters corey(double n, double end) {
    CurveParameters c;
    c.n = n;
    c.end = end;
    return c;
}

CurveParameters let(double l, double e, double t, double end) {
    CurveParameters c;
    c.l = l;
    c.e = e;
    c.t = t;
    c.end = end;
    return c;
}

// A set whose points lie on the model's curves at `count` even saturations, plus noise of
// the given standard deviation on kr (never below 0).
MeasuredDataSet madeFrom(FitModel model, const CurveParameters& rising,
                         const CurveParameters& falling, int count, double noise = 0,
                         double swc = 0.2, double sor = 0.25) {
    MeasuredDataSet set;
    set.pointCount = static_cast<std::int16_t>(count);
    set.connateWater = TaggedValue::of(swc);
    set.residualOilToWater = TaggedValue::of(sor);
    set.residualOilToGas = TaggedValue::of(sor);
    set.criticalGas = TaggedValue::of(0.05);
    std::mt19937 random(7);
    std::normal_distribution<double> error(0, noise > 0 ? noise : 1);
    for (int i = 1; i <= count; ++i) {
        const double s = static_cast<double>(i - 1) / (count - 1);
        const auto at = static_cast<std::size_t>(i);
        set.normSat[at] = s;
        set.krAxis[at] = risingKr(model, rising, s);
        set.krOther[at] = fallingKr(model, falling, s);
        if (noise > 0) {
            set.krAxis[at] = std::max(0.0, set.krAxis[at] + error(random));
            set.krOther[at] = std::max(0.0, set.krOther[at] + error(random));
        }
    }
    return set;
}

FittedSet fitted(TwoPhaseSystem system, const MeasuredDataSet& set, FitModel model) {
    auto result = fitDataSet(system, set, model);
    if (const auto* refusal = std::get_if<Refusal>(&result))
        ADD_FAILURE() << refusal->message;
    return std::get<FittedSet>(result);
}

TEST(Fit, CoreyCurvesAreRecovered) {
    const MeasuredDataSet set = madeFrom(FitModel::Corey, corey(2.5, 0.4), corey(3.2, 0.9), 12);
    const FittedSet fit = fitted(WO, set, FitModel::Corey);
    EXPECT_NEAR(fit.rising.n, 2.5, 0.03);
    EXPECT_NEAR(fit.falling.n, 3.2, 0.03);
    EXPECT_NEAR(fit.rising.end, 0.4, 0.01);
    EXPECT_NEAR(fit.falling.end, 0.9, 0.01);
    EXPECT_LT(fit.rms, 1e-6);
    EXPECT_DOUBLE_EQ(fit.ends.swl, 0.2);
    EXPECT_DOUBLE_EQ(fit.ends.sorw, 0.25);
}

TEST(Fit, AnEndKrAtItsBoundIsExactlyThere) {
    // The simulator compares krow at Swc with krog at Sg = 0: 1 must be 1, not .99999.
    const MeasuredDataSet set = madeFrom(FitModel::Corey, corey(2.5, 0.4), corey(3.2, 1), 12);
    for (FitModel model : {FitModel::Corey, FitModel::Let})
        EXPECT_EQ(fitted(WO, set, model).falling.end, 1);
}

TEST(Fit, NoiseCostsAStatedAccuracy) {
    // kr measured to about .01: the exponents come back within .3, the end values within .03.
    const MeasuredDataSet set =
        madeFrom(FitModel::Corey, corey(2.5, 0.4), corey(3.2, 0.9), 15, 0.01);
    const FittedSet fit = fitted(WO, set, FitModel::Corey);
    EXPECT_NEAR(fit.rising.n, 2.5, 0.3);
    EXPECT_NEAR(fit.falling.n, 3.2, 0.3);
    EXPECT_NEAR(fit.rising.end, 0.4, 0.03);
    EXPECT_NEAR(fit.falling.end, 0.9, 0.03);
    EXPECT_GT(fit.rms, 0.003);
    EXPECT_LT(fit.rms, 0.02);
}

TEST(Fit, LetCurvesAreMatched) {
    const MeasuredDataSet set =
        madeFrom(FitModel::Let, let(2, 1.5, 1.2, 0.5), let(3, 0.8, 1.5, 0.85), 15, 0, 0.15, 0.2);
    const FittedSet fit = fitted(GO, set, FitModel::Let);
    EXPECT_LT(fit.rms, 1e-3);
    // A Corey curve cannot follow the LET shape as closely.
    EXPECT_GT(fitted(GO, set, FitModel::Corey).rms, fit.rms);
}

TEST(Fit, ParametersStayWithinTheirBounds) {
    // Straight lines want exponents of 1 and a flat falling curve wants 0.
    MeasuredDataSet set = madeFrom(FitModel::Corey, corey(1, 1), corey(1, 1), 6);
    for (int i = 1; i <= 6; ++i)
        set.krOther[static_cast<std::size_t>(i)] = 0.95;
    for (FitModel model : {FitModel::Corey, FitModel::Let}) {
        const FittedSet fit = fitted(WO, set, model);
        for (const CurveParameters* c : {&fit.rising, &fit.falling}) {
            EXPECT_GE(c->end, 0);
            EXPECT_LE(c->end, 1);
            if (model == FitModel::Corey) {
                EXPECT_GE(c->n, 0.5);
                EXPECT_LE(c->n, 10);
            } else {
                EXPECT_GE(c->l, 0.5);
                EXPECT_LE(c->t, 10);
                EXPECT_GE(c->e, 0.01);
                EXPECT_LE(c->e, 100);
            }
        }
    }
}

TEST(Fit, TooFewPointsOrNoRangeAreRefused) {
    const MeasuredDataSet three = madeFrom(FitModel::Corey, corey(2, 1), corey(2, 1), 3);
    EXPECT_TRUE(std::holds_alternative<FittedSet>(fitDataSet(WO, three, FitModel::Corey)));
    const auto let = fitDataSet(WO, three, FitModel::Let);
    ASSERT_TRUE(std::holds_alternative<Refusal>(let));
    EXPECT_EQ(std::get<Refusal>(let).message,
              "The data set has 3 points; a LET fit needs at least 4.");

    const MeasuredDataSet closed =
        madeFrom(FitModel::Corey, corey(2, 1), corey(2, 1), 5, 0, 0.6, 0.4);
    const auto none = fitDataSet(WO, closed, FitModel::Corey);
    ASSERT_TRUE(std::holds_alternative<Refusal>(none));
    EXPECT_NE(std::get<Refusal>(none).message.find("no saturation range"), std::string::npos);
}

// The optimum over n for a Corey curve whose end kr is held at `end`, by a scan at steps of
// 1e-4 (the reference the fit is held to where the optimum lies on a bound).
double scannedExponent(const MeasuredDataSet& set, double end, bool rising) {
    double best = 0, bestSum = std::numeric_limits<double>::infinity();
    for (double n = 0.5; n <= 10; n += 1e-4) {
        double sum = 0;
        for (int i = 1; i <= set.pointCount; ++i) {
            const auto at = static_cast<std::size_t>(i);
            const double s = rising ? set.normSat[at] : 1 - set.normSat[at];
            const double kr = rising ? set.krAxis[at] : set.krOther[at];
            sum += std::pow(end * std::pow(s, n) - kr, 2);
        }
        if (sum < bestSum) {
            bestSum = sum;
            best = n;
        }
    }
    return best;
}

TEST(Fit, ReachesTheBoundedOptimumWhereItLiesOnABound) {
    // kr above 1 (end 1.2) and an exponent beyond the range (12): the optimum holds end kr
    // at 1 and the exponent at the best value there, or at 10; a start on a bound (the
    // log-log line puts the end above 1) does not stop the fit.
    const MeasuredDataSet set =
        madeFrom(FitModel::Corey, corey(2.7, 1.2), corey(12, 0.9), 15, 0.004);
    const FittedSet fit = fitted(WO, set, FitModel::Corey);
    EXPECT_EQ(fit.rising.end, 1);
    EXPECT_NEAR(fit.rising.n, scannedExponent(set, 1, true), 2e-4);
    EXPECT_EQ(fit.falling.n, 10);
    EXPECT_EQ(fit.onBounds, std::vector<std::string>{"now at its upper bound 10"});
    EXPECT_TRUE(
        fitted(WO, madeFrom(FitModel::Corey, corey(2.5, 0.4), corey(3.2, 0.9), 12), FitModel::Corey)
            .onBounds.empty());
}

TEST(Fit, TheLogWeightFollowsTheLowKrEnds) {
    // Corey curves whose low-kr tails were measured higher than the curve: each weight's fit
    // is the better one by its own measure.
    MeasuredDataSet set = madeFrom(FitModel::Corey, corey(3, 0.5), corey(2.5, 0.9), 15);
    for (int i = 2; i <= 4; ++i)
        set.krAxis[static_cast<std::size_t>(i)] *= 3;
    const auto fitWith = [&](FitWeight weight) {
        auto result = fitDataSet(WO, set, FitModel::Corey, {weight});
        return std::get<FittedSet>(result).rising;
    };
    const auto misfits = [&](const CurveParameters& c) {
        double kr = 0, log = 0;
        for (int i = 1; i <= set.pointCount; ++i) {
            const auto at = static_cast<std::size_t>(i);
            const double model = risingKr(FitModel::Corey, c, set.normSat[at]);
            kr += std::pow(model - set.krAxis[at], 2);
            log += std::pow(
                std::log10(std::max(model, 1e-4)) - std::log10(std::max(set.krAxis[at], 1e-4)), 2);
        }
        return std::pair{kr, log};
    };
    const auto [krOfKr, logOfKr] = misfits(fitWith(FitWeight::Kr));
    const auto [krOfLog, logOfLog] = misfits(fitWith(FitWeight::Log));
    EXPECT_LT(krOfKr, krOfLog);
    EXPECT_LT(logOfLog, logOfKr * 0.9);
    EXPECT_EQ(fitWeightNamed("log"), FitWeight::Log);
    EXPECT_EQ(fitWeightNamed("Log"), std::nullopt);
}

TEST(Fit, PointsThatCannotDetermineACurveAreRefusedWithTheReason) {
    const auto refusal = [](const MeasuredDataSet& set, FitModel model) {
        auto result = fitDataSet(WO, set, model);
        return std::holds_alternative<Refusal>(result) ? std::get<Refusal>(result).message
                                                       : std::string("fitted");
    };
    // Points only at the ends give an end kr and no exponent.
    MeasuredDataSet ends = madeFrom(FitModel::Corey, corey(2, 0.4), corey(3, 0.9), 4);
    ends.normSat[2] = 0;
    ends.normSat[3] = 1;
    EXPECT_EQ(refusal(ends, FitModel::Corey),
              "The data set cannot be fitted: krw has points at 0 saturations between its start "
              "and its end; a Corey curve needs 1 to determine its exponent besides its end kr.");
    // One saturation between the ends is enough for Corey; LET needs three.
    const MeasuredDataSet four = madeFrom(FitModel::Corey, corey(2, 0.4), corey(3, 0.9), 4);
    EXPECT_EQ(refusal(four, FitModel::Corey), "fitted");
    EXPECT_EQ(refusal(four, FitModel::Let),
              "The data set cannot be fitted: krw has points at 2 saturations between its start "
              "and its end; a LET curve needs 3 to determine its L, E and T besides its end kr.");
    // A curve of zeros would have end kr 0, which no simulator takes.
    MeasuredDataSet zeros = madeFrom(FitModel::Corey, corey(2, 0.4), corey(3, 0.9), 6);
    for (int i = 1; i <= 6; ++i)
        zeros.krOther[static_cast<std::size_t>(i)] = 0;
    EXPECT_EQ(refusal(zeros, FitModel::Corey),
              "The data set cannot be fitted: krow is 0 at every point, so no curve can be "
              "fitted to it (its end kr would be 0).");
}

TEST(Fit, TheParameterFileUsesPyscalsNames) {
    const MeasuredDataSet set = madeFrom(FitModel::Corey, corey(2, 0.5), corey(3, 1), 8);
    const FittedSet wo = fitted(WO, set, FitModel::Corey);
    const std::string csv = fitParametersCsv({wo});
    EXPECT_EQ(csv.substr(0, csv.find('\r')), "satnum,swl,swcr,sorw,nw,now,krwend,kroend,rms");
    EXPECT_EQ(csv.substr(csv.find('\n') + 1, 13), "1,.2,.2,.25,2");

    const std::vector<std::string> goLet = fitParameterNames(GO, FitModel::Let);
    EXPECT_EQ(goLet, (std::vector<std::string>{"swl", "sgcr", "sorg", "sgro", "lg", "eg", "tg",
                                               "log", "eog", "tog", "krgend", "kroend", "rms"}));
    const std::vector<double> go = fitParameterValues(fitted(GO, set, FitModel::Let));
    EXPECT_EQ(go[3], go[1]) << "sgro: krog normalised from Sgcr, as ours";
    // Gas-water: the water curve first, as pyscal's gas-water tables list it.
    EXPECT_EQ(
        fitParameterNames(GW, FitModel::Corey),
        (std::vector<std::string>{"swl", "sgcr", "sgrw", "nw", "ng", "krwend", "krgend", "rms"}));
    const FittedSet gw = fitted(GW, set, FitModel::Corey);
    const std::vector<double> values = fitParameterValues(gw);
    EXPECT_EQ(values[2], values[1]) << "sgrw: krw normalised up to 1 - Sgcr, as ours";
    EXPECT_NEAR(values[3], 3, 0.03); // nw: the falling curve of gas-water data
    EXPECT_NEAR(values[4], 2, 0.03); // ng
}

TEST(Fit, TablesRunFromEndPointToEndPointOnTheSpacing) {
    const MeasuredDataSet set = madeFrom(FitModel::Corey, corey(2, 0.5), corey(3, 1), 8);
    const SaturationTables wo = fittedTables(fitted(WO, set, FitModel::Corey), 5);
    ASSERT_FALSE(wo.waterOil.empty());
    EXPECT_DOUBLE_EQ(wo.waterOil.front().saturation, 0.2);
    EXPECT_NEAR(wo.waterOil.back().saturation, 0.75, 1e-12);
    EXPECT_EQ(wo.waterOil.size(), 12u);               // .2, .25, ..., .7, .75
    EXPECT_NEAR(wo.waterOil.front().first, 0, 1e-9);  // krw at Swc
    EXPECT_NEAR(wo.waterOil.front().second, 1, 0.01); // krow at Swc
    EXPECT_NEAR(wo.waterOil.back().first, 0.5, 0.01); // krw at 1 - Sorw
    EXPECT_NEAR(wo.waterOil.back().second, 0, 1e-9);

    // Gas-oil: from Sg = 0 through Sgc .05 to 1 - Swc - Sorg, the liquid's kr first.
    const SaturationTables go = fittedTables(fitted(GO, set, FitModel::Corey), 10);
    ASSERT_GE(go.gas.size(), 3u);
    EXPECT_EQ(go.gas[0].saturation, 0);
    EXPECT_DOUBLE_EQ(go.gas[1].saturation, 0.05);
    EXPECT_NEAR(go.gas.back().saturation, 0.55, 1e-12);
    EXPECT_NEAR(go.gas[0].first, 1, 0.01);
    EXPECT_EQ(go.gas[0].second, 0);
    EXPECT_EQ(go.liquid, "krog");
    EXPECT_DOUBLE_EQ(go.swc, 0.2);
}

} // namespace
} // namespace relperm
