// The SDL backend on its own private display: messages from real key presses, drawing read
// back from the back buffer, device loss, fonts and images.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>

#include "platform/imitation/imitated_window.h"
#include "platform/sdl/sdl_backend.h"
#include "x_session.h"

namespace {

using namespace std::chrono_literals;
using platform::Message;
namespace d3d = platform::d3d;
namespace dt = platform::dt;

constexpr const char* kClass = "TestClass";
constexpr uint32_t kRed = 0xFFFF0000, kWhite = 0xFFFFFFFF, kBlack = 0xFF000000;

struct Vertex {
    float x, y, z;
    uint32_t colour;
};

// A quad at depth `z` as two triangles, turning clockwise as the viewer sees it.
void Quad(std::vector<Vertex>& v, float x0, float y0, float x1, float y1, float z,
          uint32_t colour) {
    v.insert(v.end(),
             {{x0, y1, z, colour}, {x1, y1, z, colour}, {x0, y0, z, colour}, {x1, y0, z, colour}});
}

void Fill(platform::Buffer& buffer, const void* bytes, size_t size) {
    void* data = nullptr;
    ASSERT_EQ(buffer.Lock(0, 0, &data, 0), platform::kOk);
    std::memcpy(data, bytes, size);
    buffer.Unlock();
}

bool Has(const std::vector<Message>& messages, uint32_t message, uintptr_t wParam) {
    return std::any_of(messages.begin(), messages.end(), [&](const Message& m) {
        return m.message == message && m.wParam == wParam;
    });
}

platform::FontDesc GameFont(int32_t height) {
    return {height,
            0,
            0,
            0,
            0,
            d3d::FONT_CHARSET_DEFAULT,
            0,
            0,
            d3d::FONT_FAMILY_SWISS,
            "copperplate gothic light"};
}

class SdlBackendTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!e2e::HaveProgram("Xvfb") || !e2e::HaveProgram("xdotool")) {
            GTEST_SKIP() << "needs Xvfb and xdotool";
        }
        ASSERT_TRUE(display_.Start());
        setenv("DISPLAY", display_.name().c_str(), 1);
        system_ = platform::sdl::CreateSdlSystem({.paced = false});
        ASSERT_TRUE(system_->RegisterClassExA({kClass, 3}));
        window_ = system_->CreateWindowExA(
            {kClass, "Backend", 0,
             platform::ws::VISIBLE | platform::ws::CAPTION | platform::ws::SYSMENU |
                 platform::ws::MINIMIZEBOX,
             30, 30, 1280, 760},
            [this](platform::Window& w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
                seen_.push_back({&w, message, wParam, lParam});
                return w.DefWindowProcA(message, wParam, lParam);
            });
        ASSERT_NE(window_, nullptr);
        xid_ = e2e::FindWindow(display_.name(), "Backend", 10s);
        ASSERT_FALSE(xid_.empty());
    }

    void Xdo(const std::string& args) { e2e::RunOn(display_.name(), "xdotool " + args); }

    // Every message that comes within the time, each translated and dispatched.
    std::vector<Message> Drain(std::chrono::milliseconds time) {
        std::vector<Message> taken;
        for (const auto end = std::chrono::steady_clock::now() + time;
             std::chrono::steady_clock::now() < end;) {
            Message m;
            if (system_->PeekMessageA(m)) {
                taken.push_back(m);
                system_->TranslateMessage(m);
                system_->DispatchMessageA(m);
            } else {
                std::this_thread::sleep_for(5ms);
            }
        }
        return taken;
    }

    // Windowed, with a 16-bit depth buffer.
    platform::PresentParams GameParams(uint32_t width = 1280) {
        return {width, 768, d3d::FMT_R5G6B5, 0, 0, 0, d3d::SWAPEFFECT_DISCARD, window_.get(),
                1,     1,   d3d::FMT_D16};
    }

    // A device in the game's state, holding the quads in one vertex and one index buffer.
    void MakeDevice(const std::vector<Vertex>& vertices = {}) {
        graphics_ = system_->Direct3DCreate9(d3d::SDK_VERSION);
        ASSERT_NE(graphics_, nullptr);
        platform::PresentParams params = GameParams();
        ASSERT_EQ(graphics_->CreateDevice(d3d::ADAPTER_DEFAULT, d3d::DEVTYPE_HAL, window_.get(),
                                          d3d::CREATE_SOFTWARE_VERTEXPROCESSING, params, device_),
                  platform::kOk);
        SetGameState();
        std::vector<uint16_t> indices;  // two triangles a quad
        for (size_t i = 0; i < vertices.size() / 4 * 6; ++i) {
            indices.push_back(static_cast<uint16_t>(i / 6 * 4 + "\0\1\2\2\1\3"[i % 6]));
        }
        const auto vbytes = static_cast<uint32_t>(vertices.size() * sizeof(Vertex));
        const auto ibytes = static_cast<uint32_t>(indices.size() * 2);
        if (vbytes > 0) {
            ASSERT_EQ(device_->CreateVertexBuffer(vbytes, d3d::USAGE_WRITEONLY, 0x42,
                                                  d3d::POOL_MANAGED, vertices_),
                      platform::kOk);
            ASSERT_EQ(device_->CreateIndexBuffer(ibytes, 0, d3d::FMT_INDEX16, d3d::POOL_MANAGED,
                                                 indices_),
                      platform::kOk);
            Fill(*vertices_, vertices.data(), vbytes);
            Fill(*indices_, indices.data(), ibytes);
        }
    }

    void SetGameState() {
        device_->SetTransform(d3d::TS_PROJECTION,
                              platform::MatrixPerspectiveFovLH(0.785398f, 5.0f / 3.0f, 1, 1000));
        device_->SetTransform(d3d::TS_WORLD, platform::MatrixIdentity());
        device_->SetRenderState(d3d::RS_CULLMODE, d3d::CULL_NONE);
        device_->SetRenderState(d3d::RS_ZENABLE, d3d::ZB_TRUE);
        device_->SetFVF(d3d::FVF_XYZ | d3d::FVF_DIFFUSE);
    }

    platform::HResult Draw(uint32_t quads) {
        ClearTo(kBlack);
        device_->SetStreamSource(0, vertices_.get(), 0, sizeof(Vertex));
        device_->SetIndices(indices_.get());
        return device_->DrawIndexedPrimitive(d3d::PT_TRIANGLELIST, 0, 0, quads * 4, 0, quads * 2);
    }

    void ClearTo(uint32_t argb) {
        device_->Clear(0, nullptr, d3d::CLEAR_TARGET | d3d::CLEAR_ZBUFFER, argb, 1.0f, 0);
    }

    std::vector<uint32_t> Pixels() {
        std::vector<uint32_t> argb;
        int w = 0, h = 0;
        EXPECT_TRUE(platform::sdl::ReadBackBuffer(*device_, argb, w, h) && w == 1280 && h == 768);
        argb.resize(1280 * 768);
        return argb;
    }

    // The pixel as 0xRRGGBB.
    uint32_t Pixel(int x, int y) { return Pixels()[static_cast<size_t>(y) * 1280 + x] & 0xFFFFFF; }

    // Pixels of a colour inside a rectangle of the back buffer.
    int Count(uint32_t argb, int left, int top, int right, int bottom) {
        const std::vector<uint32_t> pixels = Pixels();
        int count = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                count += ((pixels[static_cast<size_t>(y) * 1280 + x] ^ argb) & 0xFFFFFF) == 0;
            }
        }
        return count;
    }

    e2e::XvfbDisplay display_;
    std::unique_ptr<platform::System> system_;
    std::unique_ptr<platform::Window> window_;
    std::unique_ptr<platform::Graphics> graphics_;
    std::unique_ptr<platform::Device> device_;
    std::unique_ptr<platform::VertexBuffer> vertices_;
    std::unique_ptr<platform::IndexBuffer> indices_;
    std::string xid_;
    std::vector<Message> seen_;
};

