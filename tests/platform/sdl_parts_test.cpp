// The parts of the backend that need no display: key codes, text layout, pacing, settings.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/gl/device_settings.h"
#include "platform/gl/frame_record.h"
#include "platform/gl/text_layout.h"
#include "platform/sdl/frame_pacer.h"
#include "platform/sdl/key_codes.h"

namespace {

using platform::gl::LayOutLines;

TEST(KeyCodes, KeysGetTheirWindowsAndDirectInputCodes) {
    struct Case {
        int32_t keycode, scancode;  // SDL's scan codes are the USB usage numbers
        uint32_t virtualKey;
        uint8_t directInput;
    };
    for (const Case& c : std::vector<Case>{
             {'z', 26, 'Z', 0x11},  // the layout decides the letter, the position the DI code
             {0, 39, '0', 0x0B},    // the digit row by position when the layout shifts it
             {0, 69, 0x7B, 0x58},   // F12
             {0, 89, 0x61, 0x4F},   // keypad 1
             {0, -1, 0, 0},
             {0, 1 << 20, 0, 0}}) {
        SCOPED_TRACE(c.scancode);
        EXPECT_EQ(platform::sdl::VirtualKeyFor(c.keycode, c.scancode), c.virtualKey);
        EXPECT_EQ(platform::sdl::DirectInputKeyFor(c.scancode), c.directInput);
    }
}

TEST(TextLayout, BreaksAtLineBreaksAndAtWordsWithinTheWidth) {
    // Every character is 10 pixels wide.
    const auto measure = [](std::string_view text) { return static_cast<int>(text.size()) * 10; };
    using Lines = std::vector<std::string>;
    struct Case {
        const char* text;
        int width;
        Lines lines;
    };
    for (const Case& c : std::vector<Case>{
             {"one two three four", 90, {"one two", "three", "four"}},
             {"one two three four", 180, {"one two three four"}},
             // A word wider than the width keeps a line to itself; spaces at a break vanish.
             {"a extraordinarily b", 50, {"a", "extraordinarily", "b"}},
             {"ab   cd", 30, {"ab", "cd"}},
             {"ab cd", 0, {"ab", "cd"}},
             {"one\ntwo three", -1, {"one", "two three"}},
             {"one\r\ntwo", 1000, {"one", "two"}},
             {"one  two", -1, {"one  two"}},
             {"", -1, {""}}}) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(LayOutLines(c.text, c.width, measure), c.lines);
    }
}

TEST(FramePacer, HoldsQuickFramesToTheRateButNeverDelaysSlowOnes) {
    using Clock = std::chrono::steady_clock;
    platform::sdl::FramePacer pacer;
    pacer.SetRate(100);
    pacer.FrameDone();
    Clock::time_point start = Clock::now();
    for (int i = 0; i < 10; ++i) {
        pacer.FrameDone();
    }
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(95));

    // After a frame far slower than the period, the next one is not held back to catch up.
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    pacer.FrameDone();
    start = Clock::now();
    pacer.FrameDone();
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(8));
    EXPECT_LT(Clock::now() - start,
              std::chrono::milliseconds(500));  // loose: a busy machine stalls
}

}  // namespace

namespace {

namespace d3d = platform::d3d;

// The device takes exactly what the game sets and refuses the rest rather than half-doing it.
TEST(DeviceSettings, TakesTheGameSettingsAndRefusesOthers) {
    platform::gl::DeviceSettings settings;
    const platform::Matrix world = platform::MatrixTranslation(3, 4, 10);
    EXPECT_EQ(settings.SetTransform(d3d::TS_WORLD, world), platform::kOk);
    EXPECT_EQ(settings.world, world);
    EXPECT_EQ(settings.SetTransform(2, world), platform::kInvalidCall);  // the view
    EXPECT_EQ(settings.SetRenderState(d3d::RS_AMBIENT, 0x00FFFFFF), platform::kOk);
    EXPECT_EQ(settings.SetRenderState(d3d::RS_LIGHTING, 0), platform::kOk);
    EXPECT_EQ(settings.SetRenderState(d3d::RS_CULLMODE, d3d::CULL_NONE), platform::kOk);
    EXPECT_EQ(settings.cullMode, d3d::CULL_NONE);
    EXPECT_EQ(settings.SetRenderState(d3d::RS_CULLMODE, 4), platform::kInvalidCall);
    EXPECT_EQ(settings.cullMode, d3d::CULL_NONE);
    EXPECT_EQ(settings.SetRenderState(d3d::RS_ZENABLE, d3d::ZB_TRUE), platform::kOk);
    EXPECT_EQ(settings.SetRenderState(14, 0), platform::kInvalidCall);  // depth writes
    for (uint32_t sampler = 0; sampler < 8; ++sampler) {
        EXPECT_EQ(settings.SetSamplerState(sampler, d3d::SAMP_MIPFILTER, d3d::TEXF_ANISOTROPIC),
                  platform::kOk);
    }
    EXPECT_EQ(settings.SetSamplerState(16, d3d::SAMP_MINFILTER, 0), platform::kInvalidCall);
    EXPECT_EQ(settings.SetFVF(0x42), platform::kOk);
    EXPECT_EQ(settings.SetFVF(0x142), platform::kInvalidCall);  // a texture coordinate
    EXPECT_EQ(settings.fvf, 0x42u);
}

}  // namespace

TEST(FrameRecord, AFrameMatchesOnlyWhenEveryCommandRepeatsTheShownFrame) {
    using platform::gl::FrameRecord;
    using platform::gl::Signature;
    const auto command = [](uint32_t kind, std::string_view text) {
        Signature s;
        s.Put(kind).Put(0.5f).Put(text);
        return s;
    };
    FrameRecord record;
    // Nothing shown yet: the first frame is drawn whatever it is.
    EXPECT_FALSE(record.Add(command(1, "Start")));
    record.Shown();

    EXPECT_TRUE(record.Add(command(1, "Start")));
    EXPECT_TRUE(record.SameAsShown());
    record.Skipped();

    // A longer text, a shorter frame, a frame that goes on past the shown one.
    EXPECT_FALSE(record.Add(command(1, "Starts")));
    EXPECT_FALSE(record.Add(command(1, "Start"))) << "once different, the frame stays so";
    record.Shown();
    EXPECT_TRUE(record.Add(command(1, "Starts")));
    EXPECT_FALSE(record.SameAsShown()) << "a prefix of the shown frame is not the frame";
    EXPECT_TRUE(record.Add(command(1, "Start")));
    EXPECT_TRUE(record.SameAsShown());
    EXPECT_FALSE(record.Add(command(2, "")));
    record.Shown();

    // Something drawn after all, or the picture lost, and the frame is not taken as shown.
    EXPECT_TRUE(record.Add(command(1, "Starts")));
    record.Diverge();
    EXPECT_FALSE(record.SameAsShown());
    record.Shown();
    record.Forget();
    EXPECT_FALSE(record.Add(command(1, "Starts")));
}
