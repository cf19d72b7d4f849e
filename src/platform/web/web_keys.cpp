#include "platform/web/web_keys.h"

namespace platform::web {

namespace {

struct NamedPlace {
    std::string_view code;
    uint8_t usage;
};

// The places whose names follow no pattern, with their USB numbers.
constexpr NamedPlace kPlaces[] = {
    {"Enter", 0x28},
    {"Escape", 0x29},
    {"Backspace", 0x2A},
    {"Tab", 0x2B},
    {"Space", 0x2C},
    {"Minus", 0x2D},
    {"Equal", 0x2E},
    {"BracketLeft", 0x2F},
    {"BracketRight", 0x30},
    {"Backslash", 0x31},
    {"Semicolon", 0x33},
    {"Quote", 0x34},
    {"Backquote", 0x35},
    {"Comma", 0x36},
    {"Period", 0x37},
    {"Slash", 0x38},
    {"CapsLock", 0x39},
    {"PrintScreen", 0x46},
    {"ScrollLock", 0x47},
    {"Pause", 0x48},
    {"Insert", 0x49},
    {"Home", 0x4A},
    {"PageUp", 0x4B},
    {"Delete", 0x4C},
    {"End", 0x4D},
    {"PageDown", 0x4E},
    {"ArrowRight", 0x4F},
    {"ArrowLeft", 0x50},
    {"ArrowDown", 0x51},
    {"ArrowUp", 0x52},
    {"NumLock", 0x53},
    {"NumpadDivide", 0x54},
    {"NumpadMultiply", 0x55},
    {"NumpadSubtract", 0x56},
    {"NumpadAdd", 0x57},
    {"NumpadEnter", 0x58},
    {"NumpadDecimal", 0x63},
    {"IntlBackslash", 0x64},
    {"ContextMenu", 0x65},
    {"NumpadEqual", 0x67},
    {"AudioVolumeMute", 0x7F},
    {"AudioVolumeUp", 0x80},
    {"AudioVolumeDown", 0x81},
    {"NumpadComma", 0x85},
    {"ControlLeft", 0xE0},
    {"ShiftLeft", 0xE1},
    {"AltLeft", 0xE2},
    {"MetaLeft", 0xE3},
    {"ControlRight", 0xE4},
    {"ShiftRight", 0xE5},
    {"AltRight", 0xE6},
    {"MetaRight", 0xE7},
};

// The number after `prefix` in `code` ("F12", "Digit0"), or -1.
int NumberAfter(std::string_view code, std::string_view prefix) {
    if (!code.starts_with(prefix) || code.size() == prefix.size() ||
        code.size() > prefix.size() + 2) {
        return -1;
    }
    int number = 0;
    for (char c : code.substr(prefix.size())) {
        if (c < '0' || c > '9') {
            return -1;
        }
        number = number * 10 + (c - '0');
    }
    return number;
}

// The USB number of the place the browser names; 0 for none.
uint32_t UsageOf(std::string_view code) {
    if (code.size() == 4 && code.starts_with("Key") && code[3] >= 'A' && code[3] <= 'Z') {
        return usage::A + static_cast<uint32_t>(code[3] - 'A');
    }
    // Digits and the keypad's run 1 to 9 then 0.
    const auto digit = [](int n, uint32_t one) { return n == 0 ? one + 9 : one + n - 1; };
    if (code.size() == 6) {
        if (const int n = NumberAfter(code, "Digit"); n >= 0) {
            return digit(n, usage::DIGIT_1);
        }
    }
    if (code.size() == 7) {
        if (const int n = NumberAfter(code, "Numpad"); n >= 0) {
            return digit(n, usage::KEYPAD_1);
        }
    }
    if (const int n = NumberAfter(code, "F"); n >= 1 && n <= 24) {
        return n <= 12 ? usage::F1 + n - 1 : usage::F13 + n - 13;
    }
    for (const NamedPlace& place : kPlaces) {
        if (place.code == code) {
            return place.usage;
        }
    }
    return 0;
}

// The one character `key` is, or 0 where it names a key instead ("Escape", "Dead").
uint32_t Typed(std::string_view key) {
    const TextCharacter first = FirstCharacter(key);
    return first.bytes == key.size() ? first.character : 0;
}

}  // namespace

KeyCodes CodesFor(std::string_view code, std::string_view key) {
    return KeyCodesFor(UsageOf(code), Typed(key));
}

uint32_t CharacterFor(std::string_view key, const KeyCodes& codes, const Modifiers& modifiers) {
    const uint32_t typed = Typed(key);
    if (typed >= 0x20 && !modifiers.control) {
        return typed;
    }
    // A key the layout types nothing with, or Ctrl held: what Windows makes of the key. The
    // browser does not say whether Caps Lock is on; without text it matters to no key.
    if (key == "Dead" || key == "Unidentified") {
        return 0;
    }
    return platform::CharacterFor(codes.virtualKey, modifiers.shift, false, modifiers.control);
}

bool HeldBack(uint32_t virtualKey, const Modifiers& modifiers, KeyTest gameAnswers) {
    return !modifiers.control && !modifiers.meta && !modifiers.alt && gameAnswers &&
           gameAnswers(virtualKey);
}

}  // namespace platform::web
