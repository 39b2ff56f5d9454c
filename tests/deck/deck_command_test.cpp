// relperm deck check: what a user running it on an include file or a deck sees, and its
// exit status.
#include "support/deck_text.h"
#include "support/run_relperm.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace relperm::testing {
namespace {

class DeckCheckCommand : public TempDirTest {
  protected:
    std::string write(const std::string& name, const std::string& text) {
        const auto path = dir / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
    // The include file relperm tables writes for `params` with `flags`.
    std::string tablesOf(const std::string& params, std::vector<std::string> flags,
                         const std::string& name) {
        const std::string out = (dir / name).string();
        std::vector<std::string> args = {"tables", std::string(RELPERM_SOURCE_DIR) + "/" + params,
                                         "--out", out};
        args.insert(args.end(), flags.begin(), flags.end());
        const auto run = relperm(args);
        EXPECT_EQ(run.status, 0) << run.err;
        return out;
    }
};

TEST_F(DeckCheckCommand, tablesRelpermWritesPassEveryCheckInBothFamilies) {
    const auto wog = tablesOf("tests/satfunc/reference/inputs/wog-corey-let.csv", {}, "wog.inc");
    auto run = relperm({"deck", "check", wog});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out, wog + ": SWOF 3 tables, SGOF 3 tables: every check holds.\n");
    EXPECT_EQ(run.err, "");

    const auto slgof =
        tablesOf("tests/satfunc/reference/inputs/wog-corey-let.csv", {"--slgof"}, "slgof.inc");
    run = relperm({"deck", "check", slgof});
    EXPECT_EQ(run.status, 0) << run.out << run.err;

    // The six-region deck of the simulator tests, with its TABDIMS, sections and the
    // family-2 include file it runs with.
    tablesOf("tests/simulator/six-regions.csv", {"--family", "2"}, "TABLES.INC");
    std::ifstream in(std::string(RELPERM_SOURCE_DIR) + "/tests/simulator/six-regions.DATA");
    const auto deck = write("SIX.DATA", std::string(std::istreambuf_iterator<char>(in), {}));
    run = relperm({"deck", "check", deck, "--format", "csv"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out, "keyword,satnum,row,file,line,check,detail\n");
    run = relperm({"deck", "check", deck});
    EXPECT_EQ(run.out, deck + ": SWFN 6 tables, SGFN 6 tables, SOF3 6 tables: every check "
                              "holds.\n");
}

TEST_F(DeckCheckCommand, aFailingCheckIsWrittenWithItsPlaceAndGivesStatusTwo) {
    const auto file = write("bad.inc", "SWOF\n0.2 0 1 0\n0.6 0.5 0.4 0\n0.8 0.4 0.1 0\n"
                                       "1 1 0 0 /\n");
    auto run = relperm({"deck", "check", file});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, file + " line 4: SWOF table 1 (SATNUM 1), row 3: krw falls from .5 to .4 "
                              "as Sw rises; it may only rise\n");
    EXPECT_EQ(run.err, "relperm deck check: " + file + ": 1 check fails in SWOF 1 table\n");

    const auto csv = (dir / "findings.csv").string();
    run = relperm({"deck", "check", file, "--format", "csv", "--out", csv});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    const auto rows = lines(readFile(csv));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1], "SWOF,1,3,\"" + file +
                           "\",4,kr-direction,\"krw falls from .5 to .4 as Sw "
                           "rises; it may only rise\"");
}

TEST_F(DeckCheckCommand, unreadableInputGivesOneAndUnusableInputTwo) {
    const auto deck = write("CASE.DATA", "PROPS\nINCLUDE\n 'gone.inc' /\n");
    auto run = relperm({"deck", "check", deck});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(
        run.err.rfind("relperm deck check: Could not read \"" + (dir / "gone.inc").string(), 0), 0u)
        << run.err;

    run = relperm({"deck", "check", (dir / "none.inc").string()});
    EXPECT_EQ(run.status, 1) << run.err;

    const auto empty = write("empty.inc", "-- nothing but a comment\nRUNSPEC\n");
    run = relperm({"deck", "check", empty});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "relperm deck check: " + empty +
                           " holds no saturation table (SWOF, SGOF, SLGOF, SWFN, SGFN, SOF3, "
                           "SOF2 or SGWFN)\n");

    const auto broken = write("broken.inc", "SWOF\n0.1 0 1 x /\n");
    run = relperm({"deck", "check", broken});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "relperm deck check: " + broken +
                           " line 2: SWOF table 1: \"x\" is not a "
                           "number\n");
}

TEST_F(DeckCheckCommand, flagsFollowTheConventionsOfEveryCommand) {
    const auto file = write("t.inc", "SOF2\n0 0\n1 1 /\n");
    auto run = relperm({"deck", "check", file, "--format", "xml"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "relperm deck check: --format is text or csv, not \"xml\"\n");
    run = relperm({"deck", "check", file, "--out", file});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("the deck"), std::string::npos) << run.err;
    EXPECT_EQ(readFile(file), "SOF2\n0 0\n1 1 /\n");
    run = relperm({"deck", "check"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "relperm deck check: name one include file or deck\n");
    run = relperm({"deck", "check", file, "other.inc"});
    EXPECT_EQ(run.status, 2);
    run = relperm({"deck", "merge", file});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "relperm deck: unknown subcommand \"merge\": check or convert (see "
                       "relperm deck --help)\n");
    run = relperm({"deck", "--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("usage: relperm deck check FILE", 0), 0u);
    run = relperm({"deck", "check", "-h"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("SOF3's krow and krog are equal"), std::string::npos);
    run = relperm({"--help"});
    EXPECT_NE(run.out.find("\n  deck "), std::string::npos);
}

} // namespace
} // namespace relperm::testing
