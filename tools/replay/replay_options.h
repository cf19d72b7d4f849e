#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "headless/key_names.h"

namespace replay {

struct ReplayOptions {
    std::optional<int64_t> time;  // the clock for every deal; the real clock when absent
    bool text = false;
    bool help = false;     // print the usage and play nothing
    bool version = false;  // print the version and play nothing
    std::optional<std::string> meshPrefix;
    std::vector<std::string> keyNames;  // as given
    std::vector<headless::Key> keys;
};

// What was wrong, naming the argument.
struct BadArgument {
    std::string message;
};

extern const char* const kUsage;

std::variant<ReplayOptions, BadArgument> ParseReplayOptions(const std::vector<std::string>& args);

}  // namespace replay
