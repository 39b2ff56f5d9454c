// relperm recommend: a low/base/high recommendation over sets whose spread is known, so the
// percentiles each case takes can be read off; the tables of a case or a point between, also
// of a case whose percentiles leave nothing to move; sets left out above --max-rms; and every
// way the command says no.
#include "cli/commands.h"
#include "database/records.h"
#include "support/deck_text.h"
#include "support/run_relperm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>

namespace relperm::cli {
namespace {

using namespace relperm::testing;

constexpr int setCount = 21;

// Set i of 21: Corey curves at Swc 20% with nw = 1.5 + 0.1 i, and now (2 to 4) and Sorw
// (.2 to .3) each in a shuffled order of its own, so no parameter's percentile is another's
// set's. 21 values put the 10th and 90th percentiles on order statistics: the 3rd smallest
// and the 3rd largest.
SetRecipe spreadSet(int i) {
    const int nowRank = (8 * i) % setCount;
    const int sorwRank = (5 * i + 3) % setCount;
    SetRecipe recipe{.location = 1, .swc = 0.2, .sorw = 0.2 + 0.005 * sorwRank};
    const double nw = 1.5 + 0.1 * i;
    const double now = 2 + 0.1 * nowRank;
    recipe.points.clear();
    for (int k = 0; k <= 14; ++k) {
        const double s = k / 14.0;
        recipe.points.push_back({s, 0.4 * std::pow(s, nw), 0.9 * std::pow(1 - s, now)});
    }
    return recipe;
}

std::vector<SetRecipe> spreadSets() {
    std::vector<SetRecipe> sets;
    for (int i = 0; i < setCount; ++i)
        sets.push_back(spreadSet(i));
    return sets;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');) {
        if (field.size() >= 2 && field.front() == '"' && field.back() == '"')
            field = field.substr(1, field.size() - 2);
        out.push_back(field);
    }
    return out;
}

// The parameter file as case -> column -> value.
using Cases = std::map<std::string, std::map<std::string, double>>;

Cases casesOf(const std::string& csv) {
    const auto rows = lines(csv);
    Cases cases;
    if (rows.empty())
        return cases;
    const auto names = fields(rows[0]);
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const auto values = fields(rows[r]);
        for (std::size_t c = 0; c < names.size() && c < values.size(); ++c)
            if (names[c] != "case")
                cases[values[1]][names[c]] = std::stod(values[c]);
    }
    return cases;
}

class Recommend : public TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        writeDataFile(dir, WO, recordsOf(WO, spreadSets()));
    }
    // relperm recommend on the folder's water-oil data with Corey.
    Outcome recommend(std::vector<std::string> args = {}) {
        args.insert(args.begin(), {"recommend", "--dir", dir.string(), "--system", "Water-Oil Data",
                                   "--model", "corey"});
        return relperm(args);
    }
};

// --- the cases --------------------------------------------------------------------------

TEST_F(Recommend, BaseIsTheMedianAndLowAndHighThePercentilesThatMakeOilFlowLessOrMore) {
    Outcome r = recommend();
    ASSERT_EQ(r.status, exitOk) << r.err;
    EXPECT_EQ(r.err, "relperm recommend: 21 of the 21 matching data sets fitted\n");
    const auto rows = lines(r.out);
    ASSERT_EQ(rows.size(), 4u) << r.out;
    EXPECT_EQ(rows[0], "satnum,case,swl,swcr,sorw,nw,now,krwend,kroend,rms");
    EXPECT_EQ(fields(rows[1])[1], "low");
    EXPECT_EQ(fields(rows[2])[1], "base");
    EXPECT_EQ(fields(rows[3])[1], "high");

    Cases cases = casesOf(r.out);
    EXPECT_NEAR(cases["base"]["nw"], 2.5, 0.01);
    EXPECT_NEAR(cases["base"]["now"], 3.0, 1e-3) << "the median of 2 to 4";
    EXPECT_NEAR(cases["base"]["sorw"], 0.25, 1e-9) << "the median of .2 to .3";
    // Water sooner, oil slower and more of it left behind: the low case.
    EXPECT_NEAR(cases["low"]["nw"], 1.7, 1e-3) << "10th percentile: the 3rd smallest";
    EXPECT_NEAR(cases["low"]["now"], 3.8, 1e-3) << "90th percentile: the 3rd largest";
    EXPECT_NEAR(cases["low"]["sorw"], 0.29, 1e-9);
    EXPECT_NEAR(cases["high"]["nw"], 3.3, 1e-3);
    EXPECT_NEAR(cases["high"]["now"], 2.2, 1e-3);
    EXPECT_NEAR(cases["high"]["sorw"], 0.21, 1e-9);
    for (const char* which : {"low", "base", "high"}) {
        EXPECT_NEAR(cases[which]["swl"], 0.2, 1e-9) << which;
        EXPECT_NEAR(cases[which]["swcr"], 0.2, 1e-9) << which;
        EXPECT_NEAR(cases[which]["krwend"], 0.4, 1e-4) << which;
        EXPECT_NEAR(cases[which]["kroend"], 0.9, 1e-4) << which;
        EXPECT_LT(cases[which]["rms"], 1e-4) << which << ": the sets are Corey curves";
    }
    // One saturation region with its three cases, as pyscal reads a recommendation.
    for (const char* which : {"low", "base", "high"})
        EXPECT_EQ(cases[which]["satnum"], 1) << which;

    const std::string out = (dir / "rec.csv").string();
    EXPECT_EQ(recommend({"--out", out}).out, "");
    EXPECT_EQ(readFile(out), r.out);
}

