// The SDL backend on its own private display: messages from real key presses, drawing read
// back from the back buffer, device loss, fonts, images and input devices.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/sdl/sdl_system.h"
#include "x_session.h"

namespace {

using namespace std::chrono_literals;
using platform::Message;
namespace d3d = platform::d3d;

constexpr const char* kClass = "TestClass";

struct Vertex {
    float x, y, z;
    uint32_t colour;
};

class SdlBackendTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!e2e::HaveProgram("Xvfb") || !e2e::HaveProgram("xdotool")) {
            GTEST_SKIP() << "needs Xvfb and xdotool";
        }
        ASSERT_TRUE(display_.Start());
        setenv("DISPLAY", display_.name().c_str(), 1);
        system_ = platform::sdl::CreateSdlSystem({.paced = false});
        ASSERT_TRUE(system_->RegisterClass({kClass, 3}));
        window_ = system_->CreateWindow(
            {kClass, "Backend", 0,
             platform::WS_VISIBLE | platform::WS_CAPTION | platform::WS_SYSMENU |
                 platform::WS_MINIMIZEBOX,
             30, 30, 1280, 760},
            [this](platform::Window& w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
                seen_.push_back({&w, message, wParam, lParam});
                return w.DefWindowProc(message, wParam, lParam);
            });
        ASSERT_NE(window_, nullptr);
        xid_ = e2e::FindWindow(display_.name(), "Backend", 10s);
        ASSERT_FALSE(xid_.empty());
    }

    void TearDown() override {
        device_.reset();
        graphics_.reset();
        window_.reset();
        system_.reset();
    }

    void Xdo(const std::string& args) { e2e::RunOn(display_.name(), "xdotool " + args); }

    // Every message that comes within the time, each translated and dispatched.
    std::vector<Message> Drain(std::chrono::milliseconds time) {
        std::vector<Message> taken;
        const auto end = std::chrono::steady_clock::now() + time;
        while (std::chrono::steady_clock::now() < end) {
            Message m;
            if (system_->PeekMessage(m)) {
                taken.push_back(m);
                system_->TranslateMessage(m);
                system_->DispatchMessage(m);
            } else {
                std::this_thread::sleep_for(5ms);
            }
        }
        return taken;
    }

    platform::PresentParams GameParams() {
        platform::PresentParams p{};
        p.BackBufferWidth = 1280;
        p.BackBufferHeight = 768;
        p.BackBufferFormat = d3d::FMT_R5G6B5;
        p.SwapEffect = d3d::SWAPEFFECT_DISCARD;
        p.hDeviceWindow = window_.get();
        p.Windowed = 1;
        p.EnableAutoDepthStencil = 1;
        p.AutoDepthStencilFormat = d3d::FMT_D16;
        return p;
    }

    void MakeDevice() {
        graphics_ = system_->Direct3DCreate9(d3d::SDK_VERSION);
        ASSERT_NE(graphics_, nullptr);
        platform::PresentParams params = GameParams();
        ASSERT_EQ(graphics_->CreateDevice(d3d::ADAPTER_DEFAULT, d3d::DEVTYPE_HAL, window_.get(),
                                          d3d::CREATE_SOFTWARE_VERTEXPROCESSING, params, device_),
                  platform::kOk);
        ASSERT_NE(device_, nullptr);
    }

    void SetGameState() {
        device_->SetTransform(d3d::TS_PROJECTION,
                              platform::MatrixPerspectiveFovLH(0.785398f, 5.0f / 3.0f, 1, 1000));
        device_->SetTransform(d3d::TS_WORLD, platform::MatrixIdentity());
        device_->SetRenderState(d3d::RS_CULLMODE, d3d::CULL_NONE);
        device_->SetRenderState(d3d::RS_ZENABLE, d3d::ZB_TRUE);
        device_->SetFVF(d3d::FVF_XYZ | d3d::FVF_DIFFUSE);
    }

    // Quads as two triangles each, in one vertex and one index buffer.
    void Upload(const std::vector<Vertex>& vertices) {
        std::vector<uint16_t> indices;
        for (uint16_t q = 0; q < vertices.size() / 4; ++q) {
            for (uint16_t i : {0, 1, 2, 2, 1, 3}) {
                indices.push_back(static_cast<uint16_t>(q * 4 + i));
            }
        }
        const auto vbytes = static_cast<uint32_t>(vertices.size() * sizeof(Vertex));
        const auto ibytes = static_cast<uint32_t>(indices.size() * 2);
        ASSERT_EQ(device_->CreateVertexBuffer(vbytes, d3d::USAGE_WRITEONLY, 0x42, d3d::POOL_MANAGED,
                                              vertices_),
                  platform::kOk);
        ASSERT_EQ(
            device_->CreateIndexBuffer(ibytes, 0, d3d::FMT_INDEX16, d3d::POOL_MANAGED, indices_),
            platform::kOk);
        void* data = nullptr;
        ASSERT_EQ(vertices_->Lock(0, 0, &data, 0), platform::kOk);
        std::memcpy(data, vertices.data(), vbytes);
        vertices_->Unlock();
        ASSERT_EQ(indices_->Lock(0, 0, &data, 0), platform::kOk);
        std::memcpy(data, indices.data(), ibytes);
        indices_->Unlock();
        quads_ = static_cast<uint32_t>(vertices.size() / 4);
    }

    platform::HResult DrawQuads(uint32_t first, uint32_t count) {
        device_->SetStreamSource(0, vertices_.get(), 0, sizeof(Vertex));
        device_->SetIndices(indices_.get());
        return device_->DrawIndexedPrimitive(d3d::PT_TRIANGLELIST, 0, 0, quads_ * 4, first * 6,
                                             count * 2);
    }

    uint32_t Pixel(int x, int y) {
        std::vector<uint32_t> pixels;
        int w = 0, h = 0;
        EXPECT_TRUE(platform::sdl::ReadBackBuffer(*device_, pixels, w, h));
        EXPECT_EQ(w, 1280);
        EXPECT_EQ(h, 768);
        return pixels.at(static_cast<size_t>(y) * w + x) & 0xFFFFFFu;
    }

    static Vertex At(float x, float y, float z, uint32_t colour) { return {x, y, z, colour}; }
    static void Quad(std::vector<Vertex>& v, float x0, float y0, float x1, float y1, float z,
                     uint32_t colour) {
        v.push_back(At(x0, y1, z, colour));
        v.push_back(At(x1, y1, z, colour));
        v.push_back(At(x0, y0, z, colour));
        v.push_back(At(x1, y0, z, colour));
    }

    e2e::XvfbDisplay display_;
    std::unique_ptr<platform::System> system_;
    std::unique_ptr<platform::Window> window_;
    std::unique_ptr<platform::Graphics> graphics_;
    std::unique_ptr<platform::Device> device_;
    std::unique_ptr<platform::VertexBuffer> vertices_;
    std::unique_ptr<platform::IndexBuffer> indices_;
    uint32_t quads_ = 0;
    std::string xid_;
    std::vector<Message> seen_;
};

