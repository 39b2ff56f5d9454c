// Time of relperm tables on three regions of three phases at delta-s 0.01 (91 to 100 rows a
// table), with simple-J capillary pressure: in the process (reading the table's text, the
// curves, the include file's text), and as a whole process started and waited for, the way
// a script or an ensemble workflow runs it. pyscal needs about 2.6 s for the same job as a
// process.
#include "satfunc/includefile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

const char* threeRegions =
    "SATNUM,comment,swirr,swl,swcr,sorw,sorg,sgcr,nw,now,ng,nog,krwend,krgend,kroend,"
    "a,b,poro_ref,perm_ref,drho\n"
    "1,sand,0.05,0.1,0.15,0.2,0.15,0.05,2,2.5,1.5,2,0.5,0.9,1,0.321,-1.283,0.25,1000,300\n"
    "2,shale,0.2,0.3,0.35,0.25,0.2,0.1,3,3,2.5,2.5,0.4,0.7,0.8,0.321,-1.283,0.18,300,300\n"
    "3,silt,0.1,0.2,0.2,0.2,0.2,0.05,2.5,2.5,2,2,0.45,0.8,0.9,0.321,-1.283,0.2,500,300\n";

void inProcess(benchmark::State& bench, int family) {
    using namespace relperm::satfunc;
    TablesOptions options;
    options.family = family;
    std::size_t bytes = 0;
    for (auto _ : bench) {
        auto table = parameterTableFromCsv(threeRegions, "three.csv");
        const auto& parameters = std::get<ParameterTable>(table);
        auto regions = regionCurves(parameters, options);
        auto file = includeFile(parameters, std::get<std::vector<RegionCurves>>(regions), options);
        if (auto* refusal = std::get_if<relperm::Refusal>(&file)) {
            bench.SkipWithError(refusal->message.c_str());
            break;
        }
        bytes = std::get<std::string>(file).size();
        benchmark::DoNotOptimize(bytes);
    }
    bench.SetLabel(std::to_string(bytes) + " bytes written");
}

// relperm tables as its own process, writing to a file.
void asProcess(benchmark::State& bench) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("relperm-tables-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string params = (dir / "three.csv").string();
    const std::string out = (dir / "three.inc").string();
    std::ofstream(params) << threeRegions;
    const std::string program = RELPERM_PROGRAM;
    std::vector<std::string> words = {program, "tables", params, "--out", out};
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    for (auto _ : bench) {
        pid_t pid = 0;
        if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
            bench.SkipWithError("could not start relperm");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            bench.SkipWithError("relperm tables failed");
            break;
        }
    }
    std::filesystem::remove_all(dir);
}

} // namespace

BENCHMARK_CAPTURE(inProcess, family1, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(inProcess, family2, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(asProcess)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
