// No command's output replaces what it reads: --out naming a data file of the folder a
// command reads (by its name, through a link, or as the standard output redirected to it),
// the run file of generate or a CSV file of an import is refused with exit 2 before anything
// is read, and every file stays byte for byte as it was. The process's own streams are
// written where they stand.
#include "cli/commands.h"
#include "database/records.h"
#include "support/run_relperm.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>

namespace relperm::cli {
namespace {

namespace fs = std::filesystem;
using relperm::testing::Outcome;
using relperm::testing::recordsOf;
using relperm::testing::relperm;
using relperm::testing::SetRecipe;

class OutOverInput : public relperm::testing::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        for (TwoPhaseSystem system : allSystems)
            relperm::testing::writeDataFile(dir, system,
                                            recordsOf(system, {SetRecipe{}, SetRecipe{}}));
        std::ofstream(dir / "run.txt") << "\"title\",0,0,-1,-1,20,20,25,10,5,.8,100\r\n";
        std::ofstream(dir / "sets.csv") << "set,1,1,1,1,5000,.2,100,100,.2,.3\n0,0,1\n1,.4,0\n";
        for (const auto& entry : fs::directory_iterator(dir))
            before[entry.path().filename().string()] = readFile(entry.path());
    }

    // Every file of the folder byte for byte as it was, and no file added.
    void expectFolderUnchanged() const {
        std::set<std::string> now;
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.is_regular_file() && !entry.is_symlink())
                now.insert(entry.path().filename().string());
        for (const auto& [name, bytes] : before) {
            EXPECT_TRUE(now.count(name)) << name << " is gone";
            EXPECT_TRUE(readFile(dir / name) == bytes) << name << " has changed";
        }
        EXPECT_EQ(now.size(), before.size());
    }

    // Each command of the suite that reads the folder, writing to `out`.
    std::vector<std::vector<std::string>> readersOfTheFolder(const std::string& out) const {
        const std::string d = dir.string();
        const std::vector<std::string> wo = {"--system", "Water-Oil Data", "--dir", d};
        std::vector<std::vector<std::string>> commands = {
            {"db", "count"},
            {"db", "list"},
            {"db", "dump"},
            {"db", "show", "--match", "1"},
            {"db", "show", "--match", "1", "--format", "swof"},
            {"fit", "--match", "1", "--model", "corey"},
            {"fit", "--match", "1", "--model", "corey", "--format", "swof"},
            {"recommend", "--model", "corey"},
            {"recommend", "--model", "corey", "--format", "swof", "--case", "low"}};
        for (auto& command : commands) {
            command.insert(command.end(), wo.begin(), wo.end());
            command.insert(command.end(), {"--out", out});
        }
        return commands;
    }

    std::map<std::string, std::string> before;
};

std::string joined(const std::vector<std::string>& args) {
    std::string text;
    for (const std::string& a : args)
        text += (text.empty() ? "" : " ") + a;
    return text;
}

TEST_F(OutOverInput, EveryCommandRefusesToWriteADataFileOfTheFolderItReads) {
    fs::create_symlink(dir / "OWBIN", dir / "owbin-link");
    fs::create_symlink("OGBIN", dir / "relative-link");
    fs::create_directory(dir / "sub");
    for (const fs::path& out :
         {dir / "OWBIN", dir / "OGBIN", dir / "GWBIN", dir / "CGBIN", dir / "owbin-link",
          dir / "relative-link", dir / "sub" / ".." / "OWBIN"})
        for (const auto& args : readersOfTheFolder(out.string())) {
            const Outcome r = relperm(args);
            EXPECT_EQ(r.status, exitRefused) << joined(args);
            EXPECT_NE(r.err.find("--out \"" + out.string() + "\" is the "), std::string::npos)
                << r.err;
            EXPECT_NE(r.err.find("which is being read; writing there would destroy it"),
                      std::string::npos)
                << r.err;
            EXPECT_EQ(r.out, "");
        }
    expectFolderUnchanged();
}

