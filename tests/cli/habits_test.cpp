// The habits users bring from other command-line tools: -V and -o as short options on
// every command, `relperm help COMMAND`, - as standard input wherever a file is read, list
// texts in any case with the list's own text in the output, CSV for scripts ending its lines
// with LF, and a warning when a db command's folder holds no data file.
#include "cli/commands.h"
#include "common/version.h"
#include "support/run_relperm.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>

namespace relperm::cli {
namespace {

using relperm::testing::Outcome;
using relperm::testing::relperm;
using relperm::testing::TempDirTest;
using relperm::testing::with;

const std::vector<std::string>& corey = relperm::testing::coreyWorkedExample;
const std::string demoSources = RELPERM_DEMO_SOURCES;

// A shell line run with the built relperm as $R, and what it printed on standard output.
struct Shell {
    int status;
    std::string out;
};

Shell shell(const std::string& line) {
    const std::string command = "R=" + std::string(RELPERM_BINARY) + "; " + line;
    FILE* pipe = ::popen(command.c_str(), "r");
    Shell result{-1, ""};
    if (!pipe)
        return result;
    char block[4096];
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, pipe)) > 0;)
        result.out.append(block, got);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// The text after its first line, which names the file read.
std::string afterHead(const std::string& text) {
    return text.substr(std::min(text.size(), text.find('\n') + 1));
}

std::string quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

// A folder holding the demo's water-oil and gas-oil data, imported from their CSV sources.
class DemoFolder : public TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        for (auto [system, file, csv] : {std::tuple{"Water-Oil Data", "OWBIN", "water-oil.csv"},
                                         std::tuple{"Gas-Oil Data", "OGBIN", "gas-oil.csv"}}) {
            Outcome imported = relperm({"db", "import", "--system", system, "--out",
                                        (dir / file).string(), demoSources + "/" + csv});
            ASSERT_EQ(imported.status, exitOk) << imported.err;
        }
    }
    std::vector<std::string> inDemo(std::vector<std::string> args) const {
        args.insert(args.end(), {"--dir", dir.string()});
        return args;
    }
};

TEST(ShortOptions, DashCapitalVPrintsTheVersionAtEveryLevel) {
    const std::string version = std::string("relperm ") + suiteVersion + "\n";
    for (const std::vector<std::string>& args : {std::vector<std::string>{"-V"},
                                                 {"generate", "-V"},
                                                 {"generate", "--version"},
                                                 {"db", "-V"},
                                                 {"db", "count", "-V"},
                                                 {"db", "import", "--version"},
                                                 {"fit", "-V"},
                                                 {"recommend", "-V"},
                                                 {"tables", "-V"},
                                                 {"deck", "-V"},
                                                 {"deck", "check", "-V"},
                                                 {"deck", "convert", "--version"}}) {
        Outcome r = relperm(args);
        EXPECT_EQ(r.status, exitOk) << args.back();
        EXPECT_EQ(r.out, version) << args.front() << " " << args.back();
        EXPECT_EQ(r.err, "");
    }
    EXPECT_EQ(relperm({"generate", "-V", "-h"}).out.rfind("usage: relperm generate", 0), 0u)
        << "help goes before the version, as with --help --version";
}

TEST_F(DemoFolder, DashOIsOutAndCountsAsIt) {
    const std::filesystem::path viaShort = dir / "short.txt", viaLong = dir / "long.txt";
    EXPECT_EQ(relperm(with(corey, {"-o", viaShort.string()})).status, exitOk);
    EXPECT_EQ(relperm(with(corey, {"--out", viaLong.string()})).status, exitOk);
    EXPECT_EQ(readFile(viaShort), readFile(viaLong));
    EXPECT_NE(readFile(viaShort), "");

    Outcome counted = relperm(inDemo({"db", "count", "--system", "Water-Oil Data", "-o", "-"}));
    EXPECT_EQ(counted.status, exitOk) << counted.err;
    EXPECT_EQ(counted.out, "40\n");

    Outcome twice = relperm(with(corey, {"-o", "a.txt", "--out", "b.txt"}));
    EXPECT_EQ(twice.status, exitRefused);
    EXPECT_EQ(twice.err, "relperm generate: option --out (or -o) is given twice (see relperm "
                         "generate --help)\n");
    EXPECT_EQ(relperm({"generate", "-o"}).err,
              "relperm generate: option --out needs a value (see relperm generate --help)\n");
    EXPECT_EQ(relperm({"generate", "-x"}).status, exitRefused)
        << "other short options stay unknown";
}

