#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "census/census_settings.h"
#include "cli/tool_start.h"

namespace census {

enum class Command { Run, Report, List };

struct CensusOptions {
    Command command = Command::Run;
    std::string dir;
    // run
    CensusSettings census;
    unsigned threads = 0;  // 0: one per processor
    std::optional<uint64_t> shard;
    // report and list
    bool json = false;
    std::string svg;  // report: the picture's file, when asked for
    std::optional<uint64_t> listFrom;
    std::optional<uint64_t> listCount;
    bool help = false;
    bool version = false;
};

cli::Parsed<CensusOptions> ParseCensusOptions(const std::vector<std::string>& args);

extern const char* const kUsage;

}  // namespace census
