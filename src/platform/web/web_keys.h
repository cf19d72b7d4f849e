#pragma once

// The browser's keys in the codes the game speaks: the browser names a key's place
// (KeyboardEvent.code) and what the layout makes of it (KeyboardEvent.key); the shared key
// table does the rest. Pure: tested under node.

#include <cstdint>
#include <string_view>

#include "platform/imitation/key_table.h"

namespace platform::web {

using platform::KeyCodes;

// From KeyboardEvent.code (the key's place) and KeyboardEvent.key (what the layout makes of
// it: it decides the letter, as on Windows).
KeyCodes CodesFor(std::string_view code, std::string_view key);

struct Modifiers {
    bool shift = false;
    bool control = false;
    bool alt = false;
    bool meta = false;
};

// The character TranslateMessage makes of the key-down: the text the key types, or for
// keys that type none (Esc, Enter, Ctrl combinations) what Windows makes of them; 0 for none.
uint32_t CharacterFor(std::string_view key, const KeyCodes& codes, const Modifiers& modifiers);

// Says whether the game answers a virtual key (the game's own key list, handed over at start).
using KeyTest = bool (*)(uint32_t virtualKey);

// Whether the key is kept from the browser's own use of it: only keys the game answers, and
// none with Ctrl, Alt or Meta, so that F5, Ctrl+R, F11, Tab and the rest reach the browser.
bool HeldBack(uint32_t virtualKey, const Modifiers& modifiers, KeyTest gameAnswers);

}  // namespace platform::web
