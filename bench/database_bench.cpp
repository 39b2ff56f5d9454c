// The browser's scans over a large water-oil file: 100 000 records of 20 points each
// (about 68 MB, every value a double; RELPERM_BENCH_SETS=1000000 for 678 MB), read from the
// page cache.
//
// - dumpStreamed, listStreamed: `relperm db dump` and `db list` as they write their text,
//   piece by piece as the file is read; dumpWhole and listWhole the same text held whole
//   in memory, as they once wrote it. rss_growth_MB is how far each raised the process's
//   peak resident size (the streamed ones run first and the largest last, so none is hidden
//   under another's): the streamed ones hold a piece of 64 kB, whatever the file's size.
// - readFile: the file read in blocks and nothing else, the most any scan can reach.
// - countScan: a count that reads the whole file (no earlier scan to carry on from).
// - showMatch20000: what `relperm db show --match 20000` does in the browser model: the
//   count of the last list pick, the count, then 20 000 Shows pressed as one command, which
//   go straight to match 20 000 through the count's index; the counter `counts` is its
//   time in counts: about 1 (the second count carries on from the first, and the Show reads
//   one record), where 20 000 Shows pressed one by one cost about 4.
// - stepThroughAllMatches: a count, then one Show (with its display) per match.
// - showNext: one Show Next at a time; `slowest_us` is the slowest single one.
#include "database/adjust.h"
#include "database/browser.h"
#include "database/display.h"
#include "database/importfile.h"
#include "database/matchlist.h"
#include "database/plot.h"
#include "database/search.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace relperm;

const int records = [] {
    const char* sets = std::getenv("RELPERM_BENCH_SETS");
    return sets ? std::atoi(sets) : 100000;
}();
constexpr int points = 20;