TEST_F(Recommend, TheSetsAreThoseDbListListsAndASetThatCannotBeFittedIsLeftOutAndNamed) {
    // Set 22, elsewhere and far from the others, then set 23 with too few points for Corey.
    std::vector<SetRecipe> sets = spreadSets();
    SetRecipe far = spreadSet(0);
    far.location = 2;
    far.sorw = 0.45;
    sets.push_back(far);
    sets.push_back(SetRecipe{.location = 2, .points = {{0.5, 0.1, 0.3}}});
    writeDataFile(dir, WO, recordsOf(WO, sets));

    Outcome north = recommend({"--location", "1"});
    ASSERT_EQ(north.status, exitOk) << north.err;
    EXPECT_EQ(north.err, "relperm recommend: 21 of the 21 matching data sets fitted\n");
    EXPECT_NEAR(casesOf(north.out)["low"]["sorw"], 0.29, 1e-9);

    Outcome all = recommend();
    ASSERT_EQ(all.status, exitOk) << all.err;
    EXPECT_EQ(all.err.rfind("relperm recommend: data set # 23 left out: ", 0), 0u) << all.err;
    EXPECT_NE(all.err.find("1 point"), std::string::npos) << all.err;
    EXPECT_NE(all.err.find("\nrelperm recommend: 22 of the 23 matching data sets fitted\n"),
              std::string::npos)
        << all.err;
    // 22 sets: the 90th percentile lies 0.9 of the way from the 19th smallest to the 20th.
    EXPECT_NEAR(casesOf(all.out)["low"]["sorw"], 0.29 + 0.9 * 0.005, 1e-9);

    // Search %: Sorw within 1.2 percentage points of 21% keeps the sets of Sorw .2 to .22.
    Outcome near = recommend({"--search-percent", "--tolerance", "1.2", "--sor", "21"});
    ASSERT_EQ(near.status, exitOk) << near.err;
    EXPECT_EQ(near.err, "relperm recommend: 5 of the 5 matching data sets fitted\n");
    EXPECT_NEAR(casesOf(near.out)["base"]["sorw"], 0.21, 1e-9);
    Outcome listed = relperm({"db", "list", "--dir", dir.string(), "--system", "Water-Oil Data",
                              "--search-percent", "--tolerance", "1.2", "--sor", "21"});
    EXPECT_EQ(lines(listed.out).size(), 6u) << "db list lists the same 5 sets: " << listed.out;
}

// --- the tables of a case ---------------------------------------------------------------

TEST_F(Recommend, InterpolateMinusOneZeroAndOneAreLowBaseAndHighByteForByte) {
    const std::map<std::string, std::string> cases = {{"low", "-1"}, {"base", "0"}, {"high", "1"}};
    for (const auto& [name, t] : cases) {
        Outcome byCase = recommend({"--format", "swof", "--case", name});
        Outcome byT = recommend({"--format", "swof", "--interpolate", t});
        ASSERT_EQ(byCase.status, exitOk) << byCase.err;
        ASSERT_EQ(byT.status, exitOk) << byT.err;
        EXPECT_EQ(byT.out, byCase.out) << name;
        EXPECT_NE(byCase.out.find("-- Case: " + name + " (t = " + t + ")."), std::string::npos)
            << byCase.out;
    }
    EXPECT_EQ(recommend({"--format", "swof"}).out,
              recommend({"--format", "swof", "--case", "base"}).out)
        << "base by default";
    EXPECT_NE(recommend({"--format", "swof", "--interpolate", "-0"}).out.find("(t = 0)"),
              std::string::npos);
}

