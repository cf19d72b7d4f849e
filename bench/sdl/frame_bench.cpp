// Whole frames on the SDL + OpenGL backend, unpaced: a board in play and the rules page,
// each against a frame that only clears and presents.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/application.h"
#include "app/game.h"
#include "app/game_flow.h"
#include "platform/sdl/sdl_system.h"
#include "screens/text_screens.h"

namespace {

namespace d3d = platform::d3d;

// The game's window and device, made once for every benchmark.
struct Stage {
    std::unique_ptr<platform::System> system = platform::sdl::CreateSdlSystem({.paced = false});
    app::GameFlow flow;
    app::Application application{*system, flow};
    screens::TextScreens screens{application.device.get()};
    std::unique_ptr<app::Game> game;

    Stage() {
        if (application.device) {
            game = std::make_unique<app::Game>(flow, *application.device, screens,
                                               [] { return int64_t{1234}; });
            game->StartGame();
            flow.GameState = app::Playing;
        }
    }
};

Stage* stage = nullptr;

// Processor time of the whole process, the renderer's own threads included.
double ProcessSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Reports the process's processor time per iteration next to the wall time, which another
// busy process on the machine would stretch.
class ProcessTime {
  public:
    explicit ProcessTime(benchmark::State& state) : state_(state), start_(ProcessSeconds()) {}
    ~ProcessTime() {
        state_.counters["process_ms"] = benchmark::Counter(
            (ProcessSeconds() - start_) * 1e3 / static_cast<double>(state_.iterations()));
    }

  private:
    benchmark::State& state_;
    double start_;
};

template <typename Draw>
void Frame(Draw draw) {
    platform::Device& device = *stage->application.device;
    device.Clear(0, nullptr, d3d::CLEAR_TARGET | d3d::CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    device.BeginScene();
    draw();
    device.EndScene();
    device.Present();
}

void BM_ClearAndPresent(benchmark::State& state) {
    ProcessTime time(state);
    for (auto _ : state) {
        Frame([] {});
    }
}
BENCHMARK(BM_ClearAndPresent)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_PlayingFrame(benchmark::State& state) {
    ProcessTime time(state);
    for (auto _ : state) {
        Frame([] { stage->game->Step(0.0f, 0.0f, 0.0f); });
    }
}
BENCHMARK(BM_PlayingFrame)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_RulesPageFrame(benchmark::State& state) {
    ProcessTime time(state);
    for (auto _ : state) {
        Frame([] { stage->screens.DrawTutorial(); });
    }
}
BENCHMARK(BM_RulesPageFrame)->UseRealTime()->Unit(benchmark::kMillisecond);

// The four font create/draw/release cycles alone, as the frame loop spends them.
void BM_RulesPageText(benchmark::State& state) {
    platform::Device& device = *stage->application.device;
    device.BeginScene();
    for (auto _ : state) {
        stage->screens.DrawTutorial();
    }
    device.EndScene();
    device.Present();
}
BENCHMARK(BM_RulesPageText)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        std::printf("tavorin_bench_sdl: no display (run it under X or Xvfb); skipped\n");
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    Stage shown;
    if (!shown.game) {
        std::printf("tavorin_bench_sdl: no OpenGL 3.3 device on this display; skipped\n");
        return 0;
    }
    stage = &shown;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
