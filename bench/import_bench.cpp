// `relperm db import` of a large water-oil CSV file: 100 000 sets of 20 points each (about
// 100 MB, every value with the 15 digits a dump writes), read piece by piece and written
// set by set to a record file beside it, through the same RecordImport and
// AtomicFileWriter the command uses.
//
// Besides the time, the counters say how much memory the import took: peak_rss_MB is the
// process's peak resident size after the run, and rss_growth_MB how far the import raised
// it above what the process held before (the file is written out set by set, never held).
// The import must not grow with the number of sets: the growth stays at a few megabytes.
//
// importLongComment reads a file that opens with one comment line of 200 MB, as a file
// pasted together by hand or by a script may: comment text is dropped as it is read, so
// the growth stays at a few megabytes there too, and the time is that of reading the bytes.
#include "common/csv.h"
#include "common/filewrite.h"
#include "database/importfile.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace relperm;

constexpr int sets = 100000;
constexpr int points = 20;

double peakResidentMegabytes() {
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

// Writes the CSV file once for the whole run and removes it at the end.
struct LargeCsv {
    std::filesystem::path dir;
    std::filesystem::path csv;
    std::uintmax_t bytes = 0;
    int setCount = 0;

    LargeCsv(const char* name, int count, std::size_t commentBytes) : setCount(count) {
        dir = std::filesystem::temp_directory_path() /
              ("relperm-import-bench-" + std::to_string(::getpid()) + "-" + name);
        std::filesystem::create_directories(dir);
        csv = dir / "water-oil.csv";
        static const char* const wettability[] = {"Water-Wet", "Intermediate (Mixed) Wet",
                                                  "Oil-Wet"};
        static const char* const location[] = {"North America", "South America", "Africa",
                                               "Asia",          "Europe",        "Australia"};
        static const char* const lithology[] = {"Sandstone", "Limestone", "Dolomite", "Shale"};
        static const char* const method[] = {"Steady State", "Unsteady State", "Cap. Pressure",
                                             "Centrifuge"};
        std::ofstream out(csv, std::ios::binary);
        out << importFileComment(TwoPhaseSystem::WaterOil);
        if (commentBytes > 0) {
            const std::string chunk(1 << 20, 'x');
            out << "# ";
            for (std::size_t written = 0; written < commentBytes; written += chunk.size())
                out << chunk;
            out << "\r\n";
        }
        for (int r = 0; r < count; ++r) {
            CsvWriter w; // one set at a time, so the bench holds no more than the import
            w.text("set")
                .text(wettability[r % 3])
                .text(location[r % 6])
                .text(lithology[r % 4])
                .text(method[r % 4])
                .number(3000 + r % 9000)
                .number(0.1 + (r % 20) / 100.0)
                .number(1 + r % 500)
                .number(1 + r % 500)
                .number(0.1 + (r % 25) / 100.0)
                .number(0.15 + (r % 20) / 100.0)
                .endLine();
            for (int i = 0; i < points; ++i) {
                const double s = i / double(points - 1);
                w.number(s).number(0.4 * s * s * s).number((1 - s) * (1 - s)).endLine();
            }
            out << w.str();
        }
        out.close();
        bytes = std::filesystem::file_size(csv);
    }
    ~LargeCsv() { std::filesystem::remove_all(dir); }
};

void importFile(benchmark::State& state, const LargeCsv& file) {
    const double before = peakResidentMegabytes();
    for (auto _ : state) {
        AtomicFileWriter target(file.dir / "OWBIN");
        RecordImport import(TwoPhaseSystem::WaterOil,
                            [&](std::string_view bytes) { return target.append(bytes); });
        auto failure = import.addFile(file.csv);
        if (!failure)
            failure = import.finish();
        if (failure)
            state.SkipWithError(failure->message.c_str());
        else if (auto failed = target.commit())
            state.SkipWithError(failed->c_str());
        if (import.sets() != file.setCount)
            state.SkipWithError("not every set was imported");
    }
    const double after = peakResidentMegabytes();
    state.counters["peak_rss_MB"] = after;
    state.counters["rss_growth_MB"] = after - before;
    state.SetItemsProcessed(state.iterations() * file.setCount);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.bytes));
    state.SetLabel(std::to_string(file.bytes / 1000000) + " MB of CSV");
}

void importLargeFile(benchmark::State& state) {
    static const LargeCsv file("sets", sets, 0);
    importFile(state, file);
}

void importLongComment(benchmark::State& state) {
    static const LargeCsv file("comment", 1000, 200 << 20);
    importFile(state, file);
}

} // namespace

BENCHMARK(importLargeFile)->Unit(benchmark::kMillisecond);
BENCHMARK(importLongComment)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
