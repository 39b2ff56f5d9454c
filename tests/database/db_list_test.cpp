// relperm db list: the CSV of every matching data set, whose row k holds what
// `relperm db show --match k` shows for the same selection: the data-set number, the number
// of points in the grid, and every value and text of the description.
#include "cli/commands.h"
#include "database/csvrows.h"
#include "database/display.h"
#include "random_records.h"
#include "support/run_relperm.h"

#include <gtest/gtest.h>

#include <map>

namespace relperm::cli {
namespace {

using namespace relperm::testing;
using relperm::testing::Outcome;
using relperm::testing::relperm;

using Flags = std::vector<std::string>;

Outcome db(const std::string& sub, const std::filesystem::path& dir, const Flags& flags) {
    Flags args{"db", sub, "--dir", dir.string()};
    args.insert(args.end(), flags.begin(), flags.end());
    return relperm(args);
}

// The CSV rows as fields by column name.
std::vector<std::map<std::string, CsvField>> csvTable(const std::string& text) {
    const std::vector<CsvRow> rows = csvRows(text);
    std::vector<std::map<std::string, CsvField>> table;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        EXPECT_EQ(rows[r].fields.size(), rows[0].fields.size()) << "line " << rows[r].line;
        std::map<std::string, CsvField> row;
        for (std::size_t c = 0; c < rows[0].fields.size() && c < rows[r].fields.size(); ++c)
            row[rows[0].fields[c].text] = rows[r].fields[c];
        table.push_back(std::move(row));
    }
    return table;
}

// A data set that holds what a row says: each code the text stands for, each value, and
// for a water-oil set a last krw on the side of 0.07 that gives the row's wettability.
MeasuredDataSet setOfRow(TwoPhaseSystem system, std::map<std::string, CsvField> row) {
    MeasuredDataSet set;
    for (const HeaderField& field : headerFields(system)) {
        const CsvField& item = row[std::string(field.name)];
        TaggedValue& value = set.*field.member;
        if (field.kind == FieldKind::Wettability && item.text == "Strongly Water-Wet")
            value = TaggedValue::of(1, ValueTag::Int16);
        else if (item.quoted && !item.text.empty())
            value = TaggedValue::of(codeFromText(field.kind, item.text).value(), ValueTag::Int16);
        else if (!item.quoted && !item.text.empty())
            value = TaggedValue::of(numberField(item).value());
    }
    set.pointCount = static_cast<std::int16_t>(integerField(row["points"]).value_or(0));
    set.krAxis[static_cast<std::size_t>(set.pointCount)] =
        row["wettability"].text == "Strongly Water-Wet" ? 0.0 : 1.0;
    return set;
}

// `db list` for `flags`, each row held to `db show --match k`, the Show after the last row
// past the last match, and `db show --all` as every `db show --match k` one after another.
void expectListIsTheShows(const std::filesystem::path& dir, TwoPhaseSystem system,
                          const Flags& flags, std::size_t* rowsListed = nullptr) {
    Flags withSystem{"--system", std::string(systemListText(system))};
    withSystem.insert(withSystem.end(), flags.begin(), flags.end());
    const Outcome list = db("list", dir, withSystem);
    EXPECT_EQ(list.status, db("count", dir, withSystem).status) << list.err;
    const auto rows = csvTable(list.out);
    EXPECT_EQ(std::to_string(rows.size()) + "\n", db("count", dir, withSystem).out);
    if (rowsListed)
        *rowsListed = rows.size();
    std::string everyShow;
    for (std::size_t k = 1; k <= rows.size(); ++k) {
        SCOPED_TRACE("match " + std::to_string(k));
        Flags show = withSystem;
        show.insert(show.end(), {"--match", std::to_string(k)});
        const Outcome shown = db("show", dir, show);
        const std::string& out = shown.out;
        everyShow += (k > 1 ? "\n" : "") + out;
        const std::map<std::string, CsvField>& row = rows[k - 1];
        EXPECT_EQ(row.at("match").text, std::to_string(k));
        EXPECT_EQ(out.substr(0, out.find('\n')), "Data Set # " + std::to_string(k));
        // The "Data as Input" grid: a header row, then a row per point.
        const std::size_t grid = out.find("Data as Input\n") + 14;
        const std::size_t gridEnd = out.find("\n\n", grid);
        const auto gridRows = std::count(out.begin() + static_cast<long>(grid),
                                         out.begin() + static_cast<long>(gridEnd), '\n');
        EXPECT_EQ(std::to_string(gridRows), row.at("points").text);
        EXPECT_EQ(out.substr(out.rfind("\n\n") + 2),
                  renderDescription(describeDataSet(system, setOfRow(system, row))));
    }
    Flags past = withSystem;
    past.insert(past.end(), {"--match", std::to_string(rows.size() + 1)});
    // Lost records make any command a failure to read the file.
    EXPECT_EQ(db("show", dir, past).status,
              list.status == exitFileError ? exitFileError : exitPastLastMatch);
    Flags all = withSystem;
    all.push_back("--all");
    const Outcome shownAll = db("show", dir, all);
    EXPECT_EQ(shownAll.out, everyShow);
    EXPECT_EQ(shownAll.status, list.status) << shownAll.err;
}

class DbList : public TempDirTest {};

TEST_F(DbList, PrintsACsvRowPerMatchInTheOrderShowStepsThroughThem) {
    writeDataFile(dir, WO,
                  recordsOf(WO, {SetRecipe{.location = 1, .swc = 0.215},
                                 SetRecipe{.location = 2, .k = 12.5, .kabs = 20},
                                 SetRecipe{.location = 1, .method = 4, .depth = 6670.5}}));
    const Outcome r = db("list", dir, {"--system", "Water-Oil Data", "--location", "1"});
    EXPECT_EQ(r.status, exitOk) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "\"match\",\"location\",\"lithology\",\"method\",\"wettability\",\"depth ft ss\","
              "\"porosity\",\"k md\",\"kabs md\",\"Swc\",\"Sorw\",\"points\"\n"
              "1,\"N. America\",\"Sandstone\",\"Steady State\",\"Water-Wet\",5000,.2,100,100,"
              ".215,.3,3\n"
              "2,\"N. America\",\"Sandstone\",\"Centrifuge\",\"Water-Wet\",6670.5,.2,100,100,"
              ".2,.3,3\n");
    expectListIsTheShows(dir, WO, {"--location", "1"});
    expectListIsTheShows(dir, WO, {"--search-percent", "--swc", "21", "--tolerance", "1"});
}

