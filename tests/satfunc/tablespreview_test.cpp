// What the tables window shows of a parameter table: its regions as listed, the finding of
// the simulator checks in words, and the name its include file is offered under.
#include "satfunc/tablespreview.h"

#include <gtest/gtest.h>

namespace relperm::satfunc {
namespace {

ParameterTable tableOf(const std::string& csv) {
    auto read = parameterTableFromCsv(csv, "t.csv");
    EXPECT_TRUE(std::holds_alternative<ParameterTable>(read)) << std::get<Refusal>(read).message;
    return std::get<ParameterTable>(read);
}

std::vector<std::string> labels(const ParameterTable& table) {
    std::vector<std::string> out;
    for (const RegionEntry& e : regionEntries(table))
        out.push_back(e.label);
    return out;
}

TEST(RegionEntries, everySatnumOnceWithItsCasesTagsAlsoWhenARowIsBad) {
    EXPECT_EQ(labels(tableOf("SATNUM,tag,swl,sorw,nw,now\n2,shale,0.7,0.5,2,2\n1,,0.1,0.2,2,2\n")),
              (std::vector<std::string>{"SATNUM 1", "SATNUM 2 shale"}));
    EXPECT_EQ(labels(tableOf("SATNUM,CASE,tag,swl,sorw,nw,now\n"
                             "1,low,pess,0.1,0.3,3,3\n1,base,,0.1,0.2,2,2\n1,high,opt,0.1,0.1,2,2\n"
                             "2,low,same,0.1,0.3,3,3\n2,base,same,0.1,0.2,2,2\n"
                             "2,high,same,0.1,0.1,2,2\n")),
              (std::vector<std::string>{"SATNUM 1 pess opt", "SATNUM 2 same"}));
}

TEST(PreviewTables, thePassingFindingCountsTheRowsTheFileHolds) {
    const ParameterTable table = tableOf("SATNUM,swl,sorw,nw,now\n1,0.1,0.05,2,3\n"
                                         "2,0.2,0.2,2,2\n");
    TablesOptions options;
    options.deltaS = 0.1;
    const TablesPreview preview = previewTables(table, options);
    ASSERT_TRUE(preview.file);
    ASSERT_EQ(preview.regions.size(), 2u);
    // SATNUM 1: .1 to .9 by .1, .95 and 1 (pyscal's README); SATNUM 2: .2 to 1 by .1.
    EXPECT_EQ(preview.finding, "The tables pass the simulator checks. The file holds SWOF, 2 "
                               "tables (SATNUM 1 to 2) of 9 to 11 rows.");
    EXPECT_NE(preview.file->find("of up to 11 rows (NSSFUN)"), std::string::npos);

    TablesOptions two = options;
    two.family = 2;
    const TablesPreview refused = previewTables(table, two);
    EXPECT_FALSE(refused.file);
    EXPECT_EQ(refused.regions.size(), 2u); // the curves are there to look at
    EXPECT_NE(refused.finding.find("written as SWOF alone"), std::string::npos);
}

TEST(PreviewTables, aRefusedRowLeavesNoCurvesAndIsNamed) {
    const TablesPreview preview =
        previewTables(tableOf("SATNUM,swl,sorw,nw,now\n1,0.1,0.2,2,2\n2,0.7,0.5,2,2\n"), {});
    EXPECT_FALSE(preview.file);
    EXPECT_TRUE(preview.regions.empty());
    EXPECT_EQ(preview.finding.rfind("t.csv row 3, column ", 0), 0u) << preview.finding;
}

// The cases' own water-oil curves: SWOF alone, as the recommendation window's parameters are.
TEST(PreviewTables, aRecommendationOfWaterOilCurvesIsWrittenAsSwofAlone) {
    const ParameterTable table = tableOf("SATNUM,CASE,swl,sorw,nw,now\n1,low,0.1,0.3,3,3\n"
                                         "1,base,0.1,0.2,2,2.5\n1,high,0.1,0.1,1.5,2\n");
    TablesOptions options;
    options.intParamWo = {0.5};
    const TablesPreview preview = previewTables(table, options);
    ASSERT_TRUE(preview.file) << preview.finding;
    EXPECT_NE(preview.file->find("\nSWOF\n"), std::string::npos);
    EXPECT_EQ(preview.file->find("SGOF"), std::string::npos);
    EXPECT_EQ(preview.finding, "The tables pass the simulator checks. The file holds SWOF, one "
                               "table (SATNUM 1) of 91 rows.");
}

TEST(IncludeFileName, theTablesNameWithIncInItsFolder) {
    EXPECT_EQ(includeFileName("d/regions.csv"), "d/regions.inc");
    EXPECT_EQ(includeFileName("book.xlsx"), "book.inc");
    EXPECT_EQ(includeFileName("Corey fit of data set # 1"), "Corey fit of data set # 1.inc");
}

} // namespace
} // namespace relperm::satfunc
