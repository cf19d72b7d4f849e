#include "platform/imitation/key_table.h"

#include <array>

namespace platform {

namespace {

struct Key {
    uint8_t usage;
    uint8_t virtualKey;
    uint8_t directInput;
};

// Every key but the letters and the digit row, by place.
constexpr Key kKeys[] = {
    {0x28, 0x0D, 0x1C},  // Enter
    {0x29, 0x1B, 0x01},  // Esc
    {0x2A, 0x08, 0x0E},  // Backspace
    {0x2B, 0x09, 0x0F},  // Tab
    {0x2C, 0x20, 0x39},  // Space
    {0x2D, 0xBD, 0x0C},  // -
    {0x2E, 0xBB, 0x0D},  // =
    {0x2F, 0xDB, 0x1A},  // [
    {0x30, 0xDD, 0x1B},  // ]
    {0x31, 0xDC, 0x2B},  // backslash
    {0x33, 0xBA, 0x27},  // ;
    {0x34, 0xDE, 0x28},  // '
    {0x35, 0xC0, 0x29},  // `
    {0x36, 0xBC, 0x33},  // ,
    {0x37, 0xBE, 0x34},  // .
    {0x38, 0xBF, 0x35},  // /
    {0x39, 0x14, 0x3A},  // Caps Lock
    {0x3A, 0x70, 0x3B},  // F1 to F10 follow one another in DirectInput
    {0x3B, 0x71, 0x3C},
    {0x3C, 0x72, 0x3D},
    {0x3D, 0x73, 0x3E},
    {0x3E, 0x74, 0x3F},
    {0x3F, 0x75, 0x40},
    {0x40, 0x76, 0x41},
    {0x41, 0x77, 0x42},
    {0x42, 0x78, 0x43},
    {0x43, 0x79, 0x44},
    {0x44, 0x7A, 0x57},  // F11
    {0x45, 0x7B, 0x58},  // F12
    {0x46, 0x2C, 0xB7},  // Print Screen
    {0x47, 0x91, 0x46},  // Scroll Lock
    {0x48, 0x13, 0xC5},  // Pause
    {0x49, 0x2D, 0xD2},  // Insert
    {0x4A, 0x24, 0xC7},  // Home
    {0x4B, 0x21, 0xC9},  // Page Up
    {0x4C, 0x2E, 0xD3},  // Delete
    {0x4D, 0x23, 0xCF},  // End
    {0x4E, 0x22, 0xD1},  // Page Down
    {0x4F, 0x27, 0xCD},  // the arrows: right, left, down, up
    {0x50, 0x25, 0xCB},
    {0x51, 0x28, 0xD0},
    {0x52, 0x26, 0xC8},
    {0x53, 0x90, 0x45},  // Num Lock
    {0x54, 0x6F, 0xB5},  // the keypad: / * - + Enter 1-9 0 .
    {0x55, 0x6A, 0x37},
    {0x56, 0x6D, 0x4A},
    {0x57, 0x6B, 0x4E},
    {0x58, 0x0D, 0x9C},
    {0x59, 0x61, 0x4F},
    {0x5A, 0x62, 0x50},
    {0x5B, 0x63, 0x51},
    {0x5C, 0x64, 0x4B},
    {0x5D, 0x65, 0x4C},
    {0x5E, 0x66, 0x4D},
    {0x5F, 0x67, 0x47},
    {0x60, 0x68, 0x48},
    {0x61, 0x69, 0x49},
    {0x62, 0x60, 0x52},
    {0x63, 0x6E, 0x53},
    {0x64, 0xE2, 0x56},  // the key between left Shift and Z on European keyboards
    {0x65, 0x5D, 0xDD},  // Menu
    {0x67, 0x92, 0x8D},  // keypad =
    {0x68, 0x7C, 0x64},  // F13 to F15, the last DirectInput has
    {0x69, 0x7D, 0x65},
    {0x6A, 0x7E, 0x66},
    {0x7F, 0xAD, 0xA0},  // Mute, Volume Up, Volume Down
    {0x80, 0xAF, 0xB0},
    {0x81, 0xAE, 0xAE},
    {0x85, 0x6C, 0xB3},  // keypad ,
    {0xE0, 0x11, 0x1D},  // left Ctrl, Shift, Alt, logo; then the right ones
    {0xE1, 0x10, 0x2A},
    {0xE2, 0x12, 0x38},
    {0xE3, 0x5B, 0xDB},
    {0xE4, 0x11, 0x9D},
    {0xE5, 0x10, 0x36},
    {0xE6, 0x12, 0xB8},
    {0xE7, 0x5C, 0xDC},
};

// DirectInput numbers the letters by their place on the keyboard, row by row.
constexpr uint8_t kLetterKeys[26] = {
    0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,  // A-M
    0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C,  // N-Z
};

using Table = std::array<KeyCodes, usage::LAST + 1>;

constexpr Table MakeTable() {
    Table table{};
    for (uint32_t i = 0; i < 26; ++i) {
        table[usage::A + i] = {'A' + i, kLetterKeys[i]};
    }
    // The digit row runs 1 to 9 then 0, in USB's numbers and DirectInput's alike.
    for (uint32_t i = 0; i < 10; ++i) {
        table[usage::DIGIT_1 + i] = {i == 9 ? '0' : '1' + i, static_cast<uint8_t>(0x02 + i)};
    }
    for (const Key& key : kKeys) {
        table[key.usage] = {key.virtualKey, key.directInput};
    }
    return table;
}

constexpr Table kTable = MakeTable();

bool OnKeypad(uint32_t usage) {
    return (usage >= 0x54 && usage <= 0x63) || usage == 0x67 || usage == 0x85;
}

}  // namespace

KeyCodes KeyCodesFor(uint32_t usage, uint32_t typed) {
    KeyCodes codes = usage <= usage::LAST ? kTable[usage] : KeyCodes{};
    // The layout decides which letter or digit a key is; the keypad's digits stay its own.
    if (typed >= 'a' && typed <= 'z') {
        codes.virtualKey = typed - 'a' + 'A';
    } else if ((typed >= 'A' && typed <= 'Z') ||
               (typed >= '0' && typed <= '9' && !OnKeypad(usage))) {
        codes.virtualKey = typed;
    }
    return codes;
}

TextCharacter FirstCharacter(std::string_view utf8) {
    if (utf8.empty()) {
        return {0, 0};
    }
    const auto lead = static_cast<unsigned char>(utf8[0]);
    const size_t bytes = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    uint32_t c = bytes == 1 ? lead : lead & (0x7Fu >> bytes);
    for (size_t i = 1; i < bytes; ++i) {
        const auto next = i < utf8.size() ? static_cast<unsigned char>(utf8[i]) : 0u;
        if ((next & 0xC0) != 0x80) {
            return {'?', i};
        }
        c = c << 6 | (next & 0x3Fu);
    }
    // Latin-1's characters are the ANSI code page's, but for the ones it keeps at 0x80-0x9F.
    return {c < 0x80 || (c >= 0xA0 && c < 0x100) ? c : '?', bytes};
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

}  // namespace platform