TEST(HelpCommand, NamesTheCommandWhoseHelpItPrints) {
    for (const std::vector<std::string>& command : {std::vector<std::string>{"generate"},
                                                    {"db"},
                                                    {"db", "show"},
                                                    {"fit"},
                                                    {"recommend"},
                                                    {"tables"},
                                                    {"deck"},
                                                    {"deck", "check"},
                                                    {"deck", "convert"}}) {
        std::vector<std::string> asked{"help"}, direct = command;
        asked.insert(asked.end(), command.begin(), command.end());
        direct.push_back("--help");
        Outcome viaHelp = relperm(asked), viaFlag = relperm(direct);
        EXPECT_EQ(viaHelp.status, exitOk) << command.back();
        EXPECT_EQ(viaHelp.out, viaFlag.out) << command.back();
        EXPECT_NE(viaHelp.out, relperm({"--help"}).out) << command.back();
    }
    EXPECT_EQ(relperm({"db", "help", "show"}).out, relperm({"db", "show", "--help"}).out);
    EXPECT_EQ(relperm({"help"}).out, relperm({"--help"}).out);

    Outcome unknown = relperm({"help", "tabulate"});
    EXPECT_EQ(unknown.status, exitRefused);
    EXPECT_EQ(unknown.err, "relperm: unknown command \"tabulate\" (see relperm --help)\n");
    EXPECT_EQ(relperm({"help", "--swc"}).status, exitRefused);
}

TEST_F(DemoFolder, DashIsStandardInputWhereverAFileIsRead) {
    const std::string csv = demoSources + "/water-oil.csv";
    // An import from a pipe and from a redirected file gives the file's own records.
    const std::filesystem::path fromFile = dir / "OWBIN";
    for (const std::string& feed :
         {"cat '" + csv + "' | $R db import --system 'Water-Oil Data' --out " +
              quoted(dir / "piped") + " -",
          "$R db import --system 'Water-Oil Data' --out " + quoted(dir / "redirected") + " - < '" +
              csv + "'"}) {
        EXPECT_EQ(shell(feed).status, 0) << feed;
    }
    EXPECT_EQ(readFile(dir / "piped"), readFile(fromFile));
    EXPECT_EQ(readFile(dir / "redirected"), readFile(fromFile));

    // A run file read from standard input, as --run FILE reads it.
    const std::filesystem::path run = dir / "run.txt";
    ASSERT_EQ(relperm(with(corey, {"--format", "run", "--out", run.string()})).status, exitOk);
    const std::string fromRunFile =
        relperm({"generate", "--run", run.string(), "--swc", "22", "--format", "grid"}).out;
    Shell fromStdin =
        shell("$R generate --run - --swc 22 --format grid < " + quoted(run) + " 2>/dev/null");
    EXPECT_EQ(fromStdin.status, 0);
    EXPECT_EQ(fromStdin.out, fromRunFile);
    EXPECT_NE(fromRunFile, "");

    // A deck and a parameter table piped in.
    const std::filesystem::path deck = dir / "RELPERM.INC", params = dir / "params.csv";
    ASSERT_EQ(
        relperm(with(corey, {"--format", "simulator", "--repair", "--out", deck.string()})).status,
        exitOk);
    EXPECT_EQ(shell("$R deck check - < " + quoted(deck)).out.find("every check holds") !=
                  std::string::npos,
              true);
    EXPECT_EQ(afterHead(shell("$R deck convert --to family2 - < " + quoted(deck)).out),
              afterHead(relperm({"deck", "convert", "--to", "family2", deck.string()}).out));
    EXPECT_EQ(
        shell("cat " + quoted(deck) + " | $R fit --table - --keyword SWOF --model Corey").out,
        relperm({"fit", "--table", deck.string(), "--keyword", "SWOF", "--model", "Corey"}).out);
    ASSERT_EQ(relperm(inDemo({"fit", "--system", "Water-Oil Data", "--match", "1", "--model",
                              "Corey", "--out", params.string()}))
                  .status,
              exitOk);
    const std::string tables = relperm({"tables", params.string()}).out;
    EXPECT_NE(tables.find("SWOF"), std::string::npos) << tables;
    EXPECT_EQ(afterHead(shell("cat " + quoted(params) + " | $R tables -").out), afterHead(tables));
}