// The recommendation's parameter file, given to relperm tables at the same t, makes the
// recommendation's own SWOF: the cases interpolated as pyscal interpolates them.
TEST_F(Recommend, ParametersGivenToTablesMakeTheRecommendationsOwnSwof) {
    const std::string params = (dir / "cases.csv").string();
    ASSERT_EQ(recommend({"--out", params}).status, exitOk);
    for (const char* t : {"-1", "-0.4", "0", "0.7", "1"}) {
        const Outcome own = recommend({"--format", "swof", "--interpolate", t});
        const Outcome tables =
            relperm({"tables", params, "--delta-s", "0.05", std::string("--int-param-wo=") + t});
        ASSERT_EQ(own.status, exitOk) << own.err;
        ASSERT_EQ(tables.status, exitOk) << tables.err;
        const auto rows = keywordRows(own.out, "SWOF");
        const auto rebuilt = keywordTables(tables.out, "SWOF").at(0);
        ASSERT_EQ(rebuilt.size(), rows.size()) << t;
        // To the 15 significant digits the parameter file carries.
        for (std::size_t i = 0; i < rows.size(); ++i)
            for (std::size_t c = 0; c < 4; ++c)
                EXPECT_NEAR(rebuilt[i][c], rows[i][c], 1e-13) << t << " row " << i;
    }
}

TEST_F(Recommend, SwofOfACaseRunsFromItsSwlToOneMinusItsSorwAndSaysWhatItIs) {
    Outcome base = recommend({"--format", "swof", "--spacing", "10"});
    ASSERT_EQ(base.status, exitOk) << base.err;
    for (const char* head :
         {"-- Relative permeability tables written by relperm ", "-- Selection: All Locations, ",
          "-- Model: Corey.", "-- Case: base (t = 0).", "-- Data sets: 21 of the 21 matching",
          "-- Parameters of base (t = 0): swl .2, swcr .2, sorw .25, nw 2.5"})
        EXPECT_NE(base.out.find(head), std::string::npos) << head << "\n" << base.out;
    auto rows = keywordRows(base.out, "SWOF");
    // As pyscal lays them: Swc and every 10% from it, with 1 - Sorw on a row of its own.
    const std::vector<double> sw = {0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.75, 0.8, 0.9, 1};
    ASSERT_EQ(rows.size(), sw.size()) << base.out;
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_NEAR(rows[i][0], sw[i], 1e-9);
        const double s = (sw[i] - 0.2) / 0.55;
        EXPECT_NEAR(rows[i][1], 0.4 * std::pow(s, 2.5), 1e-4) << "krw at Sw " << sw[i];
        EXPECT_NEAR(rows[i][2], 0.9 * std::pow(1 - s, 3), 1e-4) << "krow at Sw " << sw[i];
    }

    // Low leaves more oil behind than high: the oil stops flowing at 1 - Sorw of each.
    for (auto [name, oilStops] : {std::pair{"low", 0.71}, std::pair{"high", 0.79}}) {
        Outcome r = recommend({"--format", "swof", "--spacing", "10", "--case", name});
        ASSERT_EQ(r.status, exitOk) << r.err;
        rows = keywordRows(r.out, "SWOF");
        const auto stop =
            std::find_if(rows.begin(), rows.end(), [](const auto& row) { return row[2] == 0; });
        ASSERT_NE(stop, rows.end()) << r.out;
        EXPECT_NEAR((*stop)[0], oilStops, 1e-9) << name;
        EXPECT_EQ(rows.back()[0], 1) << name;
    }

    // Halfway to high, krow at Sw .5 lies between base's and high's.
    Outcome half = recommend({"--format", "swof", "--spacing", "10", "--interpolate", ".5"});
    ASSERT_EQ(half.status, exitOk) << half.err;
    EXPECT_NE(half.out.find("-- Case: t = .5, between base (t = 0) and high (t = 1)."),
              std::string::npos)
        << half.out;
    auto krowAtHalf = [](const std::string& out) {
        for (const auto& row : keywordRows(out, "SWOF"))
            if (std::abs(row[0] - 0.5) < 1e-9)
                return row[2];
        return -1.0;
    };
    const double mid = krowAtHalf(half.out);
    const double lo = krowAtHalf(base.out);
    const double hi =
        krowAtHalf(recommend({"--format", "swof", "--spacing", "10", "--case", "high"}).out);
    EXPECT_GT(hi, lo) << "high lets oil flow more";
    EXPECT_GT(mid, lo);
    EXPECT_LT(mid, hi);

    // The head names the weighting of a fit that is not of kr itself.
    const Outcome logKr = recommend({"--format", "swof", "--weight", "log"});
    ASSERT_EQ(logKr.status, exitOk) << logKr.err;
    EXPECT_NE(logKr.out.find("\n-- Model: Corey, fitted to log10 kr (kr below 1e-4 as 1e-4).\n"),
              std::string::npos)
        << logKr.out;

    Outcome capped = recommend({"--format", "simulator", "--krw-max", ".5"});
    ASSERT_EQ(capped.status, exitOk) << capped.err;
    EXPECT_EQ(keywordRows(capped.out, "SWOF").back(), (std::vector<double>{1, 0.5, 0, 0}));
}

