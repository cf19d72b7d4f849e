#include "headless/key_names.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <utility>

#include "app/key_commands.h"
#include "platform/win_types.h"

namespace headless {

namespace {

// The name of one of the game's keys: a letter key is its letter.
std::string NameOf(uint32_t virtualKey) {
    if (virtualKey == platform::vk::ESCAPE) {
        return "Esc";
    }
    if (virtualKey == platform::vk::F2) {
        return "F2";
    }
    return std::string(1, static_cast<char>(virtualKey));
}

// Letters compared without regard to case: "esc", "ESC" and "Esc" are one key.
bool SameName(std::string_view a, std::string_view b) {
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

std::optional<uint32_t> ParseCode(std::string_view name) {
    std::optional<uint32_t> named;
    app::ForEachGameKey([&](uint32_t code) {
        if (!named && SameName(name, NameOf(code))) {
            named = code;
        }
    });
    if (named) {
        return named;
    }
    if (name.size() < 3 || name.size() > 4 || name[0] != '0' ||
        (name[1] != 'x' && name[1] != 'X')) {
        return std::nullopt;
    }
    uint32_t code = 0;
    const char* first = name.data() + 2;
    const char* last = name.data() + name.size();
    const auto [end, error] = std::from_chars(first, last, code, 16);
    if (error != std::errc() || end != last) {
        return std::nullopt;
    }
    return code;
}

}  // namespace

std::optional<Key> ParseKey(std::string_view name) {
    constexpr std::string_view kAlt = "Alt+";
    const bool alt = name.size() > kAlt.size() && SameName(name.substr(0, kAlt.size()), kAlt);
    if (alt) {
        name.remove_prefix(kAlt.size());
    }
    const auto code = ParseCode(name);
    if (!code) {
        return std::nullopt;
    }
    return Key{.virtualKey = *code, .alt = alt};
}

}  // namespace headless
