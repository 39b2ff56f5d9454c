// relperm fit: the set `db show` would show, fitted and written as pyscal parameters, as
// simulator tables or beside the calculator's correlations, and every way it says no.
#include "analysis/fit.h"
#include "cli/commands.h"
#include "database/records.h"
#include "support/deck_text.h"
#include "support/run_relperm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <sstream>

namespace relperm::cli {
namespace {

using namespace relperm::testing;

// Corey curves with known parameters at Swc 20%, Sorw 25%: krw = 0.4 S^3, krow = 0.9 (1 - S)^2.
SetRecipe knownCorey(int location = 1) {
    SetRecipe recipe{.location = location, .swc = 0.2, .sorw = 0.25};
    recipe.points.clear();
    for (int k = 0; k <= 10; ++k) {
        const double s = k / 10.0;
        recipe.points.push_back({s, 0.4 * std::pow(s, 3), 0.9 * std::pow(1 - s, 2)});
    }
    return recipe;
}

// The calculator's Corey water-oil curves at Swc 20%, Sorw 30%, on its 1% rows.
SetRecipe calculatorCorey() {
    SetRecipe recipe{.location = 2, .swc = 0.2, .sorw = 0.3};
    recipe.points.clear();
    for (int k = 0; k <= 10; ++k) {
        const double s = k / 10.0;
        const double sw = 0.2 + 0.5 * s;
        recipe.points.push_back({s, std::pow(s, 4), k == 10 ? 0.0 : std::pow((1 - sw) / 0.8, 4)});
    }
    return recipe;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');)
        out.push_back(field);
    if (!line.empty() && line.back() == ',')
        out.push_back("");
    return out;
}

class Fit : public TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        writeDataFile(dir, WO, recordsOf(WO, {knownCorey(), calculatorCorey()}));
    }
    // relperm fit on the folder's water-oil data.
    Outcome fit(std::vector<std::string> args) {
        args.insert(args.begin(),
                    {"fit", "--dir", dir.string(), "--system", "Water-Oil Data", "--model"});
        return relperm(args);
    }
};

TEST_F(Fit, ParametersOfASetMadeFromKnownCurvesAreThoseCurves) {
    Outcome r = fit({"corey", "--match", "1"});
    ASSERT_EQ(r.status, exitOk) << r.err;
    EXPECT_EQ(r.err, "");
    const auto rows = lines(r.out);
    ASSERT_EQ(rows.size(), 2u) << r.out;
    EXPECT_EQ(rows[0], "satnum,swl,swcr,sorw,nw,now,krwend,kroend,rms");
    const auto values = fields(rows[1]);
    ASSERT_EQ(values.size(), 9u) << rows[1];
    const std::vector<double> expected = {1, 0.2, 0.2, 0.25, 3, 2, 0.4, 0.9, 0};
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(std::stod(values[i]), expected[i], 1e-6) << i << ": " << rows[1];

    Outcome let = fit({"let", "--match", "1", "--format", "params"});
    ASSERT_EQ(let.status, exitOk) << let.err;
    EXPECT_EQ(lines(let.out)[0], "satnum,swl,swcr,sorw,lw,ew,tw,low,eow,tow,krwend,kroend,rms");
}

TEST_F(Fit, TheSetIsTheOneDbShowShowsForTheSameSelection) {
    // The second set is the first of location 2 (South America).
    Outcome second = fit({"corey", "--location", "2", "--match", "1"});
    ASSERT_EQ(second.status, exitOk) << second.err;
    EXPECT_EQ(fields(lines(second.out)[1])[3], ".3") << "Sorw of the second set";
    EXPECT_EQ(second.out, fit({"corey", "--match", "2"}).out);
    Outcome shown = relperm({"db", "show", "--dir", dir.string(), "--system", "Water-Oil Data",
                             "--location", "2", "--match", "1"});
    EXPECT_NE(shown.out.find("Sorw =30.%"), std::string::npos) << shown.out;

    const std::string out = (dir / "params.csv").string();
    EXPECT_EQ(fit({"corey", "--location", "2", "--match", "1", "--out", out}).out, "");
    EXPECT_EQ(readFile(out), second.out);
}

