// Time of one whole Generate: reading the boxes, building both saturation columns, Corey,
// the oil fix-up and the finiteness check, on the finest spacing the tables allow.
#include "calculator/generate.h"
#include "calculator/grids.h"

#include <benchmark/benchmark.h>

namespace {

relperm::GenerateInput coreyInput(const char* spacing) {
    relperm::GenerateInput in;
    in.fluids = "Water-Oil-Gas";
    in.correlation = "Corey";
    in.swc = "20";
    in.sorw = "25";
    in.sorg = "10";
    in.sgc = "5";
    in.spacing = spacing;
    return in;
}

void generateCorey(benchmark::State& bench, const char* spacing) {
    const relperm::GenerateInput in = coreyInput(spacing);
    relperm::CalculatorState state;
    for (auto _ : bench) {
        auto refusal = relperm::generate(state, in);
        benchmark::DoNotOptimize(refusal);
        benchmark::DoNotOptimize(state.tables.krowTable.data());
    }
    bench.SetLabel(std::to_string(state.tables.nWaterOil) + " water-oil rows, " +
                   std::to_string(state.tables.nGasLiquid) + " gas rows");
}

void generateAndFormatGrids(benchmark::State& bench) {
    const relperm::GenerateInput in = coreyInput("1");
    relperm::CalculatorState state;
    for (auto _ : bench) {
        relperm::generate(state, in);
        auto water = relperm::waterOilGrid(state);
        auto gas = relperm::gasGrid(state);
        benchmark::DoNotOptimize(water);
        benchmark::DoNotOptimize(gas);
    }
}

} // namespace

BENCHMARK_CAPTURE(generateCorey, spacing_5pct, "5");
BENCHMARK_CAPTURE(generateCorey, spacing_1pct, "1");
BENCHMARK(generateAndFormatGrids);
BENCHMARK_MAIN();
