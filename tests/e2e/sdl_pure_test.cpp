// The parts of the backend that need no display: key codes, text layout, pacing.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/sdl/frame_pacer.h"
#include "platform/sdl/key_codes.h"
#include "platform/sdl/text_layout.h"

namespace {

using platform::sdl::LayOutLines;

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
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(40));
}

}  // namespace