bool Has(const std::vector<Message>& messages, uint32_t message, uintptr_t wParam) {
    for (const Message& m : messages) {
        if (m.message == message && m.wParam == wParam) {
            return true;
        }
    }
    return false;
}

TEST_F(SdlBackendTest, KeysArriveAsWindowsMessagesOneAtATime) {
    Xdo("windowfocus --sync " + xid_);
    Drain(200ms);
    Xdo("key s shift+s Escape F2 1");
    const std::vector<Message> taken = Drain(800ms);
    // Letter, its character (lower case without Shift, ahead of the key-up), then the key-up.
    ASSERT_GE(taken.size(), 3u);
    EXPECT_EQ(taken[0].message, platform::WM_KEYDOWN);
    EXPECT_EQ(taken[0].wParam, 'S');
    EXPECT_EQ(taken[0].window, window_.get());
    EXPECT_EQ(taken[1].message, platform::WM_CHAR);
    EXPECT_EQ(taken[1].wParam, 's');
    EXPECT_EQ(taken[2].message, platform::WM_KEYUP);
    EXPECT_EQ(taken[2].wParam, 'S');
    EXPECT_TRUE(Has(taken, platform::WM_KEYDOWN, 0x10)) << "Shift";
    EXPECT_TRUE(Has(taken, platform::WM_CHAR, 'S'));
    EXPECT_TRUE(Has(taken, platform::WM_KEYDOWN, 0x1B));
    EXPECT_TRUE(Has(taken, platform::WM_CHAR, 0x1B));
    EXPECT_TRUE(Has(taken, platform::WM_KEYDOWN, 0x71)) << "F2";
    EXPECT_TRUE(Has(taken, platform::WM_KEYDOWN, '1'));
    EXPECT_FALSE(Has(taken, platform::WM_SYSKEYDOWN, 'S'));
    // The window is still there: none of these closes it.
    EXPECT_TRUE(window_->alive());
}

