#include "headless/key_names.h"

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

std::optional<uint32_t> ParseCode(std::string_view name) {
    for (const auto& [keyName, code] : kNamedKeys) {
        if (name == keyName) {
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
    const bool alt = name.starts_with(kAlt);
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
