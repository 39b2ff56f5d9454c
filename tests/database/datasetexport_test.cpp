// A shown data set leaving the browser: import text that imports back into the same
// record, and simulator keywords through the one simulator writer.
#include "common/numbers.h"
#include "database/browser.h"
#include "database/datafolder.h"
#include "database/datasetexport.h"
#include "database/importfile.h"
#include "records.h"
#include "support/run_relperm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace relperm {
namespace {

using namespace relperm::testing;
using Export = TempDirTest;

ShownDataSet shownOf(TwoPhaseSystem system, const SetRecipe& recipe, UserEndPoints user = {},
                     bool adjusted = false) {
    return ShownDataSet{system, makeSet(recipe), user, adjusted, 7, "Well 7"};
}

std::string imported(TwoPhaseSystem system, const std::string& text) {
    std::string bytes;
    RecordImport import(system, [&](std::string_view more) -> std::optional<std::string> {
        bytes += more;
        return std::nullopt;
    });
    EXPECT_FALSE(import.add(text, "set.csv"));
    EXPECT_FALSE(import.finish());
    return bytes;
}

TEST(ExportImportText, ImportsBackIntoTheSameRecordWithTheShownPointsAsComments) {
    const SetRecipe recipe{.location = 4, .method = 3, .swc = 0.25, .sorw = 0.2, .sorg = 0.15};
    for (TwoPhaseSystem system : allSystems) {
        SCOPED_TRACE(dataFileName(system));
        const std::string text = dataSetImportText(shownOf(system, recipe));
        EXPECT_EQ(imported(system, text), encodeRecord(system, makeSet(recipe)));
        EXPECT_NE(text.find("# Title: Well 7\r\n"), std::string::npos);
        EXPECT_NE(text.find("# Data as Input: "), std::string::npos);
        EXPECT_EQ(text.find("# Adjusted Data"), std::string::npos);
    }
    // Water-oil: Sw = .25 + .55 x normSat; the grid's columns Sw, krow, krw.
    const std::string wo = dataSetImportText(
        shownOf(TwoPhaseSystem::WaterOil, recipe, {.swc = 0.2, .sor = 0.3, .sgc = {}}, true));
    EXPECT_NE(wo.find("# Data as Input: Sw,krow,krw\r\n# .25,1,0\r\n# .525,.3,.1\r\n# .8,0,.4\r\n"),
              std::string::npos)
        << wo;
    EXPECT_NE(wo.find("# Adjusted Data (Swc 20%, Sorw 30%): Sw,krow,krw\r\n# .2,1,0\r\n# .45,.3,"
                      ".1\r\n# .7,0,.4\r\n"),
              std::string::npos)
        << wo;
}

std::string tablesOf(const ShownDataSet& shown, bool adjusted, SimulatorOptions options) {
    auto out = dataSetSimulatorTables(shown, adjusted, "pellam", options);
    if (const auto* r = std::get_if<Refusal>(&out)) {
        ADD_FAILURE() << r->message;
        return {};
    }
    return std::get<std::string>(out);
}

TEST(ExportSimulatorTables, GiveTheKeywordsOfTheSystemFromItsFirstSaturationToItsLast) {
    const SetRecipe recipe{.swc = 0.2, .sorw = 0.3, .sorg = 0.25, .sgc = 0.05};
    const ShownDataSet wo = shownOf(TwoPhaseSystem::WaterOil, recipe);
    const std::string swof = tablesOf(wo, false, {.keywords = {Keyword::SWOF}});
    EXPECT_NE(swof.find("-- Measured data set: Water-Oil Data, data set # 7\n"), std::string::npos);
    EXPECT_NE(swof.find("-- Title: Well 7\n"), std::string::npos);
    EXPECT_NE(swof.find("--   Swc =20.%"), std::string::npos) << "the description of the set";
    EXPECT_NE(swof.find("SWOF\n-- Sw                  krw                 krow                "
                        "Pcow\n   .2                  0                   1                   0\n"
                        "   .45                 .1                  .3                  0\n"
                        "   .7                  .4                  0                   0\n"
                        "   1                   1                   0                   0\n/\n"),
              std::string::npos)
        << swof;

    // Gas-oil: Sg from Sgc; a first row at Sg = 0 with the gas still, up to 1 - Swc.
    const std::string sgof =
        tablesOf(shownOf(TwoPhaseSystem::GasOil, recipe), false, {.keywords = {Keyword::SGOF}});
    EXPECT_NE(sgof.find("-- A first row is added at Sg 0, below the first point (.05): krg 0, the "
                        "other kr as at that point.\n"),
              std::string::npos)
        << sgof;
    EXPECT_NE(sgof.find("SGOF\n-- Sg                  krg                 krog                "
                        "Pcog\n   0                   0                   1                   0\n"
                        "   .05                 0                   1                   0\n"),
              std::string::npos)
        << sgof;
    EXPECT_NE(sgof.find("   .8                  1                   0                   0\n/"),
              std::string::npos);

    // Adjusted: the user's end points take the data set's place.
    const ShownDataSet adjusted =
        shownOf(TwoPhaseSystem::WaterOil, recipe, {.swc = 0.1, .sor = 0.2, .sgc = {}}, true);
    const std::string moved = tablesOf(adjusted, true, {.keywords = {Keyword::SWOF}});
    EXPECT_NE(moved.find("-- Adjusted to Swc 10%, Sorw 20%.\n"), std::string::npos);
    EXPECT_NE(moved.find("\n   .1                  0                   1"), std::string::npos);

    const std::string gasWater = tablesOf(shownOf(TwoPhaseSystem::GasWater, recipe), false,
                                          {.keywords = measuredKeywords(TwoPhaseSystem::GasWater)});
    EXPECT_NE(gasWater.find("\nSWFN\n"), std::string::npos);
    EXPECT_NE(gasWater.find("\nSGFN\n"), std::string::npos);
}

TEST(ExportSimulatorTables, RefuseWhatDoesNotFitAndRepairOnRequest) {
    const ShownDataSet go = shownOf(TwoPhaseSystem::GasOil, SetRecipe{});
    auto wrong = dataSetSimulatorTables(go, false, "relperm", {.keywords = {Keyword::SWOF}});
    ASSERT_TRUE(std::holds_alternative<Refusal>(wrong));
    EXPECT_EQ(std::get<Refusal>(wrong).message, "SWOF does not fit Gas-Oil Data; it takes SGOF.");

    // A measured krw that does not start at 0 and a krow that rises: refused, then repaired.
    const ShownDataSet rough =
        shownOf(TwoPhaseSystem::WaterOil,
                SetRecipe{.points = {{0, 0.02, 0.9}, {0.5, 0.1, 0.95}, {1, 0.4, 0}}});
    auto refused = dataSetSimulatorTables(rough, false, "relperm", {.keywords = {Keyword::SWOF}});
    ASSERT_TRUE(std::holds_alternative<Refusal>(refused));
    EXPECT_NE(std::get<Refusal>(refused).message.find("krow must not rise"), std::string::npos);
    const std::string repaired =
        tablesOf(rough, false, {.keywords = {Keyword::SWOF}, .repair = true});
    EXPECT_NE(repaired.find("SWOF row 1 (Sw .2): krw .02 is set to 0"), std::string::npos)
        << repaired;
    EXPECT_NE(repaired.find("SWOF row 2 (Sw .45): krow .95 is set to .9"), std::string::npos);

    const ShownDataSet none = shownOf(TwoPhaseSystem::WaterOil, SetRecipe{.points = {}});
    EXPECT_TRUE(std::holds_alternative<Refusal>(
        dataSetSimulatorTables(none, false, "relperm", {.keywords = {Keyword::SWOF}})));
}

TEST(ExportSimulatorTables, APointListWithFallingSaturationGivesTheSameTableAsRising) {
    const SetRecipe rising{
        .points = {{-0.05, 0, 1}, {0.3, 0.05, 0.4}, {0.7, 0.3, 0.05}, {1, 0.6, 0}}};
    SetRecipe falling = rising;
    std::reverse(falling.points.begin(), falling.points.end());
    const std::string upward = tablesOf(shownOf(GO, rising), false, {.keywords = {Keyword::SGOF}});
    EXPECT_EQ(tablesOf(shownOf(GO, falling), false, {.keywords = {Keyword::SGOF}}), upward);
    EXPECT_NE(upward.find("\n   .2                  .05                 .4 "), std::string::npos)
        << upward;
    // What the browser shows and exports as the data as input stays as measured.
    EXPECT_NE(dataSetImportText(shownOf(GO, falling))
                  .find("# Data as Input: Sg,krog,krg\r\n# .55,0,.6\r\n# .4,.05,.3"),
              std::string::npos);
    // The adjusted points as well, each adjusted in the order measured, then written rising.
    const UserEndPoints user{.swc = 0.15, .sor = 0.2, .sgc = 0.1};
    EXPECT_NE(tablesOf(shownOf(GO, falling, user, true), true, {.keywords = {Keyword::SGOF}})
                  .find("Adjusted to Swc 15%, Sorg 20%, Sgc 10%."),
              std::string::npos);
}

TEST(ExportSimulatorTables, APointJustBeyondItsBoundStandsOnItAndOneFurtherOutIsRefused) {
    // Sgc .05 over a range of .5: Sg norm -.10004 is Sg -2E-05, the point measured at no gas.
    const SetRecipe nearZero{.swc = 0.2,
                             .sorg = 0.25,
                             .sgc = 0.05,
                             .points = {{1, 0.6, 0}, {0.4, 0.1, 0.3}, {-0.10004, 0, 1}}};
    const std::string text = tablesOf(shownOf(GO, nearZero), false, {.keywords = {Keyword::SGOF}});
    EXPECT_NE(
        text.find("-- The point at Sg -1.99999999999992E-05 is written at 0, the bound it lies "
                  "beyond by less than .0001 of saturation.\n"),
        std::string::npos)
        << text;
    EXPECT_EQ(text.find("No value was changed"), std::string::npos);
    EXPECT_NE(text.find("SGOF\n-- Sg                  krg                 krog                "
                        "Pcog\n   0                   0                   1                   0\n"
                        "   .25 "),
              std::string::npos)
        << "the point is the table's first row, with no row added before it:\n"
        << text;

    SetRecipe further = nearZero;
    further.points[2][0] = -0.11; // Sg -.005
    auto refused = dataSetSimulatorTables(shownOf(GO, further), false, "relperm",
                                          {.keywords = {Keyword::SGOF}});
    ASSERT_TRUE(std::holds_alternative<Refusal>(refused));
    EXPECT_NE(std::get<Refusal>(refused).message.find("Sg must lie between 0 and 1"),
              std::string::npos);
}

TEST(ExportSimulatorTables, ASetWithAValueNoComputationCanTakeIsRefusedByTheField) {
    SetRecipe broken;
    broken.swc = std::numeric_limits<double>::quiet_NaN();
    auto refused = dataSetSimulatorTables(shownOf(WO, broken), false, "relperm",
                                          {.keywords = {Keyword::SWOF}, .repair = true});
    ASSERT_TRUE(std::holds_alternative<Refusal>(refused));
    EXPECT_EQ(std::get<Refusal>(refused).message,
              "The data set cannot be used: its Swc is not a number (NaN).");
}

// Every set of the demo database, as a laboratory lists it (the gas-oil sets with Sg
// falling), is written without a repair, with a row for each of its points.
TEST(ExportSimulatorTables, EverySetOfTheDemoDatabaseIsWrittenWithEveryPoint) {
    const auto cell = [](double v) {
        const std::string text = formatGeneral(v);
        return text + std::string(20 - text.size(), ' ');
    };
    for (TwoPhaseSystem system : allSystems) {
        RecordFile file(RELPERM_DEMO_DIR, system);
        MeasuredDataSet set;
        int sets = 0;
        while (!file.AtEnd() && file.ReadRecord(set) == ReadOutcome::Stored && set.pointCount > 0) {
            ++sets;
            SCOPED_TRACE(std::string(dataFileName(system)) + " set " + std::to_string(sets));
            const std::string text = tablesOf(ShownDataSet{system, set, {}, false, sets, ""}, false,
                                              {.keywords = measuredKeywords(system)});
            // Each point's kr values in the columns of the last keyword: krw krow (SWOF), krg
            // and the liquid's kr (SGOF), or krg alone (SGFN).
            const std::string last = text.substr(text.rfind("\nS"));
            int rows = 0;
            for (std::size_t at = last.find("\n   "); at != std::string::npos;
                 at = last.find("\n   ", at + 1))
                ++rows;
            EXPECT_GE(rows, set.pointCount) << text;
            for (int i = 1; i <= set.pointCount; ++i) {
                const auto at = static_cast<std::size_t>(i);
                const std::string kr = system == GW ? cell(set.krAxis[at]) + "0\n"
                                                    : cell(set.krAxis[at]) + cell(set.krOther[at]);
                EXPECT_NE(last.find(kr), std::string::npos) << "point " << i << ":\n" << text;
            }
            EXPECT_EQ(text.find("Repaired"), std::string::npos) << text;
        }
        EXPECT_GE(sets, 10);
    }
}

// What the command line writes: the shown set, imported again, shows as it did (all but
// its number, now 1 in a file of its own), with and without typed end points.
TEST_F(Export, DbShowAsCsvImportsBackToTheSameDisplay) {
    const std::string demo = RELPERM_DEMO_DIR;
    for (const auto& [system, adjust] :
         {std::pair{"Water-Oil Data", std::vector<std::string>{"--swc", "20", "--sor", "25"}},
          std::pair{"Gas-Oil Data", std::vector<std::string>{}},
          std::pair{"Gas-Water Data", std::vector<std::string>{"--swc", "15", "--sgc", "5"}},
          std::pair{"Gas-Condensate Data", std::vector<std::string>{}}}) {
        SCOPED_TRACE(system);
        auto show = [&](const std::string& folder, const std::string& match,
                        std::vector<std::string> more) {
            std::vector<std::string> args{"db",       "show", "--dir",   folder,
                                          "--system", system, "--match", match};
            args.insert(args.end(), adjust.begin(), adjust.end());
            args.insert(args.end(), more.begin(), more.end());
            return relperm::testing::relperm(args);
        };
        const auto csv = show(demo, "2", {"--format", "csv"});
        ASSERT_EQ(csv.status, 0) << csv.err;
        writeBytes(dir / "set.csv", csv.out);
        const auto built =
            relperm::testing::relperm({"db", "import", "--system", system, "--out",
                                       (dir / dataFileName(*systemFromListText(system))).string(),
                                       (dir / "set.csv").string()});
        ASSERT_EQ(built.status, 0) << built.err;
        const std::string before = show(demo, "2", {}).out;
        const std::string after = show(dir.string(), "1", {}).out;
        EXPECT_EQ(before.substr(0, 13), "Data Set # 2\n");
        EXPECT_EQ(after.substr(0, 13), "Data Set # 1\n");
        EXPECT_EQ(after.substr(13), before.substr(13));
    }
    const auto past =
        relperm::testing::relperm({"db", "show", "--dir", demo, "--system", "Gas-Water Data",
                                   "--match", "99", "--format", "swfn"});
    EXPECT_EQ(past.status, 3);
    EXPECT_EQ(past.out, "");
    EXPECT_NE(past.err.find("nothing to write"), std::string::npos) << past.err;
    const auto wrong =
        relperm::testing::relperm({"db", "show", "--dir", demo, "--system", "Gas-Oil Data",
                                   "--match", "1", "--format", "swof"});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_EQ(wrong.err, "relperm db: SWOF does not fit Gas-Oil Data; it takes SGOF.\n");
}

// The folder the browser starts in: named, else remembered while it holds data, else the
// working folder with data, else the demo database, else the working folder; only a folder
// with data is kept, and a remembered one without is let go.
TEST_F(Export, StartFolderFollowsTheUsersChoiceThenTheDataItFinds) {
    const auto working = dir / "work", demo = dir / "demo", chosen = dir / "chosen";
    for (const auto& f : {working, demo, chosen})
        std::filesystem::create_directory(f);
    writeDataFile(demo, GO, recordsOf(GO, {SetRecipe{}}));
    StartFolders folders{std::nullopt, std::nullopt, working, {dir / "none", demo}};
    StartChoice start = startFolder(folders);
    EXPECT_EQ(start.folder, demo) << "no data where it was started";
    EXPECT_EQ(start.demo, demo);
    EXPECT_FALSE(start.remember || start.forgotten);

    for (const auto& gone : {chosen, dir / "gone"}) {
        folders.remembered = gone;
        start = startFolder(folders);
        EXPECT_EQ(start.folder, demo) << gone << " holds no data: the demo is shown";
        EXPECT_EQ(start.forgotten, gone);
    }
    writeDataFile(chosen, WO, recordsOf(WO, {SetRecipe{}}));
    folders.remembered = chosen;
    start = startFolder(folders);
    EXPECT_EQ(start.folder, chosen);
    EXPECT_FALSE(start.remember || start.forgotten) << "kept as it was";

    writeDataFile(working, GC, recordsOf(GC, {SetRecipe{}}));
    folders.remembered = dir / "gone";
    start = startFolder(folders);
    EXPECT_EQ(start.folder, working) << "data where it was started come before the demo";
    EXPECT_EQ(start.forgotten, dir / "gone");

    for (const auto& [named, kept] :
         {std::pair{dir / "named", false}, {dir / "none", false}, {chosen, true}}) {
        std::filesystem::create_directory(dir / "named");
        folders.named = named;
        start = startFolder(folders);
        EXPECT_EQ(start.folder, named);
        EXPECT_EQ(start.remember, kept) << named;
        EXPECT_FALSE(start.forgotten) << "the remembered folder is not looked at";
    }
    std::filesystem::remove(working / "CGBIN");
    EXPECT_FALSE(holdsDataFiles(working));
    EXPECT_TRUE(holdsDataFiles(demo));
}

} // namespace
} // namespace relperm