TEST_F(DbList, WritesToOutAndReportsLostRecordsAsCountDoes) {
    writeDataFile(dir, GC,
                  recordsOf(GC, {SetRecipe{}, SetRecipe{.lithology = 2}}) + Bytes().raw16(99).data);
    const Outcome damaged = db("list", dir, {"--system", "Gas-Condensate Data"});
    EXPECT_EQ(damaged.status, exitFileError);
    EXPECT_EQ(csvTable(damaged.out).size(), 2u) << "the sets before the damage are listed";
    EXPECT_NE(damaged.err.find("CGBIN, record 3: the point count 99"), std::string::npos)
        << damaged.err;

    writeDataFile(dir, GC, recordsOf(GC, {SetRecipe{}, SetRecipe{.lithology = 2}}));
    const auto out = dir / "list.csv";
    const Outcome written =
        db("list", dir,
           {"--system", "Gas-Condensate Data", "--lithology", "2", "--out", out.string()});
    EXPECT_EQ(written.status, exitOk) << written.err;
    EXPECT_EQ(written.out, "");
    EXPECT_EQ(readFile(out), "\"match\",\"location\",\"lithology\",\"method\",\"porosity\","
                             "\"k md\",\"kabs md\",\"Slc\",\"Sgc\",\"points\"\n"
                             "1,\"N. America\",\"Limestone\",\"Steady State\",.2,100,100,.2,.05,"
                             "3\n");
}

TEST_F(DbList, RefusesWhatCountRefusesAndIsInTheHelp) {
    writeDataFile(dir, GO, recordsOf(GO, {SetRecipe{}}));
    for (const Flags& flags : {Flags{"--system", "Gas-Oil Data", "--wettability", "1"},
                               Flags{"--system", "Gas-Oil Data", "--match", "1"},
                               Flags{"--system", "Gas-Oil Data", "--swc", "2O"}, Flags{}}) {
        const Outcome r = db("list", dir, flags);
        EXPECT_EQ(r.status, exitRefused) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind("relperm db: ", 0), 0u) << r.err;
    }
    const Outcome help = relperm({"db", "list", "--help"});
    EXPECT_EQ(help.status, exitOk);
    EXPECT_NE(help.out.find("relperm db list   --system TEXT [SELECTION]"), std::string::npos);
}

TEST_F(DbList, RandomFilesListWhatTheShowsShow) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RandomRecords random(seed);
        const TwoPhaseSystem system = allSystems[static_cast<std::size_t>(random.pick(0, 3))];
        writeDataFile(dir, system, random.file(system));
        const SearchCriteria lists = random.lists();
        Flags flags{"--location",  std::to_string(lists.location),
                    "--method",    std::to_string(lists.method),
                    "--lithology", std::to_string(lists.lithology)};
        if (system == WO)
            flags.insert(flags.end(), {"--wettability", std::to_string(lists.wettability)});
        // Without a typed box the first Show's display puts the Sgc default in place; the
        // count must already compare it, or it counts sets no Show reaches.
        if (random.chance(60))
            flags.insert(flags.end(),
                         {"--search-percent", "--tolerance", std::to_string(random.pick(0, 10))});
        if (random.chance(40))
            flags.insert(flags.end(), {"--swc", std::to_string(random.pick(0, 35))});
        for (const char* box : {"--sor", "--sgc"})
            if (random.chance(30))
                flags.insert(flags.end(), {box, std::to_string(random.pick(0, 30))});
        expectListIsTheShows(dir, system, flags);
        if (HasFailure())
            return;
    }
}

