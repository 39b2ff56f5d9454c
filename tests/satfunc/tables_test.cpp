// relperm tables: include files from parameter tables, checked against the numbers pyscal
// publishes in its documentation and against what the curves must give by their
// definitions.
#include "support/deck_text.h"
#include "support/run_relperm.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

namespace relperm::testing {
namespace {

class TablesCommand : public TempDirTest {
  protected:
    std::string table(const std::string& name, const std::string& text) {
        const auto path = dir / name;
        std::ofstream(path) << text;
        return path.string();
    }
};

using Rows = std::vector<std::vector<double>>;

// pyscal's documentation: WaterOil(swl=0.05, sorw=0.03, h=0.1), Corey nw 2.1 krwend 0.6,
// now 2.5 kroend 0.9, simple J a 5 b -1.5 poro_ref 0.25 perm_ref 100 drho 300, printed to
// seven decimals.
const Rows publishedSwof = {
    {0.05, 0, 0.9, 0.6580748},
    {0.15, 0.0056780, 0.6750059, 0.1266466},
    {0.25, 0.0243422, 0.4876455, 0.0588600},
    {0.35, 0.0570363, 0.3355461, 0.0355327},
    {0.45, 0.1043573, 0.2161630, 0.0243731},
    {0.55, 0.1667377, 0.1267349, 0.0180379},
    {0.65, 0.2445200, 0.0642167, 0.0140398},
    {0.75, 0.3379891, 0.0251669, 0.0113276},
    {0.85, 0.4473895, 0.0055300, 0.0093886},
    {0.95, 0.5729360, 0.0000627, 0.0079459},
    {0.97, 0.6, 0, 0.0077015},
    {1, 1, 0, 0.0073575},
};

TEST_F(TablesCommand, waterOilWithSimpleJAgreesWithPyscalsPublishedTable) {
    const auto params = table("wo.csv", "SATNUM,swl,sorw,Nw,Now,krwend,kroend,a,b,poro_ref,"
                                        "perm_ref,drho,h\n"
                                        "1,0.05,0.03,2.1,2.5,0.6,0.9,5,-1.5,0.25,100,300,0.1\n");
    const auto run = relperm({"tables", params});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto rows = keywordRows(run.out, "SWOF");
    ASSERT_EQ(rows.size(), publishedSwof.size()) << run.out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].size(), 4u);
        for (std::size_t c = 0; c < 3; ++c)
            EXPECT_NEAR(rows[i][c], publishedSwof[i][c], 6e-8) << "row " << i << " column " << c;
        EXPECT_NEAR(rows[i][3], publishedSwof[i][3], 1e-5 * publishedSwof[i][3] + 6e-8)
            << "row " << i;
    }
    EXPECT_NE(run.out.find("Simple J Pc in bar"), std::string::npos);
    EXPECT_NE(run.out.find("TABDIMS needs at least 1 saturation table (NTSFUN) of up to 12"),
              std::string::npos);
}

// pyscal's README: SATNUM 1, swl 0.1, sorw 0.05, Nw 2, Now 3 at delta-s 0.1.
TEST_F(TablesCommand, deltaSLaysRowsFromSwlWithTheEndPointsOnRowsOfTheirOwn) {
    const auto params =
        table("readme.csv", "SATNUM, swl, sorw, Nw, Now\n1,      0.1, 0.05, 2, 3\n");
    const auto run = relperm({"tables", params, "--delta-s", "0.1"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto rows = keywordRows(run.out, "SWOF");
    const std::vector<double> sw = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 0.95, 1};
    ASSERT_EQ(rows.size(), sw.size()) << run.out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_NEAR(rows[i][0], sw[i], 1e-12);
        const double swn = (sw[i] - 0.1) / 0.85, son = (0.95 - sw[i]) / 0.85;
        EXPECT_NEAR(rows[i][1], sw[i] >= 0.95 ? 1 : swn * swn, 1e-12) << "krw row " << i;
        EXPECT_NEAR(rows[i][2], sw[i] >= 0.95 ? 0 : son * son * son, 1e-12) << "krow row " << i;
        EXPECT_EQ(rows[i][3], 0);
    }
    // A step that would put a row within 1e-5 of an end point leaves the end point alone.
    const auto close = relperm({"tables", params, "--delta-s", "0.0849999"});
    ASSERT_EQ(close.status, 0) << close.err;
    const auto closeRows = keywordRows(close.out, "SWOF");
    for (std::size_t i = 1; i < closeRows.size(); ++i)
        EXPECT_GT(closeRows[i][0] - closeRows[i - 1][0], 1e-5);
}

