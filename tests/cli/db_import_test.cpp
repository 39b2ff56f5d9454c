// relperm db import writes the record file set by set as it reads the CSV files, and still
// refuses the whole import for a bad row anywhere, leaving the old file as it was.
#include "cli/commands.h"
#include "common/filewrite.h"
#include "database/records.h"
#include "support/run_relperm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace relperm::cli {
namespace {

using namespace relperm::testing;

using DbImport = TempDirTest;

// Sets are written as they are read, yet a bad row anywhere, also past the first megabyte
// or in the second file, leaves the old record file as it was and no temporary file.
// The names in `folder`, sorted: what an import may not leave behind.
std::vector<std::string> namesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(DbImport, ImportRefusedAnywhereKeepsTheOldFileByteForByte) {
    std::string large;
    while (large.size() < 3000000)
        large += "set,1,1,1,1,1,.2,1,1,.2,.3\r\n0,0,1\r\n.5,.1,.3\r\n1,.4,0\r\n";
    writeBytes(dir / "large.csv", large);
    writeBytes(dir / "lastline.csv", large + "1,.4,-1");
    writeBytes(dir / "nopoints.csv", large + "set,1,1,1,1,1,.2,1,1,.2,.3\n" + large);
    writeBytes(dir / "second.csv", "set,1,1,1,1,1,.2,1,1,.2,.3\n0,0,1\n\n0,0,x\n");
    const auto target = dir / "OWBIN";
    const std::string old = recordsOf(WO, {SetRecipe{}});
    writeBytes(target, old);
    const auto folder = [&] { return namesIn(dir); };
    const auto before = folder();
    struct Case {
        std::vector<std::string> files;
        std::string message;
    };
    const int lastLine = static_cast<int>(std::count(large.begin(), large.end(), '\n')) + 1;
    for (const Case& c : {
             Case{{"lastline.csv"},
                  "lastline.csv, line " + std::to_string(lastLine) +
                      ": krow must be a number of 0 or more, not \"-1\"."},
             Case{{"large.csv", "second.csv"},
                  "second.csv, line 4: krow must be a number of 0 or more, not \"x\"."},
             Case{{"nopoints.csv"},
                  "nopoints.csv, line " + std::to_string(lastLine) +
                      ": a set without points ends every scan, so the sets after it could "
                      "never be found; give its points, or move it to the end as the end "
                      "record."},
         }) {
        std::vector<std::string> args{"db",    "import",       "--system", "Water-Oil Data",
                                      "--out", target.string()};
        for (const std::string& file : c.files)
            args.push_back((dir / file).string());
        Outcome r = relperm(args);
        EXPECT_EQ(r.status, exitRefused);
        EXPECT_EQ(r.err, "relperm db: " + dir.string() + "/" + c.message + "\n");
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(readFile(target), old);
        EXPECT_EQ(folder(), before) << "no temporary file is left";
    }

    Outcome accepted =
        relperm({"db", "import", "--system", "Water-Oil Data", "--out", target.string(),
                 (dir / "large.csv").string(), (dir / "large.csv").string()});
    ASSERT_EQ(accepted.status, exitOk) << accepted.err;
    const std::string oneFile = readFile(target);
    EXPECT_EQ(oneFile.size() % 2, 0u);
    EXPECT_EQ(oneFile.substr(0, oneFile.size() / 2), oneFile.substr(oneFile.size() / 2));
    EXPECT_EQ(folder(), before);
}

// Standard output cannot take back what a later row would refuse, so it gets the records
// only once every row was accepted: the bytes of the record file, or nothing.
TEST_F(DbImport, ImportToStandardOutputWritesTheRecordFileOrNothing) {
    writeBytes(dir / "good.csv", "set,1,1,1,1,1,.2,1,1,.2,.3\n0,0,1\n1,.4,0\n");
    writeBytes(dir / "bad.csv", "set,1,1,1,1,1,.2,1,1,.2,.3\n0,0,1\n1,.4,x\n");
    const std::string target = (dir / "OWBIN").string();
    const std::string good = (dir / "good.csv").string();
    ASSERT_EQ(relperm({"db", "import", "--system", "Water-Oil Data", "--out", target, good}).status,
              exitOk);
    Outcome shown = relperm({"db", "import", "--system", "Water-Oil Data", "--out", "-", good});
    EXPECT_EQ(shown.status, exitOk) << shown.err;
    EXPECT_EQ(shown.out, readFile(target));
    EXPECT_FALSE(std::filesystem::exists("-"));

    Outcome refused = relperm({"db", "import", "--system", "Water-Oil Data", "--out", "-", good,
                               (dir / "bad.csv").string()});
    EXPECT_EQ(refused.status, exitRefused);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find("bad.csv, line 3: krow must be"), std::string::npos) << refused.err;
}

} // namespace
} // namespace relperm::cli

