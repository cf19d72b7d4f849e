#include "platform/sdl/key_codes.h"

#include <SDL.h>

#include <array>

namespace platform::sdl {

namespace {

struct KeyPair {
    SDL_Scancode scancode;
    uint32_t virtualKey;
    uint8_t directInput;
};

// Keys other than letters and digits, with their Win32 and DirectInput numbers.
constexpr KeyPair kKeys[] = {
    {SDL_SCANCODE_ESCAPE, 0x1B, 0x01},       {SDL_SCANCODE_MINUS, 0xBD, 0x0C},
    {SDL_SCANCODE_EQUALS, 0xBB, 0x0D},       {SDL_SCANCODE_BACKSPACE, 0x08, 0x0E},
    {SDL_SCANCODE_TAB, 0x09, 0x0F},          {SDL_SCANCODE_LEFTBRACKET, 0xDB, 0x1A},
    {SDL_SCANCODE_RIGHTBRACKET, 0xDD, 0x1B}, {SDL_SCANCODE_RETURN, 0x0D, 0x1C},
    {SDL_SCANCODE_LCTRL, 0x11, 0x1D},        {SDL_SCANCODE_SEMICOLON, 0xBA, 0x27},
    {SDL_SCANCODE_APOSTROPHE, 0xDE, 0x28},   {SDL_SCANCODE_GRAVE, 0xC0, 0x29},
    {SDL_SCANCODE_LSHIFT, 0x10, 0x2A},       {SDL_SCANCODE_BACKSLASH, 0xDC, 0x2B},
    {SDL_SCANCODE_COMMA, 0xBC, 0x33},        {SDL_SCANCODE_PERIOD, 0xBE, 0x34},
    {SDL_SCANCODE_SLASH, 0xBF, 0x35},        {SDL_SCANCODE_RSHIFT, 0x10, 0x36},
    {SDL_SCANCODE_KP_MULTIPLY, 0x6A, 0x37},  {SDL_SCANCODE_LALT, 0x12, 0x38},
    {SDL_SCANCODE_SPACE, 0x20, 0x39},        {SDL_SCANCODE_CAPSLOCK, 0x14, 0x3A},
    {SDL_SCANCODE_F1, 0x70, 0x3B},           {SDL_SCANCODE_F2, 0x71, 0x3C},
    {SDL_SCANCODE_F3, 0x72, 0x3D},           {SDL_SCANCODE_F4, 0x73, 0x3E},
    {SDL_SCANCODE_F5, 0x74, 0x3F},           {SDL_SCANCODE_F6, 0x75, 0x40},
    {SDL_SCANCODE_F7, 0x76, 0x41},           {SDL_SCANCODE_F8, 0x77, 0x42},
    {SDL_SCANCODE_F9, 0x78, 0x43},           {SDL_SCANCODE_F10, 0x79, 0x44},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x90, 0x45}, {SDL_SCANCODE_SCROLLLOCK, 0x91, 0x46},
    {SDL_SCANCODE_KP_7, 0x67, 0x47},         {SDL_SCANCODE_KP_8, 0x68, 0x48},
    {SDL_SCANCODE_KP_9, 0x69, 0x49},         {SDL_SCANCODE_KP_MINUS, 0x6D, 0x4A},
    {SDL_SCANCODE_KP_4, 0x64, 0x4B},         {SDL_SCANCODE_KP_5, 0x65, 0x4C},
    {SDL_SCANCODE_KP_6, 0x66, 0x4D},         {SDL_SCANCODE_KP_PLUS, 0x6B, 0x4E},
    {SDL_SCANCODE_KP_1, 0x61, 0x4F},         {SDL_SCANCODE_KP_2, 0x62, 0x50},
    {SDL_SCANCODE_KP_3, 0x63, 0x51},         {SDL_SCANCODE_KP_0, 0x60, 0x52},
    {SDL_SCANCODE_KP_PERIOD, 0x6E, 0x53},    {SDL_SCANCODE_NONUSBACKSLASH, 0xE2, 0x56},
    {SDL_SCANCODE_F11, 0x7A, 0x57},          {SDL_SCANCODE_F12, 0x7B, 0x58},
    {SDL_SCANCODE_F13, 0x7C, 0x64},          {SDL_SCANCODE_F14, 0x7D, 0x65},
    {SDL_SCANCODE_F15, 0x7E, 0x66},          {SDL_SCANCODE_KP_EQUALS, 0x92, 0x8D},
    {SDL_SCANCODE_KP_ENTER, 0x0D, 0x9C},     {SDL_SCANCODE_RCTRL, 0x11, 0x9D},
    {SDL_SCANCODE_MUTE, 0xAD, 0xA0},         {SDL_SCANCODE_VOLUMEDOWN, 0xAE, 0xAE},
    {SDL_SCANCODE_VOLUMEUP, 0xAF, 0xB0},     {SDL_SCANCODE_KP_COMMA, 0x6C, 0xB3},
    {SDL_SCANCODE_KP_DIVIDE, 0x6F, 0xB5},    {SDL_SCANCODE_PRINTSCREEN, 0x2C, 0xB7},
    {SDL_SCANCODE_RALT, 0x12, 0xB8},         {SDL_SCANCODE_PAUSE, 0x13, 0xC5},
    {SDL_SCANCODE_HOME, 0x24, 0xC7},         {SDL_SCANCODE_UP, 0x26, 0xC8},
    {SDL_SCANCODE_PAGEUP, 0x21, 0xC9},       {SDL_SCANCODE_LEFT, 0x25, 0xCB},
    {SDL_SCANCODE_RIGHT, 0x27, 0xCD},        {SDL_SCANCODE_END, 0x23, 0xCF},
    {SDL_SCANCODE_DOWN, 0x28, 0xD0},         {SDL_SCANCODE_PAGEDOWN, 0x22, 0xD1},
    {SDL_SCANCODE_INSERT, 0x2D, 0xD2},       {SDL_SCANCODE_DELETE, 0x2E, 0xD3},
    {SDL_SCANCODE_LGUI, 0x5B, 0xDB},         {SDL_SCANCODE_RGUI, 0x5C, 0xDC},
    {SDL_SCANCODE_APPLICATION, 0x5D, 0xDD},
};

// DirectInput numbers the letters by their place on the keyboard, row by row.
constexpr uint8_t kLetterKeys[26] = {
    0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,  // A-M
    0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C,  // N-Z
};

struct Tables {
    std::array<uint32_t, SDL_NUM_SCANCODES> virtualKeys{};
    std::array<uint8_t, SDL_NUM_SCANCODES> directInput{};
};

const Tables& KeyTables() {
    static const Tables tables = [] {
        Tables t;
        for (int i = 0; i < 26; ++i) {
            t.virtualKeys[SDL_SCANCODE_A + i] = 'A' + static_cast<uint32_t>(i);
            t.directInput[SDL_SCANCODE_A + i] = kLetterKeys[i];
        }
        // SDL counts 1 to 9 then 0, as the keyboard row does; so does DirectInput.
        for (int i = 0; i < 10; ++i) {
            t.virtualKeys[SDL_SCANCODE_1 + i] = i == 9 ? '0' : '1' + static_cast<uint32_t>(i);
            t.directInput[SDL_SCANCODE_1 + i] = static_cast<uint8_t>(0x02 + i);
        }
        for (const KeyPair& key : kKeys) {
            t.virtualKeys[key.scancode] = key.virtualKey;
            t.directInput[key.scancode] = key.directInput;
        }
        return t;
    }();
    return tables;
}

bool InTable(int32_t scancode) {
    return scancode >= 0 && scancode < SDL_NUM_SCANCODES;
}

}  // namespace

