// The simulator writer's cost against the floor of writing the same values once: ten regions
// of SWOF and SGOF, 1 000 rows each, through simulatorFile, beside the same 80 000 values
// written with std::to_chars alone.
#include "common/simulatorfile.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>

namespace {

constexpr int regions = 10;
constexpr int rows = 1000;

std::vector<relperm::RegionTables> tables() {
    std::vector<relperm::RegionTables> out;
    for (int r = 0; r < regions; ++r) {
        relperm::RegionTables region{"SATNUM " + std::to_string(r + 1), {}, {}, {}, {}};
        const double swl = 0.1 + 0.01 * r;
        region.tables.swc = swl;
        for (int i = 0; i < rows; ++i) {
            const double s = static_cast<double>(i) / (rows - 1);
            region.tables.waterOil.push_back({swl + (1 - swl) * s, 0.6 * std::pow(s, 2.5),
                                              std::pow(1 - s, 2), 2 * std::pow(1 - s, 3)});
            region.tables.gas.push_back(
                {(1 - swl) * s, std::pow(1 - s, 2.2), 0.9 * std::pow(s, 1.8), 0});
        }
        out.push_back(region);
    }
    return out;
}

void writer(benchmark::State& bench) {
    const auto regionTables = tables();
    const relperm::SimulatorOptions options{
        .keywords = {relperm::Keyword::SWOF, relperm::Keyword::SGOF}};
    std::size_t bytes = 0;
    for (auto _ : bench) {
        auto text = relperm::simulatorFile(regionTables, {}, options);
        bytes = std::get<std::string>(text).size();
        benchmark::DoNotOptimize(bytes);
    }
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * bytes));
}

// The floor: every value written once, at the writer's 15 significant digits.
void valuesOnce(benchmark::State& bench) {
    const auto regionTables = tables();
    std::string text;
    for (auto _ : bench) {
        text.clear();
        char buf[32];
        for (const auto& region : regionTables)
            for (const auto* table : {&region.tables.waterOil, &region.tables.gas})
                for (const relperm::SaturationRow& row : *table)
                    for (double v : {row.saturation, row.first, row.second, row.pc}) {
                        auto [end, ec] =
                            std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
                        (void)ec;
                        text.append(buf, end);
                        text += ' ';
                    }
        benchmark::DoNotOptimize(text.data());
    }
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * text.size()));
}

} // namespace

BENCHMARK(writer)->Unit(benchmark::kMillisecond);
BENCHMARK(valuesOnce)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
