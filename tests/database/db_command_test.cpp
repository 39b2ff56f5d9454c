#include "cli/commands.h"
#include "database/browser.h"
#include "records.h"
#include "support/run_relperm.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>

namespace relperm::cli {
namespace {

using namespace relperm::testing;

using relperm::testing::Outcome;
using relperm::testing::relperm;

class Db : public TempDirTest {
  protected:
    Outcome db(std::vector<std::string> args) {
        args.insert(args.begin(), "db");
        args.insert(args.begin() + 2, {"--dir", dir.string()});
        return relperm(args);
    }
};

TEST_F(Db, CountPrintsTheNumberAlone) {
    writeDataFile(dir, WO,
                  recordsOf(WO, {SetRecipe{.location = 1, .method = 4}, SetRecipe{.location = 2},
                                 SetRecipe{.location = 1, .method = 1, .swc = 0.3}}));
    Outcome all = db({"count", "--system", "Water-Oil Data"});
    EXPECT_EQ(all.status, exitOk) << all.err;
    EXPECT_EQ(all.out, "3\n");
    EXPECT_EQ(db({"count", "--system", "Water-Oil Data", "--location", "1", "--method", "2"}).out,
              "1\n");
    EXPECT_EQ(db({"count", "--system", "Water-Oil Data", "--search-percent", "--swc", "29",
                  "--tolerance", "1"})
                  .out,
              "1\n");
    EXPECT_EQ(db({"count", "--system", "Gas-Oil Data"}).out, "0\n") << "no gas-oil file";
}

TEST_F(Db, ShowPrintsCaptionGridsAndDescription) {
    writeDataFile(dir, WO, recordsOf(WO, {SetRecipe{.location = 4, .lithology = 2}}));
    Outcome r = db({"show", "--system", "Water-Oil Data", "--match", "1"});
    ASSERT_EQ(r.status, exitOk) << r.err;
    EXPECT_EQ(r.out, "Data Set # 1\n"
                     "\n"
                     "Data as Input\n"
                     "Sw\tkrow\tkrw\n"
                     ".2\t1.0\t.0\n"
                     ".45\t.3\t.1\n"
                     ".7\t.0\t.4\n"
                     "\n"
                     "Swc =20.%        Water-Wet\n"
                     "Sorw =30.%       Limestone\n"
                     "k =100. md.      Asia\n"
                     "Porosity =20.%    \n"
                     "Depth =5000 ft. ss\n"
                     "       Steady State\n");
}

TEST_F(Db, ShowWithEndPointsAddsTheAdjustedTable) {
    writeDataFile(dir, GW, recordsOf(GW, {SetRecipe{}}));
    Outcome r =
        db({"show", "--system", "Gas-Water Data", "--match", "1", "--sgc", "10", "--swc", "20"});
    ASSERT_EQ(r.status, exitOk) << r.err;
    // The boxes are typed Swc first, so the Sgc default does not swallow the typed Sgc. The
    // first row moves to zero gas with krw extrapolated: 0.3 + 0.7 x 0.45 / 0.35 = 1.2.
    EXPECT_NE(
        r.out.find("\n\nAdjusted Data\nSg\tkrw\tkrg\n.0\t1.2\t.0\n.45\t.3\t.1\n.8\t.0\t.4\n\n"),
        std::string::npos)
        << r.out;
}

// A script steps through the matches until show says it has run past them.
TEST_F(Db, ShowPastTheLastMatchPrintsTheEmptyDataSetAndSaysSo) {
    writeDataFile(dir, WO, recordsOf(WO, {SetRecipe{}, SetRecipe{}}));
    EXPECT_EQ(db({"show", "--system", "Water-Oil Data", "--match", "2"}).status, exitOk);
    Outcome r = db({"show", "--system", "Water-Oil Data", "--match", "5"});
    EXPECT_EQ(r.status, exitPastLastMatch);
    EXPECT_EQ(r.out.substr(0, r.out.find("\n\nSwc")),
              "Data Set # 2\n\nData as Input\nSw\tkrow\tkrw");
    EXPECT_EQ(r.err, "relperm db: match 5 is past the last of the 2 matching data sets\n");
}

TEST_F(Db, ShowOfAnEmptyFilePrintsNothingAndSaysNoSetMatches) {
    writeDataFile(dir, GW, "");
    Outcome r = db({"show", "--system", "Gas-Water Data", "--match", "1"});
    EXPECT_EQ(r.status, exitPastLastMatch);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "relperm db: no data set matches\n");
}

TEST_F(Db, DamagedRecordsAreCountedAsTheEndAndReported) {
    writeDataFile(dir, WO, recordsOf(WO, {SetRecipe{}}) + Bytes().raw16(77).data);
    Outcome r = db({"count", "--system", "Water-Oil Data"});
    EXPECT_EQ(r.status, exitFileError);
    EXPECT_EQ(r.out, "1\n");
    EXPECT_NE(r.err.find("OWBIN, record 2: the point count 77"), std::string::npos) << r.err;
}

TEST_F(Db, AFileEndingWithABareEndMarkerIsWellFormed) {
    writeDataFile(dir, GO, recordsOf(GO, {SetRecipe{}, SetRecipe{}}) + Bytes().raw16(0).data);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"count", "--system", "Gas-Oil Data"},
          {"show", "--system", "Gas-Oil Data", "--match", "2"},
          {"dump", "--system", "Gas-Oil Data"}}) {
        Outcome r = db(args);
        EXPECT_EQ(r.status, exitOk) << args[0];
        EXPECT_EQ(r.err, "") << args[0];
    }
    EXPECT_EQ(db({"count", "--system", "Gas-Oil Data"}).out, "2\n");
}