TEST_F(SdlBackendTest, AltKeysAreSystemKeysAndAltF4ClosesTheWindow) {
    Xdo("windowfocus --sync " + xid_);
    Drain(200ms);
    Xdo("key alt+q");
    std::vector<Message> taken = Drain(500ms);
    EXPECT_TRUE(Has(taken, platform::WM_SYSKEYDOWN, 0x12));
    EXPECT_TRUE(Has(taken, platform::WM_SYSKEYDOWN, 'Q'));
    EXPECT_FALSE(Has(taken, platform::WM_KEYDOWN, 'Q'));
    EXPECT_FALSE(Has(taken, platform::WM_CHAR, 'q'));
    EXPECT_TRUE(window_->alive());

    Xdo("key alt+F4");
    Drain(500ms);
    EXPECT_TRUE(Has(seen_, platform::WM_CLOSE, 0));
    EXPECT_TRUE(Has(seen_, platform::WM_DESTROY, 0));
    EXPECT_FALSE(window_->alive());
    // A destroyed window gets nothing more, and is no longer on screen.
    seen_.clear();
    Xdo("key s");
    EXPECT_TRUE(Drain(300ms).empty());
    EXPECT_TRUE(e2e::RunOn(display_.name(), "xdotool search --onlyvisible --name Backend").empty());
}

