#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "headless/key_names.h"

namespace replay {

struct ReplayOptions {
    std::optional<int64_t> time;  // the clock for every deal; the real clock when absent
    bool text = false;
    bool version = false;  // print the version and play nothing
    std::optional<std::string> meshPrefix;
    std::vector<std::string> keyNames;
    std::vector<headless::Key> keys;
};

inline constexpr const char* kUsage =
    "usage: tavorin-replay [--version] [--time T] [--text] [--dump-mesh PREFIX] KEY... "
    "(KEY: Esc Q S F2 N C D T, 0xNN, or Alt+KEY)";

// Nullopt for a bad argument.
std::optional<ReplayOptions> ParseReplayOptions(const std::vector<std::string>& args);

}  // namespace replay
