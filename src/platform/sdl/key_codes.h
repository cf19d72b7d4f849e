#pragma once

// Translation of SDL's key numbers into the codes the game speaks: Win32 virtual keys for the
// window messages, DirectInput key codes for the keyboard state. Plain integers here, so that
// this header stays free of SDL.

#include <cstdint>

namespace platform::sdl {

// The Win32 virtual-key code of a key, from SDL's key code (layout-aware, used for letters
// and digits) and scan code (everything else); 0 when Windows has none.
uint32_t VirtualKeyFor(int32_t keycode, int32_t scancode);

// The DirectInput key code of an SDL scan code, 0 when there is none. Its low seven bits
// are also the PC scan code, and the top bit marks an extended key.
uint8_t DirectInputKeyFor(int32_t scancode);

// The character TranslateMessage makes of a key-down when no text arrives with it
// (control keys and Ctrl combinations); 0 for none.
uint32_t CharacterFor(uint32_t virtualKey, bool shift, bool capsLock, bool control);

}  // namespace platform::sdl
