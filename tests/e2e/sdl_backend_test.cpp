// The SDL backend on its own private display: messages from real key presses, what the real
// window does to the device (hidden, covered), and the fonts it finds.

#include <gtest/gtest.h>

#include <algorithm>

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

    void MakeDevice() {
        graphics_ = system_->Direct3DCreate9(d3d::SDK_VERSION);
        ASSERT_NE(graphics_, nullptr);
        platform::PresentParams params = GameParams();
        ASSERT_EQ(graphics_->CreateDevice(d3d::ADAPTER_DEFAULT, d3d::DEVTYPE_HAL, window_.get(),
                                          d3d::CREATE_SOFTWARE_VERTEXPROCESSING, params, device_),
                  platform::kOk);
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

    // A font that cannot be made is refused; a face name filling its 32 bytes without an end
    // still finds a face.
    EXPECT_LT(device_->CreateFontIndirectA(GameFont(1 << 20), font), 0);
    EXPECT_EQ(font, nullptr);
    platform::FontDesc unended = GameFont(20);
    std::memset(unended.FaceName, 'x', sizeof unended.FaceName);
    EXPECT_EQ(device_->CreateFontIndirectA(unended, font), platform::kOk);
    EXPECT_NE(font, nullptr);
}

}  // namespace
