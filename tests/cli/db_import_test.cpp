// relperm db import writes the record file set by set as it reads the CSV files, and still
// refuses the whole import for a bad row anywhere, leaving the old file as it was.
#include "cli/commands.h"
#include "database/records.h"
#include "support/run_relperm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace relperm::cli {
namespace {

using namespace relperm::testing;

using DbImport = TempDirTest;

// Sets are written as they are read, yet a bad row anywhere, also past the first megabyte
// or in the second file, leaves the old record file as it was and no temporary file.
TEST_F(DbImport, ImportRefusedAnywhereKeepsTheOldFileByteForByte) {
    std::string large;
    while (large.size() < 3000000)
        large += "set,1,1,1,1,1,.2,1,1,.2,.3\r\n0,0,1\r\n.5,.1,.3\r\n1,.4,0\r\n";
    writeBytes(dir / "large.csv", large);
    writeBytes(dir / "lastline.csv", large + "1,.4,-1");
    writeBytes(dir / "nopoints.csv", large + "set,1,1,1,1,1,.2,1,1,.2,.3\n" + large);
    writeBytes(dir / "second.csv", "set,1,1,1,1,1,.2,1,1,.2,.3\n0,0,1\n\n0,0,x\n");
    const auto target = dir / "OWBIN";
    const std::string old = recordsOf(WO, {SetSpec{}});
    writeBytes(target, old);
    const auto folder = [&] {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
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
