#include "headless/key_names.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

#include "platform/win_types.h"

namespace headless {

namespace {

constexpr std::array<std::pair<std::string_view, uint32_t>, 8> kNamedKeys = {{
    {"Esc", platform::vk::ESCAPE},
    {"Q", 'Q'},
    {"S", 'S'},
    {"F2", platform::vk::F2},
    {"N", 'N'},
    {"C", 'C'},
    {"D", 'D'},
    {"T", 'T'},
}};

// Letters compared without regard to case: "esc", "ESC" and "Esc" are one key.
bool SameName(std::string_view a, std::string_view b) {
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

std::optional<uint32_t> ParseCode(std::string_view name) {
    for (const auto& [keyName, code] : kNamedKeys) {
        if (SameName(name, keyName)) {
            return code;
        }
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
