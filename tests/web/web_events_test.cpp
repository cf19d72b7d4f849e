// The web backend's pure part: the browser's keys in the game's codes, and the events the
// page hands over as the window messages and device state the game reads.

#include <gtest/gtest.h>

#include "platform/web/web_events.h"
#include "platform/web/web_keys.h"

namespace {

using platform::Message;
using platform::web::CodesFor;
using platform::web::HeldBack;
using platform::web::KeyCodes;
using platform::web::Modifiers;
using platform::web::WebEvents;
namespace wm = platform::wm;

TEST(WebKeys, KeysGetTheirWindowsAndDirectInputCodes) {
    struct Case {
        const char* code;
        const char* key;
        uint32_t virtualKey;
        uint8_t directInput;
    };
    for (const Case& c : std::vector<Case>{
             {"KeyS", "s", 'S', 0x1F},
             {"KeyS", "S", 'S', 0x1F},
             {"KeyW", "z", 'Z', 0x11},  // the layout decides the letter, the place the DI code
             {"KeyQ", "q", 'Q', 0x10},
             {"Digit0", "0", '0', 0x0B},
             {"Digit1", "&", '1', 0x02},  // the digit row by place when the layout shifts it
             {"F2", "F2", 0x71, 0x3C},
             {"F12", "F12", 0x7B, 0x58},
             {"Escape", "Escape", 0x1B, 0x01},
             {"Numpad1", "1", 0x61, 0x4F},
             {"ArrowUp", "ArrowUp", 0x26, 0xC8},
             {"AltLeft", "Alt", 0x12, 0x38},
             {"", "Unidentified", 0, 0},
             {"F13x", "", 0, 0},
             {"Key", "", 0, 0},
             {"F0", "", 0, 0}}) {
        SCOPED_TRACE(c.code);
        const KeyCodes codes = CodesFor(c.code, c.key);
        EXPECT_EQ(codes.virtualKey, c.virtualKey);
        EXPECT_EQ(codes.directInput, c.directInput);
    }
}

// The page's places and what the layout makes of them; the table behind them is the shared one.
TEST(WebKeys, TheBrowsersTextTypesAndEveryOtherKeyTypesWhatWindowsMakesOfIt) {
    using platform::web::CharacterFor;
    EXPECT_EQ(CharacterFor("s", CodesFor("KeyS", "s"), {}), uint32_t{'s'});
    EXPECT_EQ(CharacterFor("!", CodesFor("Digit1", "!"), {.shift = true}), uint32_t{'!'});
    EXPECT_EQ(CharacterFor("Escape", CodesFor("Escape", "Escape"), {}), 0x1Bu);
    EXPECT_EQ(CharacterFor("Enter", CodesFor("NumpadEnter", "Enter"), {}), 0x0Du);
    EXPECT_EQ(CharacterFor("r", CodesFor("KeyR", "r"), {.control = true}), 0x12u) << "Ctrl+R";
    EXPECT_EQ(CharacterFor("F2", CodesFor("F2", "F2"), {}), 0u);
    EXPECT_EQ(CharacterFor("\xC3\xA9", CodesFor("Digit2", "\xC3\xA9"), {}), 0xE9u)
        << "the layout's letter on the digit row, in the ANSI code page";
    EXPECT_EQ(CharacterFor("\xE2\x82\xAC", CodesFor("KeyE", "\xE2\x82\xAC"), {}), uint32_t{'?'});
    EXPECT_EQ(CharacterFor("Dead", CodesFor("Digit2", "Dead"), {}), 0u) << "a dead key";
}

bool GameKey(uint32_t virtualKey) {
    return virtualKey == 'S' || virtualKey == 0x71;
}

TEST(WebKeys, OnlyKeysTheGameAnswersAreKeptFromTheBrowserAndNoneWithCtrlAltOrMeta) {
    for (uint32_t key : {uint32_t{'S'}, 0x71u}) {
        EXPECT_TRUE(HeldBack(key, {}, GameKey)) << key;
        EXPECT_TRUE(HeldBack(key, {.shift = true}, GameKey)) << key;
        EXPECT_FALSE(HeldBack(key, {.control = true}, GameKey)) << key;
        EXPECT_FALSE(HeldBack(key, {.alt = true}, GameKey)) << key;
        EXPECT_FALSE(HeldBack(key, {.meta = true}, GameKey)) << key;
        EXPECT_FALSE(HeldBack(key, {}, nullptr)) << "no list: the browser keeps every key";
    }
    // F5, R (Ctrl+R), F11, Tab, F12.
    for (uint32_t key : {0x74u, uint32_t{'R'}, 0x7Au, 0x09u, 0x7Bu}) {
        EXPECT_FALSE(HeldBack(key, {}, GameKey)) << key;
    }
}

TEST(WebEvents, KeysBecomeMessagesInOrderWithWindowsParameters) {
    WebEvents events(GameKey);
    auto* window = reinterpret_cast<platform::Window*>(0x10);
    EXPECT_TRUE(events.KeyDown(window, CodesFor("KeyS", "s"), {}, false, 's'));
    EXPECT_EQ(events.keys()[0x1F], 0x80);
    EXPECT_FALSE(events.KeyDown(window, CodesFor("KeyS", "s"), {.alt = true}, true, 's'));
    EXPECT_TRUE(events.KeyUp(window, CodesFor("KeyS", "s"), {}));
    EXPECT_EQ(events.keys()[0x1F], 0);
    EXPECT_FALSE(events.KeyDown(window, CodesFor("", "Dead"), {}, false, 0)) << "no key";

    Message m;
    ASSERT_TRUE(events.Take(m));
    EXPECT_EQ(m.window, window);
    EXPECT_EQ(m.message, wm::KEYDOWN);
    EXPECT_EQ(m.wParam, uintptr_t{'S'});
    EXPECT_EQ(m.lParam, intptr_t{0x001F0001});  // one press, scan code 0x1F
    // TranslateMessage's character goes ahead of what is still queued.
    events.Translate(m);
    ASSERT_TRUE(events.Take(m));
    EXPECT_EQ(m.message, wm::CHAR);
    EXPECT_EQ(m.wParam, uintptr_t{'s'});
    ASSERT_TRUE(events.Take(m));
    EXPECT_EQ(m.message, wm::SYSKEYDOWN) << "with Alt, a system key";
    EXPECT_EQ(static_cast<uint32_t>(m.lParam), 0x601F0001u);  // Alt held, held before
    events.Translate(m);
    ASSERT_TRUE(events.Take(m));
    EXPECT_EQ(m.message, wm::KEYUP) << "a system key types nothing";
    EXPECT_EQ(static_cast<uint32_t>(m.lParam), 0xC01F0001u);
    EXPECT_FALSE(events.Take(m));
}

TEST(WebEvents, AQueueNobodyReadsStaysBoundedAndAGoneWindowsMessagesGo) {
    WebEvents events;
    auto* game = reinterpret_cast<platform::Window*>(0x10);
    auto* other = reinterpret_cast<platform::Window*>(0x20);
    for (int i = 0; i < 5000; ++i) {
        events.KeyDown(i % 2 ? game : other, CodesFor("KeyD", "d"), {}, true, 'd');
    }
    events.ForgetMessagesFor(other);
    Message m;
    int taken = 0;
    while (events.Take(m)) {
        EXPECT_EQ(m.window, game);
        ++taken;
    }
    EXPECT_GT(taken, 0);
    EXPECT_LE(taken, 1024);
}

TEST(WebEvents, MouseMotionAddsUpUntilReadAndFocusLossLetsKeysGo) {
    WebEvents events;
    events.MouseMoved(3, -4);
    events.MouseMoved(INT32_MAX, INT32_MIN);
    events.Wheel(-2);
    events.MouseButton(0, true);
    events.MouseButton(2, true);  // the browser's right button is DirectInput's second
    events.MouseButton(9, true);  // no such button: ignored
    int32_t dx = 0, dy = 0, wheel = 0;
    events.TakeMotion(dx, dy, wheel);
    EXPECT_EQ(dx, INT32_MAX) << "saturates rather than wraps";
    EXPECT_EQ(dy, INT32_MIN);
    EXPECT_EQ(wheel, -240);
    EXPECT_EQ(events.buttons()[0], 0x80);
    EXPECT_EQ(events.buttons()[1], 0x80);
    events.TakeMotion(dx, dy, wheel);
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(wheel, 0);

    events.KeyDown(nullptr, CodesFor("KeyC", "c"), {}, false, 'c');
    const uint64_t losses = events.focusLosses();
    events.FocusLost();
    EXPECT_EQ(events.focusLosses(), losses + 1);
    EXPECT_EQ(events.keys()[0x2E], 0) << "no key-up will come for a key held at a focus loss";
    EXPECT_EQ(events.buttons()[0], 0);
}

}  // namespace