// --- cases kept physical ----------------------------------------------------------------

// Ten sets of two rocks that each leave .4 to move, `a` and `b` alternating: their
// percentiles taken one end point at a time leave the low case nothing.
std::vector<SetRecipe> twoRocks(SetRecipe a, SetRecipe b) {
    std::vector<SetRecipe> sets;
    for (int k = 0; k < 10; ++k)
        sets.push_back(k % 2 ? b : a);
    return sets;
}

TEST_F(Recommend, ACaseWhosePercentilesLeaveNoMovableSaturationIsScaledAndItsTablesAreWritten) {
    SetRecipe waterWet = tenCoreyPoints();
    waterWet.swc = 0.5;
    waterWet.sorw = 0.1;
    SetRecipe oilWet = waterWet;
    oilWet.swc = 0.1;
    oilWet.sorw = 0.5;
    writeDataFile(dir, WO, recordsOf(WO, twoRocks(waterWet, oilWet)));
    const std::string said =
        "relperm recommend: The low case's end points swl .5, sorw .5 leave no movable "
        "saturation, less than any fitted set leaves (.4 at the least); they are scaled by .6 to "
        "swl "
        ".3, sorw .3.\n";

    Outcome params = recommend();
    ASSERT_EQ(params.status, exitOk) << params.err;
    EXPECT_EQ(params.err, "relperm recommend: 10 of the 10 matching data sets fitted\n" + said);
    Cases cases = casesOf(params.out);
    EXPECT_NEAR(cases["low"]["swl"], 0.3, 1e-7);
    EXPECT_NEAR(cases["low"]["swcr"], 0.3, 1e-7);
    EXPECT_NEAR(cases["low"]["sorw"], 0.3, 1e-7);
    EXPECT_NEAR(cases["high"]["sorw"], 0.1, 1e-7) << "high leaves more than any set: as it was";

    // The low case's SWOF, and one a quarter of the way from it to base, go to the deck.
    Outcome low = recommend({"--format", "simulator", "--case", "low"});
    ASSERT_EQ(low.status, exitOk) << low.err;
    EXPECT_NE(low.out.find("-- " + said.substr(19, said.size() - 20)), std::string::npos)
        << "the head says so too:\n"
        << low.out;
    const auto rows = keywordRows(low.out, "SWOF");
    ASSERT_FALSE(rows.empty()) << low.out;
    EXPECT_NEAR(rows.front()[0], 0.3, 1e-7);
    const auto oilStops =
        std::find_if(rows.begin(), rows.end(), [](const auto& row) { return row[2] == 0; });
    ASSERT_NE(oilStops, rows.end());
    EXPECT_NEAR((*oilStops)[0], 0.7, 1e-7);
    EXPECT_EQ(recommend({"--format", "swof", "--interpolate", "-.75"}).status, exitOk);

    // Gas-oil: swl .6 + sgcr .05 + sorg .6 for low, each set leaving .25 of gas to move.
    SetRecipe gasA = tenCoreyPoints();
    gasA.swc = 0.6;
    gasA.sgc = 0.05;
    gasA.sorg = 0.1;
    SetRecipe gasB = gasA;
    gasB.swc = 0.1;
    gasB.sorg = 0.6;
    writeDataFile(dir, GO, recordsOf(GO, twoRocks(gasA, gasB)));
    Outcome gas = relperm({"recommend", "--dir", dir.string(), "--system", "Gas-Oil Data",
                           "--model", "corey", "--format", "sgof", "--case", "low"});
    ASSERT_EQ(gas.status, exitOk) << gas.err;
    EXPECT_NE(gas.err.find("swl .6, sgcr .05, sorg .6 leave no movable saturation, less than "
                           "any fitted set leaves (.25 at the least); they are scaled by .6 to swl "
                           ".36, sgcr .03, sorg .36."),
              std::string::npos)
        << gas.err;
    const auto sgof = keywordRows(gas.out, "SGOF");
    ASSERT_GE(sgof.size(), 3u) << gas.out;
    EXPECT_NEAR(sgof[1][0], 0.03, 1e-7) << "gas starts to move at the scaled sgcr";
    EXPECT_NEAR(sgof.back()[0], 0.64, 1e-7) << "the gas table ends at 1 - swl";
}