TEST_F(SdlBackendTest, DrawsWithTheGameConventions) {
    MakeDevice();
    SetGameState();
    // At depth 40 with the game's projection a point (x, y) lands at
    // (640 (1 + x cot / (40 aspect)), 384 (1 - y cot / 40)), cot = 2.41421.
    std::vector<Vertex> v;
    Quad(v, -10, -5, 10, 5, 40, 0xFFFFFFFF);     // white, drawn first
    Quad(v, 0, 0, 10, 5, 40, 0xFFFF0000);        // red, same depth, drawn after: wins
    Quad(v, -10, 0, 0, 5, 50, 0xFF00FF00);       // green, behind: hidden
    Quad(v, -20, -10, -15, -5, 40, 0xFF0000FF);  // blue: the colour bytes' order
    Upload(v);
    device_->Clear(0, nullptr, d3d::CLEAR_TARGET | d3d::CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device_->BeginScene();
    EXPECT_EQ(DrawQuads(0, 4), platform::kOk);
    device_->EndScene();

    EXPECT_EQ(Pixel(640 - 100, 384 + 40), 0xFFFFFFu) << "white at (-5, -2)";
    EXPECT_EQ(Pixel(640 + 100, 384 - 40), 0xFF0000u) << "red over white at (5, 2)";
    EXPECT_EQ(Pixel(640 - 100, 384 - 40), 0xFFFFFFu) << "green behind white at (-5, 2)";
    EXPECT_EQ(Pixel(234, 558), 0x0000FFu) << "blue at (-17.5, -7.5)";
    EXPECT_EQ(Pixel(100, 100), 0u) << "cleared black";
    EXPECT_EQ(device_->Present(), platform::kOk);

    // The clear colour is ARGB too, and the depth clear value is used.
    device_->Clear(0, nullptr, d3d::CLEAR_TARGET | d3d::CLEAR_ZBUFFER, 0xFF0000FF, 0.0f, 0);
    EXPECT_EQ(DrawQuads(0, 1), platform::kOk);
    EXPECT_EQ(Pixel(640 - 100, 384 + 40), 0x0000FFu) << "depth 0 keeps everything out";
    device_->SetRenderState(d3d::RS_ZENABLE, 0);
    EXPECT_EQ(DrawQuads(0, 1), platform::kOk);
    EXPECT_EQ(Pixel(640 - 100, 384 + 40), 0xFFFFFFu) << "without the depth test";

    // The quads turn clockwise as the viewer sees them: kept by the default culling of
    // counter-clockwise faces, dropped when clockwise ones are culled.
    device_->SetRenderState(d3d::RS_CULLMODE, 3);
    device_->Clear(0, nullptr, d3d::CLEAR_TARGET, 0xFF000000, 1.0f, 0);
    EXPECT_EQ(DrawQuads(0, 1), platform::kOk);
    EXPECT_EQ(Pixel(640 - 100, 384 + 40), 0xFFFFFFu);
    device_->SetRenderState(d3d::RS_CULLMODE, 2);
    device_->Clear(0, nullptr, d3d::CLEAR_TARGET, 0xFF000000, 1.0f, 0);
    EXPECT_EQ(DrawQuads(0, 1), platform::kOk);
    EXPECT_EQ(Pixel(640 - 100, 384 + 40), 0u);
}

TEST_F(SdlBackendTest, RefusesDrawsAndLocksOutsideTheBuffers) {
    MakeDevice();
    SetGameState();
    std::vector<Vertex> v;
    Quad(v, -10, -5, 10, 5, 40, 0xFFFFFFFF);
    Upload(v);
    void* data = nullptr;
    EXPECT_LT(vertices_->Lock(0, 1000, &data, 0), 0);
    EXPECT_EQ(data, nullptr);
    EXPECT_LT(vertices_->Lock(65, 0, &data, 0), 0);
    EXPECT_EQ(vertices_->Unlock(), platform::kInvalidCall) << "nothing locked";

    // An index past the four vertices, more indices than the buffer holds, no buffers.
    ASSERT_EQ(indices_->Lock(2, 2, &data, 0), platform::kOk);
    const uint16_t far = 4;
    std::memcpy(data, &far, 2);
    indices_->Unlock();
    EXPECT_LT(DrawQuads(0, 1), 0);
    EXPECT_LT(device_->DrawIndexedPrimitive(d3d::PT_TRIANGLELIST, 0, 0, 4, 3, 2), 0);
    indices_.reset();
    EXPECT_LT(device_->DrawIndexedPrimitive(d3d::PT_TRIANGLELIST, 0, 0, 4, 0, 1), 0);
    std::unique_ptr<platform::VertexBuffer> huge;
    EXPECT_EQ(device_->CreateVertexBuffer(0xFFFFFFF0u, 0, 0x42, d3d::POOL_MANAGED, huge),
              platform::kOutOfMemory);
    EXPECT_EQ(huge, nullptr);
    EXPECT_LT(device_->SetTransform(99, platform::MatrixIdentity()), 0);
    EXPECT_LT(device_->SetSamplerState(99, 1, 1), 0);
}

TEST_F(SdlBackendTest, ResetKeepsManagedBuffersAndDefaults) {
    MakeDevice();
    SetGameState();
    std::vector<Vertex> v;
    Quad(v, -10, -5, 10, 5, 40, 0xFFFF0000);
    Upload(v);
    ASSERT_EQ(device_->Reset(GameParams()), platform::kOk);
    // The states go back to their defaults; the game sets them again.
    SetGameState();
    device_->Clear(0, nullptr, d3d::CLEAR_TARGET | d3d::CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    EXPECT_EQ(DrawQuads(0, 1), platform::kOk);
    EXPECT_EQ(Pixel(640, 384), 0xFF0000u);

    platform::PresentParams impossible = GameParams();
    impossible.BackBufferWidth = 1u << 20;
    EXPECT_LT(device_->Reset(impossible), 0);
    EXPECT_EQ(device_->TestCooperativeLevel(), platform::kDeviceNotReset);
    EXPECT_EQ(device_->Reset(GameParams()), platform::kOk);
    EXPECT_EQ(device_->TestCooperativeLevel(), platform::kOk);
}

TEST_F(SdlBackendTest, HiddenWindowLosesTheDeviceUntilReset) {
    MakeDevice();
    EXPECT_EQ(device_->TestCooperativeLevel(), platform::kOk);
    Xdo("windowunmap --sync " + xid_);
    Drain(300ms);
    EXPECT_EQ(device_->TestCooperativeLevel(), platform::kDeviceLost);
    EXPECT_EQ(device_->Present(), platform::kDeviceLost);
    EXPECT_EQ(device_->Reset(GameParams()), platform::kDeviceLost);
    Xdo("windowmap --sync " + xid_);
    Drain(300ms);
    EXPECT_EQ(device_->TestCooperativeLevel(), platform::kDeviceNotReset);
    EXPECT_EQ(device_->Reset(GameParams()), platform::kOk);
    EXPECT_EQ(device_->TestCooperativeLevel(), platform::kOk);
}

platform::FontDesc GameFont(int32_t height) {
    platform::FontDesc desc{};
    desc.Height = height;
    desc.CharSet = d3d::DEFAULT_CHARSET;
    desc.PitchAndFamily = d3d::FF_SWISS;
    std::strcpy(desc.FaceName, "copperplate gothic light");
    return desc;
}

// The bounds of the pixels of one colour.
struct Extent {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, count = 0;
};

Extent Find(platform::Device& device, uint32_t rgb) {
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    platform::sdl::ReadBackBuffer(device, pixels, w, h);
    Extent e;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if ((pixels[static_cast<size_t>(y) * w + x] & 0xFFFFFF) == rgb) {
                e.left = std::min(e.left, x);
                e.right = std::max(e.right, x);
                e.top = std::min(e.top, y);
                e.bottom = std::max(e.bottom, y);
                ++e.count;
            }
        }
    }
    return e;
}

