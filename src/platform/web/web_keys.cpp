#include "platform/web/web_keys.h"

#include "platform/win_types.h"

namespace platform::web {

namespace {

struct NamedKey {
    std::string_view code;
    uint32_t virtualKey;
    uint8_t directInput;
};

// Keys other than letters, digits and function keys.
constexpr NamedKey kKeys[] = {
    {"Escape", 0x1B, 0x01},         {"Minus", 0xBD, 0x0C},         {"Equal", 0xBB, 0x0D},
    {"Backspace", 0x08, 0x0E},      {"Tab", 0x09, 0x0F},           {"BracketLeft", 0xDB, 0x1A},
    {"BracketRight", 0xDD, 0x1B},   {"Enter", 0x0D, 0x1C},         {"ControlLeft", 0x11, 0x1D},
    {"Semicolon", 0xBA, 0x27},      {"Quote", 0xDE, 0x28},         {"Backquote", 0xC0, 0x29},
    {"ShiftLeft", 0x10, 0x2A},      {"Backslash", 0xDC, 0x2B},     {"Comma", 0xBC, 0x33},
    {"Period", 0xBE, 0x34},         {"Slash", 0xBF, 0x35},         {"ShiftRight", 0x10, 0x36},
    {"NumpadMultiply", 0x6A, 0x37}, {"AltLeft", 0x12, 0x38},       {"Space", 0x20, 0x39},
    {"CapsLock", 0x14, 0x3A},       {"NumLock", 0x90, 0x45},       {"ScrollLock", 0x91, 0x46},
    {"Numpad7", 0x67, 0x47},        {"Numpad8", 0x68, 0x48},       {"Numpad9", 0x69, 0x49},
    {"NumpadSubtract", 0x6D, 0x4A}, {"Numpad4", 0x64, 0x4B},       {"Numpad5", 0x65, 0x4C},
    {"Numpad6", 0x66, 0x4D},        {"NumpadAdd", 0x6B, 0x4E},     {"Numpad1", 0x61, 0x4F},
    {"Numpad2", 0x62, 0x50},        {"Numpad3", 0x63, 0x51},       {"Numpad0", 0x60, 0x52},
    {"NumpadDecimal", 0x6E, 0x53},  {"IntlBackslash", 0xE2, 0x56}, {"NumpadEnter", 0x0D, 0x9C},
    {"ControlRight", 0x11, 0x9D},   {"NumpadDivide", 0x6F, 0xB5},  {"PrintScreen", 0x2C, 0xB7},
    {"AltRight", 0x12, 0xB8},       {"Pause", 0x13, 0xC5},         {"Home", 0x24, 0xC7},
    {"ArrowUp", 0x26, 0xC8},        {"PageUp", 0x21, 0xC9},        {"ArrowLeft", 0x25, 0xCB},
    {"ArrowRight", 0x27, 0xCD},     {"End", 0x23, 0xCF},           {"ArrowDown", 0x28, 0xD0},
    {"PageDown", 0x22, 0xD1},       {"Insert", 0x2D, 0xD2},        {"Delete", 0x2E, 0xD3},
    {"MetaLeft", 0x5B, 0xDB},       {"MetaRight", 0x5C, 0xDC},     {"ContextMenu", 0x5D, 0xDD},
};

// DirectInput numbers the letters by their place on the keyboard, row by row.
constexpr uint8_t kLetterKeys[26] = {
    0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,  // A-M
    0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C,  // N-Z
};

// F1 to F10 follow one another in DirectInput; F11 and F12 lie elsewhere.
constexpr uint8_t kFunctionKeys[12] = {0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40,
                                       0x41, 0x42, 0x43, 0x44, 0x57, 0x58};

bool Letter(char c) {
    return c >= 'A' && c <= 'Z';
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// "KeyA".."KeyZ", "Digit0".."Digit9", "F1".."F12".
KeyCodes PlacedKey(std::string_view code) {
    if (code.size() == 4 && code.starts_with("Key") && Letter(code[3])) {
        return {static_cast<uint32_t>(code[3]), kLetterKeys[code[3] - 'A']};
    }
    if (code.size() == 6 && code.starts_with("Digit") && code[5] >= '0' && code[5] <= '9') {
        const int digit = code[5] - '0';
        // DirectInput counts 1 to 9 then 0, as the keyboard row does.
        return {static_cast<uint32_t>(code[5]),
                static_cast<uint8_t>(digit == 0 ? 0x0B : digit + 1)};
    }
    if (code.size() >= 2 && code.size() <= 3 && code[0] == 'F') {
        int number = 0;
        for (char c : code.substr(1)) {
            number = c >= '0' && c <= '9' ? number * 10 + (c - '0') : -1;
            if (number < 0) {
                return {};
            }
        }
        if (number >= 1 && number <= 12) {
            return {0x70 + static_cast<uint32_t>(number - 1), kFunctionKeys[number - 1]};
        }
    }
    for (const NamedKey& named : kKeys) {
        if (named.code == code) {
            return {named.virtualKey, named.directInput};
        }
    }
    return {};
}

}  // namespace

KeyCodes CodesFor(std::string_view code, std::string_view key) {
    KeyCodes codes = PlacedKey(code);
    // The layout decides which letter a key is; its place stays DirectInput's.
    if (key.size() == 1 && Letter(Upper(key[0])) && !code.starts_with("Numpad")) {
        codes.virtualKey = static_cast<uint32_t>(Upper(key[0]));
    }
    return codes;
}

bool GameAnswers(uint32_t virtualKey, const Modifiers& modifiers) {
    if (modifiers.control || modifiers.meta || modifiers.alt) {
        return false;
    }
    switch (virtualKey) {
        case vk::ESCAPE:
        case vk::F2:
        case 'S':
        case 'N':
        case 'C':
        case 'D':
        case 'T':
        case 'Q':
            return true;
        default:
            return false;
    }
}

}  // namespace platform::web