// A pipe put in place of a data file is never read, so nothing waits on it.
TEST_F(Db, APipeInPlaceOfTheFileIsReportedAtOnce) {
    ASSERT_EQ(::mkfifo((dir / "OWBIN").c_str(), 0600), 0);
    Outcome r = db({"count", "--system", "Water-Oil Data"});
    EXPECT_EQ(r.status, exitFileError);
    EXPECT_EQ(r.out, "0\n");
    EXPECT_NE(r.err.find("OWBIN: this is not a regular file"), std::string::npos) << r.err;
}

TEST_F(Db, RefusesWhatTheWindowCouldNotBeToldToDo) {
    auto refused = [&](std::vector<std::string> args, const char* message) {
        Outcome r = db(args);
        EXPECT_EQ(r.status, exitRefused) << message;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    };
    refused({"count"}, "--system is needed");
    refused({"count", "--system", "Oil"}, "--system must be");
    refused({"count", "--system", "Water-Oil Data", "--location", "7"},
            "--location must be a list index from 0 to 6, not \"7\"");
    refused({"count", "--system", "Water-Oil Data", "--method", "x"}, "--method must be");
    refused({"count", "--system", "Gas-Oil Data", "--wettability", "1"},
            "--wettability applies to Water-Oil Data only");
    refused({"show", "--system", "Gas-Oil Data", "--match", "0"}, "--match must be");
    refused({"count", "--system", "Gas-Oil Data", "--match", "1"}, "unknown option \"--match\"");
    refused({"frobnicate"}, "unknown subcommand");
}

