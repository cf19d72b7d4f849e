// The web backend's pure part: the browser's keys in the game's codes, and the events the
// page hands over as the window messages and device state the game reads.

#include <gtest/gtest.h>

#include "platform/web/web_events.h"
#include "platform/web/web_keys.h"

namespace {

using platform::Message;
using platform::web::CodesFor;
using platform::web::GameAnswers;
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

TEST(WebKeys, OnlyTheGamesOwnKeysAreKeptFromTheBrowser) {
    for (uint32_t key : {uint32_t{'S'}, uint32_t{'N'}, uint32_t{'C'}, uint32_t{'D'}, uint32_t{'T'},
                         uint32_t{'Q'}, uint32_t{0x1B}, uint32_t{0x71}}) {
        EXPECT_TRUE(GameAnswers(key, {})) << key;
        EXPECT_TRUE(GameAnswers(key, {.shift = true})) << key;
        EXPECT_FALSE(GameAnswers(key, {.control = true})) << key;
        EXPECT_FALSE(GameAnswers(key, {.alt = true})) << key;
        EXPECT_FALSE(GameAnswers(key, {.meta = true})) << key;
    }
    // F5, R (Ctrl+R), F11, Tab, F12.
    for (uint32_t key : {0x74u, uint32_t{'R'}, 0x7Au, 0x09u, 0x7Bu}) {
        EXPECT_FALSE(GameAnswers(key, {})) << key;
    }
}

TEST(WebEvents, KeysBecomeMessagesInOrderWithWindowsParameters) {
    WebEvents events;
    auto* window = reinterpret_cast<platform::Window*>(0x10);
    EXPECT_TRUE(events.KeyDown(window, CodesFor("KeyS", "s"), {}, false, 's'));
    EXPECT_EQ(events.keys()[0x1F], 0x80);
    EXPECT_FALSE(events.KeyDown(window, CodesFor("KeyS", "s"), {.alt = true}, true, 's'));
    EXPECT_TRUE(events.KeyUp(window, CodesFor("KeyS", "s"), {}));
    EXPECT_EQ(events.keys()[0x1F], 0);
    EXPECT_FALSE(events.KeyDown(window, CodesFor("", "Dead"), {}, false, 0)) << "no key";

    Message m;
    uint32_t character = 0;
    ASSERT_TRUE(events.Take(m, character));
    EXPECT_EQ(m.window, window);
    EXPECT_EQ(m.message, wm::KEYDOWN);
    EXPECT_EQ(m.wParam, uintptr_t{'S'});
    EXPECT_EQ(m.lParam, intptr_t{0x001F0001});  // one press, scan code 0x1F
    EXPECT_EQ(character, uint32_t{'s'});
    // TranslateMessage's character goes ahead of what is still queued.
    events.PostFront({window, wm::CHAR, 's', m.lParam});
    ASSERT_TRUE(events.Take(m, character));
    EXPECT_EQ(m.message, wm::CHAR);
    ASSERT_TRUE(events.Take(m, character));
    EXPECT_EQ(m.message, wm::SYSKEYDOWN) << "with Alt, a system key";
    EXPECT_EQ(static_cast<uint32_t>(m.lParam), 0x601F0001u);  // Alt held, held before
    EXPECT_EQ(character, 0u);
    ASSERT_TRUE(events.Take(m, character));
    EXPECT_EQ(m.message, wm::KEYUP);
    EXPECT_EQ(static_cast<uint32_t>(m.lParam), 0xC01F0001u);
    EXPECT_FALSE(events.Take(m, character));
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
    uint32_t character = 0;
    int taken = 0;
    while (events.Take(m, character)) {
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