TEST_F(Fit, SwofRunsFromSwcThroughTheFittedCurvesToSwOne) {
    Outcome r = fit({"corey", "--match", "1", "--format", "swof", "--spacing", "10"});
    ASSERT_EQ(r.status, exitOk) << r.err;
    EXPECT_NE(r.out.find("-- Corey curves fitted to the measured data set Water-Oil Data, data "
                         "set # 1:"),
              std::string::npos)
        << r.out;
    const auto rows = keywordRows(r.out, "SWOF");
    // As pyscal lays them: Swc and every 10% from it, with 1 - Sorw on a row of its own; from
    // there krw runs straight to --krw-max at Sw = 1 and the oil no longer flows.
    const std::vector<double> sw = {0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.75, 0.8, 0.9, 1};
    ASSERT_EQ(rows.size(), sw.size()) << r.out;
    for (std::size_t i = 0; i < sw.size(); ++i) {
        ASSERT_EQ(rows[i].size(), 4u);
        EXPECT_NEAR(rows[i][0], sw[i], 1e-12);
        EXPECT_EQ(rows[i][3], 0) << "no capillary pressure";
        const double s = std::min((sw[i] - 0.2) / 0.55, 1.0);
        const double krw = sw[i] > 0.75 ? 0.4 + 0.6 * (sw[i] - 0.75) / 0.25 : 0.4 * std::pow(s, 3);
        EXPECT_NEAR(rows[i][1], krw, 1e-6) << "krw at Sw " << sw[i];
        EXPECT_NEAR(rows[i][2], 0.9 * std::pow(1 - s, 2), 1e-6) << "krow at Sw " << sw[i];
    }
    EXPECT_EQ(rows.back()[1], 1) << "krw goes on to --krw-max, 1 by default";
    EXPECT_EQ(rows.back()[2], 0);

    Outcome capped = fit({"corey", "--match", "1", "--format", "simulator", "--krw-max", ".5"});
    ASSERT_EQ(capped.status, exitOk) << capped.err;
    EXPECT_EQ(keywordRows(capped.out, "SWOF").back(), (std::vector<double>{1, 0.5, 0, 0}));
    EXPECT_EQ(keywordRows(capped.out, "SGOF").size(), 0u) << "a water-oil set gives SWOF only";
    EXPECT_EQ(keywordRows(capped.out, "SWOF").size(), 17u)
        << "5% spacing by default: every 5% from Swc to Sw = 1, 1 - Sorw among them";
}

TEST_F(Fit, CompareListsTheFitThenEveryCorrelation) {
    Outcome r = fit({"corey", "--match", "2", "--compare"});
    ASSERT_EQ(r.status, exitOk) << r.err;
    const auto rows = lines(r.out);
    ASSERT_EQ(rows.size(), 7u) << r.out;
    EXPECT_EQ(rows[0], "correlation,rms,note");
    const std::vector<std::string> names = {"\"Corey fit\"",
                                            "\"Mohamad Ibrahim/Varnholt\"",
                                            "\"Honarpour/Varnholt/Harvey\"",
                                            "\"Rose\"",
                                            "\"Wyllie\"",
                                            "\"Corey\""};
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto f = fields(rows[i + 1]);
        ASSERT_EQ(f.size(), 3u) << rows[i + 1];
        EXPECT_EQ(f[0], names[i]);
        EXPECT_NE(f[1], "") << "every correlation reads this sandstone, water-wet set";
        // Rose's krow, at these end points, leaves 0..1: evaluated, and said to be no rock's.
        EXPECT_EQ(f[2], names[i] == "\"Rose\"" ? "\"kr outside 0..1 (krow up to 184.6)\"" : "\"\"")
            << rows[i + 1];
    }
    // The set is the calculator's Corey, which no Corey power law in S follows for krow.
    EXPECT_LT(std::stod(fields(rows[6])[1]), 1e-12) << rows[6];
    EXPECT_GT(std::stod(fields(rows[1])[1]), 1e-4) << rows[1];

    writeDataFile(dir, WO, recordsOf(WO, {SetRecipe{.lithology = 4}}));
    Outcome shale = fit({"let", "--match", "1", "--compare"});
    ASSERT_EQ(shale.status, exitRefused) << "three points are too few for LET";
    shale = fit({"corey", "--match", "1", "--compare"});
    ASSERT_EQ(shale.status, exitOk) << shale.err;
    const auto rose = fields(lines(shale.out)[4]);
    EXPECT_EQ(rose[0], "\"Rose\"") << "Rose reads no formation";
    EXPECT_NE(rose[1], "");
    EXPECT_EQ(rose[2], "\"kr outside 0..1 (krow up to 184.6)\"");
    EXPECT_EQ(lines(shale.out)[5], "\"Wyllie\",,\"Wyllie reads the formation (Sandstone or "
                                   "Carbonate), and the data set's lithology is Shale, neither "
                                   "of them.\"");
}

// The parameter file of a fit, given to relperm tables, makes the fit's own SWOF: one
// source of curves, so a deck built from parameters is the deck the fit wrote.
TEST_F(Fit, ParametersGivenToTablesMakeTheFitsOwnSwof) {
    for (const char* model : {"corey", "let"}) {
        const std::string params = (dir / (std::string(model) + ".csv")).string();
        ASSERT_EQ(fit({model, "--match", "2", "--out", params}).status, exitOk);
        const Outcome own = fit({model, "--match", "2", "--format", "swof", "--spacing", "2"});
        const Outcome tables = relperm({"tables", params, "--delta-s", "0.02"});
        ASSERT_EQ(own.status, exitOk) << own.err;
        ASSERT_EQ(tables.status, exitOk) << tables.err;
        const auto rows = keywordRows(own.out, "SWOF");
        const auto rebuilt = keywordTables(tables.out, "SWOF").at(0);
        EXPECT_GT(rows.size(), 30u);
        ASSERT_EQ(rebuilt.size(), rows.size()) << model;
        // To the 15 significant digits the parameter file carries.
        for (std::size_t i = 0; i < rows.size(); ++i)
            for (std::size_t c = 0; c < 4; ++c)
                EXPECT_NEAR(rebuilt[i][c], rows[i][c], 1e-13) << model << " row " << i;
    }
}

// --- every system's parameter file, rebuilt by relperm tables -------------------------

// A fitted curve as relperm tables writes it: its keyword and column, and the rows'
// saturation at the set's normalised S = 0 and S = 1 (the gas-water water table runs the
// other way, Sw = 1 - Sg).
struct TableCurve {
    std::string keyword;
    std::size_t column;
    bool rising;
    double atZero, atOne;
    // Below S = 0 pyscal's krw runs on towards krwmax, which the fit leaves to --krw-max;
    // krog and krg stay as ours (kroend and 0).
    bool belowZero = true;
};

struct SystemFit {
    TwoPhaseSystem system;
    std::string name;
    SetRecipe recipe;
    std::vector<TableCurve> curves;
};

// Known Corey curves at the recipe's end points, on eleven points from S = 0 to 1.
SetRecipe knownSet(SetRecipe recipe, double nRising, double endRising, double nFalling,
                   double endFalling) {
    recipe.points.clear();
    for (int k = 0; k <= 10; ++k) {
        const double s = k / 10.0;
        recipe.points.push_back(
            {s, endRising * std::pow(s, nRising), endFalling * std::pow(1 - s, nFalling)});
    }
    return recipe;
}

std::vector<SystemFit> everySystem() {
    return {
        {WO,
         "Water-Oil Data",
         knownCorey(),
         {{"SWOF", 1, true, 0.2, 0.75}, {"SWOF", 2, false, 0.2, 0.75}}},
        {GO,
         "Gas-Oil Data",
         knownSet({.swc = 0.2, .sorg = 0.1, .sgc = 0.08}, 2.5, 0.7, 3, 0.85),
         {{"SGOF", 1, true, 0.08, 0.7}, {"SGOF", 2, false, 0.08, 0.7}}},
        {GW,
         "Gas-Water Data",
         knownSet({.swc = 0.15, .sgc = 0.1}, 2, 0.6, 3.5, 0.5),
         {{"SGFN", 1, true, 0.1, 0.85}, {"SWFN", 1, false, 0.9, 0.15, false}}},
        {GC,
         "Gas-Condensate Data",
         knownSet({.swc = 0.25, .sorg = 0, .sgc = 0.05}, 2, 0.8, 4, 0.9),
         {{"SGOF", 1, true, 0.05, 0.75}, {"SGOF", 2, false, 0.05, 0.75}}},
    };
}

