#include "database/importfile.h"
#include "records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <sstream>

namespace relperm {
namespace {

using namespace relperm::testing;

struct ImportFile {
    std::string name;
    std::string text;
};

// What an import gave: the record bytes its sink took, and how it ended.
struct Imported {
    std::string bytes;
    std::optional<ImportFailure> failure;
    int sets = 0;

    std::string message() const { return failure ? failure->message : "(accepted)"; }
};

const std::size_t wholePieces = ImportSettings{}.pieceBytes;

// Imports `files` in pieces of `pieceBytes`; the sink keeps the bytes unless `write` stands
// in for it.
Imported importFiles(TwoPhaseSystem system, const std::vector<ImportFile>& files,
                     std::size_t pieceBytes = wholePieces, RecordSink write = {},
                     std::function<void(const ImportProgress&)> progress = {},
                     std::size_t lineBytes = ImportSettings{}.lineBytes) {
    Imported result;
    ImportSettings settings;
    settings.pieceBytes = pieceBytes;
    settings.lineBytes = lineBytes;
    settings.progress = std::move(progress);
    RecordImport import(
        system,
        [&](std::string_view bytes) {
            if (write)
                return write(bytes);
            result.bytes += bytes;
            return std::optional<std::string>();
        },
        settings);
    for (const ImportFile& file : files)
        if ((result.failure = import.add(file.text, file.name)))
            break;
    if (!result.failure)
        result.failure = import.finish();
    result.sets = import.sets();
    return result;
}

Imported importText(TwoPhaseSystem system, std::string_view text,
                    std::size_t pieceBytes = wholePieces, RecordSink write = {},
                    std::function<void(const ImportProgress&)> progress = {}) {
    return importFiles(system, {{"lab.csv", std::string(text)}}, pieceBytes, std::move(write),
                       std::move(progress));
}

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
    const Imported imported = importText(WO, waterOilCsv);
    ASSERT_FALSE(imported.failure) << imported.message();
    EXPECT_EQ(imported.sets, 2);
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
    EXPECT_EQ(imported.bytes, expected.data);
}

TEST(Import, ValuesAreKeptToFifteenSignificantDigits) {
    const Imported imported = importText(GC, "set,1,1,1,.12345678901234567,1,1,.2,.05\n0,0,1\n");
    ASSERT_FALSE(imported.failure) << imported.message();
    EXPECT_NE(imported.bytes.find(Bytes().dbl(0.123456789012346).data), std::string::npos);
}

TEST(Import, SetsOfSeveralFilesFollowEachOther) {
    const Imported imported = importFiles(GC, {{"a.csv", "set,1,1,1,.1,1,1,.2,.05\n0,0,1\n"},
                                               {"b.csv", "set,2,1,1,.1,1,1,.2,.05\n0,0,1\n"}});
    ASSERT_FALSE(imported.failure) << imported.message();
    EXPECT_EQ(imported.sets, 2);
    const auto set = [](int location) {
        return SetRecipe{.location = location,
                         .porosity = .1,
                         .k = 1,
                         .kabs = 1,
                         .swc = .2,
                         .sgc = .05,
                         .points = {{0, 0, 1}}};
    };
    EXPECT_EQ(imported.bytes, recordsOf(GC, {set(1), set(2)}));
}

TEST(Import, ASetWithoutPointsOnlyClosesTheFile) {
    const Imported last = importText(GC, "set,1,1,1,.1,1,1,.2,.05\n0,0,1\nset,,,,,,,,\n");
    EXPECT_FALSE(last.failure) << "the explicit end record: " << last.message();
    EXPECT_EQ(
        last.bytes.substr(last.bytes.size() - 18),
        Bytes().raw16(0).empty().empty().empty().empty().empty().empty().empty().empty().data);

    const Imported middle = importFiles(GC, {{"a.csv", "set,1,1,1,.1,1,1,.2,.05\n"},
                                             {"b.csv", "\n\nset,1,1,1,.1,1,1,.2,.05\n0,0,1\n"}});
    ASSERT_TRUE(middle.failure);
    EXPECT_EQ(middle.failure->kind, ImportFailure::Kind::Refused);
    EXPECT_EQ(middle.message(), "a.csv, line 1: a set without points ends every scan, so the "
                                "sets after it could never be found; give its points, or move "
                                "it to the end as the end record.");
}

// The set without points is found when the next set row comes, but a bad row anywhere after
// it is still the refusal, as when every row was read before the sets were written.
TEST(Import, ABadRowAfterASetWithoutPointsIsTheRefusal) {
    const Imported imported =
        importText(GC, "set,1,1,1,.1,1,1,.2,.05\nset,1,1,1,.1,1,1,.2,.05\n0,0,1\n0,x,1\n", 8);
    EXPECT_EQ(imported.message(), "lab.csv, line 4: krg must be a number of 0 or more, not \"x\".");
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
    const Imported imported = importText(WO, GetParam().text);
    ASSERT_TRUE(imported.failure);
    EXPECT_EQ(imported.failure->kind, ImportFailure::Kind::Refused);
    EXPECT_NE(imported.message().find(GetParam().message), std::string::npos) << imported.message();
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
    EXPECT_EQ(importText(WO, text).message(), "lab.csv, line 52: a set holds at most 50 points.");
}

// Forty sets as a spreadsheet and a hand might mix them: CR LF and LF line ends, quoted
// code texts, comments (some holding quotes), blank lines and blanks around items.
std::string manySets() {
    std::string text = "# water-oil sets, \"typed\" and saved\r\n";
    for (int set = 1; set <= 40; ++set) {
        const char* end = set % 3 == 0 ? "\n" : "\r\n";
        text += "set,\"Water-Wet\"," + std::to_string(set % 7) + ", \"Sandstone\" ,2," +
                std::to_string(1000 + set) + ",.2,1E+02,," + (set % 2 ? ".1" : "0.15") + ",.3" +
                end;
        if (set % 5 == 0)
            text += "  # set " + std::to_string(set) + ": one \" quote in a comment" + end;
        for (int point = 0; point <= set % 4; ++point)
            text += std::to_string(point) + "e-1, " + std::to_string(point * 3) + "E-02 ,.5" + end;
        if (set % 4 == 0)
            text += end;
    }
    return text;
}

struct Input {
    const char* name;
    TwoPhaseSystem system;
    std::vector<ImportFile> files;
    std::size_t lineBytes = ImportSettings{}.lineBytes;
};

void PrintTo(const Input& input, std::ostream* os) {
    *os << input.name;
}

const std::string goodSet = "set,1,1,1,1,1,.2,1,1,.2,.3\r\n0,0,1\r\n1,1,0\r\n";

const Input pieceInputs[] = {
    {"TypedSets", WO, {{"typed.csv", waterOilCsv}}},
    {"ManySets", WO, {{"many.csv", manySets()}}},
    {"ManySetsInTwoFiles", WO, {{"a.csv", manySets()}, {"b.csv", manySets()}}},
    {"EndRecordClosesTheLastFile", WO, {{"a.csv", goodSet}, {"b.csv", goodSet + "set,,,,,,,,,,"}}},
    {"SetWithoutPointsInTheMiddle", WO, {{"a.csv", goodSet + "set,,,,,,,,,,\n" + goodSet}}},
    {"SetWithoutPointsEndingTheFirstFile",
     WO,
     {{"a.csv", goodSet + "set,,,,,,,,,,\n"}, {"b.csv", goodSet}}},
    {"BadRowInTheLastLine", WO, {{"a.csv", manySets() + "1,1,-1"}}},
    {"BadRowInTheSecondFile", WO, {{"a.csv", manySets()}, {"b.csv", goodSet + "\r\n0,0,x\r\n"}}},
    {"SecondFileStartsWithAPoint", WO, {{"a.csv", goodSet}, {"b.csv", "# points\n0,0,1\n"}}},
    // A text item over several lines with a comment line inside: the row it is in comes first.
    {"QuotedTextOverLines",
     WO,
     {{"a.csv",
       goodSet +
           "set,\"Water-\r\n# Gas-Oil Data: not kept\r\nWet\",1,1,1,1,.2,1,1,.2,.3\r\n0,0,1\r\n"}}},
    {"QuoteInsideAnUnquotedItem",
     WO,
     {{"a.csv", goodSet + "set,Water\"Wet,1,1,1,1,.2,1,1,.2,.3\n0,0,1\n"}}},
    {"UnclosedQuote", WO, {{"a.csv", goodSet + "set,1,1,1,1,1,.2,1,1,.2,\"3\n0,0,1\n" + goodSet}}},
    {"CarriageReturnsOnly",
     GC,
     {{"mac.csv", "set,1,1,1,.1,1,1,.2,.05\r0,0,1\r1,1,0\rset,2,1,1,.1,1,1,.2,.05\r0,0,1\r"}}},
    {"FiftyOnePoints",
     GC,
     {{"a.csv",
       [] {
           std::string text = "set,1,1,1,.1,1,1,.2,.05\r\n";
           for (int i = 0; i < 51; ++i)
               text += "0,0,1\r\n";
           return text;
       }()}}},
    {"OnlyComments", WO, {{"a.csv", "# nothing yet\r\n\r\n   # still nothing\r\n"}}},
    // Comments far longer than a piece or a block, holding what would be rows, quotes and
    // a byte-order mark, before a bad row whose line number they must not shift.
    {"LongComments",
     WO,
     {{"a.csv", "\xEF\xBB\xBF#" + std::string(300, '"') + "\r\n" + goodSet + "  # set,\"" +
                    std::string(200, ',') + "\r\n#\n\r\n#" + std::string(100, 'x') +
                    "\r0,0,x\r\n"}}},
    // Were the comment dropped whole, the CR before it and the LF after it would make one
    // line end.
    {"LoneCrBeforeAComment", WO, {{"a.csv", "set,1,1,1,1,1,.2,1,1,.2,.3\r0,0,1\r#c\n0,0,x\n"}}},
    {"LongCommentEndsTheFile", WO, {{"a.csv", goodSet + "#" + std::string(200, 's')}}},
    {"CommentSayingAnotherSystem",
     WO,
     {{"a.csv", goodSet + "# Gas-Oil Data: a \"set\" row per data set\r\n" + goodSet + "0,x,1\n"}}},
    {"BadRowBeforeTheComment",
     WO,
     {{"a.csv", goodSet + "0,0,x\n# Gas-Oil Data: a \"set\" row per data set\r\n"}}},
    {"LongLine",
     WO,
     {{"a.csv", goodSet + "0,0," + std::string(36, '1') + "\r\n0,0," + std::string(37, '1')}},
     40},
    {"LongLineAfterABadRow", WO, {{"a.csv", goodSet + "0,x,1\r\n" + std::string(41, ' ')}}, 40},
    {"LongLineInsideAQuotedItem",
     WO,
     {{"a.csv", goodSet + "set,\"Water-\r\n" + std::string(50, 'W') + "\",1\r\n"}},
     40},
    {"EmptyFile", WO, {{"a.csv", ""}}},
};

// Nothing when `a` and `b` are equal, else where they first differ: record bytes printed
// whole would bury the difference.
std::string differenceOf(const std::string& a, const std::string& b) {
    if (a == b)
        return "";
    const auto at = std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin();
    return std::to_string(a.size()) + " and " + std::to_string(b.size()) +
           " bytes, first different at byte " + std::to_string(at);
}

class PieceByPiece : public ::testing::TestWithParam<Input> {};

// Whatever the size of the pieces, and wherever they fall (inside a CR LF, inside a quoted
// item over lines, in a comment), the bytes, the number of sets and the refusal are those of
// the text read whole.
TEST_P(PieceByPiece, GivesWhatTheWholeTextGives) {
    const Input& input = GetParam();
    const Imported whole =
        importFiles(input.system, input.files, wholePieces, {}, {}, input.lineBytes);
    for (std::size_t pieceBytes = 1; pieceBytes <= 64; ++pieceBytes) {
        const Imported pieces =
            importFiles(input.system, input.files, pieceBytes, {}, {}, input.lineBytes);
        EXPECT_EQ(pieces.message(), whole.message()) << pieceBytes << "-byte pieces";
        EXPECT_EQ(pieces.sets, whole.sets) << pieceBytes << "-byte pieces";
        if (!whole.failure) { // a refused import's bytes are thrown away, however many
            EXPECT_EQ(differenceOf(pieces.bytes, whole.bytes), "") << pieceBytes << "-byte pieces";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, PieceByPiece, ::testing::ValuesIn(pieceInputs),
                         [](const auto& info) { return std::string(info.param.name); });

// The messages of the inputs above, so that reading whole is itself pinned down.
TEST(Import, ReadWholeTheAwkwardInputsGiveTheseMessages) {
    std::map<std::string, std::string> messages;
    for (const Input& input : pieceInputs)
        messages[input.name] =
            importFiles(input.system, input.files, wholePieces, {}, {}, input.lineBytes).message();
    EXPECT_EQ(messages["ManySetsInTwoFiles"], "(accepted)");
    EXPECT_EQ(messages["BadRowInTheSecondFile"],
              "b.csv, line 5: krow must be a number of 0 or more, not \"x\".");
    EXPECT_EQ(messages["SecondFileStartsWithAPoint"],
              "b.csv, line 2: the first row must be a set row, starting with \"set\".");
    const std::string lostQuote = ": an item in quotes runs over the end of its line, which no "
                                  "value does; is its closing quote missing?";
    EXPECT_EQ(messages["QuotedTextOverLines"], "a.csv, line 4" + lostQuote);
    EXPECT_EQ(messages["UnclosedQuote"], "a.csv, line 4" + lostQuote);
    EXPECT_EQ(messages["LongLineInsideAQuotedItem"], "a.csv, line 4" + lostQuote);
    EXPECT_EQ(messages["QuoteInsideAnUnquotedItem"],
              "a.csv, line 4: wettability must be 0, a code from 1 to 3 or its text, not "
              "\"Water\"Wet\".");
    EXPECT_EQ(messages["LongComments"],
              "a.csv, line 9: krow must be a number of 0 or more, not \"x\".");
    EXPECT_EQ(messages["LongCommentEndsTheFile"], "(accepted)");
    EXPECT_EQ(messages["LoneCrBeforeAComment"],
              "a.csv, line 4: krow must be a number of 0 or more, not \"x\".");
    EXPECT_EQ(messages["CommentSayingAnotherSystem"],
              "a.csv, line 4: the file says it holds Gas-Oil Data, but the import is of "
              "Water-Oil Data; import it with --system \"Gas-Oil Data\".");
    EXPECT_EQ(messages["BadRowBeforeTheComment"],
              "a.csv, line 4: krow must be a number of 0 or more, not \"x\".");
    EXPECT_EQ(messages["LongLine"], "a.csv, line 5: the line is longer than 40 bytes; no set or "
                                    "point row is that long.");
    EXPECT_EQ(messages["LongLineAfterABadRow"],
              "a.csv, line 4: krw must be a number of 0 or more, not \"x\".");
}

// A set goes to the sink once its next set row is read, so the import holds one set at a
// time, not the file; the last set goes at finish, when no file can add points to it.
TEST(Import, HandsEachSetToTheSinkOnceTheNextSetRowIsRead) {
    const std::string text = goodSet + goodSet + goodSet;
    const std::string oneRecord = importText(WO, goodSet).bytes;
    std::vector<std::size_t> taken; // the bytes the sink had after each piece it took
    std::string all;
    ImportSettings settings;
    settings.pieceBytes = goodSet.size();
    RecordImport import(
        WO,
        [&](std::string_view bytes) {
            all += bytes;
            taken.push_back(all.size());
            return std::optional<std::string>();
        },
        settings);
    ASSERT_FALSE(import.add(text, "lab.csv"));
    EXPECT_EQ(taken, (std::vector<std::size_t>{oneRecord.size(), 2 * oneRecord.size()}));
    ASSERT_FALSE(import.finish());
    EXPECT_EQ(all, oneRecord + oneRecord + oneRecord);
}

TEST(Import, AFailedWriteIsReportedAtTheEndUnlessARowIsRefused) {
    int calls = 0;
    const auto fullDisk = [&](std::string_view) {
        ++calls;
        return std::optional<std::string>("Could not write \"OWBIN\": writing: No space left");
    };
    const Imported full = importText(WO, manySets(), 64, fullDisk);
    ASSERT_TRUE(full.failure);
    EXPECT_EQ(full.failure->kind, ImportFailure::Kind::Unwritable);
    EXPECT_EQ(full.message(), "Could not write \"OWBIN\": writing: No space left");
    EXPECT_EQ(calls, 1) << "nothing more is written after a failed write";
    EXPECT_EQ(full.sets, 40) << "every row is still read";

    const Imported refused = importText(WO, manySets() + "0,0,x\n", 64, fullDisk);
    ASSERT_TRUE(refused.failure);
    EXPECT_EQ(refused.failure->kind, ImportFailure::Kind::Refused);
    EXPECT_EQ(refused.message(),
              "lab.csv, line 160: krow must be a number of 0 or more, not \"x\".");
}

TEST(Import, ReportsProgressAfterEachPiece) {
    const std::string text = manySets();
    std::vector<std::pair<std::uintmax_t, int>> read; // bytes and sets after each piece
    const Imported imported = importText(WO, text, 1000, {}, [&](const ImportProgress& now) {
        EXPECT_EQ(now.fileName, "lab.csv");
        EXPECT_EQ(now.fileBytes, text.size());
        read.emplace_back(now.bytesRead, now.sets);
    });
    ASSERT_FALSE(imported.failure) << imported.message();
    ASSERT_GE(read.size(), 3u);
    EXPECT_GE(read.front().first, 1000u) << "a piece holds at least its size";
    for (std::size_t i = 1; i < read.size(); ++i)
        EXPECT_GT(read[i], read[i - 1]);
    EXPECT_EQ(read.back(), std::make_pair(std::uintmax_t{text.size()}, 40));
}

// A comment costs no memory however long: its text never reaches the pieces, only a blank
// in its place, its blanks and its line end do, and only its first bytes are kept for the import to
// look at.
TEST(LineRuns, HandOutCommentLinesAsTheirBlanksAndLineEnds) {
    const std::string comment = "#" + std::string(100000, 'c');
    const std::string text = "\xEF\xBB\xBF" + comment + "\r\n  " + comment + "\nset,1\r\r#x\r\n";
    std::istringstream in(text);
    std::vector<std::pair<int, std::string>> comments; // "..." marks a head cut short
    LineRuns lines(in, 16, 40, [&](const LineRuns::Comment& c) {
        comments.emplace_back(c.line, std::string(c.head) + (c.whole ? "" : "..."));
    });
    std::string runs;
    std::vector<std::uintmax_t> read;
    while (!lines.atEnd()) {
        ASSERT_EQ(lines.appendLines(runs, 1), LineRuns::Outcome::Lines);
        runs += '|';
        read.push_back(lines.bytesRead());
    }
    EXPECT_EQ(runs, " \r\n|   \n|set,1\r|\r| \r\n|") << "a lone CR ends a run, a CR LF does not";
    EXPECT_EQ(read, (std::vector<std::uintmax_t>{100006, 200010, 200016, 200017, text.size()}));
    EXPECT_EQ(lines.line(), 6);
    const std::string head = "#" + std::string(LineRuns::commentHeadBytes - 1, 'c') + "...";
    EXPECT_EQ(comments,
              (std::vector<std::pair<int, std::string>>{{1, head}, {2, head}, {5, "#x"}}));
}

const std::string gasOilColumns =
    "set,location,lithology,method,depth ft ss,porosity,k md,kabs md,Swc,Sgc,Sorg";
const std::string gasOilSet = "set,1,2,1,3,.2,.5,.5,.2,.05,.25\r\n0,0,1\r\n1,.8,0\r\n";

// Water-oil and gas-oil set rows hold as many values, so a gas-oil file whose codes are
// numbers and whose depth passes as a method code imports as water-oil; only the comments
// the suite writes at the top of its files tell them apart.
TEST(ImportOfAnotherSystem, IsRefusedWhereACommentSaysWhichSystemTheFileHolds) {
    ASSERT_FALSE(importText(WO, gasOilSet).failure) << "the rows alone pass as water-oil";
    struct Case {
        const char* name;
        TwoPhaseSystem system;
        std::string text;
        std::string message;
    };
    const auto says = [](int line, const std::string& file, const std::string& import) {
        return "lab.csv, line " + std::to_string(line) + ": the file says it holds " + file +
               ", but the import is of " + import + "; import it with --system \"" + file + "\".";
    };
    const Case cases[] = {
        {"Dump", WO, importFileComment(GO) + gasOilSet, says(1, "Gas-Oil Data", "Water-Oil Data")},
        {"DemoFile", WO,
         "# Invented demonstration data.\r\n# Gas-Oil Data: a set row, then one row per "
         "point.\r\n" +
             gasOilSet,
         says(2, "Gas-Oil Data", "Water-Oil Data")},
        {"ColumnNamesAlone", WO, gasOilSet + "\t#  " + gasOilColumns + " \r\n",
         says(4, "Gas-Oil Data", "Water-Oil Data")},
        {"TitleAlone", WO, "# Gas-Oil Data\n" + gasOilSet,
         says(1, "Gas-Oil Data", "Water-Oil Data")},
        {"AnyCase", WO, "#gas-condensate data: from the lab\n" + gasOilSet,
         says(1, "Gas-Condensate Data", "Water-Oil Data")},
        {"LongerThanWhatIsKept", WO, "# Gas-Water Data:" + std::string(1000, '.') + "\n",
         says(1, "Gas-Water Data", "Water-Oil Data")},
        {"GasWaterColumnsInAGasOilImport", GO,
         "# set,location,lithology,method,depth ft ss,porosity,k md,kabs md,Swc,Sgc\n" + gasOilSet,
         says(1, "Gas-Water Data", "Gas-Oil Data")},
        {"GasOilColumnsInAGasWaterImport", GW, "# " + gasOilColumns + "\n",
         says(1, "Gas-Oil Data", "Gas-Water Data")},
        {"OwnSystem", GO, importFileComment(GO) + "# Gas-Oil Data\n" + gasOilSet, "(accepted)"},
        {"TitleWithMore", WO, "# Gas-Oil Data sets follow\n" + goodSet, "(accepted)"},
        {"MoreColumnNames", WO, "# " + gasOilColumns + ",notes\n" + goodSet, "(accepted)"},
    };
    for (const Case& c : cases) {
        // Pieces of 5 bytes, read in blocks as large, cut every comment line.
        EXPECT_EQ(importText(c.system, c.text, 5).message(), c.message) << c.name;
        EXPECT_EQ(importText(c.system, c.text).message(), c.message) << c.name;
    }
}

using Dump = TempDirTest;

TEST_F(Dump, WritesTheImportLayoutWithCodeTexts) {
    const Imported imported = importText(WO, waterOilCsv);
    ASSERT_FALSE(imported.failure) << imported.message();
    writeDataFile(dir, WO, imported.bytes);
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
    MeasuredDataSet odd = makeSet(SetRecipe{.location = 0, .method = 3, .k = 1234.5678});
    MeasuredDataSet zero = makeSet(SetRecipe{.location = 2, .points = {}});
    MeasuredDataSet end;
    end.residualOilToWater = TaggedValue{};
    const std::string bytes = encodeRecord(GC, odd) + encodeRecord(GC, zero) +
                              encodeRecord(GC, makeSet(SetRecipe{})) + encodeRecord(GC, end);
    writeDataFile(dir, GC, bytes);
    DumpResult dump = dumpDataFile(dir, GC);
    EXPECT_EQ(dump.records, 4);
    const Imported back = importFiles(GC, {{"dump.csv", dump.text}});
    ASSERT_TRUE(back.failure) << "the zero-count record in the middle would hide the third set";
    EXPECT_NE(back.message().find("dump.csv, line 8"), std::string::npos) << back.message();

    const std::string withoutMiddle =
        encodeRecord(GC, odd) + encodeRecord(GC, makeSet(SetRecipe{})) + encodeRecord(GC, end);
    writeDataFile(dir, GC, withoutMiddle);
    const Imported again = importText(GC, dumpDataFile(dir, GC).text);
    ASSERT_FALSE(again.failure) << again.message();
    EXPECT_EQ(again.bytes, withoutMiddle);
}

// A large file leaves in pieces cut between sets; the pieces hold the text of the whole,
// the records before a damaged one included, and a sink that takes no more ends the read.
TEST_F(Dump, PiecesMakeUpTheWholeTextAndStopWhereTheSinkDoes) {
    std::vector<SetRecipe> sets;
    for (int i = 0; i < 40; ++i)
        sets.push_back(SetRecipe{.location = i % 7, .depth = 100.0 * i});
    writeDataFile(dir, GO, recordsOf(GO, sets) + Bytes().raw16(60).data);
    const DumpResult whole = dumpDataFile(dir, GO);
    std::vector<std::string> pieces;
    const DumpResult inPieces = dumpDataFile(
        dir, GO,
        [&](std::string_view piece) {
            pieces.emplace_back(piece);
            return true;
        },
        500);
    EXPECT_GT(pieces.size(), 5u);
    std::string joined;
    for (const std::string& piece : pieces) {
        EXPECT_TRUE(piece.ends_with("\r\n"));
        joined += piece;
    }
    EXPECT_EQ(joined, whole.text);
    EXPECT_EQ(inPieces.records, 40);
    ASSERT_TRUE(inPieces.problem);
    EXPECT_EQ(inPieces.problem->record, 41);

    int taken = 0;
    const DumpResult refused = dumpDataFile(
        dir, GO, [&](std::string_view) { return ++taken < 3; }, 500);
    EXPECT_EQ(taken, 3);
    EXPECT_LT(refused.records, 40);
}

TEST_F(Dump, StopsAtADamagedRecordAndSaysSo) {
    writeDataFile(dir, WO, recordsOf(WO, {SetRecipe{}}) + Bytes().raw16(5).int16(1).data);
    DumpResult dump = dumpDataFile(dir, WO);
    EXPECT_EQ(dump.records, 1);
    ASSERT_TRUE(dump.problem);
    EXPECT_EQ(dump.problem->record, 2);
}

} // namespace
} // namespace relperm
