#include "common/csv.h"

#include <gtest/gtest.h>

#include <vector>

namespace relperm {
namespace {

std::vector<CsvField> readAll(std::string_view text) {
    CsvReader reader(text);
    std::vector<CsvField> fields;
    while (auto f = reader.next())
        fields.push_back(*f);
    return fields;
}

std::vector<std::string> texts(std::string_view text) {
    std::vector<std::string> out;
    for (const CsvField& f : readAll(text))
        out.push_back(f.text);
    return out;
}

TEST(CsvWriter, WritesQuotedTextIntegersGeneralNumbersAndEmptyFields) {
    CsvWriter w;
    w.text("Run 1, Corey").integer(-1).integer(21).number(0.35).number(0.00001).empty().empty();
    w.endLine();
    w.text("Sl krog krg").integer(0).endLine();
    EXPECT_EQ(w.str(), "\"Run 1, Corey\",-1,21,.35,1E-05,,\r\n\"Sl krog krg\",0\r\n");
}

TEST(CsvWriter, WritesADoubleQuoteInsideTextAsAnApostrophe) {
    CsvWriter w;
    w.text("the \"best\" run").endLine();
    EXPECT_EQ(w.str(), "\"the 'best' run\"\r\n");
    EXPECT_TRUE(containsQuote("a\"b"));
    EXPECT_FALSE(containsQuote("a'b"));
}

TEST(CsvReader, TakesFieldsAcrossLineEnds) {
    EXPECT_EQ(
        texts("\"Sw  krw  krow\",2\r\n.2,0,1\r\n.25,1E-05,.5\r\n"),
        (std::vector<std::string>{"Sw  krw  krow", "2", ".2", "0", "1", ".25", "1E-05", ".5"}));
}

TEST(CsvReader, KeepsCommasInsideQuotesAndDropsTheQuotes) {
    auto fields = readAll("\"a, b\",3\r\n");
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[0].text, "a, b");
    EXPECT_TRUE(fields[0].quoted);
    EXPECT_EQ(fields[1].text, "3");
    EXPECT_FALSE(fields[1].quoted);
}

TEST(CsvReader, SkipsBlanksBeforeAFieldAndTrimsThemAfterAnUnquotedOne) {
    EXPECT_EQ(texts("  1 ,  \"x\"  , 2\r\n"), (std::vector<std::string>{"1", "x", "2"}));
}

TEST(CsvReader, LeavesEmptyFieldsBetweenCommasAndAtTheLineEnd) {
    EXPECT_EQ(texts("\"t\",0,,\r\n5"), (std::vector<std::string>{"t", "0", "", "", "5"}));
    EXPECT_EQ(texts("1,"), (std::vector<std::string>{"1", ""}));
}

TEST(CsvReader, AcceptsBareLineFeedsAndSkipsEmptyLines) {
    EXPECT_EQ(texts("1,2\n\n3\r\n\r\n4"), (std::vector<std::string>{"1", "2", "3", "4"}));
}

TEST(CsvReader, TellsTheLineOfEachFieldAndWhetherItEndsTheLine) {
    auto fields = readAll("1,2\r\n\"a\"\r\n3");
    ASSERT_EQ(fields.size(), 4u);
    EXPECT_EQ(fields[0].line, 1);
    EXPECT_FALSE(fields[0].endsLine);
    EXPECT_TRUE(fields[1].endsLine);
    EXPECT_EQ(fields[2].line, 2);
    EXPECT_TRUE(fields[2].endsLine);
    EXPECT_EQ(fields[3].line, 3);
}

TEST(CsvReader, DropsWhatFollowsAClosingQuoteUpToTheDelimiter) {
    EXPECT_EQ(texts("\"ab\"cd,1"), (std::vector<std::string>{"ab", "1"}));
}

TEST(CsvReader, RunsAnUnclosedQuoteToTheEndOfTheText) {
    EXPECT_EQ(texts("1,\"abc"), (std::vector<std::string>{"1", "abc"}));
}

TEST(CsvReader, ReadsBackWhatTheWriterWrote) {
    CsvWriter w;
    w.text("Title, with comma").integer(2).number(-0.125).empty().endLine();
    auto fields = readAll(w.str());
    ASSERT_EQ(fields.size(), 4u);
    EXPECT_EQ(fields[0].text, "Title, with comma");
    EXPECT_EQ(fields[1].text, "2");
    EXPECT_EQ(fields[2].text, "-.125");
    EXPECT_EQ(fields[3].text, "");
    EXPECT_TRUE(fields[3].endsLine);
}

} // namespace
} // namespace relperm
