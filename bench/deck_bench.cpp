// Time of reading and checking an include file of 100 000 rows (SWOF and SGOF, ten regions of
// 5 000 rows each, values at the 15 significant digits relperm tables writes), the size of a
// fine-grained many-region model: read from disk through the deck reader, then every check.
#include "common/numbers.h"
#include "deck/checks.h"
#include "deck/convert.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

constexpr int regions = 10;
constexpr int rowsPerTable = 5000;

std::string includeText() {
    using relperm::formatGeneral;
    std::string text = "-- 100 000 rows for the benchmark\nSWOF\n";
    for (int r = 0; r < regions; ++r) {
        const double swl = 0.1 + 0.01 * r;
        for (int i = 0; i < rowsPerTable; ++i) {
            const double s = static_cast<double>(i) / (rowsPerTable - 1);
            const double sw = swl + (1 - swl) * s;
            text += "   " + formatGeneral(sw) + "  " + formatGeneral(0.6 * std::pow(s, 2.5)) +
                    "  " + formatGeneral(std::pow(1 - s, 2)) + "  " +
                    formatGeneral(2 * std::pow(1 - s, 3)) + "\n";
        }
        text += "/\n";
    }
    text += "SGOF\n";
    for (int r = 0; r < regions; ++r) {
        const double swl = 0.1 + 0.01 * r;
        for (int i = 0; i < rowsPerTable; ++i) {
            const double s = static_cast<double>(i) / (rowsPerTable - 1);
            text += "   " + formatGeneral((1 - swl) * s) + "  " +
                    formatGeneral(0.9 * std::pow(s, 1.8)) + "  " +
                    formatGeneral(std::pow(1 - s, 2.2)) + "  0\n";
        }
        text += "/\n";
    }
    return text;
}

void readAndCheck(benchmark::State& bench) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("relperm-deck-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto file = dir / "ROWS.INC";
    const std::string text = includeText();
    std::ofstream(file, std::ios::binary) << text;
    std::size_t findings = 0;
    for (auto _ : bench) {
        auto read = relperm::deck::readDeck(file);
        if (auto* r = std::get_if<relperm::Refusal>(&read)) {
            bench.SkipWithError(r->message.c_str());
            break;
        }
        findings = relperm::deck::checkTables(std::get<relperm::deck::DeckTables>(read)).size();
        benchmark::DoNotOptimize(findings);
    }
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * text.size()));
    bench.SetLabel(std::to_string(text.size() >> 20) + " MiB, " + std::to_string(findings) +
                   " findings");
    std::filesystem::remove_all(dir);
}

// The same tables converted to SWFN, SGFN and SOF3 (whose rows are both tables' oil
// saturations, 10 000 a region) and written as the include file.
void convertToFamily2(benchmark::State& bench) {
    const relperm::deck::IncludeLoader none = [](const std::filesystem::path& p) {
        return std::variant<std::string, relperm::Refusal>(relperm::Refusal{p.string(), ""});
    };
    auto read = relperm::deck::readDeckText(includeText(), "ROWS.INC", none);
    const auto& deck = std::get<relperm::deck::DeckTables>(read);
    std::size_t bytes = 0;
    for (auto _ : bench) {
        auto text = relperm::deck::convertedFile(deck, relperm::deck::TargetFamily::Family2);
        bytes = std::get<std::string>(text).size();
        benchmark::DoNotOptimize(bytes);
    }
    bench.SetLabel(std::to_string(bytes >> 20) + " MiB written");
}

} // namespace

BENCHMARK(readAndCheck)->Unit(benchmark::kMillisecond);
BENCHMARK(convertToFamily2)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
