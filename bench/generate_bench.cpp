// Time of one whole Generate for each procedure: reading the boxes, building both
// saturation columns, the correlation, the oil fix-up and the finiteness check, at the
// usual 5% spacing and at the finest 1% spacing.
#include "calculator/generate.h"
#include "calculator/grids.h"
#include "support/worked_example.h"

#include <benchmark/benchmark.h>

namespace {

relperm::GenerateInput input(const char* fluids, const char* correlation, const char* wettability,
                             const char* formation) {
    relperm::GenerateInput in =
        relperm::testing::workedExample(correlation, formation, wettability);
    in.fluids = fluids;
    return in;
}

void generate(benchmark::State& bench, relperm::GenerateInput in) {
    relperm::CalculatorState state;
    in.spacing = std::to_string(bench.range(0)); // percent
    for (auto _ : bench) {
        auto refusal = relperm::generate(state, in);
        if (refusal)
            bench.SkipWithError(refusal->message.c_str());
        benchmark::DoNotOptimize(state.tables.krgTable.data());
    }
    bench.SetLabel(std::to_string(state.tables.nWaterOil) + "+" +
                   std::to_string(state.tables.nGasLiquid) + " rows");
}

void generateAndFormatGrids(benchmark::State& bench) {
    relperm::GenerateInput in = input("Water-Oil-Gas", "Corey", "", "");
    in.spacing = "1";
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

BENCHMARK_CAPTURE(generate, Corey, input("Water-Oil-Gas", "Corey", "", ""))->Arg(5)->Arg(1);
BENCHMARK_CAPTURE(generate, Wyllie, input("Water-Oil-Gas", "Wyllie", "", "Sandstone"))
    ->Arg(5)
    ->Arg(1);
BENCHMARK_CAPTURE(generate, Honarpour,
                  input("Water-Oil-Gas", "Honarpour/Varnholt/Harvey", "Water Wet", "Carbonate"))
    ->Arg(5)
    ->Arg(1);
BENCHMARK_CAPTURE(generate, Ibrahim,
                  input("Water-Oil-Gas", "Mohamad Ibrahim/Varnholt", "Water Wet", "Sandstone"))
    ->Arg(5)
    ->Arg(1);
BENCHMARK_CAPTURE(generate, Rose, input("Water-Oil-Gas", "Rose", "", ""))->Arg(5)->Arg(1);
BENCHMARK_CAPTURE(generate, WaterGas, input("Water-Gas", "", "", ""))->Arg(5)->Arg(1);
BENCHMARK_CAPTURE(generate, GasCondensate, input("Gas-Condensate", "", "", ""))->Arg(5)->Arg(1);
BENCHMARK(generateAndFormatGrids);
BENCHMARK_MAIN();
