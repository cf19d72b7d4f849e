#pragma once

// The one translation of a key into the codes the game speaks, for the backends that are not
// Windows: the Win32 virtual key of the window messages, the DirectInput key code of the
// keyboard state, and the character TranslateMessage makes of a key-down. A key is named by
// its place on the keyboard as USB numbers it (the keyboard page's usages): SDL's scan codes
// are these numbers, and the browser's KeyboardEvent.code names them.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace platform {

struct KeyCodes {
    uint32_t virtualKey = 0;  // 0 when Windows has none
    uint8_t directInput = 0;  // 0 when DirectInput has none; the top bit marks an extended key
};

// The codes of the key at `usage`. `typed` is what the layout makes of the key (a Unicode
// code point, 0 for none): a letter or a digit there decides the virtual key, as on Windows,
// while DirectInput's code stays the place's.
KeyCodes KeyCodesFor(uint32_t usage, uint32_t typed);

// The character TranslateMessage makes of a key-down that brings no text of its own (control
// keys and Ctrl combinations); 0 for none.
uint32_t CharacterFor(uint32_t virtualKey, bool shift, bool capsLock, bool control);

// The first character of UTF-8 text as the game's ANSI code page has it ('?' where it has
// none), and the bytes it took; {0, 0} for no text.
struct TextCharacter {
    uint32_t character;
    size_t bytes;
};
TextCharacter FirstCharacter(std::string_view utf8);

// The usages of the first letter, the first digit and the first function key; the keys after
// each follow in order (1 to 9 then 0, as the keyboard row has them; F1 to F12).
namespace usage {
inline constexpr uint32_t A = 0x04;
inline constexpr uint32_t DIGIT_1 = 0x1E;
inline constexpr uint32_t F1 = 0x3A;
inline constexpr uint32_t F13 = 0x68;
inline constexpr uint32_t KEYPAD_1 = 0x59;
inline constexpr uint32_t LAST = 0xE7;  // the right-hand logo key
}  // namespace usage

}  // namespace platform