uint32_t VirtualKeyFor(int32_t keycode, int32_t scancode) {
    // The layout decides which letter or digit a key is, as it does on Windows.
    if (keycode >= SDLK_a && keycode <= SDLK_z) {
        return static_cast<uint32_t>('A' + (keycode - SDLK_a));
    }
    if (keycode >= SDLK_0 && keycode <= SDLK_9 &&
        !(scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_0)) {
        return static_cast<uint32_t>(keycode);
    }
    return InTable(scancode) ? KeyTables().virtualKeys[static_cast<size_t>(scancode)] : 0;
}

uint8_t DirectInputKeyFor(int32_t scancode) {
    return InTable(scancode) ? KeyTables().directInput[static_cast<size_t>(scancode)] : 0;
}

uint32_t CharacterFor(uint32_t virtualKey, bool shift, bool capsLock, bool control) {
    if (virtualKey >= 'A' && virtualKey <= 'Z') {
        if (control) {
            return virtualKey - 'A' + 1;
        }
        return shift != capsLock ? virtualKey : virtualKey + ('a' - 'A');
    }
    if (control) {
        return 0;
    }
    if (virtualKey >= '0' && virtualKey <= '9' && !shift) {
        return virtualKey;
    }
    switch (virtualKey) {
        case 0x08:  // Backspace
        case 0x09:  // Tab
        case 0x0D:  // Enter
        case 0x1B:  // Esc
        case 0x20:  // Space
            return virtualKey;
        default:
            return 0;
    }
}

}  // namespace platform::sdl