TEST_F(SdlBackendTest, FontsDrawInsideTheirCellsAndWrapAtWords) {
    MakeDevice();
    std::unique_ptr<platform::Font> heading;
    ASSERT_EQ(device_->CreateFontIndirect(GameFont(40), heading), platform::kOk);
    device_->Clear(0, nullptr, d3d::CLEAR_TARGET, 0xFF000000, 1.0f, 0);
    EXPECT_EQ(heading->DrawText("Start", -1, {300, 600, 780, 650}, 0, 0xFFFF0000), 40);
    // Reaching past the right edge, still drawn from its left.
    EXPECT_EQ(heading->DrawText("Quit", -1, {950, 600, 1430, 650}, 0, 0xFFFF0000), 40);
    const Extent red = Find(*device_, 0xFF0000);
    EXPECT_GE(red.left, 300);
    EXPECT_LT(red.left, 310);
    EXPECT_GE(red.top, 600);
    EXPECT_LT(red.bottom, 640);
    EXPECT_GT(red.right, 960);
    EXPECT_LT(red.right, 1100);

    std::unique_ptr<platform::Font> body;
    ASSERT_EQ(device_->CreateFontIndirect(GameFont(20), body), platform::kOk);
    const char* paragraph =
        "This game uses the tiles from the Chinese tile game Pai Gow. The initial game board "
        "has 5 rows with 5 tiles in each row. The objective of the game is to eliminate all "
        "the tiles on the board.";
    device_->Clear(0, nullptr, d3d::CLEAR_TARGET, 0xFF000000, 1.0f, 0);
    const int32_t height =
        body->DrawText(paragraph, -1, {30, 70, 780, 570}, d3d::DT_WORDBREAK, 0xFFFFFFFF);
    EXPECT_GE(height, 40);
    EXPECT_EQ(height % 20, 0) << "whole lines of the cell height";
    const Extent white = Find(*device_, 0xFFFFFF);
    EXPECT_GE(white.left, 30);
    EXPECT_LT(white.right, 780);
    EXPECT_GE(white.top, 70);
    EXPECT_LT(white.bottom, 70 + height);
    EXPECT_GT(white.right, 600) << "lines fill the width before they wrap";

    // Without word breaks it is one line, cut only by the back buffer.
    device_->Clear(0, nullptr, d3d::CLEAR_TARGET, 0xFF000000, 1.0f, 0);
    EXPECT_EQ(body->DrawText(paragraph, -1, {30, 70, 780, 570}, 0, 0xFFFFFFFF), 20);
    EXPECT_GT(Find(*device_, 0xFFFFFF).right, 1200);
    // Only `count` characters.
    device_->Clear(0, nullptr, d3d::CLEAR_TARGET, 0xFF000000, 1.0f, 0);
    body->DrawText(paragraph, 4, {30, 70, 780, 570}, 0, 0xFFFFFFFF);
    EXPECT_LT(Find(*device_, 0xFFFFFF).right, 90);

    // Text far wider and taller than the back buffer is cut, not rendered whole.
    const std::string wide(200000, 'W');
    EXPECT_EQ(body->DrawText(wide.c_str(), -1, {0, 0, 100, 100}, 0, 0xFFFFFFFF), 20);
    std::string tall;
    for (int i = 0; i < 20000; ++i) {
        tall += "line\n";
    }
    EXPECT_EQ(body->DrawText(tall.c_str(), -1, {0, 0, 100, 100}, 0, 0xFFFFFFFF), 20 * 20001);

    // A lost font draws nothing until the device is back.
    heading->OnLostDevice();
    EXPECT_EQ(heading->DrawText("Start", -1, {300, 600, 780, 650}, 0, 0xFFFF0000), 0);
    heading->OnResetDevice();
    EXPECT_EQ(heading->DrawText("Start", -1, {300, 600, 780, 650}, 0, 0xFFFF0000), 40);
}