double peakResidentMegabytes() {
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

// Writes the file once for the whole run and removes it at the end.
struct LargeFile {
    std::filesystem::path dir;
    std::int64_t bytes = 0;

    LargeFile() {
        dir = std::filesystem::temp_directory_path() /
              ("relperm-database-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        std::ofstream out(dir / dataFileName(TwoPhaseSystem::WaterOil), std::ios::binary);
        MeasuredDataSet set;
        set.pointCount = points;
        for (int r = 0; r < records; ++r) {
            set.wettingCode = TaggedValue::of(r % 3 + 1, ValueTag::Int16);
            set.locationCode = TaggedValue::of(r % 6 + 1, ValueTag::Int16);
            set.lithologyCode = TaggedValue::of(r % 4 + 1, ValueTag::Int16);
            set.methodCode = TaggedValue::of(r % 4 + 1, ValueTag::Int16);
            set.depthFtSs = TaggedValue::of(3000 + r % 9000);
            set.porosityFraction = TaggedValue::of(0.1 + (r % 20) / 100.0);
            set.permeabilityMd = TaggedValue::of(1 + r % 500);
            set.absPermeabilityMd = set.permeabilityMd;
            set.connateWater = TaggedValue::of(0.1 + (r % 25) / 100.0);
            set.residualOilToWater = TaggedValue::of(0.15 + (r % 20) / 100.0);
            for (int i = 1; i <= points; ++i) {
                const double s = (i - 1) / double(points - 1);
                set.normSat[i] = s;
                set.krAxis[i] = 0.4 * s * s * s;
                set.krOther[i] = (1 - s) * (1 - s);
            }
            out << encodeRecord(TwoPhaseSystem::WaterOil, set);
        }
        out.close();
        bytes = static_cast<std::int64_t>(
            std::filesystem::file_size(dir / dataFileName(TwoPhaseSystem::WaterOil)));
    }
    ~LargeFile() { std::filesystem::remove_all(dir); }
};

const LargeFile& largeFile() {
    static const LargeFile file;
    return file;
}

// One count from a scan state that holds nothing, so every record is read.
double coldCount(const LargeFile& file, const SearchCriteria& lists = {},
                 const ToleranceSearch& search = {}, const UserEndPoints& user = {}) {
    MeasuredDataSet set;
    ScanState scan;
    FindDataSet(file.dir, TwoPhaseSystem::WaterOil, lists, search, user, scan, set);
    return scan.matchCount;
}

// Text handed on in pieces and dropped, as a pipe to another program takes it.
struct DroppedText {
    std::uint64_t bytes = 0;
    bool take(std::string_view piece) {
        bytes += piece.size();
        benchmark::DoNotOptimize(piece.data());
        return true;
    }
};

void reportMemory(benchmark::State& state, double peakBefore, std::uint64_t bytesWritten) {
    state.counters["rss_growth_MB"] = peakResidentMegabytes() - peakBefore;
    state.counters["peak_rss_MB"] = peakResidentMegabytes();
    state.counters["text_MB"] = static_cast<double>(bytesWritten) / 1e6;
}

void dumpStreamed(benchmark::State& state) {
    const LargeFile& file = largeFile();
    const double before = peakResidentMegabytes();
    DroppedText out;
    for (auto _ : state) {
        out = {};
        const DumpResult dump =
            dumpDataFile(file.dir, TwoPhaseSystem::WaterOil,
                         [&](std::string_view piece) { return out.take(piece); });
        if (dump.records != records)
            state.SkipWithError("not every record was dumped");
    }
    reportMemory(state, before, out.bytes);
    state.SetItemsProcessed(state.iterations() * records);
}

// The rows of every set, as `db list` writes them: what the window's list CSV holds.
void listStreamed(benchmark::State& state) {
    const LargeFile& file = largeFile();
    const double before = peakResidentMegabytes();
    DroppedText out;
    for (auto _ : state) {
        out = {};
        writeMatchList(file.dir, TwoPhaseSystem::WaterOil, {}, {}, {},
                       [&](std::string_view piece) { return out.take(piece); });
    }
    reportMemory(state, before, out.bytes);
    state.SetItemsProcessed(state.iterations() * records);
}

void dumpWhole(benchmark::State& state) {
    const LargeFile& file = largeFile();
    const double before = peakResidentMegabytes();
    std::uint64_t bytes = 0;
    for (auto _ : state)
        bytes = dumpDataFile(file.dir, TwoPhaseSystem::WaterOil).text.size();
    reportMemory(state, before, bytes);
    state.SetItemsProcessed(state.iterations() * records);
}

void listWhole(benchmark::State& state) {
    const LargeFile& file = largeFile();
    const double before = peakResidentMegabytes();
    std::uint64_t bytes = 0;
    for (auto _ : state)
        bytes = matchListCsv(listMatches(file.dir, TwoPhaseSystem::WaterOil, {}, {}, {})).size();
    reportMemory(state, before, bytes);
    state.SetItemsProcessed(state.iterations() * records);
}

void readFile(benchmark::State& state) {
    const LargeFile& file = largeFile();
    std::vector<char> block(256 * 1024);
    for (auto _ : state) {
        const int fd = ::open((file.dir / "OWBIN").c_str(), O_RDONLY);
        std::int64_t total = 0;
        for (ssize_t got; (got = ::read(fd, block.data(), block.size())) > 0;)
            total += got;
        ::close(fd);
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(state.iterations() * file.bytes);
}

void countScan(benchmark::State& state) {
    const LargeFile& file = largeFile();
    for (auto _ : state)
        if (coldCount(file) != records)
            state.SkipWithError("not every record was counted");
    state.SetItemsProcessed(state.iterations() * records);
    state.SetBytesProcessed(state.iterations() * file.bytes);
    state.SetLabel(std::to_string(file.bytes / 1000000) + " MB");
}

// The count under "Search %" with every end point given: the tolerance test on each record.
void countScanWithinTolerance(benchmark::State& state) {
    const LargeFile& file = largeFile();
    const UserEndPoints user{.swc = 0.2, .sor = 0.25, .sgc = std::nullopt};
    for (auto _ : state)
        benchmark::DoNotOptimize(coldCount(file, {.method = 2}, {true, 5}, user));
    state.SetItemsProcessed(state.iterations() * records);
    state.SetBytesProcessed(state.iterations() * file.bytes);
}

// The browser with every list at "All ..." and the count of the last pick done.
void selectAll(DatabaseBrowser& browser) {
    browser.pick(BrowserList::TwoPhase, 0);
    for (BrowserList list : {BrowserList::Wettability, BrowserList::Lithology,
                             BrowserList::Location, BrowserList::Method})
        browser.pick(list, 0);
}

double secondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void showMatch20000(benchmark::State& state) {
    const LargeFile& file = largeFile();
    const double count = secondsOf([&] { coldCount(file); });
    double total = 0;
    for (auto _ : state) {
        total += secondsOf([&] {
            DatabaseBrowser browser(file.dir);
            selectAll(browser);
            browser.Command2_Click();
            browser.pressShow(20000);
            if (browser.scan().matchCount != 20000)
                state.SkipWithError("match 20000 was not shown");
        });
    }
    state.counters["counts"] = total / static_cast<double>(state.iterations()) / count;
}

// `db show --match 1000000` over the 100 000 records: past the last match, one Show that
// reads the record that ends the data.
void showPastTheLastMatch(benchmark::State& state) {
    const LargeFile& file = largeFile();
    for (auto _ : state) {
        DatabaseBrowser browser(file.dir);
        selectAll(browser);
        browser.Command2_Click();
        browser.pressShow(1000000);
        if (browser.scan().matchCount != records || browser.dataSet().pointCount != 0)
            state.SkipWithError("the run did not end past the last match");
    }
}

void stepThroughAllMatches(benchmark::State& state) {
    const LargeFile& file = largeFile();
    for (auto _ : state) {
        DatabaseBrowser browser(file.dir);
        selectAll(browser);
        for (int press = 0; press < records; ++press)
            browser.Command1_Click();
        if (browser.scan().matchCount != records || browser.dataSet().pointCount != points)
            state.SkipWithError("the last match was not shown");
    }
    state.SetItemsProcessed(state.iterations() * records);
}

void showNext(benchmark::State& state) {
    const LargeFile& file = largeFile();
    DatabaseBrowser browser(file.dir);
    selectAll(browser);
    browser.Command1_Click(); // the first Show after the count
    double slowest = 0;
    for (auto _ : state) {
        if (browser.scan().matchCount == records) {
            state.PauseTiming();
            browser.Command2_Click();
            browser.Command1_Click();
            state.ResumeTiming();
        }
        slowest = std::max(slowest, secondsOf([&] { browser.Command1_Click(); }));
    }
    state.counters["slowest_us"] = slowest * 1e6;
}

} // namespace

BENCHMARK(dumpStreamed)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(listStreamed)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(listWhole)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(dumpWhole)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(readFile)->Unit(benchmark::kMillisecond);
BENCHMARK(countScan)->Unit(benchmark::kMillisecond);
BENCHMARK(countScanWithinTolerance)->Unit(benchmark::kMillisecond);
BENCHMARK(showMatch20000)->Unit(benchmark::kMillisecond);
BENCHMARK(showPastTheLastMatch)->Unit(benchmark::kMillisecond);
BENCHMARK(stepThroughAllMatches)->Unit(benchmark::kMillisecond);
BENCHMARK(showNext)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
