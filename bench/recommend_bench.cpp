// A whole recommendation over a large water-oil file: 10 000 sets of 15 points each, every
// one fitted with Corey, then the percentiles of every parameter. It should stay under a
// second, so `relperm recommend` over a field's whole database answers at once.
//
// Then the window's plot of a recommendation from many fits: its scene must stay the same
// small size, and take the same few milliseconds, however many sets were fitted, since the
// window builds it again at every step of its slider.
#include "analysis/recommend.h"
#include "analysis/recommendplot.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <variant>
#include <vector>

namespace {

using namespace relperm;

constexpr int records = 10000;
constexpr int points = 15;

// Writes the file once for the whole run and removes it at the end. The sets spread as a
// field's do: end points, exponents and end kr all differ, and kr is rounded to four
// decimals, as reports print it.
struct LargeFile {
    std::filesystem::path dir;

    LargeFile() {
        dir = std::filesystem::temp_directory_path() /
              ("relperm-recommend-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        std::ofstream out(dir / dataFileName(TwoPhaseSystem::WaterOil), std::ios::binary);
        MeasuredDataSet set;
        set.pointCount = points;
        for (int r = 0; r < records; ++r) {
            set.wettingCode = TaggedValue::of(r % 3 + 1, ValueTag::Int16);
            set.locationCode = TaggedValue::of(r % 6 + 1, ValueTag::Int16);
            set.lithologyCode = TaggedValue::of(r % 4 + 1, ValueTag::Int16);
            set.methodCode = TaggedValue::of(r % 2 + 1, ValueTag::Int16);
            set.porosityFraction = TaggedValue::of(0.1 + (r % 20) / 100.0);
            set.permeabilityMd = TaggedValue::of(1 + r % 500);
            set.connateWater = TaggedValue::of(0.1 + (r % 25) / 100.0);
            set.residualOilToWater = TaggedValue::of(0.15 + (r % 20) / 100.0);
            const double nw = 1.5 + (r % 31) / 10.0;
            const double now = 1.5 + (r * 7 % 29) / 10.0;
            const double krwEnd = 0.2 + (r % 13) / 20.0;
            for (int i = 1; i <= points; ++i) {
                const double x = (i - 1) / double(points - 1);
                const double s = x * x * (3 - 2 * x); // denser near both ends
                set.normSat[i] = s;
                set.krAxis[i] = std::round(10000 * krwEnd * std::pow(s, nw)) / 10000;
                set.krOther[i] = std::round(9000 * std::pow(1 - s, now)) / 10000;
            }
            out << encodeRecord(TwoPhaseSystem::WaterOil, set);
        }
    }
    ~LargeFile() { std::filesystem::remove_all(dir); }
};

const LargeFile& largeFile() {
    static const LargeFile file;
    return file;
}

void recommendCorey(benchmark::State& bench) {
    const LargeFile& file = largeFile();
    std::size_t fitted = 0;
    for (auto _ : bench) {
        auto rec = recommendScal(file.dir, TwoPhaseSystem::WaterOil, {}, {}, {}, FitModel::Corey);
        if (const auto* refusal = std::get_if<Refusal>(&rec)) {
            bench.SkipWithError(refusal->message.c_str());
            return;
        }
        fitted = std::get<ScalRecommendation>(rec).fits.size();
        benchmark::DoNotOptimize(rec);
    }
    bench.SetLabel(std::to_string(fitted) + " of " + std::to_string(records) +
                   " sets fitted, 15 points each");
}

// A recommendation from `fits` Corey fits spread as a field's are, without reading a file.
ScalRecommendation recommendationOf(int fits) {
    std::vector<FittedSet> made(static_cast<std::size_t>(fits));
    for (int r = 0; r < fits; ++r) {
        FittedSet& fit = made[static_cast<std::size_t>(r)];
        fit.ends = {.swl = 0.1 + (r % 25) / 100.0, .sorw = 0.15 + (r % 20) / 100.0};
        fit.rising = {.n = 1.5 + (r % 31) / 10.0, .end = 0.2 + (r % 13) / 20.0};
        fit.falling = {.n = 1.5 + (r * 7 % 29) / 10.0, .end = 0.9};
        fit.points = points;
    }
    return std::get<ScalRecommendation>(
        recommendFromFits(TwoPhaseSystem::WaterOil, FitModel::Corey, std::move(made)));
}

void plotOfManyFits(benchmark::State& bench) {
    const ScalRecommendation rec = recommendationOf(static_cast<int>(bench.range(0)));
    std::size_t items = 0;
    for (auto _ : bench) {
        Scene scene = recommendationPlot(rec, 0.5);
        items = scene.items.size();
        benchmark::DoNotOptimize(scene);
    }
    bench.counters["items"] = static_cast<double>(items);
    bench.counters["MB"] = static_cast<double>(items * sizeof(ScenePrimitive)) / 1e6;
}

} // namespace

BENCHMARK(recommendCorey)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(plotOfManyFits)->Unit(benchmark::kMillisecond)->Arg(100)->Arg(10000)->Arg(1000000);

BENCHMARK_MAIN();