// Codes stored as integers, as doubles and as text, and an Sgc stored as text (which reads
// as 0). Under "Search %" with no box typed, the first display makes Sgc 0, and from then
// on only the sets within the tolerance of Sgc 0 can be shown; the count and the list say
// so from the start.
TEST_F(DbList, CountShowAndListAgreeOnAGasWaterFileOfMixedTags) {
    auto set = [](TaggedValue method, TaggedValue sgc) {
        MeasuredDataSet made = makeSet(SetRecipe{});
        made.methodCode = std::move(method);
        made.criticalGas = std::move(sgc);
        return encodeRecord(GW, made);
    };
    writeDataFile(dir, GW,
                  set(TaggedValue::of(2, ValueTag::Int16), TaggedValue::of(0.034)) +
                      set(TaggedValue::of(2), TaggedValue::of(0.005)) +
                      set(TaggedValue::ofText("2"), TaggedValue::of(0)) +
                      set(TaggedValue::of(4, ValueTag::Int32), TaggedValue::ofText("n/a")) +
                      set(TaggedValue::of(2, ValueTag::Int16), TaggedValue::of(0.08)));
    const Flags flags{
        "--system", "Gas-Water Data", "--search-percent", "--method", "2", "--tolerance", "1"};
    EXPECT_EQ(db("count", dir, flags).out, "2\n");
    const auto rows = csvTable(db("list", dir, flags).out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].at("Sgc").text, ".005");
    EXPECT_EQ(rows[1].at("method").text, "Centrifuge");
    EXPECT_EQ(rows[1].at("Sgc").text, "0");

    Flags second = flags;
    second.insert(second.end(), {"--match", "2"});
    const Outcome shown = db("show", dir, second);
    EXPECT_EQ(shown.status, exitOk) << shown.err;
    EXPECT_EQ(shown.out.substr(0, shown.out.find('\n')), "Data Set # 2");
    EXPECT_NE(shown.out.find("Centrifuge"), std::string::npos) << shown.out;
    second.back() = "3";
    const Outcome past = db("show", dir, second);
    EXPECT_EQ(past.status, exitPastLastMatch);
    EXPECT_EQ(past.err, "relperm db: match 3 is past the last of the 2 matching data sets\n");
    expectListIsTheShows(dir, GW, {"--search-percent", "--method", "2", "--tolerance", "1"});
}

TEST_F(DbList, ShowAllTakesNeitherAMatchNorAnotherFormat) {
    writeDataFile(dir, GO, recordsOf(GO, {SetRecipe{}}));
    for (const Flags& flags : {Flags{"--all", "--match", "1"}, Flags{"--all", "--format", "csv"},
                               Flags{"--all", "--repair"}, Flags{"--all", "--all"}}) {
        Flags args{"--system", "Gas-Oil Data"};
        args.insert(args.end(), flags.begin(), flags.end());
        const Outcome r = db("show", dir, args);
        EXPECT_EQ(r.status, exitRefused) << ::testing::PrintToString(flags);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind("relperm db: ", 0), 0u) << r.err;
    }
    const Outcome none = db("show", dir, {"--system", "Gas-Oil Data", "--all", "--location", "5"});
    EXPECT_EQ(none.status, exitOk) << "no match is an empty list, not a Show past the last";
    EXPECT_EQ(none.out, "");
}

class DemoDatabaseList : public ::testing::Test {
  protected:
    const std::filesystem::path demo = RELPERM_DEMO_DIR;
};

TEST_F(DemoDatabaseList, ListsWhatTheShowsShow) {
    const std::vector<std::pair<TwoPhaseSystem, Flags>> selections{
        {WO, {}},
        {WO, {"--wettability", "1", "--lithology", "3"}},
        {GO, {"--search-percent", "--tolerance", "8", "--swc", "20", "--sor", "25", "--sgc", "5"}},
        {GW, {"--method", "2"}},
        {GW, {"--search-percent", "--method", "2", "--tolerance", "4"}},
        {GC, {"--search-percent", "--tolerance", "10", "--swc", "25", "--sgc", "7"}}};
    for (const auto& [system, flags] : selections) {
        SCOPED_TRACE(std::string(systemListText(system)) + " " + ::testing::PrintToString(flags));
        std::size_t rows = 0;
        expectListIsTheShows(demo, system, flags, &rows);
        EXPECT_GT(rows, 1u) << "a selection that lists nothing checks nothing";
    }
    const Outcome all = db("list", demo, {"--system", "Water-Oil Data"});
    EXPECT_NE(all.out.find("\"Strongly Water-Wet\""), std::string::npos);
}

} // namespace
} // namespace relperm::cli