TEST_F(OutOverInput, ADataFileNameElsewhereIsRefusedForTextAndAFreshNameIsWritten) {
    fs::create_directory(dir / "other");
    for (const auto& args : readersOfTheFolder((dir / "other" / "OGBIN").string())) {
        const Outcome r = relperm(args);
        EXPECT_EQ(r.status, exitRefused) << joined(args);
        EXPECT_NE(r.err.find("bears the name of the Gas-Oil Data file"), std::string::npos)
            << r.err;
    }
    EXPECT_TRUE(fs::is_empty(dir / "other"));
    for (const auto& args : readersOfTheFolder((dir / "other" / "out.txt").string())) {
        const Outcome r = relperm(args);
        EXPECT_EQ(r.status, exitOk) << joined(args) << "\n" << r.err;
        EXPECT_FALSE(readFile(dir / "other" / "out.txt").empty()) << joined(args);
    }
    fs::remove_all(dir / "other");
    expectFolderUnchanged();
}

TEST_F(OutOverInput, TheRunFileAndTheCsvFilesAreInputsToo) {
    const std::string run = (dir / "run.txt").string();
    const std::string csv = (dir / "sets.csv").string();
    fs::create_symlink(dir / "run.txt", dir / "run-link");
    for (const char* format : {"export", "run", "swof"}) {
        for (const fs::path& out : {dir / "run.txt", dir / "run-link"}) {
            const Outcome r = relperm({"generate", "--run", run, "--format", format, "--out", out});
            EXPECT_EQ(r.status, exitRefused) << format;
            EXPECT_NE(r.err.find("is the run file"), std::string::npos) << r.err;
        }
    }
    const Outcome imported = relperm({"db", "import", "--system", "Water-Oil Data", "--out", csv,
                                      (dir / "OWBIN").string(), csv});
    EXPECT_EQ(imported.status, exitRefused);
    EXPECT_NE(imported.err.find("is the CSV file"), std::string::npos) << imported.err;
    expectFolderUnchanged();
}

// Through the shell, as a user redirects: the standard output is the stream itself.
class StandardStreams : public OutOverInput {
  protected:
    int shell(const std::string& command) const {
        const std::string line = "cd '" + dir.string() + "' && " + command;
        return WEXITSTATUS(std::system(line.c_str()));
    }
    std::string count(const std::string& out) const {
        return std::string(RELPERM_BINARY) + " db count --system 'Water-Oil Data' --dir . --out " +
               out;
    }
};

TEST_F(StandardStreams, OutToStandardOutputAppendsWhereTheShellSaysAndGoesIntoAPipe) {
    std::ofstream(dir / "log") << "earlier\n";
    ASSERT_EQ(shell(count("/dev/stdout") + " >> log"), 0);
    ASSERT_EQ(shell(count("/dev/fd/1") + " >> log"), 0);
    ASSERT_EQ(shell(count("/dev/stderr") + " 2>> log"), 0);
    EXPECT_EQ(readFile(dir / "log"), "earlier\n2\n2\n2\n");
    ASSERT_EQ(shell(count("/dev/stdout") + " | cat > piped"), 0);
    EXPECT_EQ(readFile(dir / "piped"), "2\n");
}

TEST_F(StandardStreams, StandardOutputRedirectedIntoADataFileIsRefused) {
    EXPECT_EQ(shell(count("/dev/stdout") + " >> OWBIN 2> message"), exitRefused);
    EXPECT_NE(readFile(dir / "message").find("is the Water-Oil Data file"), std::string::npos)
        << readFile(dir / "message");
    fs::remove(dir / "message");
    expectFolderUnchanged();
}

TEST_F(OutOverInput, ADirThatIsAFileIsNamedAsNoFolder) {
    const Outcome r =
        relperm({"db", "count", "--system", "Water-Oil Data", "--dir", (dir / "OWBIN").string()});
    EXPECT_EQ(r.status, exitFileError);
    EXPECT_EQ(r.err, "relperm db: --dir \"" + (dir / "OWBIN").string() +
                         "\" is not a folder: it must name the folder that holds the data files\n");
}

} // namespace
} // namespace relperm::cli
