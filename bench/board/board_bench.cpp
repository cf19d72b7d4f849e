#include <benchmark/benchmark.h>

#include "board/shuffle_random.h"
#include "board/tile_board.h"

namespace {

// The opening layout in set order: row 0's tail (5-5, 5-5, 4-4) clears, row 1's
// (3-3, 2-2, 2-2) does not.
board::TileBoard SetOrderLayout() {
    board::TileBoard b;
    b.ShuffleAndLayOut([] { return 0; });
    return b;
}

void BM_ShuffleAndLayOut(benchmark::State& state) {
    board::TileBoard b;
    board::ShuffleRandom random;
    uint32_t second = 1'700'000'000;
    for (auto _ : state) {
        random.SeedForDeal(second++);
        b.ShuffleAndLayOut([&] { return random.Draw(); });
        benchmark::DoNotOptimize(b.halves.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ShuffleAndLayOut);

// What the row and deal benchmarks spend restoring their board each time.
void BM_BoardCopy(benchmark::State& state) {
    const board::TileBoard pristine = SetOrderLayout();
    for (auto _ : state) {
        board::TileBoard b = pristine;
        benchmark::DoNotOptimize(&b);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BoardCopy);

void BM_CheckRowTail(benchmark::State& state) {
    const board::TileBoard pristine = SetOrderLayout();
    const int32_t row = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        board::TileBoard b = pristine;
        b.CheckRowTail(row);
        benchmark::DoNotOptimize(&b);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CheckRowTail)->Arg(0)->ArgName("qualifying_row0");
BENCHMARK(BM_CheckRowTail)->Arg(1)->ArgName("keeping_row1");

void BM_DealFromStock(benchmark::State& state) {
    const board::TileBoard pristine = SetOrderLayout();
    for (auto _ : state) {
        board::TileBoard b = pristine;
        b.DealFromStock();
        benchmark::DoNotOptimize(&b);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DealFromStock);

}  // namespace

BENCHMARK_MAIN();
