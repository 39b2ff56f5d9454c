#include "database/importfile.h"
#include "records.h"

#include <gtest/gtest.h>

namespace relperm {
namespace {

using namespace relperm::testing;

const char* waterOilCsv = "# two sets typed by hand\r\n"
                          "set,Water-Wet,north america,Sandstone,Centrifuge,8450,.215,125,,.18,.3\n"
                          "0,0,1\n"
                          "  .5 , .1 , .3\n"
                          "1,.4,0\n"
                          "\n"
                          "   # the second\n"
                          "set,2,6,4,1,,0.2,10,12,0.25,0.2\n"
                          "0,0,1\n";

TEST(Import, TypedSetsBecomeRecordsWithCodesAsIntegers) {
    RecordImport import(WO);
    ASSERT_FALSE(import.add(waterOilCsv, "typed.csv"));
    EXPECT_EQ(import.sets(), 2);
    std::string bytes;
    ASSERT_FALSE(import.bytes(bytes));
    Bytes expected;
    expected.raw16(3)
        .int16(1)
        .int16(1)
        .int16(1)
        .int16(4)
        .dbl(8450)
        .dbl(.215)
        .dbl(125)
        .empty()
        .dbl(.18)
        .dbl(.3);
    expected.dbl(0).dbl(0).dbl(1).dbl(.5).dbl(.1).dbl(.3).dbl(1).dbl(.4).dbl(0);
    expected.raw16(1)
        .int16(2)
        .int16(6)
        .int16(4)
        .int16(1)
        .empty()
        .dbl(.2)
        .dbl(10)
        .dbl(12)
        .dbl(.25)
        .dbl(.2);
    expected.dbl(0).dbl(0).dbl(1);
    EXPECT_EQ(bytes, expected.data);
}

TEST(Import, ValuesAreKeptToFifteenSignificantDigits) {
    RecordImport import(GC);
    ASSERT_FALSE(import.add("set,1,1,1,.12345678901234567,1,1,.2,.05\n0,0,1\n", "f.csv"));
    std::string bytes;
    ASSERT_FALSE(import.bytes(bytes));
    EXPECT_NE(bytes.find(Bytes().dbl(0.123456789012346).data), std::string::npos);
}

TEST(Import, SetsOfSeveralFilesFollowEachOther) {
    RecordImport import(GC);
    ASSERT_FALSE(import.add("set,1,1,1,.1,1,1,.2,.05\n0,0,1\n", "a.csv"));
    ASSERT_FALSE(import.add("set,2,1,1,.1,1,1,.2,.05\n0,0,1\n", "b.csv"));
    EXPECT_EQ(import.sets(), 2);
}

TEST(Import, ASetWithoutPointsOnlyClosesTheFile) {
    RecordImport last(GC);
    ASSERT_FALSE(last.add("set,1,1,1,.1,1,1,.2,.05\n0,0,1\nset,,,,,,,,\n", "a.csv"));
    std::string bytes;
    EXPECT_FALSE(last.bytes(bytes)) << "the explicit end record";
    EXPECT_EQ(
        bytes.substr(bytes.size() - 18),
        Bytes().raw16(0).empty().empty().empty().empty().empty().empty().empty().empty().data);

    RecordImport middle(GC);
    ASSERT_FALSE(middle.add("set,1,1,1,.1,1,1,.2,.05\n", "a.csv"));
    ASSERT_FALSE(middle.add("\n\nset,1,1,1,.1,1,1,.2,.05\n0,0,1\n", "b.csv"));
    auto refusal = middle.bytes(bytes);
    ASSERT_TRUE(refusal);
    EXPECT_NE(refusal->find("a.csv, line 1: a set without points ends every scan"),
              std::string::npos)
        << *refusal;
}

struct BadRow {
    const char* name;
    const char* text;
    const char* message;
};

void PrintTo(const BadRow& row, std::ostream* os) {
    *os << row.name;
}

class ImportRefusal : public ::testing::TestWithParam<BadRow> {};

TEST_P(ImportRefusal, NamesTheFileAndLine) {
    RecordImport import(WO);
    auto refusal = import.add(GetParam().text, "lab.csv");
    ASSERT_TRUE(refusal);
    EXPECT_NE(refusal->find(GetParam().message), std::string::npos) << *refusal;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ImportRefusal,
    ::testing::Values(
        BadRow{"PointBeforeSet", "# c\n0,0,1\n",
               "lab.csv, line 2: the first row must be a set row"},
        BadRow{"ShortSetRow", "set,1,1,1,1\n",
               "line 1: a set row of Water-Oil Data holds \"set\" and 10 values, found 4"},
        BadRow{"UnknownCodeText", "set,Wet,1,1,1,1,.2,1,1,.2,.3\n",
               "line 1: wettability must be 0, a code from 1 to 3 or its text, not \"Wet\""},
        BadRow{"CodeOutside", "set,1,7,1,1,1,.2,1,1,.2,.3\n",
               "location must be 0, a code from 1 to 6"},
        BadRow{"FractionInPercent", "set,1,1,1,1,1,21.5,1,1,.2,.3\n",
               "porosity must be a fraction from 0 to 1, not \"21.5\""},
        BadRow{"NegativeK", "set,1,1,1,1,1,.2,-1,1,.2,.3\n", "k md must be a number of 0 or more"},
        BadRow{"TypingError", "set,1,1,1,1,1,.2,1,1,.2O,.3\n", "Swc must be a fraction"},
        BadRow{"LongPointRow", "set,1,1,1,1,1,.2,1,1,.2,.3\n0,0,1,1\n",
               "line 2: a point row holds 3 values (Sw norm, krw, krow), found 4"},
        BadRow{"NegativeKr", "set,1,1,1,1,1,.2,1,1,.2,.3\n0,-.1,1\n",
               "line 2: krw must be a number of 0 or more, not \"-.1\""},
        BadRow{"EmptyPointValue", "set,1,1,1,1,1,.2,1,1,.2,.3\n0,0,\n",
               "krow must be a number of 0 or more, not an empty item"}),
    [](const auto& info) { return info.param.name; });

TEST(Import, MoreThanFiftyPointsAreRefused) {
    std::string text = "set,1,1,1,1,1,.2,1,1,.2,.3\n";
    for (int i = 0; i < 51; ++i)
        text += "0,0,1\n";
    RecordImport import(WO);
    auto refusal = import.add(text, "lab.csv");
    ASSERT_TRUE(refusal);
    EXPECT_NE(refusal->find("line 52: a set holds at most 50 points"), std::string::npos);
}

using Dump = TempDirTest;

TEST_F(Dump, WritesTheImportLayoutWithCodeTexts) {
    RecordImport import(WO);
    ASSERT_FALSE(import.add(waterOilCsv, "typed.csv"));
    std::string bytes;
    ASSERT_FALSE(import.bytes(bytes));
    writeDataFile(dir, WO, bytes);
    DumpResult dump = dumpDataFile(dir, WO);
    EXPECT_EQ(dump.records, 2);
    EXPECT_FALSE(dump.problem);
    EXPECT_EQ(
        dump.text,
        "# Water-Oil Data: a \"set\" row per data set, then one row per point.\r\n"
        "# set,wettability,location,lithology,method,depth ft ss,porosity,k md,kabs md,Swc,"
        "Sorw\r\n"
        "# Sw norm,krw,krow\r\n"
        "\"set\",\"Water-Wet\",\"North America\",\"Sandstone\",\"Centrifuge\",8450,.215,125,,"
        ".18,.3\r\n"
        "0,0,1\r\n.5,.1,.3\r\n1,.4,0\r\n"
        "\"set\",\"Intermediate (Mixed) Wet\",\"Australia\",\"Shale\",\"Steady State\",,.2,10,"
        "12,.25,.2\r\n"
        "0,0,1\r\n");
}

TEST_F(Dump, ThenImportGivesTheSameBytes) {
    // Codes without a text, a stored record without points in the middle and the explicit
    // end record come back too.
    MeasuredDataSet odd = makeSet(SetSpec{.location = 0, .method = 3, .k = 1234.5678});
    MeasuredDataSet zero = makeSet(SetSpec{.location = 2, .points = {}});
    MeasuredDataSet end;
    end.residualOilToWater = TaggedValue{};
    const std::string bytes = encodeRecord(GC, odd) + encodeRecord(GC, zero) +
                              encodeRecord(GC, makeSet(SetSpec{})) + encodeRecord(GC, end);
    writeDataFile(dir, GC, bytes);
    DumpResult dump = dumpDataFile(dir, GC);
    EXPECT_EQ(dump.records, 4);
    RecordImport import(GC);
    ASSERT_FALSE(import.add(dump.text, "dump.csv"));
    std::string back;
    auto refusal = import.bytes(back);
    ASSERT_TRUE(refusal) << "the zero-count record in the middle would hide the third set";
    EXPECT_NE(refusal->find("dump.csv, line 8"), std::string::npos) << *refusal;

    const std::string withoutMiddle =
        encodeRecord(GC, odd) + encodeRecord(GC, makeSet(SetSpec{})) + encodeRecord(GC, end);
    writeDataFile(dir, GC, withoutMiddle);
    RecordImport again(GC);
    ASSERT_FALSE(again.add(dumpDataFile(dir, GC).text, "dump.csv"));
    ASSERT_FALSE(again.bytes(back));
    EXPECT_EQ(back, withoutMiddle);
}

TEST_F(Dump, StopsAtADamagedRecordAndSaysSo) {
    writeDataFile(dir, WO, recordsOf(WO, {SetSpec{}}) + Bytes().raw16(5).int16(1).data);
    DumpResult dump = dumpDataFile(dir, WO);
    EXPECT_EQ(dump.records, 1);
    ASSERT_TRUE(dump.problem);
    EXPECT_EQ(dump.problem->record, 2);
}

} // namespace
} // namespace relperm
