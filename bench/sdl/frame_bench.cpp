// Whole frames on the SDL + OpenGL backend. Unpaced, the time a frame takes: a board in play
// and the rules page against a frame that only clears and presents, each frame different
// from the one before so that all of it is drawn. Paced to the display as the game runs, the
// processor time a second of a still menu, board and rules page takes, beside a board that
// changes every frame.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/application.h"
#include "app/game.h"
#include "app/game_flow.h"
#include "platform/sdl/sdl_backend.h"
#include "screens/text_screens.h"

namespace {

namespace d3d = platform::d3d;

// The game's window and device, made once for all the benchmarks of one kind.
struct Stage {
    explicit Stage(bool paced) : system(platform::sdl::CreateSdlSystem({.paced = paced})) {
        if (application.device) {
            game = std::make_unique<app::Game>(flow, *application.device, screens,
                                               [] { return int64_t{1234}; });
            game->StartGame();
            flow.GameState = app::Playing;
        }
    }

    std::unique_ptr<platform::System> system;
    app::GameFlow flow;
    app::Application application{*system, flow};
    screens::TextScreens screens{application.device.get()};
    std::unique_ptr<app::Game> game;
};

Stage* stage = nullptr;

// The paced stage comes second, once the unpaced benchmarks are done with theirs.
Stage& Paced() {
    static Stage paced(true);
    return paced;
}

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

// A frame as the game's loop makes it. The clear colour's lowest bit tells two frames apart
// where they must differ, so that the whole frame is drawn however alike the rest is.
template <typename Draw>
void Frame(Draw draw, Stage& on = *stage, uint32_t clear = 0xFF000000u) {
    platform::Device& device = *on.application.device;
    device.Clear(0, nullptr, d3d::CLEAR_TARGET | d3d::CLEAR_ZBUFFER, clear, 1.0f, 0);
    device.BeginScene();
    draw();
    device.EndScene();
    device.Present();
}

uint32_t Alternate() {
    static uint32_t frame = 0;
    return 0xFF000000u | (++frame & 1);
}

void BM_ClearAndPresent(benchmark::State& state) {
    ProcessTime time(state);
    for (auto _ : state) {
        Frame([] {}, *stage, Alternate());
    }
}
BENCHMARK(BM_ClearAndPresent)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_PlayingFrame(benchmark::State& state) {
    ProcessTime time(state);
    for (auto _ : state) {
        Frame([] { stage->game->Step(0.0f, 0.0f, 0.0f); }, *stage, Alternate());
    }
}
BENCHMARK(BM_PlayingFrame)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_RulesPageFrame(benchmark::State& state) {
    ProcessTime time(state);
    for (auto _ : state) {
        Frame([] { stage->screens.DrawTutorial(); }, *stage, Alternate());
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

// Processor time of the process over the wall time of the frames, in percent of one core.
template <typename Draw>
void PerSecond(benchmark::State& state, app::GameState screen, Draw draw) {
    Stage& paced = Paced();
    paced.flow.GameState = screen;
    // A second of 60 Hz frames an iteration; the first frame of a screen is drawn, the rest
    // of a still one are not.
    constexpr int kFramesAnIteration = 60;
    Frame([&] { draw(paced); }, paced);
    const double cpuStart = ProcessSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    for (auto _ : state) {
        for (int i = 0; i < kFramesAnIteration; ++i) {
            Frame([&] { draw(paced); }, paced);
        }
    }
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    state.counters["cpu_percent"] = (ProcessSeconds() - cpuStart) / wall * 100.0;
}

void BM_StillMenuPerSecond(benchmark::State& state) {
    PerSecond(state, app::Menu, [](Stage& s) { s.game->Step(0.0f, 0.0f, 0.0f); });
}
BENCHMARK(BM_StillMenuPerSecond)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_StillBoardPerSecond(benchmark::State& state) {
    PerSecond(state, app::Playing, [](Stage& s) { s.game->Step(0.0f, 0.0f, 0.0f); });
}
BENCHMARK(BM_StillBoardPerSecond)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_StillRulesPagePerSecond(benchmark::State& state) {
    PerSecond(state, app::Tutorial, [](Stage& s) { s.game->Step(0.0f, 0.0f, 0.0f); });
}
BENCHMARK(BM_StillRulesPagePerSecond)->UseRealTime()->Unit(benchmark::kMillisecond);

// A new deal every frame: the mesh recoloured, uploaded and drawn each time.
void BM_ChangingBoardPerSecond(benchmark::State& state) {
    PerSecond(state, app::Playing, [](Stage& s) {
        s.game->Redeal();
        s.game->Step(0.0f, 0.0f, 0.0f);
    });
}
BENCHMARK(BM_ChangingBoardPerSecond)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        std::printf("tavorin_bench_sdl: no display (run it under X or Xvfb); skipped\n");
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    Stage shown(false);
    if (!shown.game) {
        std::printf("tavorin_bench_sdl: no OpenGL 3.3 device on this display; skipped\n");
        return 0;
    }
    stage = &shown;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
