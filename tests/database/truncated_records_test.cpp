// A record file cut short at every byte offset, as a copy interrupted by a full disk or a
// lost connection leaves it: the records before the cut are read exactly as written, the
// record the cut falls in is reported by file and record number, and nothing after it is
// read. The suite's sanitizer run checks that no cut makes the reader look past its data.
#include "records.h"
#include "support/run_relperm.h"

#include <gtest/gtest.h>

namespace relperm {
namespace {

using namespace relperm::testing;
using TruncatedRecords = TempDirTest;

// Three records in every tag the writer uses: 16-bit and 32-bit integers, singles, doubles,
// strings and empty values, with 3, 1 and 5 points.
std::vector<MeasuredDataSet> threeRecords() {
    MeasuredDataSet first = makeSet(SetRecipe{.location = 2, .lithology = 3});
    MeasuredDataSet second = makeSet(SetRecipe{.points = {{0.5, 0.25, 0.5}}});
    second.locationCode = TaggedValue::ofText("Bakken");
    second.depthFtSs = TaggedValue{};
    second.permeabilityMd = TaggedValue::of(125, ValueTag::Int32);
    second.porosityFraction = TaggedValue::of(0.25, ValueTag::Single);
    MeasuredDataSet third = makeSet(
        SetRecipe{.method = 2,
                  .points = {{0, 0, 1}, {.2, .01, .6}, {.5, .1, .3}, {.8, .3, .05}, {1, .5, 0}}});
    third.wettingCode = TaggedValue::ofText("");
    return {first, second, third};
}

TEST_F(TruncatedRecords, EveryCutKeepsTheRecordsBeforeItAndReportsTheOneItFallsIn) {
    for (TwoPhaseSystem system : allSystems) {
        SCOPED_TRACE(dataFileName(system));
        std::string bytes;
        std::vector<std::string> records;
        std::vector<std::size_t> ends; // offset just past each record
        for (const MeasuredDataSet& set : threeRecords()) {
            records.push_back(encodeRecord(system, set));
            bytes += records.back();
            ends.push_back(bytes.size());
        }

        for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
            SCOPED_TRACE("cut at byte " + std::to_string(cut));
            writeDataFile(dir, system, bytes.substr(0, cut));
            const std::size_t complete = static_cast<std::size_t>(std::count_if(
                ends.begin(), ends.end(), [&](std::size_t end) { return end <= cut; }));
            const bool atABoundary = cut == 0 || (complete > 0 && ends[complete - 1] == cut);

            RecordFile file(dir, system);
            MeasuredDataSet set;
            std::size_t stored = 0;
            ReadOutcome outcome = ReadOutcome::End;
            while (!file.AtEnd() && (outcome = file.ReadRecord(set)) == ReadOutcome::Stored) {
                ASSERT_LT(stored, complete) << "a record read past the cut";
                EXPECT_EQ(encodeRecord(system, set), records[stored])
                    << "record " << stored + 1 << " differs from what was written";
                ++stored;
            }
            EXPECT_EQ(stored, complete);
            EXPECT_TRUE(file.AtEnd());
            if (atABoundary) {
                EXPECT_EQ(outcome, ReadOutcome::End);
                EXPECT_FALSE(file.problem()) << file.problem()->message();
                continue;
            }
            EXPECT_EQ(outcome, ReadOutcome::Damaged);
            EXPECT_EQ(set.pointCount, 0) << "the data set holds the end record";
            ASSERT_TRUE(file.problem());
            EXPECT_EQ(file.problem()->message(),
                      (dir / dataFileName(system)).string() + ", record " +
                          std::to_string(complete + 1) +
                          ": the file ends inside the record; the records from there on were "
                          "not read.");
        }
    }
}

// What a user of the command line sees: the sets before the cut, then the report and the
// exit status of a file that lost records.
TEST_F(TruncatedRecords, DumpWritesTheSetsBeforeTheCutAndExitsWithTheReport) {
    const std::vector<MeasuredDataSet> sets = threeRecords();
    const std::string whole =
        encodeRecord(WO, sets[0]) + encodeRecord(WO, sets[1]) + encodeRecord(WO, sets[2]);
    writeDataFile(dir, WO, encodeRecord(WO, sets[0]));
    const Outcome first = relperm({"db", "dump", "--system", "Water-Oil Data", "--dir", dir});
    ASSERT_EQ(first.status, 0) << first.err;

    const std::size_t inSecond = encodeRecord(WO, sets[0]).size() + 7;
    writeDataFile(dir, WO, whole.substr(0, inSecond));
    const Outcome cut = relperm({"db", "dump", "--system", "Water-Oil Data", "--dir", dir});
    EXPECT_EQ(cut.status, 1);
    EXPECT_EQ(cut.out, first.out) << "the first set, as a whole file of it dumps";
    EXPECT_EQ(cut.err, "relperm db: " + (dir / "OWBIN").string() +
                           ", record 2: the file ends inside the record; the records from there "
                           "on were not read.\n");
}

} // namespace
} // namespace relperm
