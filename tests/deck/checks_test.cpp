// The checks of saturation tables: each one finds a table made to break it and names the
// keyword, table and row, and the tables relperm tables writes pass every one.
#include "deck/checks.h"

#include "support/run_relperm.h"

#include <gtest/gtest.h>

namespace relperm::deck {
namespace {

std::vector<Finding> findingsOf(const std::string& text) {
    const IncludeLoader none = [](const std::filesystem::path& p) {
        return std::variant<std::string, Refusal>(Refusal{p.string(), "no includes here"});
    };
    auto read = readDeckText(text, "t.inc", none);
    if (auto* r = std::get_if<Refusal>(&read)) {
        ADD_FAILURE() << r->message;
        return {};
    }
    return checkTables(std::get<DeckTables>(read));
}

// A family-1 pair that passes: Swc 0.2, Sg up to 0.8.
const std::string goodSwof = "SWOF\n"
                             "0.2 0   1   2\n"
                             "0.5 0.2 0.3 1\n"
                             "1.0 1   0   0 /\n"
                             "0.1 0   1   0\n"
                             "1.0 0.6 0   0 /\n";
const std::string goodSgof = "SGOF\n"
                             "0   0   1   0\n"
                             "0.4 0.3 0.2 0\n"
                             "0.8 1   0   0 /\n"
                             "0   0   1   0\n"
                             "0.9 0.7 0   0 /\n";

TEST(DeckChecks, consistentTablesOfBothFamiliesPassSilently) {
    EXPECT_TRUE(findingsOf(goodSwof + goodSgof).empty());
    EXPECT_TRUE(findingsOf(goodSwof + "SLGOF\n0.2 1 0 0\n0.6 0.3 0.2 0\n1 0 1 0 /\n"
                                      "0.1 0.7 0 0\n1 0 1 0 /\n")
                    .empty());
    EXPECT_TRUE(findingsOf("SWFN\n0.2 0 3\n1 1 0 /\nSGFN\n0 0 0\n0.8 1 0 /\n"
                           "SOF3\n0 0 0\n0.3 0 0.1\n0.8 0.9 0.9 /\n")
                    .empty());
}

struct Broken {
    const char* name;
    std::string text;
    const char* check;
    SatKeyword keyword;
    int satnum;
    int row;
    int line;
    const char* detail;
};

class DeckCheckFinds : public ::testing::TestWithParam<Broken> {};

TEST_P(DeckCheckFinds, theBrokenRowWithItsKeywordTableAndLine) {
    const Broken& b = GetParam();
    const auto findings = findingsOf(b.text);
    ASSERT_EQ(findings.size(), 1u) << findingsText(findings);
    const Finding& f = findings.front();
    EXPECT_EQ(f.check, b.check);
    EXPECT_EQ(keywordName(f.keyword), std::string(keywordName(b.keyword)));
    EXPECT_EQ(f.satnum, b.satnum);
    EXPECT_EQ(f.row, b.row);
    EXPECT_EQ(f.file, "t.inc");
    EXPECT_EQ(f.line, b.line);
    EXPECT_EQ(f.detail, b.detail);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCheck, DeckCheckFinds,
    ::testing::Values(
        Broken{"saturationNotRising", "SWOF\n0.2 0 1 0\n0.5 0.1 0.5 0\n0.5 0.2 0.4 0\n1 1 0 0 /\n",
               "saturation-rises", SatKeyword::SWOF, 1, 3, 4,
               "Sw .5 does not rise above the row before's .5"},
        Broken{"saturationAboveOne", "SGFN\n0 0 0\n0.5 0.5 0\n1.2 1 0 /\n", "saturation-range",
               SatKeyword::SGFN, 1, 3, 4, "Sg 1.2 lies outside 0 to 1"},
        Broken{"krAboveOne", "SOF2\n0 0\n0.5 0.5\n1 1.5 /\n", "kr-range", SatKeyword::SOF2, 1, 3, 4,
               "kro 1.5 lies outside 0 to 1"},
        Broken{"krwFalls", "SWFN\n0.2 0 0\n0.5 0.4 0\n0.7 0.3 0\n1 1 0 /\n", "kr-direction",
               SatKeyword::SWFN, 1, 3, 4, "krw falls from .4 to .3 as Sw rises; it may only rise"},
        Broken{"krowRises", "SWOF\n0.2 0 1 2\n0.5 0.2 0.3 1\n0.6 0.3 0.4 0\n1.0 1 0 0 /\n",
               "kr-direction", SatKeyword::SWOF, 1, 3, 4,
               "krow rises from .3 to .4 as Sw rises; it may only fall"},
        Broken{"slgofKrgRises", "SLGOF\n0.1 0.7 0 0\n0.5 0.8 0.5 0\n1 0 1 0 /\n", "kr-direction",
               SatKeyword::SLGOF, 1, 2, 3, "krg rises from .7 to .8 as Sl rises; it may only fall"},
        Broken{"sgwfnKrwRises", "SGWFN\n0 0 1 0\n0.5 0.5 0.2 0\n0.8 1 0.3 0 /\n", "kr-direction",
               SatKeyword::SGWFN, 1, 3, 4, "krw rises from .2 to .3 as Sg rises; it may only fall"},
        Broken{"krwNotZeroFirst", "SWOF\n0.2 0 1 0 /\n0.1 0.05 1 0\n1 1 0 0 /\n", "first-kr-zero",
               SatKeyword::SWOF, 2, 1, 3,
               "krw is .05 at the first Sw .1; water at its smallest saturation cannot flow, so "
               "krw must be 0"},
        Broken{"krgNotZeroFirst", "SGFN\n0 0.01 0\n1 1 0 /\n", "first-kr-zero", SatKeyword::SGFN, 1,
               1, 2,
               "krg is .01 at the first Sg 0; gas at its smallest saturation cannot flow, so krg "
               "must be 0"},
        Broken{"slgofKrgNotZeroAtSlOne", "SLGOF\n0.1 0.7 0 0\n1 0.1 1 0 /\n", "first-kr-zero",
               SatKeyword::SLGOF, 1, 2, 3, "krg is .1 at Sl = 1; with no gas krg must be 0"},
        Broken{"sgofNotFromZero", "SGOF\n0.05 0 1 0\n0.9 1 0 0 /\n", "gas-starts-at-zero",
               SatKeyword::SGOF, 1, 1, 2, "the first Sg is .05; SGOF must start at Sg = 0"},
        Broken{"sgofShortOfOneMinusSwc",
               goodSwof + "SGOF\n0 0 1 0\n0.8 1 0 0 /\n0 0 1 0\n0.85 0.7 0 0 /\n",
               "gas-ends-at-swc", SatKeyword::SGOF, 2, 2, 11,
               "the last Sg is .85; with Swc .1 of SWOF table 2 it must be 1 - Swc = .9"},
        Broken{"slgofFromAboveSwcWithOilFlowing",
               goodSwof + "SLGOF\n0.25 1 0.1 0\n1 0 1 0 /\n0.1 0.7 0 0\n1 0 1 0 /\n",
               "gas-ends-at-swc", SatKeyword::SLGOF, 1, 1, 8,
               "the first Sl is .25 with krog .1; it must be Swc .2 of SWOF table 1 (the most "
               "gas, 1 - Swc), or a saturation where krog is 0"},
        Broken{"sof3OilCurvesApart", "SOF3\n0 0 0\n0.8 0.9 0.85 /\n", "oil-curves-meet",
               SatKeyword::SOF3, 1, 2, 3,
               "krow .9 and krog .85 differ at the largest So .8; both are the oil's kr at "
               "connate water there"},
        Broken{"familiesMixed", "SWOF\n0.2 0 1 0\n1 1 0 0 /\nSGFN\n0 0 0\n0.8 1 0 /\n",
               "families-mixed", SatKeyword::SGFN, 0, 0, 4,
               "SGFN (family 2) stands with SWOF (family 1); a deck uses the keywords of one "
               "family"},
        Broken{"tableMissing", goodSwof + "SGOF\n0 0 1 0\n0.8 1 0 0 /\n", "table-count",
               SatKeyword::SGOF, 0, 0, 7,
               "SGOF holds 1 table, SWOF 2: every keyword needs a table per SATNUM region"},
        Broken{"nearlyZero", "SOF2\n0 1E-17\n1 1 /\n", "near-zero", SatKeyword::SOF2, 1, 1, 2,
               "kro is 1E-17: within 1e-12 of 0 but not 0, which the simulator takes as it "
               "stands; write 0 if 0 is meant"},
        Broken{"swcrJustAboveSwl", "SWFN\n0.2 0 0\n0.2000001 0 0\n0.5 0.3 0\n1 1 0 /\n",
               "swcr-near-swl", SatKeyword::SWFN, 1, 2, 3,
               "the critical water saturation (last Sw with krw 0) .2000001 lies within 1e-6 of "
               "the first Sw .2 but differs from it; printed to fewer digits it falls on it"}),
    [](const ::testing::TestParamInfo<Broken>& info) { return std::string(info.param.name); });

TEST(DeckChecks, aCriticalSaturationWellAboveSwlOrEqualToItIsFine) {
    EXPECT_TRUE(findingsOf("SWFN\n0.2 0 0\n0.25 0 0\n1 1 0 /\n").empty());
    EXPECT_TRUE(findingsOf("SWFN\n0.2 0 0\n0.5 0.3 0\n1 1 0 /\n").empty());
}

TEST(DeckChecks, everyBrokenRowIsFoundNotOnlyTheFirst) {
    const auto findings = findingsOf("SOF2\n0 0\n0.2 0.5\n0.4 0.3\n0.6 0.2\n1 1 /\n");
    ASSERT_EQ(findings.size(), 2u) << findingsText(findings);
    EXPECT_EQ(findings[0].row, 3);
    EXPECT_EQ(findings[1].row, 4);
}

TEST(DeckChecks, findingsReadAsLinesAndAsCsv) {
    const auto findings = findingsOf("SWOF\n0.2 0 1 0\n1 1.5 0 0 /\nSGFN\n0 0 0\n0.8 1 0 /\n");
    ASSERT_EQ(findings.size(), 2u);
    EXPECT_EQ(findingsText(findings),
              "t.inc line 4: SGFN: SGFN (family 2) stands with SWOF (family 1); a deck uses the "
              "keywords of one family\n"
              "t.inc line 3: SWOF table 1 (SATNUM 1), row 2: krw 1.5 lies outside 0 to 1\n");
    EXPECT_EQ(findingsCsv(findings),
              "keyword,satnum,row,file,line,check,detail\r\n"
              "SGFN,,,\"t.inc\",4,families-mixed,\"SGFN (family 2) stands with SWOF (family 1); "
              "a deck uses the keywords of one family\"\r\n"
              "SWOF,1,2,\"t.inc\",3,kr-range,\"krw 1.5 lies outside 0 to 1\"\r\n");
}

} // namespace
} // namespace relperm::deck