// The end-point boxes and the tolerance take numbers on the command line, as the generate
// flags do; the window keeps reading the number at the start of a box.
TEST_F(Db, ValuesMustBeWhollyNumbersAndFlagsAppearOnce) {
    writeDataFile(dir, WO, recordsOf(WO, {SetRecipe{.swc = 0.3}}));
    for (auto [flag, text] : {std::pair{"--swc", "3O"}, std::pair{"--sor", ""},
                              std::pair{"--sgc", "abc"}, std::pair{"--tolerance", "5%"}}) {
        Outcome r = db({"count", "--system", "Water-Oil Data", flag, text});
        EXPECT_EQ(r.status, exitRefused) << flag;
        EXPECT_EQ(r.err, std::string("relperm db: count: ") + flag + " must be a number, not \"" +
                             text + "\"\n");
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(db({"count", "--system", "Water-Oil Data", "--search-percent", "--swc", " 30 "}).out,
              "1\n");
    Outcome twice = db({"show", "--system", "Water-Oil Data", "--match", "1", "--match", "2"});
    EXPECT_EQ(twice.status, exitRefused);
    EXPECT_NE(twice.err.find("--match is given twice"), std::string::npos) << twice.err;
    Outcome help = db({"count", "-h"});
    EXPECT_EQ(help.status, exitOk);
    EXPECT_NE(help.out.find("Exit status"), std::string::npos);
    Outcome stdoutOut = db({"count", "--system", "Water-Oil Data", "--out", "-"});
    EXPECT_EQ(stdoutOut.out, "1\n");
    EXPECT_FALSE(std::filesystem::exists("-"));
}

TEST_F(Db, AMissingFolderIsAFileError) {
    Outcome r =
        relperm({"db", "count", "--dir", (dir / "none").string(), "--system", "Water-Oil Data"});
    EXPECT_EQ(r.status, exitFileError);
    EXPECT_NE(r.err.find("none"), std::string::npos);
}

TEST_F(Db, DumpAndImportRoundTripThroughFiles) {
    const std::string bytes = recordsOf(GW, {SetRecipe{.location = 5}, SetRecipe{.k = 12.5}});
    writeDataFile(dir, GW, bytes);
    const std::string csv = (dir / "gw.csv").string();
    ASSERT_EQ(db({"dump", "--system", "Gas-Water Data", "--out", csv}).status, exitOk);
    const std::string built = (dir / "rebuilt").string();
    Outcome r = relperm({"db", "import", "--system", "Gas-Water Data", "--out", built, csv});
    ASSERT_EQ(r.status, exitOk) << r.err;
    EXPECT_EQ(readFile(built), bytes);
}

TEST_F(Db, ImportRefusesABadRowAndWritesNothing) {
    writeBytes(dir / "lab.csv", "set,1,1,1,1,1,.2,1,1,.2,.3\n0,0,1\n.5,x,.3\n");
    const auto target = dir / "OWBIN";
    Outcome r = relperm({"db", "import", "--system", "Water-Oil Data", "--out", target.string(),
                         (dir / "lab.csv").string()});
    EXPECT_EQ(r.status, exitRefused);
    EXPECT_NE(r.err.find("lab.csv, line 3: krw must be"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(target));

    Outcome missing = relperm({"db", "import", "--system", "Water-Oil Data", "--out",
                               target.string(), (dir / "none.csv").string()});
    EXPECT_EQ(missing.status, exitFileError);
    EXPECT_NE(missing.err.find("none.csv"), std::string::npos);
    EXPECT_EQ(
        relperm({"db", "import", "--system", "Water-Oil Data", (dir / "lab.csv").string()}).status,
        exitRefused)
        << "--out is needed";
}

// The demo database that the build makes from data/demo.
class DemoDatabase : public ::testing::Test {
  protected:
    const std::filesystem::path demo = RELPERM_DEMO_DIR;
};

// Every demo set is fitted by both models and written as simulator tables, or refused
// with a reason; none fails silently or crashes the fit.
TEST_F(DemoDatabase, EverySetFitsOrIsRefusedWithAReason) {
    int fitted = 0;
    for (const char* system :
         {"Water-Oil Data", "Gas-Oil Data", "Gas-Water Data", "Gas-Condensate Data"}) {
        const int count =
            std::stoi(relperm({"db", "count", "--dir", demo.string(), "--system", system}).out);
        for (int match = 1; match <= count; ++match)
            for (const char* model : {"corey", "let"}) {
                Outcome r =
                    relperm({"fit", "--dir", demo.string(), "--system", system, "--match",
                             std::to_string(match), "--model", model, "--format", "simulator"});
                SCOPED_TRACE(std::string(system) + " " + std::to_string(match) + " " + model);
                if (r.status == exitOk) {
                    EXPECT_NE(r.out.find("\n/\n"), std::string::npos);
                    ++fitted;
                } else {
                    EXPECT_EQ(r.status, 2);
                    EXPECT_GT(r.err.size(), std::string("relperm fit: ").size()) << r.err;
                }
            }
    }
    EXPECT_EQ(fitted, 2 * (40 + 30 + 12 + 10)) << "the demo sets all have points enough";
}

TEST_F(DemoDatabase, HoldsTheAdvertisedDataSets) {
    for (auto [system, expected] :
         {std::pair{"Water-Oil Data", "40\n"}, std::pair{"Gas-Oil Data", "30\n"},
          std::pair{"Gas-Water Data", "12\n"}, std::pair{"Gas-Condensate Data", "10\n"}}) {
        Outcome r = relperm({"db", "count", "--dir", demo.string(), "--system", system});
        EXPECT_EQ(r.status, exitOk) << r.err;
        EXPECT_EQ(r.out, expected) << system;
    }
    // Every method and location occurs: each list entry selects at least one set.
    for (int method = 1; method <= 2; ++method)
        EXPECT_NE(relperm({"db", "count", "--dir", demo.string(), "--system", "Water-Oil Data",
                           "--method", std::to_string(method)})
                      .out,
                  "0\n");
}

TEST_F(DemoDatabase, GasOilSetsFindTheirWaterOilSample) {
    DatabaseBrowser b(demo);
    b.pick(BrowserList::TwoPhase, 1);
    b.pick(BrowserList::Lithology, 0);
    b.pick(BrowserList::Location, 0);
    b.pick(BrowserList::Method, 0);
    int matched = 0;
    bool capillaryOrCentrifuge = false, kabsDiffers = false;
    for (int set = 1; set <= 30; ++set) {
        b.pick(BrowserList::TwoPhase, 1);
        b.Command2_Click();
        for (int press = 0; press < set; ++press)
            b.Command1_Click();
        const double method = b.dataSet().methodCode.value();
        capillaryOrCentrifuge = capillaryOrCentrifuge || method == 3 || method == 4;
        kabsDiffers = kabsDiffers ||
                      b.dataSet().absPermeabilityMd.value() != b.dataSet().permeabilityMd.value();
        b.Command3_Click();
        if (b.twoPhaseSystem() == WO)
            ++matched;
    }
    EXPECT_EQ(matched, 12);
    EXPECT_TRUE(capillaryOrCentrifuge);
    EXPECT_TRUE(kabsDiffers);
}

} // namespace
} // namespace relperm::cli
