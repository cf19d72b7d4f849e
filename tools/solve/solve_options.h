#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/tool_start.h"

namespace solve {

struct SolveOptions {
    uint32_t from = 0;     // the first clock second
    uint64_t count = 1;    // how many seconds from there
    uint32_t step = 1;     // seconds from one deal of the range to the next
    bool range = false;    // --from: a range, with a summary at the end
    unsigned threads = 0;  // 0: one per processor
    bool json = false;
    bool quick = false;
    bool help = false;
    bool version = false;
};

cli::Parsed<SolveOptions> ParseSolveOptions(const std::vector<std::string>& args);

extern const char* const kUsage;

}  // namespace solve
