// Where the back buffer's pixels land in the window, exactly: the game draws 1280 x 768 and
// shows it in a 1280 x 760 window, so eight rows must go and every other row keep its order.
// Each back-buffer row is drawn in a colour of its own, and every window pixel is read back
// from the X server and told which row it shows. (Columns map one to one; the board's pixel
// tests place them.)

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/matrix.h"
#include "platform/sdl/sdl_backend.h"
#include "x_session.h"

namespace {

using namespace std::chrono_literals;
namespace d3d = platform::d3d;

constexpr int kBackWidth = 1280, kBackHeight = 768, kWindowWidth = 1280, kWindowHeight = 760;

struct Vertex {
    float x, y, z;
    uint32_t colour;
};

// A number below 2048 as a colour the 16-bit back buffer keeps exactly: its low five bits
// in red, the next six in green; blue marks a drawn pixel.
uint32_t Colour(int n) {
    const uint32_t r = n & 31, g = n >> 5 & 63;
    return 0xFF000000u | (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | 0x84;
}

// The number a pixel shows, or -1 for one not drawn in such a colour.
int Number(uint8_t r, uint8_t g, uint8_t b) {
    if (b < 0x60 || b > 0xA0) {
        return -1;
    }
    return (r * 31 + 127) / 255 | (g * 63 + 127) / 255 << 5;
}

// The window row that shows back-buffer row y, as the scaled blit samples it: the nearest
// back-buffer row to the window pixel's centre, both counted from the bottom as OpenGL does.
// Eight back-buffer rows, spread evenly, are never shown.
int BackRowShownAt(int windowRow) {
    const int fromBottom = kWindowHeight - 1 - windowRow;
    const int back = (2 * fromBottom + 1) * kBackHeight / (2 * kWindowHeight);
    return kBackHeight - 1 - back;
}

class PresentPlacementTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!e2e::HaveProgram("Xvfb") || !e2e::HaveProgram("xdotool") ||
            !e2e::HaveProgram("import")) {
            GTEST_SKIP() << "needs Xvfb, xdotool and imagemagick";
        }
        ASSERT_TRUE(display_.Start());
        setenv("DISPLAY", display_.name().c_str(), 1);
        system_ = platform::sdl::CreateSdlSystem({.paced = false});
        ASSERT_TRUE(system_->RegisterClassExA({"Placement", 3}));
        // The game's window.
        window_ = system_->CreateWindowExA(
            {"Placement", "Placement", 0,
             platform::ws::VISIBLE | platform::ws::CAPTION | platform::ws::SYSMENU |
                 platform::ws::MINIMIZEBOX,
             30, 30, kWindowWidth, kWindowHeight},
            [](platform::Window& w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
                return w.DefWindowProcA(message, wParam, lParam);
            });
        ASSERT_NE(window_, nullptr);
        xid_ = e2e::FindWindow(display_.name(), "Placement", 10s);
        ASSERT_FALSE(xid_.empty());
        graphics_ = system_->Direct3DCreate9(d3d::SDK_VERSION);
        ASSERT_NE(graphics_, nullptr);
        platform::PresentParams params{kBackWidth,
                                       kBackHeight,
                                       d3d::FMT_R5G6B5,
                                       0,
                                       0,
                                       0,
                                       d3d::SWAPEFFECT_DISCARD,
                                       window_.get(),
                                       1,
                                       1,
                                       d3d::FMT_D16};
        ASSERT_EQ(graphics_->CreateDevice(d3d::ADAPTER_DEFAULT, d3d::DEVTYPE_HAL, window_.get(),
                                          d3d::CREATE_SOFTWARE_VERTEXPROCESSING, params, device_),
                  platform::kOk);
        // Vertices straight in clip space.
        device_->SetTransform(d3d::TS_PROJECTION, platform::MatrixIdentity());
        device_->SetTransform(d3d::TS_WORLD, platform::MatrixIdentity());
        device_->SetRenderState(d3d::RS_CULLMODE, d3d::CULL_NONE);
        device_->SetRenderState(d3d::RS_ZENABLE, 0);
        device_->SetFVF(d3d::FVF_XYZ | d3d::FVF_DIFFUSE);
    }

    // One band a back-buffer row, numbered from the top. Band edges lie a quarter pixel off
    // the pixel grid, so whichever pixel centre the rasteriser uses, each band covers exactly
    // its own row.
    void DrawRows() {
        std::vector<Vertex> v;
        std::vector<uint16_t> indices;
        for (int n = 0; n < kBackHeight; ++n) {
            // Clip y runs up, rows down.
            const float from = 1 - 2.0f * (n - 0.25f) / kBackHeight;
            const float to = 1 - 2.0f * (n + 0.75f) / kBackHeight;
            const uint32_t c = Colour(n);
            const auto base = static_cast<uint16_t>(v.size());
            v.insert(
                v.end(),
                {{-1, from, 0.5f, c}, {1, from, 0.5f, c}, {-1, to, 0.5f, c}, {1, to, 0.5f, c}});
            for (const int i : {0, 1, 2, 2, 1, 3}) {
                indices.push_back(static_cast<uint16_t>(base + i));
            }
        }
        const auto vbytes = static_cast<uint32_t>(v.size() * sizeof(Vertex));
        const auto ibytes = static_cast<uint32_t>(indices.size() * 2);
        ASSERT_EQ(device_->CreateVertexBuffer(vbytes, d3d::USAGE_WRITEONLY, 0x42, d3d::POOL_MANAGED,
                                              vertices_),
                  platform::kOk);
        ASSERT_EQ(
            device_->CreateIndexBuffer(ibytes, 0, d3d::FMT_INDEX16, d3d::POOL_MANAGED, indices_),
            platform::kOk);
        void* data = nullptr;
        ASSERT_EQ(vertices_->Lock(0, 0, &data, 0), platform::kOk);
        std::memcpy(data, v.data(), vbytes);
        vertices_->Unlock();
        ASSERT_EQ(indices_->Lock(0, 0, &data, 0), platform::kOk);
        std::memcpy(data, indices.data(), ibytes);
        indices_->Unlock();

        device_->Clear(0, nullptr, d3d::CLEAR_TARGET | d3d::CLEAR_ZBUFFER, 0xFF000000, 1, 0);
        device_->BeginScene();
        device_->SetStreamSource(0, vertices_.get(), 0, sizeof(Vertex));
        device_->SetIndices(indices_.get());
        ASSERT_EQ(device_->DrawIndexedPrimitive(d3d::PT_TRIANGLELIST, 0, 0,
                                                static_cast<uint32_t>(v.size()), 0,
                                                static_cast<uint32_t>(kBackHeight * 2)),
                  platform::kOk);
        device_->EndScene();

        // The picture is what it should be before it is shown.
        std::vector<uint32_t> argb;
        int w = 0, h = 0;
        ASSERT_TRUE(platform::sdl::ReadBackBuffer(*device_, argb, w, h));
        ASSERT_EQ(w, kBackWidth);
        ASSERT_EQ(h, kBackHeight);
        int wrong = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const uint32_t p = argb[static_cast<size_t>(y) * w + x];
                wrong += Number(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF) != y;
            }
        }
        ASSERT_EQ(wrong, 0) << "back-buffer pixels not in their band's colour";
        ASSERT_EQ(device_->Present(), platform::kOk);
    }

    // The window as the X server holds it, once every pixel shows a band.
    e2e::Capture Shown() {
        return e2e::CaptureWhen(
            display_.name(), xid_,
            [](const e2e::Capture& shot) {
                return shot.width == kWindowWidth && shot.height == kWindowHeight &&
                       Number(shot.At(0, 0).r, shot.At(0, 0).g, shot.At(0, 0).b) >= 0 &&
                       Number(shot.At(1279, 759).r, shot.At(1279, 759).g, shot.At(1279, 759).b) >=
                           0;
            },
            10s);
    }

    e2e::XvfbDisplay display_;
    std::unique_ptr<platform::System> system_;
    std::unique_ptr<platform::Window> window_;
    std::unique_ptr<platform::Graphics> graphics_;
    std::unique_ptr<platform::Device> device_;
    std::unique_ptr<platform::VertexBuffer> vertices_;
    std::unique_ptr<platform::IndexBuffer> indices_;
    std::string xid_;
};

TEST_F(PresentPlacementTest, EveryWindowRowShowsTheBackBufferRowTheScalingSamples) {
    DrawRows();
    const e2e::Capture shot = Shown();
    ASSERT_EQ(shot.width, kWindowWidth);
    ASSERT_EQ(shot.height, kWindowHeight);
    int wrongRows = 0;
    for (int y = 0; y < kWindowHeight; ++y) {
        int wrong = 0, shown = -1;
        for (int x = 0; x < kWindowWidth; ++x) {
            const e2e::Rgb c = shot.At(x, y);
            shown = Number(c.r, c.g, c.b);
            wrong += shown != BackRowShownAt(y);
        }
        if (wrong > 0 && ++wrongRows <= 5) {
            ADD_FAILURE() << "window row " << y << " shows back-buffer row " << shown
                          << " where it should show " << BackRowShownAt(y) << " (" << wrong
                          << " pixels)";
        }
    }
    EXPECT_EQ(wrongRows, 0);
}

}  // namespace