// The table's `column` at saturation `x`, straight between its rows.
double interpolated(const std::vector<std::vector<double>>& rows, std::size_t column, double x) {
    for (std::size_t i = 1; i < rows.size(); ++i)
        if (x <= rows[i][0]) {
            const auto& a = rows[i - 1];
            const auto& b = rows[i];
            return a[column] + (b[column] - a[column]) * (x - a[0]) / (b[0] - a[0]);
        }
    return std::numeric_limits<double>::quiet_NaN();
}

// pyscal's parameters for our fit, given to relperm tables, give the fitted curves: at every
// measured point and every row the fit covers, to the seven decimals of the tables.
// (pyscal's krog starts at Sg = 0 and its gas-water krw ends at Sw = 1 unless sgro and sgrw
// move them to Sgcr; without them set 1 misses by a tenth.)
TEST_F(Fit, ParametersGivenToTablesGiveTheFittedCurvesOfEverySystem) {
    for (const SystemFit& sys : everySystem()) {
        writeDataFile(dir, sys.system, recordsOf(sys.system, {sys.recipe}));
        for (FitModel model : {FitModel::Corey, FitModel::Let}) {
            const std::string what = sys.name + " " + fitModelName(model);
            const auto fitted = fitDataSet(sys.system, makeSet(sys.recipe), model);
            ASSERT_TRUE(std::holds_alternative<FittedSet>(fitted)) << what;
            const FittedSet& fit = std::get<FittedSet>(fitted);

            const std::string params = (dir / "params.csv").string();
            const Outcome written =
                relperm({"fit", "--dir", dir.string(), "--system", sys.name, "--match", "1",
                         "--model", model == FitModel::Corey ? "corey" : "let", "--out", params});
            ASSERT_EQ(written.status, exitOk) << what << ": " << written.err;
            ASSERT_EQ(readFile(params), fitParametersCsv({fit}, LineEnd::Lf)) << what;
            const Outcome tables = relperm({"tables", params, "--delta-s", "0.0002"});
            ASSERT_EQ(tables.status, exitOk) << what << ": " << tables.err;

            for (const TableCurve& c : sys.curves) {
                const auto rows = keywordRows(tables.out, c.keyword);
                ASSERT_GT(rows.size(), 1000u) << what << " " << c.keyword;
                const auto fitKr = [&](double s) {
                    return c.rising ? risingKr(model, fit.rising, s)
                                    : fallingKr(model, fit.falling, s);
                };
                const std::string where =
                    what + " " + c.keyword + " column " + std::to_string(c.column + 1);
                for (const auto& point : sys.recipe.points) {
                    const double x = c.atZero + point[0] * (c.atOne - c.atZero);
                    EXPECT_NEAR(interpolated(rows, c.column, x), fitKr(point[0]), 1e-6)
                        << where << " at the measured point " << x;
                }
                int checked = 0;
                for (const auto& row : rows) {
                    const double s = (row[0] - c.atZero) / (c.atOne - c.atZero);
                    if (s > 1 + 1e-12 || (s < 0 && !c.belowZero))
                        continue;
                    ++checked;
                    EXPECT_NEAR(row[c.column], fitKr(s), 1e-6) << where << " at " << row[0];
                }
                EXPECT_GT(checked, 1000) << where;
            }
        }
        std::filesystem::remove(dir / dataFileName(sys.system));
    }
}

TEST_F(Fit, AnExponentOnItsBoundIsAWarningAndTheWeightIsChosen) {
    // An oil curve steeper than the exponents a fit may take (12 against the bound 10).
    SetRecipe steep = knownCorey();
    for (auto& point : steep.points)
        point[2] = 0.9 * std::pow(1 - point[0], 12);
    const auto folder = dir / "steep";
    std::filesystem::create_directories(folder);
    writeDataFile(folder, WO, recordsOf(WO, {steep}));
    Outcome r = relperm({"fit", "--dir", folder.string(), "--system", "Water-Oil Data", "--match",
                         "1", "--model", "corey"});
    EXPECT_EQ(r.status, exitOk) << r.err;
    EXPECT_EQ(r.err, "relperm fit: warning: now at its upper bound 10; the curve wants a value "
                     "beyond it, so the fit follows the points less well\n");
    EXPECT_EQ(fields(lines(r.out)[1])[5], "10");

    // The log weight fits the same noise-free curves: the same parameters.
    Outcome log = fit({"corey", "--match", "1", "--weight", "log"});
    ASSERT_EQ(log.status, exitOk) << log.err;
    EXPECT_NEAR(std::stod(fields(lines(log.out)[1])[4]), 3, 1e-6);
    Outcome bad = fit({"corey", "--match", "1", "--weight", "lin"});
    EXPECT_EQ(bad.status, exitRefused);
    EXPECT_EQ(bad.err, "relperm fit: --weight must be kr or log, not \"lin\"\n");
}

