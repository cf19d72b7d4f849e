// The parts of the backend that need no display: key translation, text layout, pacing.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/sdl/frame_pacer.h"
#include "platform/sdl/key_codes.h"
#include "platform/sdl/text_layout.h"

namespace {

using platform::sdl::CharacterFor;
using platform::sdl::DirectInputKeyFor;
using platform::sdl::LayOutLines;
using platform::sdl::VirtualKeyFor;

// SDL's scan codes are the USB usage numbers.
constexpr int kScanA = 4;
constexpr int kScanS = 22;
constexpr int kScanQ = 20;
constexpr int kScanW = 26;
constexpr int kScan1 = 30;
constexpr int kScan0 = 39;
constexpr int kScanEscape = 41;
constexpr int kScanF1 = 58;
constexpr int kScanF12 = 69;
constexpr int kScanKeypad1 = 89;
constexpr int kScanLeftAlt = 226;

TEST(KeyCodes, GameKeysGetTheirWin32Codes) {
    EXPECT_EQ(VirtualKeyFor('s', kScanS), 'S');
    EXPECT_EQ(VirtualKeyFor('q', kScanQ), 'Q');
    // The layout decides the letter: a key that types 'z' is Z wherever it sits.
    EXPECT_EQ(VirtualKeyFor('z', kScanW), 'Z');
    EXPECT_EQ(VirtualKeyFor('1', kScan1), '1');
    EXPECT_EQ(VirtualKeyFor(0, kScan0), '0') << "digit row by position when the layout shifts it";
    EXPECT_EQ(VirtualKeyFor(27, kScanEscape), 0x1Bu);
    EXPECT_EQ(VirtualKeyFor(0, kScanF1), 0x70u);
    EXPECT_EQ(VirtualKeyFor(0, kScanF1 + 1), 0x71u) << "F2";
    EXPECT_EQ(VirtualKeyFor(0, kScanF12), 0x7Bu);
    EXPECT_EQ(VirtualKeyFor(0, kScanKeypad1), 0x61u);
    EXPECT_EQ(VirtualKeyFor(0, kScanLeftAlt), 0x12u);
    EXPECT_EQ(VirtualKeyFor(0, -1), 0u);
    EXPECT_EQ(VirtualKeyFor(0, 1 << 20), 0u);
}

TEST(KeyCodes, DirectInputCodesFollowItsNumbering) {
    EXPECT_EQ(DirectInputKeyFor(kScanEscape), 0x01);
    EXPECT_EQ(DirectInputKeyFor(kScan1), 0x02);
    EXPECT_EQ(DirectInputKeyFor(kScan0), 0x0B);
    EXPECT_EQ(DirectInputKeyFor(kScanQ), 0x10);
    EXPECT_EQ(DirectInputKeyFor(kScanW), 0x11);
    EXPECT_EQ(DirectInputKeyFor(kScanA), 0x1E);
    EXPECT_EQ(DirectInputKeyFor(kScanS), 0x1F);
    EXPECT_EQ(DirectInputKeyFor(kScanF1), 0x3B);
    EXPECT_EQ(DirectInputKeyFor(kScanF12), 0x58);
    EXPECT_EQ(DirectInputKeyFor(kScanLeftAlt), 0x38);
    EXPECT_EQ(DirectInputKeyFor(-5), 0);
    EXPECT_EQ(DirectInputKeyFor(100000), 0);
}

TEST(KeyCodes, CharactersFollowShiftCapsAndControl) {
    EXPECT_EQ(CharacterFor('S', false, false, false), 's');
    EXPECT_EQ(CharacterFor('S', true, false, false), 'S');
    EXPECT_EQ(CharacterFor('S', false, true, false), 'S');
    EXPECT_EQ(CharacterFor('S', true, true, false), 's');
    EXPECT_EQ(CharacterFor('S', false, false, true), 0x13u);
    EXPECT_EQ(CharacterFor(0x1B, false, false, false), 0x1Bu);
    EXPECT_EQ(CharacterFor(0x0D, true, false, false), 0x0Du);
    EXPECT_EQ(CharacterFor(0x71, false, false, false), 0u) << "F2 types nothing";
    EXPECT_EQ(CharacterFor('5', false, false, false), '5');
}

// Every character is 10 pixels wide.
int Measure(std::string_view text) {
    return static_cast<int>(text.size()) * 10;
}

TEST(TextLayout, WrapsAtWordsWithinTheWidth) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(LayOutLines("one two three four", 90, Measure), (Lines{"one two", "three", "four"}));
    EXPECT_EQ(LayOutLines("one two three four", 180, Measure), (Lines{"one two three four"}));
    // A word wider than the width keeps a line to itself; the spaces at a break vanish.
    EXPECT_EQ(LayOutLines("a extraordinarily b", 50, Measure),
              (Lines{"a", "extraordinarily", "b"}));
    EXPECT_EQ(LayOutLines("ab   cd", 30, Measure), (Lines{"ab", "cd"}));
    EXPECT_EQ(LayOutLines("ab cd", 0, Measure), (Lines{"ab", "cd"}));
}

TEST(TextLayout, LineBreaksAlwaysBreak) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(LayOutLines("one\ntwo three", -1, Measure), (Lines{"one", "two three"}));
    EXPECT_EQ(LayOutLines("one\r\ntwo", 1000, Measure), (Lines{"one", "two"}));
    EXPECT_EQ(LayOutLines("one  two", -1, Measure), (Lines{"one  two"}));
    EXPECT_EQ(LayOutLines("", -1, Measure), (Lines{""}));
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
