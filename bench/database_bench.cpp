// The browser's scans over a large water-oil file: 100 000 records of 20 points each
// (about 65 MB, every value a double). A count reads the whole file; showing the last match
// reads it too, then builds everything the window shows for that data set.
#include "database/adjust.h"
#include "database/display.h"
#include "database/plot.h"
#include "database/search.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using namespace relperm;

constexpr int records = 100000;
constexpr int points = 20;

// Writes the file once for the whole run and removes it at the end.
struct LargeFile {
    std::filesystem::path dir;
    std::uintmax_t bytes = 0;

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
        bytes = std::filesystem::file_size(dir / dataFileName(TwoPhaseSystem::WaterOil));
    }
    ~LargeFile() { std::filesystem::remove_all(dir); }
};

const LargeFile& largeFile() {
    static const LargeFile file;
    return file;
}

void countScan(benchmark::State& state) {
    const LargeFile& file = largeFile();
    MeasuredDataSet set;
    ScanState scan;
    for (auto _ : state) {
        scan.targetMatch = 0;
        FindDataSet(file.dir, TwoPhaseSystem::WaterOil, SearchCriteria{}, ToleranceSearch{},
                    UserEndPoints{}, scan, set);
        if (scan.matchCount != records)
            state.SkipWithError("not every record was counted");
    }
    state.SetItemsProcessed(state.iterations() * records);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.bytes));
    state.SetLabel(std::to_string(file.bytes / 1000000) + " MB");
}

// The count under "Search %" with every end point given: the tolerance test on each record.
void countScanWithinTolerance(benchmark::State& state) {
    const LargeFile& file = largeFile();
    MeasuredDataSet set;
    ScanState scan;
    const UserEndPoints user{.swc = 0.2, .sor = 0.25, .sgc = std::nullopt};
    for (auto _ : state) {
        scan.targetMatch = 0;
        FindDataSet(file.dir, TwoPhaseSystem::WaterOil, SearchCriteria{.method = 2},
                    ToleranceSearch{true, 5}, user, scan, set);
        benchmark::DoNotOptimize(scan.matchCount);
    }
    state.SetItemsProcessed(state.iterations() * records);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.bytes));
}

// Show of the last match: the scan to the last record, then the grids, the adjusted table,
// the description and the plot scene, as the window's Show builds them.
void showLastMatch(benchmark::State& state) {
    const LargeFile& file = largeFile();
    MeasuredDataSet set;
    ScanState scan;
    const UserEndPoints user{.swc = 0.2, .sor = 0.3, .sgc = std::nullopt};
    for (auto _ : state) {
        scan.targetMatch = records;
        FindDataSet(file.dir, TwoPhaseSystem::WaterOil, SearchCriteria{}, ToleranceSearch{},
                    UserEndPoints{}, scan, set);
        GridText asInput = asInputTable(TwoPhaseSystem::WaterOil, set);
        GridText adjusted = MakeAdjustedTable(TwoPhaseSystem::WaterOil, user, set);
        auto description = describeDataSet(TwoPhaseSystem::WaterOil, set);
        Scene plot = dataSetPlot(TwoPhaseSystem::WaterOil, set, true);
        benchmark::DoNotOptimize(asInput);
        benchmark::DoNotOptimize(adjusted);
        benchmark::DoNotOptimize(description);
        benchmark::DoNotOptimize(plot);
        if (scan.matchCount != records || set.pointCount != points)
            state.SkipWithError("the last match was not shown");
    }
    state.SetItemsProcessed(state.iterations() * records);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.bytes));
}

} // namespace

BENCHMARK(countScan)->Unit(benchmark::kMillisecond);
BENCHMARK(countScanWithinTolerance)->Unit(benchmark::kMillisecond);
BENCHMARK(showLastMatch)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