TEST_F(DemoFolder, ListTextsInAnyCaseAreTheListsOwn) {
    // --system: the count, and the system each output names, as with the list's text.
    for (const char* typed : {"water-oil data", "WATER-OIL DATA", "Water-oil Data"}) {
        Outcome r = relperm(inDemo({"db", "count", "--system", typed}));
        EXPECT_EQ(r.status, exitOk) << typed << ": " << r.err;
        EXPECT_EQ(r.out, "40\n") << typed;
    }
    const std::string shown = relperm(inDemo({"db", "show", "--system", "Water-Oil Data", "--match",
                                              "1", "--format", "swof"}))
                                  .out;
    EXPECT_EQ(relperm(inDemo({"db", "show", "--system", "gas-oil data", "--match", "1"})).status,
              exitOk);
    EXPECT_EQ(relperm(inDemo({"db", "show", "--system", "water-oil DATA", "--match", "1",
                              "--format", "swof"}))
                  .out,
              shown);
    EXPECT_NE(shown.find("Water-Oil Data"), std::string::npos) << shown;
    EXPECT_EQ(relperm(inDemo({"db", "count", "--system", "Water Oil Data"})).status, exitRefused)
        << "only the case may differ";

    // --model: any case, the model's own name (Corey, LET) in what is written.
    const std::vector<std::string> fit = {"fit", "--system", "Water-Oil Data", "--match", "1"};
    const std::string params = relperm(inDemo(with(fit, {"--model", "Corey"}))).out;
    for (const char* typed : {"corey", "COREY", "cOrEy"})
        EXPECT_EQ(relperm(inDemo(with(fit, {"--model", typed}))).out, params) << typed;
    Outcome compared = relperm(inDemo(with(fit, {"--model", "let", "--compare"})));
    EXPECT_EQ(compared.status, exitOk) << compared.err;
    EXPECT_EQ(compared.out.rfind("correlation,rms,note\n\"LET fit\",", 0), 0u) << compared.out;
    EXPECT_EQ(relperm(inDemo(with(fit, {"--model", "LET", "--compare"}))).out, compared.out);
    Outcome recommended = relperm(
        inDemo({"recommend", "--system", "WATER-OIL DATA", "--model", "let", "--format", "swof"}));
    EXPECT_EQ(recommended.status, exitOk) << recommended.err;
    EXPECT_NE(recommended.out.find("Water-Oil Data: LET"), std::string::npos) << recommended.out;
    EXPECT_EQ(relperm(inDemo(with(fit, {"--model", "brooks"}))).err,
              "relperm fit: --model must be Corey or LET, not \"brooks\"\n");

    // --fluids and --correlation: picked from the list as the canonical text would be.
    const std::vector<std::string> typedLower = {"generate",
                                                 "--fluids",
                                                 "water-oil-gas",
                                                 "--correlation",
                                                 "corey",
                                                 "--swc",
                                                 "20",
                                                 "--sorw",
                                                 "25",
                                                 "--sorg",
                                                 "10",
                                                 "--sgc",
                                                 "5"};
    for (const char* format : {"export", "run", "simulator"}) {
        Outcome lower = relperm(with(typedLower, {"--format", format, "--repair"}));
        EXPECT_EQ(lower.status, exitOk) << format << ": " << lower.err;
        EXPECT_EQ(lower.out, relperm(with(corey, {"--format", format, "--repair"})).out) << format;
    }
    EXPECT_NE(relperm(with(typedLower, {"--format", "simulator", "--repair"})).out.find("Corey"),
              std::string::npos);
    // A fluid system typed rather than picked leaves the correlation's list empty: the name
    // typed in any case still names the correlation.
    const std::vector<std::string> waterOil = {"generate", "--fluids", "Water-Oil", "--swc", "20",
                                               "--sorw",   "25",       "--format",  "grid"};
    const Outcome typedLowerCorey = relperm(with(waterOil, {"--correlation", "corey"}));
    EXPECT_EQ(typedLowerCorey.status, exitOk) << typedLowerCorey.err;
    EXPECT_EQ(typedLowerCorey.out, relperm(with(waterOil, {"--correlation", "Corey"})).out);
}