TEST_F(SdlBackendTest, KeysArriveAsWindowsMessagesOneAtATime) {
    Xdo("windowfocus --sync " + xid_);
    Drain(200ms);
    Xdo("key s shift+s Escape F2 1");
    std::vector<Message> taken = Drain(800ms);
    // Letter, its character (lower case without Shift, ahead of the key-up), then the key-up.
    ASSERT_GE(taken.size(), 3u);
    EXPECT_EQ(taken[0].message, platform::wm::KEYDOWN);
    EXPECT_EQ(taken[0].wParam, 'S');
    EXPECT_EQ(taken[0].window, window_.get());
    EXPECT_EQ(taken[1].message, platform::wm::CHAR);
    EXPECT_EQ(taken[1].wParam, 's');
    EXPECT_EQ(taken[2].message, platform::wm::KEYUP);
    EXPECT_EQ(taken[2].wParam, 'S');
    EXPECT_TRUE(Has(taken, platform::wm::KEYDOWN, 0x10)) << "Shift";
    EXPECT_TRUE(Has(taken, platform::wm::CHAR, 'S'));
    EXPECT_TRUE(Has(taken, platform::wm::KEYDOWN, 0x1B));
    EXPECT_TRUE(Has(taken, platform::wm::CHAR, 0x1B));
    EXPECT_TRUE(Has(taken, platform::wm::KEYDOWN, 0x71)) << "F2";
    EXPECT_TRUE(Has(taken, platform::wm::KEYDOWN, '1'));

    // With Alt held, keys are system keys and type nothing.
    Xdo("key alt+q");
    taken = Drain(500ms);
    EXPECT_TRUE(Has(taken, platform::wm::SYSKEYDOWN, 0x12));
    EXPECT_TRUE(Has(taken, platform::wm::SYSKEYDOWN, 'Q'));
    EXPECT_FALSE(Has(taken, platform::wm::KEYDOWN, 'Q'));
    EXPECT_FALSE(Has(taken, platform::wm::CHAR, 'q'));

    const auto& imitated = dynamic_cast<platform::ImitatedWindow&>(*window_);
    ASSERT_TRUE(imitated.alive());
    Xdo("key alt+F4");
    Drain(500ms);
    EXPECT_TRUE(Has(seen_, platform::wm::CLOSE, 0));
    EXPECT_TRUE(Has(seen_, platform::wm::DESTROY, 0));
    EXPECT_FALSE(imitated.alive());
    // A destroyed window gets nothing more.
    Xdo("key s");
    EXPECT_TRUE(Drain(300ms).empty());
}

