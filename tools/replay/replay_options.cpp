#include "replay/replay_options.h"

#include <charconv>

namespace replay {

namespace {

std::optional<int64_t> ParseSeconds(const std::string& text) {
    int64_t value = 0;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, value);
    if (text.empty() || error != std::errc() || end != last) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<ReplayOptions> ParseReplayOptions(const std::vector<std::string>& args) {
    ReplayOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--text") {
            options.text = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--time" || arg == "--dump-mesh") {
            if (i + 1 >= args.size()) {
                return std::nullopt;
            }
            const std::string& value = args[++i];
            if (arg == "--dump-mesh") {
                if (value.empty()) {
                    return std::nullopt;
                }
                options.meshPrefix = value;
            } else if (const auto seconds = ParseSeconds(value)) {
                options.time = seconds;
            } else {
                return std::nullopt;
            }
        } else if (const auto key = headless::ParseKey(arg)) {
            options.keyNames.push_back(arg);
            options.keys.push_back(*key);
        } else {
            return std::nullopt;
        }
    }
    return options;
}

}  // namespace replay