// --- leaving out the poor fits ----------------------------------------------------------

TEST_F(Recommend, MaxRmsLeavesOutTheSetsFittedWorseAndSaysWhichWithTheirRms) {
    // Two sets elsewhere, scattered by .04 about their curves: the same cases without them.
    std::vector<SetRecipe> sets = spreadSets();
    for (int i : {3, 11}) {
        SetRecipe scattered = spreadSet(i);
        scattered.location = 2;
        for (std::size_t k = 0; k < scattered.points.size(); ++k) {
            const double by = k % 2 ? 0.04 : -0.04;
            scattered.points[k][1] = std::max(0.0, scattered.points[k][1] + by);
            scattered.points[k][2] = std::max(0.0, scattered.points[k][2] - by);
        }
        sets.push_back(scattered);
    }
    const Outcome clean = recommend();
    writeDataFile(dir, WO, recordsOf(WO, sets));
    ASSERT_NE(recommend().out, clean.out) << "the scattered sets move the cases";

    Outcome r = recommend({"--max-rms", ".01"});
    ASSERT_EQ(r.status, exitOk) << r.err;
    EXPECT_EQ(r.out, clean.out);
    const auto said = lines(r.err);
    ASSERT_EQ(said.size(), 3u) << r.err;
    for (std::size_t k = 0; k < 2; ++k) {
        const std::string start =
            "relperm recommend: data set # " + std::to_string(22 + k) + " left out: The fit's rms ";
        EXPECT_EQ(said[k].rfind(start, 0), 0u) << said[k];
        const double rms = std::stod(said[k].substr(start.size()));
        EXPECT_GT(rms, 0.01) << said[k];
        EXPECT_LT(rms, 0.06) << said[k];
        const std::string end = " is above the largest allowed, .01.";
        EXPECT_EQ(said[k].substr(said[k].size() - end.size()), end);
    }
    EXPECT_EQ(said[2], "relperm recommend: 23 of the 23 matching data sets fitted, 21 of them "
                       "within --max-rms .01");
    Outcome tables = recommend({"--max-rms", ".01", "--format", "swof"});
    EXPECT_NE(tables.out.find("-- Data sets: 23 of the 23 matching data sets fitted, 21 of them "
                              "within --max-rms .01.\n-- Left out: data set # 22: The fit's rms "),
              std::string::npos)
        << tables.out;

    // Only the scattered sets: none is left, and the refusal says why.
    Outcome none = recommend({"--location", "2", "--max-rms", ".01"});
    EXPECT_EQ(none.status, exitRefused);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err.rfind("relperm recommend: None of the 2 matching data sets could be "
                             "fitted within the largest rms allowed: data set # 1: The fit's rms ",
                             0),
              0u)
        << none.err;
}

// --- refusals ---------------------------------------------------------------------------