TEST_F(SdlBackendTest, DrawsWithTheGameConventionsAndKeepsItsBuffersThroughAReset) {
    // At depth 40 with the game's projection a point (x, y) lands at
    // (640 (1 + x cot / (40 aspect)), 384 (1 - y cot / 40)), cot = 2.41421.
    std::vector<Vertex> v;
    Quad(v, -10, -5, 10, 5, 40, kWhite);         // drawn first
    Quad(v, 0, 0, 10, 5, 40, kRed);              // same depth, drawn after: wins, as pips do
    Quad(v, -10, 0, 0, 5, 50, 0xFF00FF00);       // green, behind: hidden
    Quad(v, -20, -10, -15, -5, 40, 0xFF0000FF);  // blue: the colour bytes' order
    MakeDevice(v);
    device_->BeginScene();
    EXPECT_EQ(Draw(4), platform::kOk);
    device_->EndScene();
    EXPECT_EQ(Pixel(640 - 100, 384 + 40), 0xFFFFFFu) << "white at (-5, -2)";
    EXPECT_EQ(Pixel(640 + 100, 384 - 40), 0xFF0000u) << "red over white at (5, 2)";
    EXPECT_EQ(Pixel(640 - 100, 384 - 40), 0xFFFFFFu) << "green behind white at (-5, 2)";
    EXPECT_EQ(Pixel(234, 558), 0x0000FFu) << "blue at (-17.5, -7.5)";
    EXPECT_EQ(Pixel(100, 100), 0u) << "cleared black";
    EXPECT_EQ(device_->Present(), platform::kOk);

    // Nothing is culled in the game's state; culling follows the winding the viewer sees.
    for (const auto& [mode, kept] :
         {std::pair{uint32_t{d3d::CULL_NONE}, true}, std::pair{3u, true}, std::pair{2u, false}}) {
        device_->SetRenderState(d3d::RS_CULLMODE, mode);
        EXPECT_EQ(Draw(1), platform::kOk);
        EXPECT_EQ(Pixel(640 - 100, 384 + 40), kept ? 0xFFFFFFu : 0u) << "cull mode " << mode;
    }

    // A hidden window loses the device until it is shown and the device reset.
    Xdo("windowunmap --sync " + xid_);
    Drain(300ms);
    EXPECT_EQ(device_->TestCooperativeLevel(), platform::kDeviceLost);
    EXPECT_EQ(device_->Present(), platform::kDeviceLost);
    EXPECT_EQ(device_->Reset(GameParams()), platform::kDeviceLost);
    Xdo("windowmap --sync " + xid_);
    Drain(300ms);
    EXPECT_EQ(device_->TestCooperativeLevel(), platform::kDeviceNotReset);
    // A reset that cannot be made leaves the device waiting for one that can.
    EXPECT_LT(device_->Reset(GameParams(1u << 20)), 0);
    EXPECT_EQ(device_->TestCooperativeLevel(), platform::kDeviceNotReset);
    ASSERT_EQ(device_->Reset(GameParams()), platform::kOk);
    EXPECT_EQ(device_->TestCooperativeLevel(), platform::kOk);
    // The states go back to their defaults and the game sets them again; the buffers stay.
    SetGameState();
    EXPECT_EQ(Draw(4), platform::kOk);
    EXPECT_EQ(Pixel(640 + 100, 384 - 40), 0xFF0000u);
}

TEST_F(SdlBackendTest, FramesLikeTheOneShownAreSkippedAndEveryChangeShowsInItsOwnFrame) {
    std::vector<Vertex> v;
    Quad(v, -10, -5, 10, 5, 40, kWhite);
    MakeDevice(v);
    std::unique_ptr<platform::Font> font;
    ASSERT_EQ(device_->CreateFontIndirectA(GameFont(40), font), platform::kOk);
    const auto shown = [this] { return platform::sdl::FramesShown(*device_); };
    const platform::Rect label{300, 600, 780, 650};
    // The game's frame: clear, the mesh, a label.
    const auto frame = [&](uint32_t colour, const char* text) {
        ClearTo(kBlack);
        device_->SetStreamSource(0, vertices_.get(), 0, sizeof(Vertex));
        device_->SetIndices(indices_.get());
        device_->DrawIndexedPrimitive(d3d::PT_TRIANGLELIST, 0, 0, 4, 0, 2);
        if (text) {
            font->DrawTextA(text, -1, label, 0, colour);
        }
        EXPECT_EQ(device_->Present(), platform::kOk);
    };

    frame(kRed, "Start");
    const uint64_t first = shown();
    for (int i = 0; i < 30; ++i) {
        frame(kRed, "Start");
    }
    EXPECT_EQ(shown(), first) << "still frames are not drawn again";
    EXPECT_GT(Count(kRed, 300, 600, 780, 650), 200) << "the back buffer keeps the frame";

    // Each kind of change is drawn in the very frame that makes it.
    uint64_t expected = first;
    const auto changed = [&](const char* what) {
        EXPECT_EQ(shown(), ++expected) << what;
        frame(kRed, "Start");  // and back, itself a change
        EXPECT_EQ(shown(), ++expected) << what;
    };
    frame(kWhite, "Start");
    EXPECT_GT(Count(kWhite, 300, 600, 780, 650), 200);
    EXPECT_EQ(Count(kRed, 0, 0, 1280, 768), 0);
    changed("colour");
    frame(kRed, "Stars");
    changed("text");
    frame(kRed, nullptr);
    changed("a frame with fewer draws");
    device_->SetTransform(d3d::TS_WORLD, platform::MatrixTranslation(10, 0, 0));
    frame(kRed, "Start");
    EXPECT_EQ(Pixel(640 - 100, 384 + 40), 0u) << "moved right";
    device_->SetTransform(d3d::TS_WORLD, platform::MatrixIdentity());
    changed("transform");
    std::vector<Vertex> green;
    Quad(green, -10, -5, 10, 5, 40, 0xFF00FF00);
    Fill(*vertices_, green.data(), green.size() * sizeof(Vertex));
    frame(kRed, "Start");
    EXPECT_EQ(Pixel(640 - 100, 384 + 40), 0x00FF00u);
    changed("the vertex bytes");
    frame(kRed, "Start");
    EXPECT_EQ(shown(), expected) << "still again";

    // A window over ours and gone again: the same frame is shown again, not drawn again.
    const uint64_t before = shown();
    auto cover = system_->CreateWindowExA(
        {kClass, "Cover", 0, platform::ws::VISIBLE, 0, 0, 1600, 1000}, nullptr);
    ASSERT_NE(cover, nullptr);
    Drain(300ms);
    cover.reset();
    Drain(300ms);
    frame(kRed, "Start");
    EXPECT_EQ(shown(), before + 1) << "uncovered";
    frame(kRed, "Start");
    EXPECT_EQ(shown(), before + 1);
}

TEST_F(SdlBackendTest, RefusesDrawsAndLocksOutsideTheBuffers) {
    std::vector<Vertex> v;
    Quad(v, -10, -5, 10, 5, 40, kWhite);
    MakeDevice(v);
    void* data = nullptr;
    EXPECT_LT(vertices_->Lock(0, 1000, &data, 0), 0);
    EXPECT_LT(vertices_->Lock(65, 0, &data, 0), 0);
    EXPECT_EQ(data, nullptr);
    // An index past the four vertices, more indices than the buffer holds, no index buffer.
    ASSERT_EQ(indices_->Lock(2, 2, &data, 0), platform::kOk);
    std::memcpy(data, "\4\0", 2);
    indices_->Unlock();
    EXPECT_LT(Draw(1), 0);
    EXPECT_LT(device_->DrawIndexedPrimitive(d3d::PT_TRIANGLELIST, 0, 0, 4, 3, 2), 0);
    indices_.reset();
    EXPECT_LT(device_->DrawIndexedPrimitive(d3d::PT_TRIANGLELIST, 0, 0, 4, 0, 1), 0);
    std::unique_ptr<platform::VertexBuffer> huge;
    EXPECT_EQ(device_->CreateVertexBuffer(0xFFFFFFF0u, 0, 0x42, d3d::POOL_MANAGED, huge),
              platform::kOutOfMemory);
    EXPECT_EQ(huge, nullptr);
}

TEST_F(SdlBackendTest, FontsDrawInsideTheirCellsAndWrapAtWords) {
    MakeDevice();
    std::unique_ptr<platform::Font> heading, body, font;
    ASSERT_EQ(device_->CreateFontIndirectA(GameFont(40), heading), platform::kOk);
    ClearTo(kBlack);
    EXPECT_EQ(heading->DrawTextA("Start", -1, {300, 600, 780, 650}, 0, kRed), 40);
    // Inside its cell, from the cell's left.
    EXPECT_GT(Count(kRed, 300, 600, 310, 640), 0);
    EXPECT_EQ(Count(kRed, 300, 600, 780, 640), Count(kRed, 0, 0, 1280, 768));

    ASSERT_EQ(device_->CreateFontIndirectA(GameFont(20), body), platform::kOk);
    const char* paragraph =
        "The initial game board has 5 rows with 5 tiles in each row. The objective of the game "
        "is to eliminate all the tiles on the board.";
    ClearTo(kBlack);
    const int32_t height =
        body->DrawTextA(paragraph, -1, {30, 70, 780, 570}, dt::WORDBREAK, kWhite);
    EXPECT_TRUE(height >= 40 && height % 20 == 0) << height << ": whole lines of the cell height";
    EXPECT_EQ(Count(kWhite, 30, 70, 780, 70 + height), Count(kWhite, 0, 0, 1280, 768));
    EXPECT_GT(Count(kWhite, 600, 70, 780, 70 + height), 0) << "lines fill the width, then wrap";

    // Text far wider and taller than the back buffer is cut, not rendered whole.
    EXPECT_EQ(body->DrawTextA(std::string(200000, 'W').c_str(), -1, {0, 0, 100, 100}, 0, kWhite),
              20);
    std::string tall;
    for (int i = 0; i < 20000; ++i) {
        tall += "line\n";
    }
    EXPECT_EQ(body->DrawTextA(tall.c_str(), -1, {0, 0, 100, 100}, 0, kWhite), 20 * 20001);

    // A font that cannot be made is refused; a face name filling its 32 bytes without an end
    // still finds a face.
    EXPECT_LT(device_->CreateFontIndirectA(GameFont(1 << 20), font), 0);
    EXPECT_EQ(font, nullptr);
    platform::FontDesc unended = GameFont(20);
    std::memset(unended.FaceName, 'x', sizeof unended.FaceName);
    EXPECT_EQ(device_->CreateFontIndirectA(unended, font), platform::kOk);
    ASSERT_NE(font, nullptr);
    // A font outliving its device draws nothing and does not crash.
    device_.reset();
    EXPECT_EQ(font->DrawTextA("Start", -1, {0, 0, 100, 100}, 0, kWhite), 0);
}

TEST_F(SdlBackendTest, CursorImageLoadsOnlyFromSoundFiles) {
    MakeDevice();
    const auto file =
        std::filesystem::temp_directory_path() / ("tavorin-" + std::to_string(getpid()) + ".bmp");
    std::unique_ptr<platform::Texture> texture;
    const auto load = [&](const std::vector<uint8_t>& bytes) {
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return device_->CreateTextureFromFileExA(
            file.c_str(), d3d::X_DEFAULT, d3d::X_DEFAULT, d3d::X_DEFAULT, 0, d3d::FMT_UNKNOWN,
            d3d::POOL_MANAGED, d3d::X_DEFAULT, d3d::X_DEFAULT, kBlack, texture);
    };
    // A 2 x 2, 24-bit image: one black pixel (keyed out), three white.
    std::vector<uint8_t> good = {'B', 'M', 70, 0, 0, 0, 0, 0, 0,  0, 54, 0, 0, 0,  // file
                                 40,  0,   0,  0, 2, 0, 0, 0, 2,  0, 0,  0,        // size
                                 1,   0,   24, 0, 0, 0, 0, 0, 16, 0, 0,  0};       // format
    good.resize(54, 0);
    good.insert(good.end(), {0, 0, 0, 255, 255, 255, 0, 0, 255, 255, 255, 255, 255, 255, 0, 0});
    EXPECT_EQ(load(good), platform::kOk);
    EXPECT_NE(texture, nullptr);

    std::vector<uint8_t> huge = good, pixelsAfterEnd = good;
    std::memcpy(&huge[18], "\xFF\xFF\xFF\x7F", 4);  // width
    pixelsAfterEnd[10] = 0xFF;
    for (const auto& [name, bytes] : std::vector<std::pair<const char*, std::vector<uint8_t>>>{
             {"empty", {}},
             {"truncated", {good.begin(), good.end() - 8}},
             {"huge", huge},
             {"pixels after the end", pixelsAfterEnd},
             {"text", {'h', 'e', 'l', 'l', 'o'}}}) {
        EXPECT_LT(load(bytes), 0) << name;
        EXPECT_EQ(texture, nullptr) << name;
    }
    std::filesystem::remove(file);
    EXPECT_LT(device_->CreateTextureFromFileExA(file.c_str(), 0, 0, 0, 0, 0, 1, 0, 0, 0, texture),
              0);
    // Refused at once and silently, like a missing file: a named pipe nobody writes to
    // (reading it would wait for ever), a directory, a device.
    ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
    EXPECT_LT(device_->CreateTextureFromFileExA(file.c_str(), 0, 0, 0, 0, 0, 1, 0, 0, 0, texture),
              0);
    std::filesystem::remove(file);
    for (const char* odd : {"/tmp", "/dev/zero"}) {
        EXPECT_LT(device_->CreateTextureFromFileExA(odd, 0, 0, 0, 0, 0, 1, 0, 0, 0, texture), 0)
            << odd;
    }
    EXPECT_EQ(texture, nullptr);
    EXPECT_LT(device_->CreateTextureFromFileExA(nullptr, 0, 0, 0, 0, 0, 1, 0, 0, 0, texture), 0);
}

}  // namespace
