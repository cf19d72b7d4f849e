#include <benchmark/benchmark.h>

#include <memory>

#include "board/shuffle_random.h"
#include "board/tile_board.h"
#include "platform/headless/headless_backend.h"
#include "render/board_mesh.h"

namespace {

// Recolouring runs after every move; it must stay far inside one frame.
void BM_ApplyColours(benchmark::State& state) {
    platform::headless::Device device;
    auto mesh = std::make_unique<render::BoardMesh>(device);
    board::TileBoard board;
    board::ShuffleRandom random;
    random.SeedForDeal(42);
    board.ShuffleAndLayOut([&random] { return random.Draw(); });
    for (auto _ : state) {
        mesh->ApplyColours(board);
        benchmark::DoNotOptimize(mesh->vertices().data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ApplyColours);

// The geometry is rebuilt on every new game.
void BM_BuildVerticesAndIndices(benchmark::State& state) {
    platform::headless::Device device;
    auto mesh = std::make_unique<render::BoardMesh>(device);
    for (auto _ : state) {
        mesh->BuildVertices();
        mesh->BuildIndices();
        benchmark::DoNotOptimize(mesh->vertices().data());
        benchmark::DoNotOptimize(mesh->indices().data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BuildVerticesAndIndices);

}  // namespace

BENCHMARK_MAIN();
