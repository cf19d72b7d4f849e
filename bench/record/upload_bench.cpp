// One upload of the board's buffers on the recording platform: release the old pair, create,
// lock, copy and unlock both. Its cost is the copy of the mesh plus the backend's own.

#include <benchmark/benchmark.h>

#include "platform/record/record_backend.h"
#include "render/board_mesh.h"

namespace {

namespace record = platform::record;

struct Rig {
    record::RecordSystem system;
    std::unique_ptr<platform::Window> window;
    std::unique_ptr<platform::Graphics> graphics;
    std::unique_ptr<platform::Device> device;

    explicit Rig(bool logging) {
        system.log().Enable(logging);
        window = system.CreateWindowExA({}, nullptr);
        graphics = system.Direct3DCreate9(platform::d3d::SDK_VERSION);
        platform::PresentParams params{};
        params.hDeviceWindow = window.get();
        graphics->CreateDevice(0, 1, window.get(), 0x20, params, device);
    }
};

void UploadBuffers(benchmark::State& state) {
    const bool logging = state.range(0) != 0;
    Rig rig(logging);
    render::BoardMesh mesh(*rig.device);
    int uploads = 0;
    for (auto _ : state) {
        mesh.UploadBuffers();
        benchmark::DoNotOptimize(mesh.vertexBuffer());
        if (logging && ++uploads % 1024 == 0) {
            rig.system.log().Clear();  // keeps the log from growing across iterations
        }
    }
    if (rig.system.live().vertexBuffers != 1 || rig.system.live().indexBuffers != 1) {
        state.SkipWithError("the upload did not leave one buffer pair");
    }
    state.SetBytesProcessed(state.iterations() *
                            (render::kVertexBufferBytes + render::kIndexBufferBytes));
}
BENCHMARK(UploadBuffers)
    ->ArgName("log")
    ->Arg(0)
    ->Arg(1)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace
