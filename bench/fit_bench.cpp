// Time of one whole fit of a water-oil set of 15 points: the closed-form start and the
// bounded least squares of both curves. Corey should stay under a millisecond, so a window
// can refit as the user steps through the sets; LET tries several starts and costs more.
#include "analysis/fit.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>

namespace {

// A laboratory-like set: Corey curves (nw 3, now 2) with kr rounded to four decimals, as
// reports print them, at uneven saturations.
relperm::MeasuredDataSet measuredWaterOil() {
    relperm::MeasuredDataSet set;
    set.connateWater = relperm::TaggedValue::of(0.2);
    set.residualOilToWater = relperm::TaggedValue::of(0.25);
    constexpr int count = 15;
    set.pointCount = count;
    for (int i = 1; i <= count; ++i) {
        const double x = static_cast<double>(i - 1) / (count - 1);
        const double s = x * x * (3 - 2 * x); // denser near both ends
        const auto at = static_cast<std::size_t>(i);
        set.normSat[at] = s;
        set.krAxis[at] = std::round(4000 * std::pow(s, 3)) / 10000;
        set.krOther[at] = std::round(9000 * std::pow(1 - s, 2)) / 10000;
    }
    return set;
}

void fit(benchmark::State& bench, relperm::FitModel model) {
    const relperm::MeasuredDataSet set = measuredWaterOil();
    const auto once = relperm::fitDataSet(relperm::TwoPhaseSystem::WaterOil, set, model);
    if (const auto* refusal = std::get_if<relperm::Refusal>(&once)) {
        bench.SkipWithError(refusal->message.c_str());
        return;
    }
    for (auto _ : bench) {
        auto fitted = relperm::fitDataSet(relperm::TwoPhaseSystem::WaterOil, set, model);
        benchmark::DoNotOptimize(fitted);
    }
    char rms[32];
    std::snprintf(rms, sizeof rms, "%.2g", std::get<relperm::FittedSet>(once).rms);
    bench.SetLabel(std::string("15 points, rms ") + rms);
}

} // namespace

BENCHMARK_CAPTURE(fit, Corey, relperm::FitModel::Corey)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(fit, Let, relperm::FitModel::Let)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