namespace relperm::cli {
namespace {

// Imports that would replace a file with what nobody meant: each is refused with exit 2,
// and the file that was there stays byte for byte.
TEST_F(DbImport, RefusalsOfTheOutFileLeaveItByteForByte) {
    writeBytes(dir / "none.csv", "# only a comment\r\n\r\n");
    writeBytes(dir / "go.csv", "set,1,1,1,1,1,1,1,.2,.05,.1\n0,0,1\n1,1,0\n");
    const std::string oldOw = recordsOf(WO, {SetRecipe{}});
    const std::string oldGo = recordsOf(GO, {SetRecipe{}, SetRecipe{}});
    writeBytes(dir / "OWBIN", oldOw);
    writeBytes(dir / "OGBIN", oldGo);
    std::filesystem::create_hard_link(dir / "go.csv", dir / "linked.csv");
    const std::string goCsv = readFile(dir / "go.csv");
    const auto p = [&](const char* name) { return (dir / name).string(); };
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    for (const Case& c : {
             Case{{"import", "--system", "Gas-Oil Data", "--out", p("OGBIN"), p("none.csv")},
                  "the CSV files hold no data sets (no \"set\" row); nothing was written"},
             Case{{"import", "--system", "Gas-Oil Data", "--out", "-", p("none.csv")},
                  "the CSV files hold no data sets (no \"set\" row); nothing was written"},
             Case{{"import", "--system", "Gas-Oil Data", "--out", p("OWBIN"), p("go.csv")},
                  "--out \"" + p("OWBIN") +
                      "\" bears the name of the Water-Oil Data file, but the import is of "
                      "Gas-Oil Data; give --force if that is meant"},
             Case{{"import", "--system", "Gas-Oil Data", "--out", p("linked.csv"), p("go.csv")},
                  "--out \"" + p("linked.csv") + "\" is the CSV file \"" + p("go.csv") +
                      "\", which is being read; writing there would destroy it"},
             Case{{"dump", "--system", "Gas-Oil Data", "--dir", dir.string(), "--out", p("OGBIN")},
                  "--out \"" + p("OGBIN") +
                      "\" is the Gas-Oil Data file, which is being read; writing there would "
                      "destroy it"},
         }) {
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), "db");
        Outcome r = relperm(args);
        EXPECT_EQ(r.status, exitRefused) << c.message;
        EXPECT_EQ(r.err, "relperm db: " + c.message + "\n");
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(readFile(dir / "OWBIN"), oldOw);
        EXPECT_EQ(readFile(dir / "OGBIN"), oldGo);
        EXPECT_EQ(readFile(dir / "go.csv"), goCsv);
    }

    // --force writes what it is told to, and the system's own name needs no --force.
    Outcome forced = relperm(
        {"db", "import", "--system", "Gas-Oil Data", "--force", "--out", p("OWBIN"), p("go.csv")});
    EXPECT_EQ(forced.status, exitOk) << forced.err;
    Outcome own =
        relperm({"db", "import", "--system", "Gas-Oil Data", "--out", p("OGBIN"), p("go.csv")});
    EXPECT_EQ(own.status, exitOk) << own.err;
    EXPECT_EQ(readFile(dir / "OWBIN"), readFile(dir / "OGBIN"));
    EXPECT_NE(relperm({"db", "import", "--help"}).out.find("--force"), std::string::npos);
}

// A gas-oil file read as water-oil passes every range check when its codes are numbers and
// its depth passes as a method code; the comments that open it say what it holds, and the
// import is refused with the way to import it. A comment of megabytes is nothing, and a
// data line of megabytes is refused.
TEST_F(DbImport, AFileSayingItHoldsAnotherSystemOrALineOfMegabytesIsRefused) {
    const std::string sets = "set,1,2,1,3,.2,.5,.5,.2,.05,.25\r\n0,0,1\r\n1,.8,0\r\n";
    writeBytes(dir / "gas-oil.csv", "# Invented data.\r\n"
                                    "# Gas-Oil Data: a set row, then one row per point.\r\n" +
                                        sets);
    writeBytes(dir / "long.csv", "set,1,1,1,1,1,.2,1,1,.2,.3\r\n0,0,1\r\n.5,.1,.3\r\n1," +
                                     std::string(1 << 20, '0') + ",0\r\n");
    writeBytes(dir / "plain.csv", sets);
    writeBytes(dir / "commented.csv",
               "\xEF\xBB\xBF# " + std::string(3 << 20, 'x') + "\r\n" + sets + "#\"\r\n");
    const std::string old = recordsOf(WO, {SetRecipe{}});
    writeBytes(dir / "OWBIN", old);
    const auto folder = [&] { return namesIn(dir); };
    const auto before = folder();
    const auto import = [&](const char* system, const char* out, const char* name) {
        return relperm({"db", "import", "--system", system, "--out", (dir / out).string(),
                        (dir / name).string()});
    };
    Outcome declared = import("Water-Oil Data", "OWBIN", "gas-oil.csv");
    EXPECT_EQ(declared.status, exitRefused);
    EXPECT_EQ(declared.err, "relperm db: " + (dir / "gas-oil.csv").string() +
                                ", line 2: the file says it holds Gas-Oil Data, but the import is "
                                "of Water-Oil Data; import it with --system \"Gas-Oil Data\".\n");
    EXPECT_EQ(declared.out, "");
    Outcome long_ = import("Water-Oil Data", "OWBIN", "long.csv");
    EXPECT_EQ(long_.status, exitRefused);
    EXPECT_EQ(long_.err, "relperm db: " + (dir / "long.csv").string() +
                             ", line 4: the line is longer than 1048576 bytes; no set or point "
                             "row is that long.\n");
    EXPECT_EQ(readFile(dir / "OWBIN"), old);
    EXPECT_EQ(folder(), before) << "nothing was written";

    ASSERT_EQ(import("Gas-Oil Data", "OGBIN", "gas-oil.csv").status, exitOk);
    ASSERT_EQ(import("Gas-Oil Data", "plain", "plain.csv").status, exitOk);
    Outcome commented = import("Gas-Oil Data", "commented", "commented.csv");
    ASSERT_EQ(commented.status, exitOk) << commented.err;
    EXPECT_EQ(readFile(dir / "OGBIN"), readFile(dir / "plain"));
    EXPECT_EQ(readFile(dir / "commented"), readFile(dir / "plain"));
}

