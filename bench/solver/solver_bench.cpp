// The 1,000 deals of clock seconds 1,700,000,000 to 1,700,000,999 decided as tavorin-solve
// decides them (the search, C alone, each win played through the game), proven shortest and
// quick; and the solver beside the plain search it replaces, on the same deals.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>

#include "plain_search.h"
#include "solve/range_run.h"
#include "solver/opening.h"
#include "solver/search.h"

namespace {

constexpr uint32_t kFirstDeal = 1'700'000'000;

// The test suite's brief run (a small --benchmark_min_time) decides a few deals only.
bool briefRun = false;

int64_t Deals(int64_t full) {
    return briefRun ? std::min<int64_t>(full, 3) : full;
}

// The process's peak resident memory so far, in MB, where the system tells it (Linux).
double PeakResidentMegabytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024.0;
        }
    }
    return 0;
}

void DecideRange(benchmark::State& state, bool quick) {
    solve::RangeSettings settings;
    settings.from = kFirstDeal;
    settings.count = static_cast<uint64_t>(Deals(state.range(0)));
    settings.threads = 2;
    settings.quick = quick;
    double worstMs = 0;
    double states = 0;
    double won = 0;
    double seconds = 0;
    double processorSeconds = 0;
    for (auto _ : state) {
        worstMs = 0;
        states = 0;
        won = 0;
        const auto started = std::chrono::steady_clock::now();
        const std::clock_t processorStarted = std::clock();
        solve::DecideRange(
            settings,
            [&](const solve::DealResult& r) {
                worstMs = std::max(worstMs, r.ms);
                states += static_cast<double>(r.states);
                won += r.won && r.replayCleared ? 1 : 0;
            },
            [](uint64_t) {});
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        processorSeconds = static_cast<double>(std::clock() - processorStarted) / CLOCKS_PER_SEC;
    }
    const double deals = static_cast<double>(settings.count);
    state.counters["deals"] = deals;
    state.counters["won"] = won;
    state.counters["states"] = states;
    state.counters["worst_deal_ms"] = worstMs;
    state.counters["peak_rss_MB"] = PeakResidentMegabytes();
    state.counters["processor_s"] = processorSeconds;
    state.counters["deals_per_minute"] = deals * 60 / seconds;
}

// Proven-shortest wins: at most 10 s for the 1,000 deals on two threads, no deal over 0.3 s,
// at most 128 MB resident.
void BM_ShortestRange(benchmark::State& state) {
    solver::PrepareBounds();
    DecideRange(state, false);
}
BENCHMARK(BM_ShortestRange)->Arg(1000)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

// Any win: at least 100,000 deals a minute.
void BM_QuickRange(benchmark::State& state) {
    solver::PrepareBounds();
    DecideRange(state, true);
}
BENCHMARK(BM_QuickRange)->Arg(20000)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

// The solver and the plain search on the same deals, one thread each: the solver should take
// at most 0.3 times as long. The sample is the range's first 100 deals.
void BM_SolverSample(benchmark::State& state) {
    solver::PrepareBounds();
    solver::Solver solver;
    double states = 0;
    for (auto _ : state) {
        states = 0;
        for (int64_t i = 0; i < Deals(state.range(0)); ++i) {
            states += static_cast<double>(
                solver.Solve(solver::Opening(kFirstDeal + static_cast<uint32_t>(i))).states);
        }
    }
    state.counters["states"] = states;
}
BENCHMARK(BM_SolverSample)->Arg(100)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

void BM_PlainSearchSample(benchmark::State& state) {
    solver::PrepareBounds();
    double states = 0;
    for (auto _ : state) {
        states = 0;
        for (int64_t i = 0; i < Deals(state.range(0)); ++i) {
            states += static_cast<double>(
                solverbench::PlainSearch(solver::Opening(kFirstDeal + static_cast<uint32_t>(i)))
                    .states);
        }
    }
    state.counters["states"] = states;
}
BENCHMARK(BM_PlainSearchSample)->Arg(100)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--benchmark_min_time=", 21) == 0) {
            briefRun = std::stod(argv[i] + 21) < 0.5;
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