TEST_F(SdlBackendTest, FontsThatCannotBeMadeAreRefused) {
    MakeDevice();
    std::unique_ptr<platform::Font> font;
    EXPECT_LT(device_->CreateFontIndirect(GameFont(1 << 20), font), 0);
    EXPECT_EQ(font, nullptr);
    // A face name that fills its 32 bytes without an end still finds a face.
    platform::FontDesc unended = GameFont(20);
    std::memset(unended.FaceName, 'x', sizeof unended.FaceName);
    EXPECT_EQ(device_->CreateFontIndirect(unended, font), platform::kOk);
    ASSERT_NE(font, nullptr);
    // A font outliving its device draws nothing and does not crash.
    device_.reset();
    EXPECT_EQ(font->DrawText("Start", -1, {0, 0, 100, 100}, 0, 0xFFFFFFFF), 0);
}

TEST_F(SdlBackendTest, CursorImageLoadsOnlyFromSoundFiles) {
    MakeDevice();
    const auto dir =
        std::filesystem::temp_directory_path() / ("tavorin-bmp-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto write = [&](const char* name, const std::vector<uint8_t>& bytes) {
        std::ofstream(dir / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return (dir / name).string();
    };
    // A 2 x 2, 24-bit image: one black pixel (keyed out), three white.
    std::vector<uint8_t> good = {'B', 'M', 70, 0, 0, 0, 0, 0, 0,  0, 54, 0, 0, 0,  // file
                                 40,  0,   0,  0, 2, 0, 0, 0, 2,  0, 0,  0,        // size
                                 1,   0,   24, 0, 0, 0, 0, 0, 16, 0, 0,  0};       // format
    good.resize(54, 0);
    good.insert(good.end(), {0, 0, 0, 255, 255, 255, 0, 0, 255, 255, 255, 255, 255, 255, 0, 0});
    std::vector<uint8_t> truncated(good.begin(), good.end() - 8);
    std::vector<uint8_t> huge = good;
    huge[18] = 0xFF;
    huge[19] = 0xFF;
    huge[20] = 0xFF;
    huge[21] = 0x7F;
    std::vector<uint8_t> pixelsAfterEnd = good;
    pixelsAfterEnd[10] = 0xFF;

    std::unique_ptr<platform::Texture> texture;
    const auto load = [&](const std::string& file) {
        return device_->CreateTextureFromFileEx(
            file.c_str(), d3d::X_DEFAULT, d3d::X_DEFAULT, d3d::X_DEFAULT, 0, d3d::FMT_UNKNOWN,
            d3d::POOL_MANAGED, d3d::X_DEFAULT, d3d::X_DEFAULT, 0xFF000000, texture);
    };
    EXPECT_EQ(load(write("good.bmp", good)), platform::kOk);
    EXPECT_NE(texture, nullptr);
    for (const auto& [name, bytes] : std::vector<std::pair<const char*, std::vector<uint8_t>>>{
             {"empty.bmp", {}},
             {"truncated.bmp", truncated},
             {"huge.bmp", huge},
             {"offset.bmp", pixelsAfterEnd},
             {"text.bmp", {'h', 'e', 'l', 'l', 'o'}}}) {
        EXPECT_LT(load(write(name, bytes)), 0) << name;
        EXPECT_EQ(texture, nullptr) << name;
    }
    EXPECT_LT(load((dir / "missing.bmp").string()), 0);
    EXPECT_LT(device_->CreateTextureFromFileEx(nullptr, 0, 0, 0, 0, 0, 1, 0, 0, 0, texture), 0);
    std::filesystem::remove_all(dir);
}

TEST_F(SdlBackendTest, KeyboardAndMouseStatesLeaveTheMessagesAlone) {
    std::unique_ptr<platform::InputSystem> input;
    ASSERT_EQ(system_->DirectInput8Create(platform::dinput::VERSION, input), platform::kOk);
    std::unique_ptr<platform::InputDevice> keyboard;
    std::unique_ptr<platform::InputDevice> mouse;
    ASSERT_EQ(input->CreateDevice(platform::DeviceGuid::SysKeyboard, keyboard), platform::kOk);
    ASSERT_EQ(input->CreateDevice(platform::DeviceGuid::SysMouse, mouse), platform::kOk);
    uint8_t keys[256];
    EXPECT_EQ(keyboard->GetDeviceState(256, keys), platform::kNotAcquired);
    ASSERT_EQ(keyboard->SetDataFormat(platform::DataFormat::Keyboard), platform::kOk);
    ASSERT_EQ(keyboard->SetCooperativeLevel(window_.get(), 0x0A), platform::kOk);
    ASSERT_EQ(keyboard->Acquire(), platform::kOk);
    EXPECT_LT(mouse->SetDataFormat(platform::DataFormat::Keyboard), 0);
    ASSERT_EQ(mouse->SetDataFormat(platform::DataFormat::Mouse2), platform::kOk);
    EXPECT_LT(mouse->SetCooperativeLevel(nullptr, 0x0A), 0);
    ASSERT_EQ(mouse->SetCooperativeLevel(window_.get(), 0x0A), platform::kOk);
    ASSERT_EQ(mouse->Acquire(), platform::kOk);
    platform::DeviceCaps caps{};
    EXPECT_LT(mouse->GetCapabilities(caps), 0) << "dwSize unset";
    caps.dwSize = sizeof caps;
    ASSERT_EQ(mouse->GetCapabilities(caps), platform::kOk);
    EXPECT_EQ(caps.dwAxes, 3u);
    EXPECT_EQ(caps.dwButtons, 8u);
    EXPECT_EQ(caps.dwFlags & platform::dinput::DIDC_ATTACHED, platform::dinput::DIDC_ATTACHED);

    Xdo("windowfocus --sync " + xid_);
    Xdo("mousemove --window " + xid_ + " 200 200");
    Drain(200ms);
    platform::MouseState2 state{};
    ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), platform::kOk);
    EXPECT_LT(keyboard->GetDeviceState(255, keys), 0) << "the wrong size";

    Xdo("keydown s");
    Xdo("mousemove_relative -- 30 -20");
    Xdo("mousedown 1");
    std::this_thread::sleep_for(200ms);
    ASSERT_EQ(keyboard->GetDeviceState(256, keys), platform::kOk);
    EXPECT_EQ(keys[0x1F], 0x80) << "S";
    EXPECT_EQ(keys[0x1E], 0) << "A";
    ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), platform::kOk);
    EXPECT_EQ(state.lX, 30);
    EXPECT_EQ(state.lY, -20);
    EXPECT_EQ(state.rgbButtons[0], 0x80);
    EXPECT_EQ(state.rgbButtons[1], 0);
    // The reads took nothing from the window's queue.
    EXPECT_TRUE(Has(Drain(300ms), platform::WM_KEYDOWN, 'S'));
    ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), platform::kOk);
    EXPECT_EQ(state.lX, 0) << "motion is counted once";
    Xdo("keyup s");
    Xdo("mouseup 1");
    std::this_thread::sleep_for(200ms);
    ASSERT_EQ(keyboard->GetDeviceState(256, keys), platform::kOk);
    EXPECT_EQ(keys[0x1F], 0);
    EXPECT_EQ(keyboard->Unacquire(), platform::kOk);
    EXPECT_EQ(keyboard->GetDeviceState(256, keys), platform::kNotAcquired);
}

