// Every relperm command that writes a file (--out) while a step of the write fails, as a
// read-only folder, a full disk, a disk error or a refused rename makes it fail: the
// command reports the file and the reason and exits 1, and the file that was there keeps
// its bytes. A command that writes to standard output reports a failed write as well.
#include "cli/commands.h"
#include "support/run_relperm.h"
#include "support/temp_dir.h"
#include "support/write_failures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <streambuf>

namespace relperm::cli {
namespace {

namespace fs = std::filesystem;
using relperm::testing::FailingStep;
using relperm::testing::failingSteps;
using relperm::testing::Outcome;
using relperm::testing::relperm;

struct Command {
    const char* name;
    std::vector<std::string> args; // "DIR" at the start of an argument: the test's folder
};

void PrintTo(const Command& command, std::ostream* os) {
    *os << command.name;
}

class OutFailures : public relperm::testing::TempDirTest,
                    public ::testing::WithParamInterface<Command> {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        writeText(dir / "water-oil.csv",
                  "set,1,1,1,1,8450,.215,125,125,.18,.3\n0,0,1\n.5,.08,.25\n1,.31,0\n");
        const Outcome built = relperm({"db", "import", "--system", "Water-Oil Data", "--out",
                                       dir / "OWBIN", dir / "water-oil.csv"});
        ASSERT_EQ(built.status, 0) << built.err;
    }
    void TearDown() override {
        failFileWriteStepForTesting(std::nullopt);
        TempDirTest::TearDown();
    }

    static void writeText(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }

    std::vector<std::string> argsWritingTo(const fs::path& target) const {
        std::vector<std::string> args;
        for (const std::string& arg : GetParam().args)
            args.push_back(arg.starts_with("DIR") ? dir.string() + arg.substr(3) : arg);
        args.insert(args.end(), {"--out", target.string()});
        return args;
    }

    std::vector<std::string> folder() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_P(OutFailures, EachFailingStepIsReportedAndTheOldFileKeepsItsBytes) {
    const fs::path target = dir / "result.txt";
    const std::string old = "the file that was there\r\n";
    writeText(target, old);
    const std::vector<std::string> before = folder();

    for (const FailingStep& failing : failingSteps) {
        SCOPED_TRACE(failing.name);
        failFileWriteStepForTesting(failing.step, failing.error);
        const Outcome outcome = relperm(argsWritingTo(target));
        failFileWriteStepForTesting(std::nullopt);
        EXPECT_EQ(outcome.status, exitFileError);
        EXPECT_EQ(outcome.out, "");
        EXPECT_NE(outcome.err.find("Could not write \"" + target.string() + "\""),
                  std::string::npos)
            << outcome.err;
        EXPECT_NE(outcome.err.find(std::strerror(failing.error)), std::string::npos) << outcome.err;
        EXPECT_EQ(readFile(target), old);
        EXPECT_EQ(folder(), before) << "no temporary file is left";
    }

    const Outcome written = relperm(argsWritingTo(target));
    EXPECT_EQ(written.status, exitOk) << written.err;
    EXPECT_NE(readFile(target), old) << "without a failing step the command replaces the file";
}

INSTANTIATE_TEST_SUITE_P(
    EveryCommand, OutFailures,
    ::testing::Values(
        Command{"GenerateExport",
                {"generate", "--fluids", "Water-Oil-Gas", "--correlation", "Corey", "--swc", "20",
                 "--sorw", "25", "--sorg", "10", "--sgc", "5"}},
        Command{"GenerateRunFile",
                {"generate", "--fluids", "Water-Gas", "--permeability", "100", "--swc", "20",
                 "--format", "run"}},
        Command{"DbImport", {"db", "import", "--system", "Water-Oil Data", "DIR/water-oil.csv"}},
        Command{"DbDump", {"db", "dump", "--system", "Water-Oil Data", "--dir", "DIR"}},
        Command{"DbList", {"db", "list", "--system", "Water-Oil Data", "--dir", "DIR"}},
        Command{"DbShowAll", {"db", "show", "--system", "Water-Oil Data", "--all", "--dir", "DIR"}},
        Command{
            "DbCount",
            {"db", "count", "--system", "Water-Oil Data", "--wettability", "0", "--dir", "DIR"}},
        Command{"FitSwof",
                {"fit", "--system", "Water-Oil Data", "--dir", "DIR", "--match", "1", "--model",
                 "corey", "--format", "swof"}}),
    [](const ::testing::TestParamInfo<Command>& info) { return std::string(info.param.name); });

// An output device that takes nothing, as a full disk behind standard output does.
class FullDevice : public std::streambuf {
  protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
};

TEST(StandardOutput, AWriteThatFailsIsReportedAndExitsOne) {
    FullDevice device;
    std::ostream out(&device);
    std::ostringstream err;
    const int status = runRelperm(
        {"generate", "--fluids", "Water-Gas", "--permeability", "100", "--format", "run"}, out,
        err);
    EXPECT_EQ(status, exitFileError);
    EXPECT_EQ(err.str(), "relperm generate: could not write to standard output\n");
}

} // namespace
} // namespace relperm::cli
