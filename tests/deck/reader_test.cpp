// The deck reader: the simulator's text rules (repeat counts, defaults, comments, line
// ends), tables per keyword, INCLUDE, and the refusals, each naming file, line and keyword.
#include "deck/reader.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

namespace relperm::deck {
namespace {

using Files = std::map<std::string, std::string>;

// Reads `text` as "main.inc", its INCLUDE files from `files` (keyed by the path the
// reader asks for).
std::variant<DeckTables, Refusal> read(const std::string& text, const Files& files = {},
                                       const ReadLimits& limits = {}) {
    const IncludeLoader load =
        [&](const std::filesystem::path& p) -> std::variant<std::string, Refusal> {
        auto at = files.find(p.string());
        if (at == files.end())
            return Refusal{p.string(), "Could not read \"" + p.string() + "\": no such file"};
        return at->second;
    };
    return readDeckText(text, "main.inc", load, limits);
}

DeckTables tablesOf(const std::string& text, const Files& files = {}) {
    auto result = read(text, files);
    if (auto* r = std::get_if<Refusal>(&result)) {
        ADD_FAILURE() << r->message;
        return {};
    }
    return std::get<DeckTables>(result);
}

std::string refusalOf(const std::string& text, const Files& files = {},
                      const ReadLimits& limits = {}) {
    auto result = read(text, files, limits);
    if (auto* r = std::get_if<Refusal>(&result))
        return r->message;
    ADD_FAILURE() << "read without refusal:\n" << text;
    return {};
}

std::vector<double> values(const Row& row, int count) {
    return {row.values.begin(), row.values.begin() + count};
}

// --- the text rules --------------------------------------------------------------------

TEST(DeckText, repeatCountsExpandIntoRowsAcrossLines) {
    const auto deck = tablesOf("SWFN\n"
                               "0.1 2*0\n"
                               "0.5 0.3 0 1.0 2*1 /\n");
    const auto* swfn = deck.find(SatKeyword::SWFN);
    ASSERT_NE(swfn, nullptr);
    ASSERT_EQ(swfn->tables.size(), 1u);
    const auto& rows = swfn->tables[0].rows;
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(values(rows[0], 3), (std::vector<double>{0.1, 0, 0}));
    EXPECT_EQ(values(rows[1], 3), (std::vector<double>{0.5, 0.3, 0}));
    EXPECT_EQ(values(rows[2], 3), (std::vector<double>{1.0, 1, 1}));
    // The third row starts on the second line, after the repeat that ends the second row.
    EXPECT_EQ(rows[2].line, 3);
    // A repeat that runs past the table's rows leaves a row incomplete.
    EXPECT_NE(refusalOf("SWFN\n0.1 0 0\n0.5 4*0 /\n").find("not a whole number of rows"),
              std::string::npos);
}

TEST(DeckText, defaultedValuesLieOnTheLineBetweenTheGivenRows) {
    const auto deck = tablesOf("SWOF\n"
                               "0.2 0    1.0 4\n"
                               "0.3 1*   1*  1*\n"
                               "0.6 2*       1*\n"
                               "1.0 0.8  0   0 /\n");
    const auto& rows = deck.find(SatKeyword::SWOF)->tables[0].rows;
    ASSERT_EQ(rows.size(), 4u);
    // krw runs 0 to 0.8 over Sw 0.2 to 1.0: 0.1 a tenth of Sw.
    EXPECT_DOUBLE_EQ(rows[1].values[1], 0.1);
    EXPECT_DOUBLE_EQ(rows[2].values[1], 0.4);
    EXPECT_DOUBLE_EQ(rows[1].values[2], 0.875);
    EXPECT_DOUBLE_EQ(rows[2].values[2], 0.5);
    EXPECT_DOUBLE_EQ(rows[1].values[3], 3.5);
    EXPECT_DOUBLE_EQ(rows[2].values[3], 2.0);
}

TEST(DeckText, aDefaultWithoutGivenRowsOnBothSidesOrInTheSaturationIsRefused) {
    EXPECT_EQ(refusalOf("SWOF\n0.2 1* 1 0\n1 1 0 0 /\n"),
              "main.inc line 2: SWOF table 1, row 1: the krw is defaulted, and only a value "
              "between given rows can be interpolated");
    EXPECT_EQ(refusalOf("SGFN\n0 0 0\n0.5 0.5 0\n0.9 0.9 1* /\n"),
              "main.inc line 4: SGFN table 1, row 3: the Pcog is defaulted, and only a value "
              "between given rows can be interpolated");
    EXPECT_EQ(refusalOf("SOF2\n0 0\n1* 0.5\n1 1 /\n"),
              "main.inc line 3: SOF2 table 1, row 2: the So is defaulted; a saturation must be "
              "given");
}

TEST(DeckText, commentsTabsCrLfAndFortranExponentsAreRead) {
    const auto deck = tablesOf("-- a head comment\r\n"
                               "SGOF -- gas against oil\r\n"
                               "\t0\t0\t1\t0 -- first row\r\n"
                               "0.5 0.25D0 .5 1.5E-1 / what follows a slash is comment 7 8\r\n");
    const auto& rows = deck.find(SatKeyword::SGOF)->tables[0].rows;
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(values(rows[0], 4), (std::vector<double>{0, 0, 1, 0}));
    EXPECT_EQ(values(rows[1], 4), (std::vector<double>{0.5, 0.25, 0.5, 0.15}));
    EXPECT_EQ(rows[1].line, 4);
}

TEST(DeckText, tablesFollowOneAnotherUntilTheNextKeywordWithoutTabdims) {
    std::string text = "SOF3\n";
    for (int t = 0; t < 12; ++t)
        text += "0 0 0\n0.8 " + std::to_string(0.5 + t * 0.01) + " " +
                std::to_string(0.5 + t * 0.01) + " /\n";
    text += "SOF2\n0 0\n1 1 /\n";
    const auto deck = tablesOf(text);
    ASSERT_EQ(deck.keywords.size(), 2u);
    EXPECT_EQ(deck.keywords[0].keyword, SatKeyword::SOF3);
    EXPECT_EQ(deck.keywords[1].keyword, SatKeyword::SOF2);
    ASSERT_EQ(deck.keywords[0].tables.size(), 12u);
    EXPECT_DOUBLE_EQ(deck.keywords[0].tables[11].rows[1].values[1], 0.61);
    EXPECT_EQ(deck.keywords[0].tables[11].rows[1].line, 25);
    EXPECT_EQ(deck.keywords[1].tables.size(), 1u);
}

TEST(DeckText, tabdimsSetsTheTableCountOfEveryKeyword) {
    const std::string head = "RUNSPEC\nTABDIMS\n 2 1 50 /\nPROPS\n";
    const auto deck = tablesOf(head + "SWFN\n0.1 0 0\n1 1 0 /\n0.2 0 0\n1 1 0 /\n");
    EXPECT_EQ(deck.ntsfun, std::optional<int>(2));
    EXPECT_EQ(deck.find(SatKeyword::SWFN)->tables.size(), 2u);
    EXPECT_EQ(refusalOf(head + "SWFN\n0.1 0 0\n1 1 0 /\nSGFN\n"),
              "main.inc line 8: SWFN holds 1 table where TABDIMS (NTSFUN) asks for 2");
    EXPECT_EQ(refusalOf(head + "SWFN\n0.1 0 0\n1 1 0 /\n0.2 0 0\n1 1 0 /\n0.3 0 0 /\n"),
              "main.inc line 10: SWFN holds 2 tables, as TABDIMS (NTSFUN) says, but \"0.3\" "
              "follows them");
    // A defaulted NTSFUN is 1.
    EXPECT_EQ(tablesOf("TABDIMS\n1* 2 /\nSOF2\n0 0\n1 1 /\n").ntsfun, std::optional<int>(1));
}

// --- decks -----------------------------------------------------------------------------

TEST(DeckFile, otherKeywordsWithSlashesNumbersAndNoSlashAtAllArePassedOver) {
    const auto deck = tablesOf("RUNSPEC\n"
                               "TITLE\n"
                               "  a title of words / with a slash\n"
                               "DIMENS\n 10 10 3 /\n"
                               "OIL\nWATER\nGAS\nDISGAS\nMETRIC\n"
                               "GRID\n"
                               "PORO\n 300*0.2 /\n"
                               "PROPS\n"
                               "PVTW\n 200 1.0 4E-5 0.5 0 /\n"
                               "SWOF\n0.1 0 1 0\n1 1 0 0 /\n"
                               "DENSITY\n 800 1000 1 /\n"
                               "SGOF\n0 0 1 0\n0.9 1 0 0 /\n"
                               "REGIONS\nSOLUTION\n"
                               "EQUIL\n 2000 200 2050 0 1950 0 1* 1* 0 /\n"
                               "SUMMARY\nFOPR\nROIP\n/\n"
                               "SCHEDULE\n"
                               "WELSPECS\n 'P1' 'G' 1 1 1* 'OIL' /\n PROD2 G 2 2 1* OIL /\n/\n"
                               "TSTEP\n 10*30 /\n"
                               "END\n"
                               "SWFN\n this is past the end and never read /\n");
    ASSERT_EQ(deck.keywords.size(), 2u);
    EXPECT_EQ(deck.keywords[0].keyword, SatKeyword::SWOF);
    EXPECT_EQ(deck.keywords[0].line, 17);
    EXPECT_EQ(deck.keywords[1].keyword, SatKeyword::SGOF);
    EXPECT_EQ(deck.keywords[1].tables[0].rows.size(), 2u);
}

TEST(DeckFile, aKeywordGivenAgainReplacesTheEarlierOne) {
    const auto deck = tablesOf("SOF2\n0 0\n1 1 /\nSOF2\n0 0\n0.5 0.2\n1 1 /\n");
    ASSERT_EQ(deck.keywords.size(), 1u);
    EXPECT_EQ(deck.keywords[0].tables[0].rows.size(), 3u);
    EXPECT_EQ(deck.keywords[0].line, 4);
}

class DeckIncludes : public testing::TempDirTest {
  protected:
    void write(const std::filesystem::path& name, const std::string& text) {
        std::filesystem::create_directories((dir / name).parent_path());
        std::ofstream(dir / name, std::ios::binary) << text;
    }
};

TEST_F(DeckIncludes, pathsAreTakenRelativeToTheFileThatNamesThem) {
    write("model/CASE.DATA", "RUNSPEC\nPROPS\nINCLUDE\n 'include/water.inc' /\n"
                             "INCLUDE -- gas\n\"include/gas.inc\"\n/\nEND\n");
    write("model/include/water.inc", "SWOF\n0.1 0 1 0\n1 1 0 0 /\n"
                                     "INCLUDE\n 'more/sof2.inc' /\n");
    write("model/include/more/sof2.inc", "-- only a comment here\n");
    write("model/include/gas.inc", "\nSGOF\n0 0 1 0\n0.9 1 0 0 /\n");
    auto result = readDeck(dir / "model/CASE.DATA");
    ASSERT_TRUE(std::holds_alternative<DeckTables>(result)) << std::get<Refusal>(result).message;
    const auto& deck = std::get<DeckTables>(result);
    ASSERT_EQ(deck.keywords.size(), 2u);
    const Row& gasRow = deck.keywords[1].tables[0].rows[1];
    EXPECT_EQ(rowPlace(deck, gasRow), (dir / "model/include/gas.inc").string() + " line 4");
    EXPECT_EQ(deck.files.size(), 4u);
}

TEST_F(DeckIncludes, aMissingFileIsNamedWithTheIncludingFileAndLine) {
    write("CASE.DATA", "PROPS\n\nINCLUDE\n  'tables.inc' /\n");
    auto result = readDeck(dir / "CASE.DATA");
    ASSERT_TRUE(std::holds_alternative<Refusal>(result));
    const std::string message = std::get<Refusal>(result).message;
    EXPECT_EQ(message.rfind("Could not read \"" + (dir / "tables.inc").string() + "\"", 0), 0u)
        << message;
    EXPECT_NE(message.find("(INCLUDE at " + (dir / "CASE.DATA").string() + " line 4)"),
              std::string::npos)
        << message;
}

TEST_F(DeckIncludes, aFileThatIncludesItselfIsRefusedAtTheDepthLimit) {
    write("loop.inc", "SOF2\n0 0\n1 1 /\nINCLUDE\n \"loop.inc\" /\n");
    auto result = readDeck(dir / "loop.inc");
    ASSERT_TRUE(std::holds_alternative<Refusal>(result));
    EXPECT_NE(std::get<Refusal>(result).message.find(
                  "INCLUDE \"loop.inc\" goes deeper than 20 files within files"),
              std::string::npos)
        << std::get<Refusal>(result).message;
}

// --- refusals ----------------------------------------------------------------------------

TEST(DeckRefusals, eachNamesTheFileLineAndKeyword) {
    EXPECT_EQ(refusalOf("SWOF\n0.1 0 1 0\n0.5 abc 0 0 /\n"),
              "main.inc line 3: SWOF table 1: \"abc\" is not a number");
    EXPECT_EQ(refusalOf("SGOF\n0 0 1 0 /\n0 0 1 \"x\" /\n"),
              "main.inc line 3: SGOF table 2: a table holds numbers, not the text \"x\"");
    EXPECT_EQ(refusalOf("SWFN\n0.1 0 0\n1 1 0\nSGFN\n0 0 0 /\n"),
              "main.inc line 4: SWFN table 1 (from line 2) has no closing '/'");
    EXPECT_EQ(refusalOf("SWFN\n0.1 0 0\n1 1 0\n"),
              "main.inc line 3: SWFN table 1 (from line 2) has no closing '/'");
    EXPECT_EQ(refusalOf("SOF2\n/\n"), "main.inc line 2: SOF2 table 1 is empty: a table needs at "
                                      "least one row of 2 values before its '/'");
    EXPECT_EQ(refusalOf("SOF2\nSWFN\n0 0 0 /\n"), "main.inc line 1: SOF2 holds no table");
    EXPECT_EQ(refusalOf("0.1 0.2\nSWOF\n"),
              "main.inc line 1: values \"0.1\" stand before any keyword");
    EXPECT_EQ(refusalOf("INCLUDE\n 'a.inc\n"), "main.inc line 2: a quote is not closed on its "
                                               "line");
    EXPECT_EQ(refusalOf("INCLUDE\n/\n"),
              "main.inc line 2: INCLUDE needs a file name before its '/'");
    EXPECT_EQ(refusalOf("TABDIMS\n 0 /\n"),
              "main.inc line 2: TABDIMS item 1 (NTSFUN) is a whole number of tables from 1, not "
              "\"0\"");
    EXPECT_EQ(refusalOf("SOF2\n0 1e999 /\n"), "main.inc line 2: SOF2 table 1: \"1e999\" is not a "
                                              "number");
    // The error in an included file names that file.
    EXPECT_EQ(refusalOf("INCLUDE\n 'sub/t.inc' /\n", {{"sub/t.inc", "SWOF\n0.1 0 1\n/\n"}}),
              "sub/t.inc line 3: SWOF table 1 holds 3 values, not a whole number of rows of 4");
}

TEST(DeckRefusals, theLimitsStopHugeRepeatsAndFiles) {
    ReadLimits limits;
    limits.values = 1000;
    EXPECT_EQ(refusalOf("SOF2\n0 0\n999999999999*0 /\n", {}, limits),
              "main.inc line 3: SOF2 table 1: the saturation tables hold more than 1000 values");
    limits.fileBytes = 10;
    EXPECT_EQ(refusalOf("SOF2\n0 0\n1 1 /\n", {}, limits),
              "main.inc is larger than 10 bytes, too large for a deck");
}

} // namespace
} // namespace relperm::deck
