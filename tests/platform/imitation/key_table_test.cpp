// The one key table: a key's place (USB's number, which SDL's scan codes are and the browser's
// codes name) in Windows' virtual keys and DirectInput's codes, and the characters
// TranslateMessage makes of keys that bring no text.

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "platform/imitation/key_table.h"

namespace {

using platform::CharacterFor;
using platform::KeyCodesFor;

TEST(KeyTable, PlacesGetTheirWindowsAndDirectInputCodesAndTheLayoutDecidesLetters) {
    struct Case {
        uint32_t usage, typed;
        uint32_t virtualKey;
        uint8_t directInput;
    };
    for (const Case& c : std::vector<Case>{
             {0x16, 's', 'S', 0x1F},  // S
             {0x1A, 'z', 'Z', 0x11},  // the place of W typing z: Z, with W's DirectInput code
             {0x1A, 'Z', 'Z', 0x11},
             {0x33, 'm', 'M', 0x27},  // a letter where US keyboards have ';'
             {0x1E, '&', '1', 0x02},  // the digit row by place when the layout shifts it
             {0x27, 0, '0', 0x0B},
             {0x59, '1', 0x61, 0x4F},  // keypad 1 stays the keypad's, whatever it types
             {0x29, 0, 0x1B, 0x01},    // Esc
             {0x3B, 0, 0x71, 0x3C},    // F2
             {0x45, 0, 0x7B, 0x58},    // F12: F11 and F12 lie apart from F1-F10 in DirectInput
             {0x52, 0, 0x26, 0xC8},    // up: an extended key
             {0x58, 0, 0x0D, 0x9C},    // keypad Enter: Enter, extended
             {0xE2, 0, 0x12, 0x38},    // left Alt
             {0xE6, 0, 0x12, 0xB8},    // right Alt, extended
             {0x00, 0, 0, 0},          // no key
             {0x6B, 0, 0, 0},          // F16: neither has one
             {0xE8, 0, 0, 0},
             {1u << 20, 0, 0, 0}}) {
        SCOPED_TRACE(c.usage);
        const platform::KeyCodes codes = KeyCodesFor(c.usage, c.typed);
        EXPECT_EQ(codes.virtualKey, c.virtualKey);
        EXPECT_EQ(codes.directInput, c.directInput);
    }
}

TEST(KeyTable, NoTwoPlacesShareADirectInputCode) {
    // The keyboard state is one byte per DirectInput code: two places on one would hide a key.
    std::set<uint8_t> seen;
    for (uint32_t usage = 0; usage <= platform::usage::LAST; ++usage) {
        if (const uint8_t code = KeyCodesFor(usage, 0).directInput) {
            EXPECT_TRUE(seen.insert(code).second) << "usage " << usage;
        }
    }
    EXPECT_GE(seen.size(), 100u);
}

TEST(KeyTable, KeysWithoutTextTypeWhatTranslateMessageMakesOfThem) {
    struct Case {
        uint32_t virtualKey;
        bool shift, capsLock, control;
        uint32_t character;
    };
    for (const Case& c : std::vector<Case>{
             {'S', false, false, false, 's'},
             {'S', true, false, false, 'S'},
             {'S', false, true, false, 'S'},
             {'S', true, true, false, 's'},  // Shift undoes Caps Lock
             {'A', false, false, true, 0x01},
             {'Z', true, false, true, 0x1A},  // Ctrl+letter is its control character
             {'1', false, false, false, '1'},
             {'1', true, false, false, 0},  // what Shift+1 types is the layout's to say
             {'1', false, false, true, 0},
             {0x1B, false, false, false, 0x1B},
             {0x0D, false, false, false, 0x0D},
             {0x08, false, false, false, 0x08},
             {0x09, false, false, false, 0x09},
             {0x20, false, false, false, 0x20},
             {0x71, false, false, false, 0},  // F2
             {0x1B, false, false, true, 0}}) {
        SCOPED_TRACE(c.virtualKey);
        EXPECT_EQ(CharacterFor(c.virtualKey, c.shift, c.capsLock, c.control), c.character);
    }
}

TEST(KeyTable, TextTypesItsFirstCharacterInTheAnsiCodePage) {
    using platform::FirstCharacter;
    struct Case {
        const char* text;
        uint32_t character;
        size_t bytes;
    };
    for (const Case& c : std::vector<Case>{{"s", 's', 1},
                                           {"st", 's', 1},
                                           {"\xC3\xA9", 0xE9, 2},         // e acute
                                           {"\xC2\x85", '?', 2},          // a C1 control
                                           {"\xE2\x82\xAC", '?', 3},      // the euro sign
                                           {"\xF0\x9F\x82\xA1", '?', 4},  // beyond the BMP
                                           {"\xC3", '?', 1},              // cut short
                                           {"", 0, 0}}) {
        SCOPED_TRACE(c.text);
        const platform::TextCharacter got = FirstCharacter(c.text);
        EXPECT_EQ(got.character, c.character);
        EXPECT_EQ(got.bytes, c.bytes);
    }
}

}  // namespace
