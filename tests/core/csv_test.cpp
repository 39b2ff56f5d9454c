#include "common/csv.h"

#include <gtest/gtest.h>

#include <vector>

namespace relperm {
namespace {

std::vector<CsvField> readAll(std::string_view text, int firstLine = 1) {
    CsvReader reader(text, firstLine);
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

TEST(CsvWriter, WritesNamesBareUnlessTheyWouldBreakTheLine) {
    CsvWriter w;
    w.name("satnum").name("krwend").name("a,b").name("x\ny");
    EXPECT_EQ(w.str(), "satnum,krwend,\"a,b\",\"x\ny\"");
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

// Every field as one line of text, so a difference shows which field and what of it.
std::vector<std::string> described(const std::vector<CsvField>& fields) {
    std::vector<std::string> out;
    for (const CsvField& f : fields)
        out.push_back("line " + std::to_string(f.line) + (f.quoted ? " quoted " : " plain ") + "[" +
                      f.text + "]" + (f.endsLine ? " ends line" : ""));
    return out;
}

// Texts whose quotes, comma ends and line ends make cutting them in pieces easy to get wrong.
const char* const awkwardTexts[] = {
    "a,b\r\nc,d\r\n",
    "set,\"Water\r\nWet\",1\r\n0,0,1\n",
    "x\"y,\"abc\ndef\",1\n2\n",  // a quote inside an unquoted field opens nothing
    "\"ab\"c\"d,\"e\nf\"\n3\n",  // nor does one after a closing quote
    "a,\n,\n\n\n  \"q\n\n\",\n", // commas at line ends, empty lines, a blank before a quote
    "1,\"unclosed\nto the end\n",
    "a\rb\nc\r\n\"d\re\"\n",
};

TEST(CsvQuoteState, KnowsWhenALineEndLiesInsideAQuotedField) {
    const auto insideAfterFirstLine = [](std::string_view text) {
        CsvQuoteState state;
        state.follow(text.substr(0, text.find('\n') + 1));
        return state.insideQuotes();
    };
    EXPECT_TRUE(insideAfterFirstLine("a,\"b\nc\"\n"));
    EXPECT_TRUE(insideAfterFirstLine("  \"b\nc\"\n"));
    EXPECT_TRUE(insideAfterFirstLine("x\"y,\"abc\ndef\"\n")) << "two quotes, one field open";
    EXPECT_FALSE(insideAfterFirstLine("a,\"b\",c\nd\n"));
    EXPECT_FALSE(insideAfterFirstLine("ab\"c\nd\n")) << "one quote, inside an unquoted field";
    EXPECT_FALSE(insideAfterFirstLine("\"ab\"c\"d\ne\n")) << "the third quote is dropped";
}

// What the piece-by-piece readers of large files rely on: cut after any line end outside
// quotes, the pieces read one after another give the fields of the whole text.
TEST(CsvQuoteState, PiecesCutOutsideQuotesReadAsTheWholeText) {
    for (std::string_view text : awkwardTexts) {
        SCOPED_TRACE(::testing::PrintToString(std::string(text)));
        const auto whole = described(readAll(text));
        CsvQuoteState state;
        std::size_t followed = 0;
        for (std::size_t cut = text.find('\n'); cut != std::string_view::npos;
             cut = text.find('\n', cut + 1)) {
            state.follow(text.substr(followed, cut + 1 - followed));
            followed = cut + 1;
            if (state.insideQuotes())
                continue;
            CsvReader first(text.substr(0, cut + 1));
            std::vector<CsvField> fields;
            while (auto f = first.next())
                fields.push_back(*f);
            for (CsvField& f : readAll(text.substr(cut + 1), first.line()))
                fields.push_back(f);
            EXPECT_EQ(described(fields), whole) << "cut after byte " << cut;
        }
    }
}

} // namespace
} // namespace relperm