// A spreadsheet's UTF-8 export starts with a byte-order mark and may quote every value;
// neither changes a byte of what is imported.
TEST_F(DbImport, AByteOrderMarkAndQuotedNumbersImportAsThePlainFile) {
    const std::string plain = "# sets\r\nset,1,1,1,1,1,.2,1,1,.2,.3\r\n0,0,1\r\n.5,.1,.3\r\n";
    writeBytes(dir / "plain.csv", plain);
    writeBytes(dir / "bom.csv", "\xEF\xBB\xBF" + plain);
    writeBytes(dir / "quoted.csv", "\xEF\xBB\xBF\"set\",\"1\",\"1\",\"1\",\"1\",\"1\",\".2\","
                                   "\"1\",\"1\",\"0.2\",\".3\"\r\n\"0\",\"0\",\"1\"\r\n"
                                   "\"0.5\",\".1\",\"0.3\"\r\n");
    const auto import = [&](const char* name) {
        return relperm(
            {"db", "import", "--system", "Water-Oil Data", "--out", "-", (dir / name).string()});
    };
    const Outcome expected = import("plain.csv");
    ASSERT_EQ(expected.status, exitOk) << expected.err;
    EXPECT_EQ(import("bom.csv").out, expected.out);
    EXPECT_EQ(import("quoted.csv").out, expected.out) << import("quoted.csv").err;
    writeBytes(dir / "blank.csv", "set,1,1,1,1,1,.2,1,1,.2,.3\r\n0,0,1\r\n.5,\" .1\",.3\r\n");
    const Outcome blank = import("blank.csv");
    EXPECT_EQ(blank.status, exitRefused) << "a blank inside the quotes is no number";
    EXPECT_EQ(blank.err, "relperm db: " + (dir / "blank.csv").string() +
                             ", line 3: krw must be a number of 0 or more, not \" .1\".\n");
    // A mark anywhere but at the start of a file is no number either.
    writeBytes(dir / "late.csv", plain + "\xEF\xBB\xBF.5,.1,.3\r\n");
    EXPECT_EQ(import("late.csv").err,
              "relperm db: " + (dir / "late.csv").string() +
                  ", line 5: Sw norm must be a number, not \"\xEF\xBB\xBF.5\".\n");
}

// An import stopped by SIGTERM while it reads (here from a pipe that has sent half the sets)
// leaves the old record file and no second name beside it, even where the temporary file
// must have a name (no O_TMPFILE).
TEST_F(DbImport, AnImportStoppedBySigtermLeavesNoSecondName) {
    const std::string old = recordsOf(WO, {SetRecipe{}});
    writeBytes(dir / "OWBIN", old);
    const auto pipe = dir / "sets.pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        useNamedTemporaryForTesting(true);
        std::ostringstream out, err;
        ::_exit(runRelperm({"db", "import", "--system", "Water-Oil Data", "--out",
                            (dir / "OWBIN").string(), pipe.string()},
                           out, err));
    }
    const int feed = ::open(pipe.c_str(), O_WRONLY);
    ASSERT_GE(feed, 0);
    std::string half;
    for (int set = 0; set < 2000; ++set)
        half += "set,1,1,1,1,1,.2,1,1,.2,.3\n0,0,1\n1,.4,0\n";
    ASSERT_EQ(::write(feed, half.data(), half.size()), static_cast<ssize_t>(half.size()));
    // The temporary file gets its name when the writer starts; wait for it, then stop.
    const auto named = [&] {
        return std::any_of(std::filesystem::directory_iterator(dir), {}, [](const auto& e) {
            return e.path().filename().string().rfind(".OWBIN.", 0) == 0;
        });
    };
    for (int wait = 0; wait < 500 && !named(); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(named()) << "the import wrote nothing yet";
    ::kill(child, SIGTERM);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(feed);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"OWBIN", "sets.pipe"}));
    EXPECT_EQ(readFile(dir / "OWBIN"), old);
}

} // namespace
} // namespace relperm::cli