TEST_F(Recommend, RefusesWithTheFlagAndExitTwo) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    for (const Case& c : {
             Case{{"--format", "swof", "--interpolate", "1.5"},
                  "--interpolate must be a number from -1 (low) to 1 (high), not \"1.5\""},
             Case{{"--format", "swof", "--interpolate", "half"},
                  "--interpolate must be a number from -1 (low) to 1 (high), not \"half\""},
             Case{{"--format", "swof", "--case", "base", "--interpolate", "0"},
                  "--case and --interpolate cannot both be given: --interpolate -1, 0 and 1 "
                  "are low, base and high"},
             Case{{"--format", "swof", "--case", "middle"},
                  "--case must be low, base or high, not \"middle\""},
             Case{{"--case", "low"},
                  "--case applies to the simulator formats only; params writes every case"},
             Case{{"--interpolate", "0"},
                  "--interpolate applies to the simulator formats "
                  "only; params writes every case"},
             Case{{"--format", "sgof"}, "SGOF does not fit Water-Oil Data; it takes SWOF."},
             Case{{"--spacing", "10"}, "--spacing applies to the simulator formats only"},
             Case{{"--format", "swof", "--krw-max", "2"},
                  "--krw-max must be a fraction from 0 to 1, not \"2\""},
             Case{{"--location", "9"}, "--location must be a list index from 0 to 6, not \"9\""},
             Case{{"--weight", "l2"}, "--weight must be kr or log, not \"l2\""},
             Case{{"--max-rms", "0"},
                  "--max-rms must be a number above 0 (the largest rms a fit "
                  "may have), not \"0\""},
             Case{{"--max-rms", "-.1"},
                  "--max-rms must be a number above 0 (the largest rms a "
                  "fit may have), not \"-.1\""},
             Case{{"--max-rms", "inf"},
                  "--max-rms must be a number above 0 (the largest rms a "
                  "fit may have), not \"inf\""},
             Case{{"--max-rms", "1e999"},
                  "--max-rms must be a number above 0 (the largest rms a "
                  "fit may have), not \"1e999\""},
             Case{{"--tolerance", "x"}, "--tolerance must be a number, not \"x\""},
         }) {
        Outcome r = recommend(c.args);
        EXPECT_EQ(r.status, exitRefused) << c.message;
        EXPECT_EQ(r.out, "") << c.message;
        EXPECT_EQ(r.err, "relperm recommend: " + c.message + "\n");
    }
    Outcome noModel = relperm({"recommend", "--dir", dir.string(), "--system", "Water-Oil Data"});
    EXPECT_EQ(noModel.status, exitRefused);
    EXPECT_EQ(noModel.err, "relperm recommend: --model is needed: Corey or LET\n");
}

TEST_F(Recommend, NoMatchingSetOrNoneFittedIsRefused) {
    Outcome none = recommend({"--location", "3"});
    EXPECT_EQ(none.status, exitRefused);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err.rfind("relperm recommend: ", 0), 0u) << none.err;
    EXPECT_EQ(none.err.find('\n'), none.err.size() - 1) << "one line: " << none.err;

    writeDataFile(dir, WO, recordsOf(WO, {SetRecipe{.points = {{0.5, 0.1, 0.3}}}}));
    Outcome unfitted = recommend();
    EXPECT_EQ(unfitted.status, exitRefused);
    EXPECT_EQ(unfitted.out, "");
    EXPECT_EQ(unfitted.err.rfind("relperm recommend: ", 0), 0u) << unfitted.err;
}

TEST_F(Recommend, ADamagedFileGivesTheCasesOfTheSetsBeforeItAndExitOne) {
    const Outcome whole = recommend();
    writeDataFile(dir, WO, recordsOf(WO, spreadSets()) + Bytes().raw16(51).data);
    Outcome r = recommend();
    EXPECT_EQ(r.status, exitFileError);
    EXPECT_EQ(r.out, whole.out);
    EXPECT_NE(r.err.find("21 of the 21 matching data sets fitted"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("point count 51"), std::string::npos) << r.err;

    // Damage before any set: nothing to recommend from, and the file is to blame.
    writeDataFile(dir, WO, Bytes().raw16(51).data);
    Outcome lost = recommend();
    EXPECT_EQ(lost.status, exitFileError);
    EXPECT_EQ(lost.out, "");
    EXPECT_NE(lost.err.find("point count 51"), std::string::npos) << lost.err;
}

TEST(RecommendHelp, HelpListsTheFlagsAndTheCommandList) {
    Outcome help = relperm({"recommend", "--help"});
    EXPECT_EQ(help.status, exitOk);
    for (const char* flag :
         {"--dir",         "--system",         "--location",  "--method", "--lithology",
          "--wettability", "--search-percent", "--tolerance", "--swc",    "--sor",
          "--sgc",         "--model",          "--format",    "--case",   "--interpolate",
          "--spacing",     "--krw-max",        "--krg-max",   "--out",    "--weight",
          "--max-rms"})
        EXPECT_NE(help.out.find(flag), std::string::npos) << flag;
    EXPECT_NE(relperm({"--help"}).out.find("\n  recommend "), std::string::npos);
}

} // namespace
} // namespace relperm::cli