TEST_F(DemoFolder, CsvForScriptsEndsLinesWithLfAndTheWindowsFilesKeepCrLf) {
    const std::vector<std::string> wo = {"--system", "Water-Oil Data"};
    auto lfOnly = [](const std::string& text) {
        return !text.empty() && text.find('\r') == std::string::npos && text.back() == '\n';
    };
    auto crLfOnly = [](const std::string& text) {
        std::size_t lf = 0, crLf = 0;
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n') {
                ++lf;
                crLf += i > 0 && text[i - 1] == '\r';
            }
        return lf > 0 && lf == crLf;
    };
    std::vector<std::string> list = inDemo({"db", "list"}), fit = inDemo({"fit", "--match", "1"});
    list.insert(list.end(), wo.begin(), wo.end());
    fit.insert(fit.end(), wo.begin(), wo.end());
    fit.insert(fit.end(), {"--model", "Corey"});
    std::vector<std::string> compare = with(fit, {"--compare"});
    std::vector<std::string> recommend = inDemo({"recommend", "--model", "Corey"});
    recommend.insert(recommend.end(), wo.begin(), wo.end());
    for (const auto& args : {list, fit, compare, recommend}) {
        Outcome r = relperm(args);
        EXPECT_EQ(r.status, exitOk) << args.front() << ": " << r.err;
        EXPECT_TRUE(lfOnly(r.out)) << args.front() << ": " << r.out;
    }
    // A deck with a finding, its CSV for a script.
    const std::filesystem::path deck = dir / "BAD.INC";
    std::ofstream(deck) << "SWOF\n0.2 0 1 0\n0.5 0.6 0.3 0\n0.4 1 0 0\n/\n";
    Outcome findings = relperm({"deck", "check", "--format", "csv", deck.string()});
    EXPECT_EQ(findings.status, exitRefused) << findings.err;
    EXPECT_TRUE(lfOnly(findings.out)) << findings.out;

    // The layouts the windows define: the import text of a set and of a dump, the Export
    // and run files.
    std::vector<std::string> show = inDemo({"db", "show", "--match", "1", "--format", "csv"});
    show.insert(show.end(), wo.begin(), wo.end());
    std::vector<std::string> dump = inDemo({"db", "dump"});
    dump.insert(dump.end(), wo.begin(), wo.end());
    for (const auto& args : {show, dump, corey, with(corey, {"--format", "run"})}) {
        Outcome r = relperm(args);
        EXPECT_EQ(r.status, exitOk) << args.front() << ": " << r.err;
        EXPECT_TRUE(crLfOnly(r.out)) << args.front() << ": " << r.out.substr(0, 200);
    }
}

TEST_F(DemoFolder, DbCommandsWarnOfAFolderWithoutDataFiles) {
    const std::filesystem::path empty = dir / "empty";
    std::filesystem::create_directory(empty);
    const std::string warning = "relperm db: warning: the folder \"" + empty.string() +
                                "\" holds none of the data files OWBIN, OGBIN, GWBIN, CGBIN\n";
    for (const char* sub : {"count", "show", "list", "dump"}) {
        std::vector<std::string> args = {"db",    sub,           "--system", "Water-Oil Data",
                                         "--dir", empty.string()};
        if (std::string(sub) == "show")
            args.insert(args.end(), {"--match", "1"});
        Outcome r = relperm(args);
        EXPECT_EQ(r.err.rfind(warning, 0), 0u) << sub << ": " << r.err;
        if (std::string(sub) == "count") {
            EXPECT_EQ(r.status, exitOk);
            EXPECT_EQ(r.out, "0\n") << "the count is printed all the same";
        }
    }
    // Gas-water data missing from a folder that holds other systems' files is no slip.
    Outcome other = relperm(inDemo({"db", "count", "--system", "Gas-Water Data"}));
    EXPECT_EQ(other.err, "");
    EXPECT_EQ(other.out, "0\n");
    EXPECT_EQ(relperm(inDemo({"db", "count", "--system", "Water-Oil Data"})).err, "");

    // Without --dir the working folder is read, and the warning says where to name another.
    Shell here =
        shell("cd " + quoted(empty) + " && $R db count --system 'Water-Oil Data' 2>&1 >/dev/null");
    EXPECT_EQ(here.out, "relperm db: warning: the working folder \".\" holds none of the data "
                        "files OWBIN, OGBIN, GWBIN, CGBIN (give the data's folder with --dir)\n");
}

} // namespace
} // namespace relperm::cli
