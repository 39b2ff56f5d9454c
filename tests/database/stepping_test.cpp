// Show and Count carry on from what earlier scans of the same selection found; whatever
// the file holds and however it changes between Shows, they must give exactly what a scan
// that re-reads the file from its first record gives: the match number, the data set shown
// (the end record past the last match, a stored record without points where one ends the
// data), whether any record was found, and the report of a damaged record.
#include "database/browser.h"
#include "database/search.h"
#include "random_records.h"
#include "records.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <random>
#include <sys/stat.h>

namespace relperm {
namespace {

using namespace relperm::testing;
using Stepping = TempDirTest;

struct Side {
    ScanState scan;
    MeasuredDataSet set;
    std::optional<DataFileProblem> problem;
};

void expectSame(TwoPhaseSystem system, const Side& carried, const Side& reread,
                const std::string& step) {
    SCOPED_TRACE(step);
    EXPECT_EQ(carried.scan.matchCount, reread.scan.matchCount);
    EXPECT_EQ(carried.scan.noMoreData, reread.scan.noMoreData);
    EXPECT_EQ(carried.problem.has_value(), reread.problem.has_value());
    if (carried.problem && reread.problem) {
        EXPECT_EQ(carried.problem->message(), reread.problem->message());
    }
    ASSERT_EQ(carried.set.pointCount, reread.set.pointCount);
    for (const HeaderField& field : headerFields(system)) {
        const TaggedValue& a = carried.set.*field.member;
        const TaggedValue& b = reread.set.*field.member;
        EXPECT_EQ(a.tag, b.tag) << field.name;
        EXPECT_EQ(a.value(), b.value()) << field.name;
        EXPECT_EQ(a.text, b.text) << field.name;
    }
    for (int i = 1; i <= carried.set.pointCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        EXPECT_EQ(carried.set.normSat[at], reread.set.normSat[at]) << "point " << i;
        EXPECT_EQ(carried.set.krAxis[at], reread.set.krAxis[at]) << "point " << i;
        EXPECT_EQ(carried.set.krOther[at], reread.set.krOther[at]) << "point " << i;
    }
}

// A file written in place gets a modification time of its own, as one written a moment
// later would; two writes of the same size within the file system's clock tick are not
// told apart by the identity the scans keep.
void touch(const std::filesystem::path& path, int tick) {
    const timespec times[2] = {{1700000000 + tick, 0}, {1700000000 + tick, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

TEST_F(Stepping, CarryingOnGivesWhatReReadingTheFileGives) {
    int tick = 0;
    for (unsigned seed = 1; seed <= 150; ++seed) {
        RandomRecords random(seed);
        const TwoPhaseSystem system = allSystems[static_cast<std::size_t>(random.pick(0, 3))];
        const std::filesystem::path path = dir / dataFileName(system);
        writeDataFile(dir, system, random.file(system));
        touch(path, ++tick);

        SearchCriteria lists = random.lists();
        ToleranceSearch search{random.chance(30), static_cast<double>(random.pick(0, 10))};
        UserEndPoints user{random.endPoint(), random.endPoint(), random.endPoint()};
        Side carried, reread;
        for (int step = 0; step < 40; ++step) {
            std::string what;
            switch (random.pick(0, 12)) {
            case 0:
                what = "a count";
                carried.scan.targetMatch = reread.scan.targetMatch = 0;
                break;
            case 1:
                what = "another selection";
                lists = random.lists();
                search.enabled = random.chance(30);
                user.sgc = random.endPoint();
                break;
            case 2:
                what = "the file written anew in place";
                writeDataFile(dir, system, random.file(system));
                touch(path, ++tick);
                break;
            case 3: {
                what = "records added at the end";
                std::ofstream(path, std::ios::binary | std::ios::app)
                    << encodeRecord(system, random.set());
                touch(path, ++tick);
                break;
            }
            case 4:
                what = "the file replaced by another";
                writeBytes(dir / "next", random.file(system));
                std::filesystem::rename(dir / "next", path);
                break;
            case 5:
                what = "the file removed";
                std::filesystem::remove(path);
                break;
            default:
                what = "a Show";
                ++carried.scan.targetMatch;
                ++reread.scan.targetMatch;
                break;
            }
            carried.problem =
                FindDataSet(dir, system, lists, search, user, carried.scan, carried.set);
            reread.problem =
                FindDataSetFromStart(dir, system, lists, search, user, reread.scan, reread.set);
            expectSame(system, carried, reread,
                       "seed " + std::to_string(seed) + ", step " + std::to_string(step) + ": " +
                           what + ", match " + std::to_string(reread.scan.targetMatch));
            if (::testing::Test::HasFailure())
                return;
        }
    }
}

// The point of carrying on: a Show reads the record it shows, not the matches before it.
// Records before match 150 garbled behind the scans' back, with the file's size and time
// put back, are never read again: the Show still finds match 150 where the count saw it,
// where a scan from the first record stops at the garbled one.
TEST_F(Stepping, AShowAfterACountReadsOnlyTheRecordItShows) {
    const std::vector<SetRecipe> sets(200, SetRecipe{.location = 4});
    const std::string bytes = recordsOf(WO, sets);
    writeDataFile(dir, WO, bytes);
    touch(dir / "OWBIN", 1);
    ScanState scan;
    MeasuredDataSet set;
    FindDataSet(dir, WO, {}, {}, {}, scan, set);
    EXPECT_EQ(scan.matchCount, 200);

    const std::size_t recordSize = bytes.size() / 200;
    std::string garbled = bytes;
    std::fill_n(garbled.begin(), 149 * recordSize, '\x7f');
    {
        std::fstream file(dir / "OWBIN", std::ios::binary | std::ios::in | std::ios::out);
        file << garbled;
    }
    touch(dir / "OWBIN", 1);

    scan.targetMatch = 150;
    EXPECT_FALSE(FindDataSet(dir, WO, {}, {}, {}, scan, set));
    EXPECT_EQ(scan.matchCount, 150);
    EXPECT_EQ(set.locationCode.value(), 4);
    EXPECT_EQ(set.pointCount, 3);

    ScanState fromStart;
    fromStart.targetMatch = 150;
    EXPECT_TRUE(FindDataSetFromStart(dir, WO, {}, {}, {}, fromStart, set));
    EXPECT_EQ(fromStart.matchCount, 0);
}

// A user's selection drawn at random and replayed into a browser, as `relperm db` does: the
// system, the lists, the search option and tolerance, the boxes typed Swc, Sor, Sgc (some
// left empty, so the Sgc default the first display puts in place matters), then Count.
struct RandomSelection {
    TwoPhaseSystem system;
    SearchCriteria lists;
    bool searchPercent;
    std::string tolerance;
    std::vector<std::pair<EndPointBox, std::string>> typed;

    explicit RandomSelection(RandomRecords& random)
        : system(allSystems[static_cast<std::size_t>(random.pick(0, 3))]), lists(random.lists()),
          searchPercent(random.chance(60)), tolerance(std::to_string(random.pick(0, 10))) {
        for (EndPointBox box : {EndPointBox::Swc, EndPointBox::Sor, EndPointBox::Sgc})
            if (random.chance(35))
                typed.emplace_back(box, std::to_string(random.pick(0, 35)));
    }

    void replay(DatabaseBrowser& b) const {
        b.pick(BrowserList::TwoPhase, static_cast<int>(system));
        if (system == WO)
            b.pick(BrowserList::Wettability, lists.wettability);
        b.pick(BrowserList::Lithology, lists.lithology);
        b.pick(BrowserList::Location, lists.location);
        b.pick(BrowserList::Method, lists.method);
        if (searchPercent)
            b.Option2_Click();
        b.typeTolerance(tolerance);
        for (const auto& [box, text] : typed)
            b.typeEndPoint(box, text);
        b.Command2_Click();
    }
};

// What a user sees after a command: the number, the grids shown, the description, the
// buttons, and the lost records reported.
std::string shownState(const DatabaseBrowser& b, const std::optional<DataFileProblem>& problem) {
    std::string seen = "match " + std::to_string(b.scan().matchCount) + ", no data " +
                       std::to_string(b.scan().noMoreData) + "\n";
    for (const char* control :
         {"Label2",  "Label3",   "Label4",   "Label6",      "Label7",      "Label8",   "Label9",
          "Label11", "Command1", "Command2", "Command3",    "Frame1",      "Frame2",   "swcin",
          "sorin",   "sgcin",    "wettpk",   "MSFlexGrid2", "MSFlexGrid1", "Picture1", "vomar"})
        seen += std::string(control) + (b.isShown(control) ? " shown: " : " hidden: ") +
                b.caption(control) + "\n";
    seen += tabSeparated(b.asInputGrid()) + "\n";
    if (b.isShown("MSFlexGrid1"))
        seen += tabSeparated(b.adjustedGrid()) + "\n";
    seen += renderDescription(b.description());
    seen += "plot of " + std::to_string(b.plot().items.size()) + " items\n";
    seen += problem ? problem->message() : "nothing lost";
    return seen;
}

// `db show --match k` and `fit --match k` reach match k with one Show that reads one record
// (pressShow); it must show and report all that k Shows pressed one by one do, up to and
// past the last match, at a damaged record and at a stored record without points.
TEST_F(Stepping, OneShowForKPressesShowsWhatKPressesShow) {
    for (unsigned seed = 1; seed <= 200; ++seed) {
        RandomRecords random(seed);
        const RandomSelection selection(random);
        writeDataFile(dir, selection.system, random.file(selection.system));
        const int presses = random.pick(1, 35);

        DatabaseBrowser pressed(dir);
        selection.replay(pressed);
        std::optional<DataFileProblem> pressedLost = pressed.lastProblem();
        for (int press = 0; press < presses; ++press) {
            pressed.Command1_Click();
            if (pressed.lastProblem())
                pressedLost = pressed.lastProblem();
        }

        DatabaseBrowser jumped(dir);
        selection.replay(jumped);
        std::optional<DataFileProblem> jumpedLost = jumped.lastProblem();
        if (auto met = jumped.pressShow(presses))
            jumpedLost = met;

        SCOPED_TRACE("seed " + std::to_string(seed) + ", " + std::to_string(presses) + " presses");
        EXPECT_EQ(shownState(jumped, jumpedLost), shownState(pressed, pressedLost));
        expectSame(selection.system, {jumped.scan(), jumped.dataSet(), jumpedLost},
                   {pressed.scan(), pressed.dataSet(), pressedLost}, "the data set");
        EXPECT_EQ(jumped.userEndPoints(), pressed.userEndPoints());
        if (HasFailure())
            return;
    }
}

} // namespace
} // namespace relperm
