#include "calculator/exportfile.h"
#include "calculator/generate.h"
#include "calculator_fixtures.h"
#include "common/csv.h"
#include "common/numbers.h"

#include <gtest/gtest.h>

namespace relperm {
namespace {

TEST(ExportFile, BeforeAnyGenerationHoldsOnlyTheTwoHeaders) {
    EXPECT_EQ(exportFileText(Tables{}), "\"Sw  krw  krow\",0\r\n\"Sl krog krg\",0\r\n");
}

TEST(ExportFile, WritesTheGasBlockFromTheLastRowDownAsLiquidSaturation) {
    Tables t;
    t.nWaterOil = 2;
    t.swTable[1] = 0.2;
    t.krwTable[1] = 0;
    t.krowTable[1] = 1;
    t.swTable[2] = 0.75;
    t.krwTable[2] = 0.00001;
    t.krowTable[2] = 0;
    t.nGasLiquid = 3;
    t.sgTable[1] = 0;
    t.krogTable[1] = 1;
    t.krgTable[1] = 0;
    t.sgTable[2] = 0.05;
    t.krogTable[2] = 0.5;
    t.krgTable[2] = 0;
    t.sgTable[3] = 0.7;
    t.krogTable[3] = 0;
    t.krgTable[3] = 1;
    EXPECT_EQ(exportFileText(t), "\"Sw  krw  krow\",2\r\n"
                                 ".2,0,1\r\n"
                                 ".75,1E-05,0\r\n"
                                 "\"Sl krog krg\",3\r\n"
                                 ".3,0,1\r\n"
                                 ".95,.5,0\r\n"
                                 "1,1,0\r\n");
}

TEST(ExportFile, WorkedExampleReadsBackRowForRow) {
    CalculatorState s;
    ASSERT_FALSE(generate(s, testing::workedExample("Corey")));
    const std::string text = exportFileText(s.tables);
    CsvReader reader(text);
    EXPECT_EQ(reader.next()->text, "Sw  krw  krow");
    EXPECT_EQ(reader.next()->text, "12");
    for (int i = 1; i <= 12; ++i) {
        EXPECT_EQ(reader.next()->text, formatGeneral(s.tables.swTable[i]));
        reader.next();
        reader.next();
    }
    EXPECT_EQ(reader.next()->text, "Sl krog krg");
    EXPECT_EQ(reader.next()->text, "15");
    EXPECT_EQ(reader.next()->text, ".3") << "the first gas line is the last row, 1 - .7";
}

} // namespace
} // namespace relperm
