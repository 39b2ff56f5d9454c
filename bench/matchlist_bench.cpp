// The browser's list of matching sets over large water-oil files of 100 000 and 1 000 000
// records (20 points each, 68 and 678 MB, read from the page cache), every record a match;
// one in 13 without k, one in 11 without a location, so empty cells sort too.
//
// - listBuild: the list made from the file, as View / List Matching Data Sets makes it: the
//   one scan and the rows held by column; table_MB is what the rows hold.
// - listShow: the list window shown with a list made beforehand, its columns fitted.
// - listSortNumber, listSortText: a click on the heading "k md" or "Location" of the window
//   (the first click sorts up, the next down), until the view has the new order.
// - orderNumber, orderText: the order alone, as the core makes it.
#include "database/matchlist.h"
#include "database/matchorder.h"
#include "database/ui/matchlistwindow.h"
#include "support/quiet_offscreen.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <QTableView>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <unistd.h>

namespace {

using namespace relperm;

constexpr int points = 20;

struct LargeFile {
    std::filesystem::path dir;

    explicit LargeFile(int records) {
        dir = std::filesystem::temp_directory_path() /
              ("relperm-matchlist-bench-" + std::to_string(::getpid()) + "-" +
               std::to_string(records));
        std::filesystem::create_directories(dir);
        std::ofstream out(dir / dataFileName(TwoPhaseSystem::WaterOil), std::ios::binary);
        MeasuredDataSet set;
        set.pointCount = points;
        for (int r = 0; r < records; ++r) {
            set.wettingCode = TaggedValue::of(r % 3 + 1, ValueTag::Int16);
            set.locationCode =
                r % 11 == 0 ? TaggedValue{} : TaggedValue::of(r % 6 + 1, ValueTag::Int16);
            set.lithologyCode = TaggedValue::of(r % 4 + 1, ValueTag::Int16);
            set.methodCode = TaggedValue::of(r % 4 + 1, ValueTag::Int16);
            set.depthFtSs = r % 7 == 0 ? TaggedValue{} : TaggedValue::of(3000 + r % 9000);
            set.porosityFraction = TaggedValue::of(0.1 + (r % 20) / 100.0);
            set.permeabilityMd = r % 13 == 0 ? TaggedValue{} : TaggedValue::of(1 + r % 500);
            set.absPermeabilityMd = set.permeabilityMd;
            set.connateWater = TaggedValue::of(0.1 + (r % 25) / 100.0);
            set.residualOilToWater = TaggedValue::of(0.15 + (r % 20) / 100.0);
            for (int i = 1; i <= points; ++i) {
                const double s = (i - 1) / double(points - 1);
                set.normSat[i] = s;
                set.krAxis[i] = (r % 5 == 0 ? 0.05 : 0.4) * s * s * s;
                set.krOther[i] = (1 - s) * (1 - s);
            }
            out << encodeRecord(TwoPhaseSystem::WaterOil, set);
        }
    }
    ~LargeFile() { std::filesystem::remove_all(dir); }
};

// Each size's file and list, made once for the run.
struct Fixture {
    std::unique_ptr<LargeFile> file;
    MatchList list;
};

Fixture& fixture(int records) {
    static std::map<int, Fixture> made;
    Fixture& f = made[records];
    if (!f.file) {
        f.file = std::make_unique<LargeFile>(records);
        f.list = listMatches(f.file->dir, TwoPhaseSystem::WaterOil, {}, {}, {});
    }
    return f;
}

void listBuild(benchmark::State& state) {
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        const MatchList list = listMatches(f.file->dir, TwoPhaseSystem::WaterOil, {}, {}, {});
        if (list.rows.size() != static_cast<std::size_t>(state.range(0)))
            state.SkipWithError("not every set was listed");
        bytes = list.rows.heapBytes();
    }
    state.counters["table_MB"] = static_cast<double>(bytes) / 1e6;
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void listShow(benchmark::State& state) {
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<databaseui::MatchListWindow>();
        MatchList list = f.list;
        state.ResumeTiming();
        window->showList(std::move(list), "all");
        window->show();
        QApplication::processEvents();
        state.PauseTiming();
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

// Clicks on the heading of `column`: up, then down, then up again.
void sortInWindow(benchmark::State& state, int column) {
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    databaseui::MatchListWindow window;
    window.showList(f.list, "all");
    window.show();
    QApplication::processEvents();
    auto* view = window.findChild<QTableView*>("matchTable");
    Qt::SortOrder order = Qt::AscendingOrder;
    for (auto _ : state) {
        view->horizontalHeader()->setSortIndicator(column, order);
        QApplication::processEvents();
        order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    }
    if (view->model()->rowCount() != state.range(0))
        state.SkipWithError("rows missing");
}

// Water-oil columns: match, location, lithology, method, wettability, depth, porosity, k, ...
void listSortNumber(benchmark::State& state) {
    sortInWindow(state, 7);
}
void listSortText(benchmark::State& state) {
    sortInWindow(state, 1);
}

void orderOf(benchmark::State& state, MatchColumn column) {
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    SortDirection direction = SortDirection::Ascending;
    for (auto _ : state) {
        benchmark::DoNotOptimize(matchOrder(f.list.rows, column, direction).data());
        direction = direction == SortDirection::Ascending ? SortDirection::Descending
                                                          : SortDirection::Ascending;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void orderNumber(benchmark::State& state) {
    orderOf(state, MatchColumn::Permeability);
}
void orderText(benchmark::State& state) {
    orderOf(state, MatchColumn::Location);
}

} // namespace

BENCHMARK(listBuild)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(listShow)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(listSortNumber)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(listSortText)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(orderNumber)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(orderText)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The window needs an application; without a display it draws offscreen.
int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") == nullptr &&
        std::getenv("WAYLAND_DISPLAY") == nullptr)
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    relperm::testing::quietOffscreenWarnings();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