// Three regions of three phases: each keyword once, a table per region in SATNUM order,
// the gas table running to 1 - swl of its region, the oil curves meeting where they must.
const char* threeRegions = "SATNUM,tag,swl,swcr,sorw,sorg,sgcr,nw,now,ng,nog,krwend,krgend,kroend\n"
                           "2,shale,0.3,0.35,0.25,0.2,0.1,3,3,2.5,2.5,0.4,0.7,0.8\n"
                           "1,sand,0.1,0.15,0.2,0.15,0.05,2,2.5,1.5,2,0.5,0.9,1\n"
                           "3,silt,0.2,0.2,0.2,0.2,0.05,2.5,2.5,2,2,0.45,0.8,0.9\n";

TEST_F(TablesCommand, everyRegionInSatnumOrderInBothFamilies) {
    const auto params = table("three.csv", threeRegions);
    const auto one = relperm({"tables", params});
    ASSERT_EQ(one.status, 0) << one.err;
    const auto swof = keywordTables(one.out, "SWOF");
    const auto sgof = keywordTables(one.out, "SGOF");
    ASSERT_EQ(swof.size(), 3u) << one.out;
    ASSERT_EQ(sgof.size(), 3u);
    const double swl[] = {0.1, 0.3, 0.2}, kroend[] = {1, 0.8, 0.9}, sorg[] = {0.15, 0.2, 0.2};
    for (std::size_t r = 0; r < 3; ++r) {
        EXPECT_DOUBLE_EQ(swof[r].front()[0], swl[r]);
        EXPECT_DOUBLE_EQ(swof[r].front()[2], kroend[r]);
        EXPECT_DOUBLE_EQ(swof[r].back()[0], 1);
        EXPECT_DOUBLE_EQ(sgof[r].back()[0], 1 - swl[r]);
        EXPECT_DOUBLE_EQ(sgof[r].front()[2], kroend[r]);
        // krog reaches 0 where the gas leaves sorg of oil.
        for (const auto& row : sgof[r]) {
            if (row[0] >= 1 - swl[r] - sorg[r] - 1e-12) {
                EXPECT_EQ(row[2], 0) << "Sg " << row[0];
            }
        }
    }
    EXPECT_LT(one.out.find("SATNUM 1 sand"), one.out.find("SATNUM 2 shale"));
    EXPECT_NE(one.out.find("TABDIMS needs at least 3 saturation tables"), std::string::npos);

    // Family 2 holds the same curves: SWFN the water, SGFN the gas, SOF3 both oil curves on
    // the oil saturations of either table.
    const auto two = relperm({"tables", params, "--family", "2"});
    ASSERT_EQ(two.status, 0) << two.err;
    const auto swfn = keywordTables(two.out, "SWFN");
    const auto sgfn = keywordTables(two.out, "SGFN");
    const auto sof3 = keywordTables(two.out, "SOF3");
    ASSERT_EQ(sof3.size(), 3u) << two.out;
    for (std::size_t r = 0; r < 3; ++r) {
        ASSERT_EQ(swfn[r].size(), swof[r].size());
        for (std::size_t i = 0; i < swfn[r].size(); ++i)
            EXPECT_EQ(swfn[r][i][1], swof[r][i][1]);
        for (std::size_t i = 0; i < sgfn[r].size(); ++i)
            EXPECT_EQ(sgfn[r][i][1], sgof[r][i][1]);
        EXPECT_NEAR(sof3[r].back()[0], 1 - swl[r], 1e-12);
        EXPECT_DOUBLE_EQ(sof3[r].back()[1], kroend[r]);
        EXPECT_DOUBLE_EQ(sof3[r].back()[2], kroend[r]);
        for (const auto& wrow : swof[r]) {
            for (const auto& orow : sof3[r]) {
                if (std::abs(orow[0] - (1 - wrow[0])) < 1e-12) {
                    EXPECT_NEAR(orow[1], wrow[2], 1e-14) << "So " << orow[0];
                }
            }
        }
    }

    // SLGOF: liquid saturation from swl + sorg up to 1, where the gas no longer flows.
    const auto sl = relperm({"tables", params, "--slgof"});
    ASSERT_EQ(sl.status, 0) << sl.err;
    const auto slgof = keywordTables(sl.out, "SLGOF");
    ASSERT_EQ(slgof.size(), 3u);
    for (std::size_t r = 0; r < 3; ++r) {
        EXPECT_NEAR(slgof[r].front()[0], swl[r] + sorg[r], 1e-12);
        EXPECT_EQ(slgof[r].front()[2], 0);
        EXPECT_DOUBLE_EQ(slgof[r].back()[0], 1);
        EXPECT_EQ(slgof[r].back()[1], 0);
    }
}

