#include "cli/commands.h"
#include "support/run_relperm.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace relperm::cli {
namespace {

namespace fs = std::filesystem;

using relperm::testing::Outcome;
using relperm::testing::relperm;

using relperm::testing::with;

const std::vector<std::string>& workedExample = relperm::testing::coreyWorkedExample;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

using TempDir = relperm::testing::TempDirTest;

TEST(GenerateGrid, PrintsBothGridsAsTheWindowShowsThem) {
    Outcome r = relperm(with(workedExample, {"--format", "grid"}));
    ASSERT_EQ(r.status, exitOk) << r.err;
    auto l = lines(r.out);
    ASSERT_EQ(l.size(), 1u + 12 + 1 + 1 + 15);
    EXPECT_EQ(l[0], "Sw\tkrow\tkrw");
    EXPECT_EQ(l[1], ".2\t1.0\t.0");
    EXPECT_EQ(l[2], ".25\t.77248\t.00007");
    EXPECT_EQ(l[12], ".75\t.0\t1.0");
    EXPECT_EQ(l[13], "");
    EXPECT_EQ(l[14], "Sg\tkrog\tkrg");
    EXPECT_EQ(l[15], ".0\t1.0\t.0");
    EXPECT_EQ(l[29], ".7\t.00004\t1.0");
}

TEST(GenerateExport, WritesTheExportBytes) {
    Outcome r = relperm(workedExample);
    ASSERT_EQ(r.status, exitOk) << r.err;
    EXPECT_EQ(r.out.rfind("\"Sw  krw  krow\",12\r\n.2,0,1\r\n", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("\r\n\"Sl krog krg\",15\r\n.3,"), std::string::npos);
    EXPECT_EQ(r.out.substr(r.out.size() - 9), "\r\n1,1,0\r\n");
}

TEST(GenerateLists, ATextThatIsNoEntryIsTypedAndNotPicked) {
    // Without a picked fluid system the box still reads "Select Fluids", so Sorw and Sorg
    // count as 0 and the water column runs to 1.
    Outcome r = relperm(
        {"generate", "--correlation", "Corey", "--swc", "20", "--sorw", "25", "--format", "grid"});
    ASSERT_EQ(r.status, exitOk) << r.err;
    auto l = lines(r.out);
    EXPECT_EQ(l[0], "Sw\tkrow\tkrw");
    EXPECT_NE(std::find(l.begin(), l.end(), "1.\t.0\t1.0"), l.end()) << r.out;
}

TEST(GenerateLists, EveryProcedureRunsFromTheCommandLine) {
    // Sw .45 (grid line 7) and Sg .35 (line 8 of the gas grid), by hand from the equations.
    struct Case {
        std::vector<std::string> lists;
        const char* waterOilRow;
        const char* gasRow;
    };
    const std::vector<std::string> values = {
        "--porosity", "20", "--permeability", "100", "--krg-sorg", ".8", "--swc",    "20",
        "--sorw",     "25", "--sorg",         "10",  "--sgc",      "5",  "--format", "grid"};
    const std::string wog = "Water-Oil-Gas";
    for (const Case& c :
         {Case{{"--fluids", wog, "--correlation", "Corey"},
               ".45\t.2234\t.04269",
               ".35\t.04538\t.15126"},
          Case{{"--fluids", wog, "--correlation", "Wyllie", "--formation", "Sandstone"},
               ".45\t.16228\t.09391",
               ".35\t.125\t.09832"},
          Case{{"--fluids", wog, "--correlation", "Honarpour/Varnholt/Harvey", "--wettability",
                "Water Wet", "--formation", "Carbonate"},
               ".45\t.15024\t.01456",
               ".35\t.02317\t.22187"},
          Case{{"--fluids", wog, "--correlation", "Mohamad Ibrahim/Varnholt", "--wettability",
                "Intermediate (Mixed)", "--formation", "Sandstone"},
               ".45\t.18463\t.08569",
               ".35\t.09152\t.16811"},
          Case{{"--fluids", wog, "--correlation", "Rose"},
               ".45\t.00874\t.06506",
               ".35\t.18903\t.35252"},
          Case{{"--fluids", "Water-Gas"}, nullptr, ".35\t.17213\t.18377"},
          Case{{"--fluids", "Gas-Condensate"}, nullptr, ".35\t.20993\t.20412"}}) {
        std::vector<std::string> args = {"generate"};
        args.insert(args.end(), c.lists.begin(), c.lists.end());
        args.insert(args.end(), values.begin(), values.end());
        Outcome r = relperm(args);
        ASSERT_EQ(r.status, exitOk) << c.lists[1] << ": " << r.err;
        auto l = lines(r.out);
        if (c.waterOilRow) {
            EXPECT_EQ(l[6], c.waterOilRow) << c.lists.back();
        }
        const std::size_t gasStart =
            static_cast<std::size_t>(std::find(l.begin(), l.end(), "") - l.begin()) + 1;
        EXPECT_EQ(l[gasStart + 8], c.gasRow) << c.lists.back();
    }
}

TEST(GenerateLists, WithoutACorrelationWaterOilGasIsRefused) {
    Outcome r = relperm({"generate", "--fluids", "Water-Oil-Gas", "--swc", "20"});
    EXPECT_EQ(r.status, exitRefused);
    EXPECT_NE(r.err.find("\"Select Correlation\""), std::string::npos) << r.err;
}

TEST_F(TempDir, RefusalsExitTwoWithOneLineAndWriteNoFile) {
    const fs::path out = dir / "tables.txt";
    for (auto [flag, value, named] :
         {std::tuple{"--spacing", "0", "Saturation Spacing"},
          std::tuple{"--spacing", "0.5", "Saturation Spacing"},
          std::tuple{"--sorw", "80", "Swc + Sorw"}, std::tuple{"--sgc", "100", "Sgc"},
          std::tuple{"--sgc", "70", "Swc + Sorg + Sgc"}}) {
        Outcome r = relperm(with(workedExample, {flag, value, "--out", out.string()}));
        EXPECT_EQ(r.status, exitRefused) << flag << " " << value;
        EXPECT_EQ(lines(r.err).size(), 1u) << r.err;
        EXPECT_NE(r.err.find(named), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(out)) << flag << " " << value;
    }
}

TEST_F(TempDir, OutWritesTheFileAndNothingToStandardOutput) {
    const fs::path out = dir / "tables.txt";
    Outcome r = relperm(with(workedExample, {"--out", out.string()}));
    ASSERT_EQ(r.status, exitOk) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(readFile(out), relperm(workedExample).out);
}

TEST_F(TempDir, AnUnwritableOutFileExitsOne) {
    Outcome r = relperm(with(workedExample, {"--out", (dir / "no" / "such" / "t.txt").string()}));
    EXPECT_EQ(r.status, exitFileError);
    EXPECT_NE(r.err.find("no/such/t.txt"), std::string::npos) << r.err;
}

// The line the calculator's Save As writes for a Honarpour run generated in the window.
const std::string honarpourRun = "\"Well 7, core 3, plug A\",0,1,1,1,18,20,25,10,5,.8,250\r\n";

TEST_F(TempDir, RunFileInRunFileOutReproducesTheWindowsSaveAs) {
    std::ofstream(dir / "run.txt", std::ios::binary) << honarpourRun;
    Outcome r = relperm({"generate", "--run", (dir / "run.txt").string(), "--format", "run"});
    ASSERT_EQ(r.status, exitOk) << r.err;
    EXPECT_EQ(r.out, honarpourRun);
    // The grids are those of the opened run: Honarpour, oil-wet, carbonate.
    Outcome grid = relperm({"generate", "--run", (dir / "run.txt").string(), "--format", "grid"});
    EXPECT_EQ(lines(grid.out)[6], ".45\t.15024\t.10051") << grid.out;
}

TEST_F(TempDir, OptionsAfterARunFileChangeWhatItHolds) {
    std::ofstream(dir / "run.txt", std::ios::binary) << honarpourRun;
    Outcome r = relperm({"generate", "--run", (dir / "run.txt").string(), "--swc", "22",
                         "--wettability", "Water Wet", "--title", "changed", "--format", "run"});
    ASSERT_EQ(r.status, exitOk) << r.err;
    EXPECT_EQ(r.out, "\"changed\",0,1,0,1,18,22,25,10,5,.8,250\r\n");
}

TEST_F(TempDir, AnUnreadableRunFileExitsOneAndAMalformedOneTwo) {
    Outcome missing = relperm({"generate", "--run", (dir / "none.txt").string()});
    EXPECT_EQ(missing.status, exitFileError);
    EXPECT_NE(missing.err.find("none.txt"), std::string::npos) << missing.err;
    std::ofstream(dir / "bad.txt", std::ios::binary) << "\"t\",0,9,-1,-1,0,0,0,0,0,,\r\n";
    Outcome bad = relperm({"generate", "--run", (dir / "bad.txt").string()});
    EXPECT_EQ(bad.status, exitRefused);
    EXPECT_NE(bad.err.find("field 3 (the correlation) is 9"), std::string::npos) << bad.err;
}

TEST(GenerateSimulator, WritesOneKeywordOrAllThatFitAndRepairsOnRequest) {
    Outcome swof = relperm(with(workedExample, {"--correlation", "Wyllie", "--formation",
                                                "Sandstone", "--format", "swof"}));
    ASSERT_EQ(swof.status, exitOk) << swof.err;
    EXPECT_NE(swof.out.find("\nSWOF\n"), std::string::npos);
    EXPECT_EQ(swof.out.find("SGOF"), std::string::npos);

    Outcome refused = relperm(with(workedExample, {"--format", "simulator"}));
    EXPECT_EQ(refused.status, exitRefused);
    EXPECT_NE(refused.err.find("krog must not rise as Sg increases; SGOF row 15"),
              std::string::npos)
        << refused.err;
    Outcome repaired = relperm(with(workedExample, {"--format", "simulator", "--repair"}));
    ASSERT_EQ(repaired.status, exitOk) << repaired.err;
    EXPECT_NE(repaired.out.find("-- Repaired, so the simulator accepts the tables:"),
              std::string::npos);

    Outcome misfit = relperm({"generate", "--fluids", "Water-Gas", "--swc", "20", "--permeability",
                              "100", "--format", "sgof"});
    EXPECT_EQ(misfit.status, exitRefused);
    EXPECT_NE(misfit.err.find("SGOF does not fit the Water-Gas system"), std::string::npos)
        << misfit.err;
}

TEST(GenerateSimulator, ATitleCannotBecomeDeckInput) {
    Outcome r = relperm(
        with(workedExample, {"--correlation", "Wyllie", "--formation", "Sandstone", "--title",
                             "Well 7\nSWOF\n.2 0 1 0\n/\nEND", "--format", "simulator"}));
    ASSERT_EQ(r.status, exitOk) << r.err;
    const auto l = lines(r.out);
    EXPECT_EQ(std::count(l.begin(), l.end(), "SWOF"), 1);
    EXPECT_EQ(std::count(l.begin(), l.end(), "END"), 0);
    EXPECT_EQ(l[1], "-- Title: Well 7 SWOF .2 0 1 0 / END");
}

TEST(GenerateSimulator, EndRowValuesAreFractionsForTheSimulatorFormatsOnly) {
    const std::vector<std::string> honarpour =
        with(workedExample, {"--correlation", "Honarpour/Varnholt/Harvey", "--wettability",
                             "Water Wet", "--formation", "Sandstone", "--porosity", "20",
                             "--krg-sorg", ".8", "--format", "swof"});
    Outcome r = relperm(with(honarpour, {"--krw-max", ".4"}));
    ASSERT_EQ(r.status, exitOk) << r.err;
    EXPECT_NE(r.out.find("\n   1                   .4                  0                   0\n/"),
              std::string::npos)
        << r.out;
    Outcome below = relperm(with(honarpour, {"--krw-max", ".1"}));
    EXPECT_EQ(below.status, exitRefused);
    EXPECT_EQ(below.err.rfind("relperm generate: --krw-max: krw at Sw = 1 ", 0), 0u) << below.err;
    Outcome above = relperm(with(honarpour, {"--krg-max", "1.2"}));
    EXPECT_EQ(above.err,
              "relperm generate: --krg-max must be a fraction from 0 to 1, not \"1.2\"\n");
    Outcome grid = relperm(with(workedExample, {"--krw-max", ".5", "--format", "grid"}));
    EXPECT_EQ(grid.status, exitRefused);
    EXPECT_EQ(grid.err, "relperm generate: --krw-max applies to the simulator formats only\n");
}

TEST(GenerateOptions, BadOptionsAreRefusedWithTheirName) {
    Outcome unknown = relperm({"generate", "--colour", "red"});
    EXPECT_EQ(unknown.status, exitRefused);
    EXPECT_NE(unknown.err.find("--colour"), std::string::npos);
    Outcome missing = relperm({"generate", "--swc"});
    EXPECT_EQ(missing.status, exitRefused);
    EXPECT_NE(missing.err.find("--swc needs a value"), std::string::npos);
    Outcome format = relperm(with(workedExample, {"--format", "xml"}));
    EXPECT_EQ(format.status, exitRefused);
    EXPECT_NE(format.err.find("\"xml\""), std::string::npos);
    Outcome command = relperm({"tabulate"});
    EXPECT_EQ(command.status, exitRefused);
}

TEST(GenerateOptions, ValuesMayStartWithAHyphenOrFollowAnEqualsSign) {
    Outcome r = relperm({"generate", "--fluids", "Water-Oil-Gas", "--correlation", "Corey", "--swc",
                         "20", "--sorw", "25", "--sorg=-10", "--sgc", "5"});
    EXPECT_EQ(r.status, exitRefused);
    EXPECT_NE(r.err.find("Sorg must be 0% or more (it is -10%)"), std::string::npos) << r.err;
}

TEST(GenerateOptions, HelpDescribesTheFlags) {
    Outcome r = relperm({"generate", "--help"});
    EXPECT_EQ(r.status, exitOk);
    EXPECT_NE(r.out.find("--krg-sorg"), std::string::npos);
    EXPECT_NE(r.out.find("Exit status"), std::string::npos);
}

// The installed program, as a script would call it.
TEST(RelpermProgram, ExitStatusAndOutputReachTheShell) {
    std::string command = std::string(RELPERM_BINARY) +
                          " generate --fluids Water-Oil-Gas --correlation Corey --swc 20 "
                          "--sorw 25 --sorg 10 --sgc 5 --format grid 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buf[4096];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, pipe))
        out.append(buf, n);
    int status = ::pclose(pipe);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(out.find(".25\t.77248\t.00007\n"), std::string::npos) << out;

    status =
        std::system((std::string(RELPERM_BINARY) + " generate --spacing 0 2>/dev/null").c_str());
    EXPECT_EQ(WEXITSTATUS(status), 2);
}

} // namespace
} // namespace relperm::cli
