// relperm fit --table: a table of a deck fitted as a measured set of its system, whichever
// keyword family holds it, with the end points read off the table.
#include "support/deck_text.h"
#include "support/run_relperm.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

namespace relperm::testing {
namespace {

// Corey tables with known parameters: water-oil at Swc .15, Sorw .2 (krw = .6 S^2.5,
// krow = .9 (1 - S)^3), gas-oil at Sgc .05, Sorg .1 (krg = .8 S^1.8, krog = .9 (1 - S)^4),
// with 21 rows between the end points and the rows a simulator table has beyond them.
std::string coreyTables() {
    std::ostringstream out;
    out.precision(17);
    out << "SWOF\n";
    for (int k = 0; k <= 20; ++k) {
        const double s = k / 20.0;
        out << 0.15 + 0.65 * s << ' ' << 0.6 * std::pow(s, 2.5) << ' ' << 0.9 * std::pow(1 - s, 3)
            << " 0\n";
    }
    out << "1 1 0 0 /\nSGOF\n0 0 0.9 0\n";
    for (int k = 0; k <= 20; ++k) {
        const double s = k / 20.0;
        out << 0.05 + 0.7 * s << ' ' << 0.8 * std::pow(s, 1.8) << ' ' << 0.9 * std::pow(1 - s, 4)
            << " 0\n";
    }
    out << "0.85 1 0 0 /\n";
    return out.str();
}

// The parameter file's one row by column name.
std::map<std::string, double> parameters(const std::string& csv) {
    const auto rows = lines(csv);
    EXPECT_EQ(rows.size(), 2u) << csv;
    std::map<std::string, double> out;
    if (rows.size() != 2)
        return out;
    std::istringstream names(rows[0]), values(rows[1]);
    for (std::string name, value;
         std::getline(names, name, ',') && std::getline(values, value, ',');)
        out[name] = std::stod(value);
    return out;
}

class TableFit : public TempDirTest {
  protected:
    std::string write(const std::string& name, const std::string& text) {
        const auto path = dir / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
    std::map<std::string, double> fitted(const std::string& file, const std::string& keyword) {
        const auto run =
            relperm({"fit", "--table", file, "--keyword", keyword, "--model", "corey"});
        EXPECT_EQ(run.status, 0) << run.err;
        return parameters(run.out);
    }
};

TEST_F(TableFit, CoreyTablesGiveBackTheirParametersInEitherFamily) {
    const std::string family1 = write("corey.inc", coreyTables());
    const std::string family2 = (dir / "family2.inc").string();
    ASSERT_EQ(relperm({"deck", "convert", family1, "--to", "family2", "--out", family2}).status, 0);
    const std::string slgof = (dir / "slgof.inc").string();
    ASSERT_EQ(relperm({"deck", "convert", family1, "--to", "slgof", "--out", slgof}).status, 0);

    for (const auto& [file, keyword] :
         std::vector<std::pair<std::string, std::string>>{{family1, "SWOF"}, {family2, "SWFN"}}) {
        SCOPED_TRACE(keyword);
        auto p = fitted(file, keyword);
        EXPECT_NEAR(p["swl"], 0.15, 1e-12);
        EXPECT_NEAR(p["sorw"], 0.2, 1e-12);
        EXPECT_NEAR(p["nw"], 2.5, 1e-6);
        EXPECT_NEAR(p["now"], 3, 1e-6);
        EXPECT_NEAR(p["krwend"], 0.6, 1e-6);
        EXPECT_NEAR(p["kroend"], 0.9, 1e-6);
        EXPECT_LT(p["rms"], 1e-8);
    }
    for (const auto& [file, keyword] : std::vector<std::pair<std::string, std::string>>{
             {family1, "SGOF"}, {family2, "SGFN"}, {slgof, "SLGOF"}}) {
        SCOPED_TRACE(keyword);
        auto p = fitted(file, keyword);
        EXPECT_NEAR(p["swl"], 0.15, 1e-12); // the region's water table
        EXPECT_NEAR(p["sgcr"], 0.05, 1e-12);
        EXPECT_NEAR(p["sorg"], 0.1, 1e-12);
        EXPECT_NEAR(p["ng"], 1.8, 1e-6);
        EXPECT_NEAR(p["nog"], 4, 1e-6);
        EXPECT_LT(p["rms"], 1e-8);
    }
}

TEST_F(TableFit, WritesTheFitsTablesAndComparesLikeAMeasuredSet) {
    const std::string file = write("corey.inc", coreyTables());
    auto run = relperm({"fit", "--table", file, "--keyword", "SWOF", "--model", "corey", "--format",
                        "swof", "--spacing", "10"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Water-Oil Data - SWOF table 1 of " + file), std::string::npos);
    const auto rows = keywordRows(run.out, "SWOF");
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.front(), (std::vector<double>{0.15, 0, 0.9, 0}));
    run = relperm({"fit", "--table", file, "--keyword", "SGOF", "--model", "let", "--compare"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(lines(run.out).at(1).rfind("\"LET fit\",", 0), 0u) << run.out;
}

TEST_F(TableFit, RefusesWhatItCannotFitNamingTheInput) {
    const std::string file = write("corey.inc", coreyTables());
    const auto err = [&](std::vector<std::string> args) {
        auto run = relperm(args);
        EXPECT_EQ(run.status, 2) << run.out;
        return run.err;
    };
    EXPECT_EQ(err({"fit", "--table", file, "--model", "corey"}),
              "relperm fit: --keyword is needed with --table: SWOF, SGOF, SLGOF, SWFN, SGFN or "
              "SGWFN\n");
    EXPECT_EQ(err({"fit", "--table", file, "--keyword", "SOF3", "--model", "corey"}),
              "relperm fit: --keyword is SWOF, SGOF, SLGOF, SWFN, SGFN or SGWFN, not \"SOF3\"\n");
    EXPECT_EQ(
        err({"fit", "--table", file, "--keyword", "SWOF", "--satnum", "2", "--model", "corey"}),
        "relperm fit: The deck's SWOF has 1 table; there is no table 2.\n");
    EXPECT_EQ(err({"fit", "--table", file, "--keyword", "SWFN", "--model", "corey"}),
              "relperm fit: The deck has no SWFN.\n");
    EXPECT_EQ(err({"fit", "--table", file, "--keyword", "SWOF", "--model", "corey", "--system",
                   "Water-Oil Data"}),
              "relperm fit: --system does not apply with --table, whose table gives the data\n");
    EXPECT_EQ(err({"fit", "--system", "Water-Oil Data", "--match", "1", "--keyword", "SWOF",
                   "--model", "corey"}),
              "relperm fit: --keyword applies only with --table\n");
    EXPECT_EQ(err({"fit", "--table", file, "--keyword", "SWOF", "--model", "corey", "--out", file}),
              "relperm fit: --out \"" + file +
                  "\" is the table, which is being read; writing there would destroy it\n");
    // A table whose oil never flows leaves no range between its end points.
    const std::string flat = write("flat.inc", "SWOF\n0.2 0 0 0\n1 1 0 0 /\n");
    EXPECT_NE(err({"fit", "--table", flat, "--keyword", "SWOF", "--model", "corey"})
                  .find("leaves no saturation range"),
              std::string::npos);
}

} // namespace
} // namespace relperm::testing