TEST_F(SdlBackendTest, ForegroundDevicesAreLostWithTheFocusAndAcquiredAgain) {
    std::unique_ptr<platform::InputSystem> input;
    ASSERT_EQ(system_->DirectInput8Create(platform::dinput::VERSION, input), platform::kOk);
    std::unique_ptr<platform::InputDevice> mouse;
    ASSERT_EQ(input->CreateDevice(platform::DeviceGuid::SysMouse, mouse), platform::kOk);
    ASSERT_EQ(mouse->SetDataFormat(platform::DataFormat::Mouse2), platform::kOk);
    EXPECT_LT(mouse->SetCooperativeLevel(window_.get(), 0x0C), 0) << "background and foreground";
    ASSERT_EQ(mouse->SetCooperativeLevel(window_.get(), 0x06), platform::kOk);
    Xdo("windowfocus --sync " + xid_);
    Drain(200ms);
    ASSERT_EQ(mouse->Acquire(), platform::kOk);
    platform::MouseState2 state{};
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), platform::kOk);

    auto other = system_->CreateWindow(
        {kClass, "Other", 0, platform::WS_VISIBLE, 100, 100, 200, 100}, nullptr);
    ASSERT_NE(other, nullptr);
    const std::string otherId = e2e::FindWindow(display_.name(), "Other", 10s);
    Xdo("windowfocus --sync " + otherId);
    Drain(300ms);
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), platform::kInputLost);
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), platform::kNotAcquired);
    EXPECT_EQ(mouse->Acquire(), platform::kOk);
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), platform::kOk);
}