TEST_F(Fit, RefusesWithTheFlagAndExitTwo) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    for (const Case& c : {
             Case{{"brooks", "--match", "1"}, "--model must be Corey or LET, not \"brooks\""},
             Case{{"corey", "--match", "3"},
                  "match 3 is past the last of the 2 matching data sets"},
             Case{{"corey", "--match", "0"},
                  "--match must be a match number from 1 to 1000000, "
                  "not \"0\""},
             Case{{"corey", "--match", "1", "--format", "sgof"},
                  "SGOF does not fit Water-Oil Data; it takes SWOF."},
             Case{{"corey", "--match", "1", "--format", "grid"},
                  "--format must be params, swof, sgof, swfn, sgfn or simulator, not \"grid\""},
             Case{{"corey", "--match", "1", "--format", "swof", "--spacing", "0"},
                  "--spacing: Saturation Spacing must be greater than 0% (it is 0%)."},
             Case{{"corey", "--match", "1", "--format", "swof", "--spacing", "5x"},
                  "--spacing must be a number, not \"5x\""},
             Case{{"corey", "--match", "1", "--spacing", "10"},
                  "--spacing applies to the simulator formats only"},
             Case{{"corey", "--match", "1", "--format", "swof", "--krw-max", "1.5"},
                  "--krw-max must be a fraction from 0 to 1, not \"1.5\""},
             Case{{"corey", "--match", "1", "--compare", "--format", "params"},
                  "--format does not apply with --compare, which writes its own CSV"},
             Case{{"corey", "--match", "1", "--wettability", "1", "--system", "Gas-Oil Data"},
                  "option --system is given twice (see relperm fit --help)"},
         }) {
        Outcome r = fit(c.args);
        EXPECT_EQ(r.status, exitRefused) << c.message;
        EXPECT_EQ(r.out, "") << c.message;
        EXPECT_EQ(r.err, "relperm fit: " + c.message + "\n");
    }
    // The end row may not fall below the fitted krw end point, 0.4.
    Outcome low = fit({"corey", "--match", "1", "--format", "swof", "--krw-max", ".1"});
    EXPECT_EQ(low.status, exitRefused);
    EXPECT_EQ(low.err, "relperm fit: --krw-max: krwmax, krw at Sw = 1, must lie from krwend (.4) "
                       "to 1; it is .1.\n");
    Outcome noModel = relperm({"fit", "--dir", dir.string(), "--system", "Water-Oil Data"});
    EXPECT_EQ(noModel.status, exitRefused);
    EXPECT_EQ(noModel.err, "relperm fit: --model is needed: Corey or LET\n");
}

TEST_F(Fit, ASetTooSmallForTheModelIsRefusedWithTheReason) {
    writeDataFile(dir, WO, recordsOf(WO, {SetRecipe{.points = {{0.5, 0.1, 0.3}}}}));
    Outcome r = fit({"corey", "--match", "1"});
    EXPECT_EQ(r.status, exitRefused);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("relperm fit: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("1 point"), std::string::npos) << r.err;
}

TEST(FitHelp, HelpListsTheFlagsAndTheCommandList) {
    Outcome help = relperm({"fit", "--help"});
    EXPECT_EQ(help.status, exitOk);
    for (const char* flag :
         {"--dir", "--system", "--location", "--method", "--lithology", "--wettability", "--match",
          "--model", "--format", "--spacing", "--krw-max", "--krg-max", "--compare", "--out"})
        EXPECT_NE(help.out.find(flag), std::string::npos) << flag;
    EXPECT_NE(relperm({"--help"}).out.find("\n  fit "), std::string::npos);
}

} // namespace
} // namespace relperm::cli
