// Our include files against reference tables made independently from pyscal's published
// formulas (tests/satfunc/reference: a separate implementation that prints as pyscal
// prints, to seven decimals): every row of theirs must be a row of ours, kr within 2e-6,
// Pc within 1e-5 of its value.
#include "support/deck_text.h"
#include "support/run_relperm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace relperm::testing {
namespace {

const std::string reference = RELPERM_REFERENCE_DIR;

std::string fileText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Reference {
    const char* expected;
    std::vector<std::string> args; // after the parameter table
    const char* input;
    // What we refuse where pyscal only warns: tables the simulator would misread.
    const char* refusal = nullptr;
};

std::ostream& operator<<(std::ostream& os, const Reference& r) {
    return os << r.expected;
}

class AgreesWithReference : public ::testing::TestWithParam<Reference> {};

TEST_P(AgreesWithReference, atEverySharedSaturation) {
    const Reference& r = GetParam();
    std::vector<std::string> args = {"tables", reference + "/inputs/" + r.input};
    args.insert(args.end(), r.args.begin(), r.args.end());
    const auto run = relperm(args);
    if (r.refusal) {
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(r.refusal), std::string::npos) << run.err;
        return;
    }
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string expected = fileText(reference + "/expected/" + r.expected + ".inc");
    ASSERT_FALSE(expected.empty());
    int keywords = 0;
    for (const char* keyword : {"SWOF", "SGOF", "SLGOF", "SWFN", "SGFN", "SOF3"}) {
        const auto theirs = keywordTables(expected, keyword);
        const auto ours = keywordTables(run.out, keyword);
        ASSERT_EQ(ours.size(), theirs.size()) << keyword << "\n" << run.out;
        keywords += !theirs.empty();
        for (std::size_t t = 0; t < theirs.size(); ++t) {
            ASSERT_EQ(ours[t].size(), theirs[t].size()) << keyword << " table " << t + 1;
            for (std::size_t i = 0; i < theirs[t].size(); ++i) {
                const auto& want = theirs[t][i];
                const auto& got = ours[t][i];
                ASSERT_EQ(got.size(), want.size());
                const std::string where = std::string(keyword) + " table " + std::to_string(t + 1) +
                                          " row " + std::to_string(i + 1);
                EXPECT_NEAR(got[0], want[0], 6e-8) << where;
                const bool hasPc = std::string(keyword) != "SOF3";
                for (std::size_t c = 1; c < want.size() - (hasPc ? 1 : 0); ++c)
                    EXPECT_NEAR(got[c], want[c], 2e-6) << where << " column " << c + 1;
                if (hasPc) {
                    EXPECT_NEAR(got.back(), want.back(), 1e-5 * std::abs(want.back()) + 5e-7)
                        << where << " Pc";
                }
            }
        }
    }
    EXPECT_GT(keywords, 0) << "no keyword in " << r.expected;
}

const std::vector<std::string> family1 = {"--family", "1"}, family2 = {"--family", "2"},
                               slgof = {"--slgof"};

INSTANTIATE_TEST_SUITE_P(
    Tables, AgreesWithReference,
    ::testing::Values(
        Reference{"wateroil-corey-family1", family1, "wateroil-corey.csv"},
        Reference{"wateroil-corey-family1-h0.05", {"--delta-s", "0.05"}, "wateroil-corey.csv"},
        Reference{"wog-corey-let-family1", family1, "wog-corey-let.csv"},
        // SATNUM 2 has kromax above kroend: SOF3 would give two oil kr at one saturation.
        Reference{"wog-corey-let-family2", family2, "wog-corey-let.csv",
                  "SATNUM 2: The table cannot go into a simulator deck: krow at Swc must equal "
                  "krog at Sg = 0"},
        Reference{"wog-corey-let-slgof", slgof, "wog-corey-let.csv"},
        Reference{"pyscal-example-family1", family1, "pyscal-example.csv"},
        Reference{"pyscal-example-family2", family2, "pyscal-example.csv"},
        Reference{"pyscal-example-slgof", slgof, "pyscal-example.csv"},
        // The same table as the first sheet of a workbook.
        Reference{"pyscal-example-family2", family2, "../../data/two-sheets.xlsx"},
        Reference{"skjaeveland-family1", family1, "skjaeveland.csv"},
        Reference{"skjaeveland-family2", family2, "skjaeveland.csv"},
        Reference{"let-pc-family1", family1, "let-pc.csv"},
        Reference{"let-pc-family2", family2, "let-pc.csv"},
        Reference{"normalised-j-family1", family1, "normalised-j.csv"},
        Reference{"normalised-j-family2", family2, "normalised-j.csv"},
        Reference{"petro-j-family1", family1, "petro-j.csv"},
        Reference{"petro-j-family2", family2, "petro-j.csv"},
        Reference{"gaswater-family2", family2, "gaswater.csv"},
        // As our fits write them: sgro = sgcr without kromax, and sgrw = sgcr.
        Reference{"fitted-gas-family1", family1, "fitted-gas.csv"},
        Reference{"fitted-gaswater-family2", family2, "fitted-gaswater.csv"},
        Reference{
            "scal-recommendation-family1-t-1", {"--int-param-wo=-1"}, "scal-recommendation.csv"},
        Reference{"scal-recommendation-family1-t-0.5",
                  {"--int-param-wo=-0.5"},
                  "scal-recommendation.csv"},
        Reference{
            "scal-recommendation-family1-t0", {"--int-param-wo=0"}, "scal-recommendation.csv"},
        Reference{
            "scal-recommendation-family1-t0.3", {"--int-param-wo=0.3"}, "scal-recommendation.csv"},
        Reference{
            "scal-recommendation-family1-t1", {"--int-param-wo=1"}, "scal-recommendation.csv"},
        Reference{"scal-recommendation-family1-wo-0.5-go0.3",
                  {"--int-param-wo=-0.5", "--int-param-go=0.3"},
                  "scal-recommendation.csv",
                  // The gas table's swl, nearer the high case, leaves it past 1 - Swc of the
                  // water table.
                  "the largest Sg may not pass 1 - Swc"},
        Reference{"scal-recommendation-family2-t0.3",
                  {"--family", "2", "--int-param-wo=0.3"},
                  "scal-recommendation.csv"},
        Reference{"scal-recommendation-slgof-t-0.5",
                  {"--slgof", "--int-param-wo=-0.5"},
                  "scal-recommendation.csv"},
        Reference{"fitted-recommendation-family1-t-0.6",
                  {"--int-param-wo=-0.6"},
                  "fitted-recommendation.csv"},
        Reference{"fitted-recommendation-family1-t0.5",
                  {"--int-param-wo=0.5"},
                  "fitted-recommendation.csv"}),
    [](const auto& info) {
        std::string name = info.param.expected;
        if (std::string(info.param.input).ends_with(".xlsx"))
            name += "_from_workbook";
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

} // namespace
} // namespace relperm::testing