TEST_F(TablesCommand, scalRecommendationInterpolatesBetweenItsCases) {
    const auto params = table("scal.csv", "SATNUM,CASE,swl,sorw,nw,now,sgcr,sorg,ng,nog\n"
                                          "1,pess,0.2,0.3,4,4,0.1,0.25,3,3\n"
                                          "1,base,0.15,0.2,3,3,0.05,0.2,2,2\n"
                                          "1,opt,0.1,0.1,2,2,0.02,0.1,1.5,1.5\n");
    const auto low = relperm({"tables", params, "--int-param-wo", "-1"});
    const auto base = relperm({"tables", params, "--int-param-wo", "0"});
    const auto high = relperm({"tables", params, "--int-param-wo", "1"});
    const auto mid = relperm({"tables", params, "--int-param-wo", "0.5"});
    for (const auto* run : {&low, &base, &high, &mid})
        ASSERT_EQ(run->status, 0) << run->err;
    EXPECT_DOUBLE_EQ(keywordRows(low.out, "SWOF").front()[0], 0.2);
    EXPECT_DOUBLE_EQ(keywordRows(base.out, "SWOF").front()[0], 0.15);
    EXPECT_DOUBLE_EQ(keywordRows(high.out, "SWOF").front()[0], 0.1);
    // Halfway to high: the end points halfway, and kr at the middle of the new table half of
    // each case's kr at the middle of its own (the curves are mixed at normalised saturation).
    const auto rows = keywordRows(mid.out, "SWOF");
    EXPECT_NEAR(rows.front()[0], 0.125, 1e-12);
    bool found = false;
    for (const auto& row : rows)
        if (std::abs(row[0] - (1 - 0.15)) < 1e-9) {
            EXPECT_NEAR(row[2], 0, 1e-15);
            found = true;
        }
    EXPECT_TRUE(found) << "no row at 1 - sorw";
    const double swnMid = 0.5;
    const double swMid = 0.125 + swnMid * (1 - 0.125 - 0.15);
    for (std::size_t i = 1; i < rows.size(); ++i)
        if (rows[i - 1][0] <= swMid && rows[i][0] >= swMid) {
            const double f = (swMid - rows[i - 1][0]) / (rows[i][0] - rows[i - 1][0]);
            const double krw = rows[i - 1][1] + f * (rows[i][1] - rows[i - 1][1]);
            EXPECT_NEAR(krw, 0.5 * std::pow(0.5, 3) + 0.5 * std::pow(0.5, 2), 2e-3);
        }
    EXPECT_NE(mid.out.find("SCAL recommendation interpolation to .5"), std::string::npos)
        << mid.out;

    const auto none = relperm({"tables", params});
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("--int-param-wo"), std::string::npos) << none.err;
    EXPECT_EQ(relperm({"tables", params, "--int-param-wo", "1.5"}).status, 2);
    EXPECT_EQ(relperm({"tables", params, "--int-param-wo", "0,1"}).status, 2);
}

TEST_F(TablesCommand, badTablesAreRefusedNamingFileRowAndColumnAndNothingIsWritten) {
    const auto out = (dir / "deck.inc").string();
    struct Case {
        const char* text;
        const char* said;
    } cases[] = {
        {"SATNUM,swl,sorw,nw,now\n1,0.1,0.1,2,2\n2,0.5,0.5,2,2\n", "row 3, column swl"},
        {"SATNUM,swl,sorw,nw,now\n1,0.1,0.1,2,\n", "row 2"},
        {"SATNUM,swl,sorw,nw,now\n1,0.1,0.1,2,2\n3,0.1,0.1,2,2\n", "SATNUM: 3 leaves a gap"},
        {"SATNUM,CASE,swl,sorw,nw,now\n1,low,0.1,0.1,2,2\n1,high,0.1,0.1,2,2\n",
         "needs three rows"},
        {"SATNUM,swl,sorw,nw,now\n1,0.1,abc,2,2\n", "row 2, column sorw: \"abc\" is not a number"},
        {"SATNUM;swl;sorw;nw;now\n1;0,1;0,1;2;2\n", "';'"},
        {"SATNUM,swl,sorw,nw,now\n1,0.1,0.1,200,2\n", "column nw"},
    };
    for (const Case& c : cases) {
        const auto params = table("bad.csv", c.text);
        const auto run = relperm({"tables", params, "--out", out});
        EXPECT_EQ(run.status, 2) << c.text;
        EXPECT_NE(run.err.find(params), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.text;
    }
    EXPECT_EQ(relperm({"tables", (dir / "missing.csv").string()}).status, 1);
    const auto noFamily2 =
        relperm({"tables", table("wo.csv", "SATNUM,nw,now\n1,2,2\n"), "--family", "2"});
    EXPECT_EQ(noFamily2.status, 2);
    EXPECT_NE(noFamily2.err.find("SWOF alone"), std::string::npos) << noFamily2.err;
}

} // namespace
} // namespace relperm::testing
