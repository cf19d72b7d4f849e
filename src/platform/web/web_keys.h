#pragma once

// The browser's keys in the codes the game speaks: Win32 virtual keys for the window
// messages, DirectInput key codes for the keyboard state. Pure: tested under node.

#include <cstdint>
#include <string_view>

namespace platform::web {

struct KeyCodes {
    uint32_t virtualKey = 0;  // 0 when Windows has none
    uint8_t directInput = 0;  // 0 when DirectInput has none; the top bit marks an extended key
};

// From KeyboardEvent.code (the key's place) and KeyboardEvent.key (what the layout makes of
// it: it decides the letter, as on Windows).
KeyCodes CodesFor(std::string_view code, std::string_view key);

struct Modifiers {
    bool shift = false;
    bool control = false;
    bool alt = false;
    bool meta = false;
};

// Whether the game answers the key, so that the browser's own use of it is held back. Keys
// the game does not answer (F5, Ctrl+R, F11, Tab, and every Ctrl or Meta combination) reach
// the browser as usual.
bool GameAnswers(uint32_t virtualKey, const Modifiers& modifiers);

}  // namespace platform::web
