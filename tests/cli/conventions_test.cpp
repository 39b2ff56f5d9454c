// What every relperm command shares, so scripts can rely on it: numbers that are wholly
// numbers, the version, -h and --help at every level, -- ending the options, - as standard
// output, a flag given twice refused, one message prefix per command, and failed writes of
// any output (help included) reported with exit 1.
#include "cli/commands.h"
#include "common/version.h"
#include "support/run_relperm.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace relperm::cli {
namespace {

using relperm::testing::Outcome;
using relperm::testing::relperm;

using relperm::testing::with;

const std::vector<std::string>& corey = relperm::testing::coreyWorkedExample;

Outcome coreyWithSwc(const std::string& swc) {
    return relperm(with(corey, {"--swc", swc}));
}

TEST(CommandLineNumbers, AValueThatIsNotWhollyANumberIsRefusedNamingTheFlag) {
    const std::string longText(60, '7');
    for (const std::string& bad :
         {std::string("2O"), std::string("abc"), std::string(""), std::string("1e400"),
          std::string("nan"), std::string("20%"), std::string("0x14"), longText + "x"}) {
        Outcome r = coreyWithSwc(bad);
        EXPECT_EQ(r.status, exitRefused) << bad;
        EXPECT_EQ(r.out, "") << bad;
        EXPECT_EQ(r.err.rfind("relperm generate: --swc ", 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_LT(r.err.size(), 120u) << "at most 40 characters of the text are quoted";
    }
    EXPECT_NE(coreyWithSwc(longText + "x").err.find("\"" + std::string(40, '7') + "...\""),
              std::string::npos);
    for (const char* good : {"20", " 20 ", "2e1", "+20", "20."})
        EXPECT_EQ(coreyWithSwc(good).status, exitOk) << good;
}

TEST(CommandLineNumbers, EndPointsAllBelowOnePercentGetAWarningAndStillGenerate) {
    Outcome fractions =
        relperm({"generate", "--fluids", "Water-Oil-Gas", "--correlation", "Corey", "--swc", "0.2",
                 "--sorw", "0.25", "--sorg", "0.1", "--sgc", "0.05", "--format", "grid"});
    EXPECT_EQ(fractions.status, exitOk);
    EXPECT_EQ(fractions.err, "relperm generate: warning: saturations are in percent and every end "
                             "point is below 1%: Swc 0.2 means 0.2%; did you mean 20 for 0.2?\n");
    EXPECT_EQ(coreyWithSwc("0.2").err, "") << "Sorw 25 shows the values are percent";
    Outcome gas = relperm({"generate", "--fluids", "Water-Gas", "--swc", ".2", "--sgc", ".05",
                           "--permeability", "100"});
    EXPECT_NE(gas.err.find("Swc .2 means .2%; did you mean 20 for .2?"), std::string::npos)
        << gas.err;
    EXPECT_EQ(relperm({"generate", "--fluids", "Water-Gas", "--permeability", "100"}).err, "")
        << "no end point typed at all";
}

TEST(CommandLineConventions, VersionAndHelpAtEveryLevel) {
    const std::string version = std::string("relperm ") + suiteVersion + "\n";
    EXPECT_EQ(relperm({"--version"}).out, version);
    EXPECT_EQ(relperm({"version"}).out, version);
    for (const std::vector<std::string>& args : {std::vector<std::string>{"-h"},
                                                 {"--help"},
                                                 {"generate", "-h"},
                                                 {"generate", "--help"},
                                                 {"db", "-h"},
                                                 {"db", "show", "-h"},
                                                 {"db", "import", "--help"},
                                                 {"fit", "-h"},
                                                 {"recommend", "-h"}}) {
        Outcome r = relperm(args);
        EXPECT_EQ(r.status, exitOk) << args.back();
        EXPECT_EQ(r.out.rfind("usage: relperm", 0), 0u) << r.out;
        EXPECT_EQ(r.err, "");
    }
}

TEST(CommandLineConventions, OptionsEndAtDoubleHyphenAndAppearOnce) {
    Outcome ended = relperm({"generate", "--", "--swc", "20"});
    EXPECT_EQ(ended.status, exitRefused);
    EXPECT_EQ(ended.err,
              "relperm generate: unexpected argument \"--swc\" (see relperm generate --help)\n");
    std::vector<std::string> twice = corey;
    twice.push_back("--swc=22");
    EXPECT_EQ(relperm(twice).err,
              "relperm generate: option --swc is given twice (see relperm generate --help)\n");
    std::vector<std::string> repairTwice = corey;
    repairTwice.insert(repairTwice.end(), {"--repair", "--repair"});
    EXPECT_EQ(relperm(repairTwice).status, exitRefused);
    EXPECT_EQ(relperm({"generate", "-x"}).err,
              "relperm generate: unknown option \"-x\" (see relperm generate --help)\n");
}

TEST(CommandLineConventions, OutDashIsStandardOutput) {
    std::vector<std::string> args = with(corey, {"--format", "grid"});
    const std::string grid = relperm(args).out;
    args.insert(args.end(), {"--out", "-"});
    Outcome r = relperm(args);
    EXPECT_EQ(r.status, exitOk);
    EXPECT_EQ(r.out, grid);
}

TEST(CommandLineConventions, EveryMessageNamesItsCommand) {
    for (auto [args, prefix] :
         {std::pair{std::vector<std::string>{"generate", "--spacing", "0"}, "relperm generate: "},
          std::pair{std::vector<std::string>{"generate", "--colour", "red"}, "relperm generate: "},
          std::pair{std::vector<std::string>{"db", "count"}, "relperm db: "},
          std::pair{std::vector<std::string>{"db", "count", "--system", "Oil"}, "relperm db: "},
          std::pair{std::vector<std::string>{"fit", "--model", "brooks"}, "relperm fit: "},
          std::pair{std::vector<std::string>{"recommend", "--model", "brooks"},
                    "relperm recommend: "},
          std::pair{std::vector<std::string>{"tabulate"}, "relperm: "}}) {
        Outcome r = relperm(args);
        EXPECT_EQ(r.status, exitRefused) << args.back();
        EXPECT_EQ(r.err.rfind(prefix, 0), 0u) << r.err;
    }
}

// The installed program, as a shell runs it: standard output on a full device.
TEST(CommandLineConventions, HelpOrOutputThatCannotBeWrittenExitsOne) {
    const std::string relpermProgram = RELPERM_BINARY;
    for (const std::string args : {"--help", "--version", "generate -h", "db --help",
                                   "generate --fluids Water-Gas --permeability 100"}) {
        const int status =
            std::system((relpermProgram + " " + args + " >/dev/full 2>/dev/null").c_str());
        EXPECT_EQ(WEXITSTATUS(status), exitFileError) << args;
    }
}

} // namespace
} // namespace relperm::cli
