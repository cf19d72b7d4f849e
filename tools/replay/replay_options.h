#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/tool_start.h"
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

extern const char* const kUsage;

cli::Parsed<ReplayOptions> ParseReplayOptions(const std::vector<std::string>& args);

}  // namespace replay