TEST_F(SdlBackendTest, HeldKeysRepeatTheirKeyDowns) {
    Xdo("windowfocus --sync " + xid_);
    Drain(200ms);
    Xdo("keydown c");
    std::this_thread::sleep_for(1500ms);
    Xdo("keyup c");
    int downs = 0;
    for (const Message& m : Drain(500ms)) {
        if (m.message == platform::WM_KEYDOWN && m.wParam == 'C') {
            // The previous-state bit marks the repeats.
            EXPECT_EQ((m.lParam >> 30) & 1, downs == 0 ? 0 : 1);
            ++downs;
        }
    }
    EXPECT_GE(downs, 3);
}

TEST(SdlWithoutDisplay, NothingStartsAndMessagesGoToStandardError) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    auto system = platform::sdl::CreateSdlSystem();
    ASSERT_TRUE(system->RegisterClass({kClass, 3}));
    EXPECT_EQ(
        system->CreateWindow({kClass, "None", 0, platform::WS_VISIBLE, 0, 0, 100, 100}, nullptr),
        nullptr);
    EXPECT_EQ(system->Direct3DCreate9(d3d::SDK_VERSION), nullptr);
    Message m;
    EXPECT_FALSE(system->PeekMessage(m));
    ::testing::internal::CaptureStderr();
    system->MessageBox(nullptr, "CreateDevice() failed!", "InitD3D()", 0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "InitD3D(): CreateDevice() failed!\n");
}

}  // namespace
