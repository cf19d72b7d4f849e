#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace solve {

struct SolveOptions {
    uint32_t from = 0;     // the first clock second
    uint64_t count = 1;    // how many seconds from there
    bool range = false;    // --from: a range, with a summary at the end
    unsigned threads = 0;  // 0: one per processor
    bool json = false;
    bool quick = false;
    bool help = false;
    bool version = false;
};

// What was wrong, naming the argument.
struct BadArgument {
    std::string message;
};

std::variant<SolveOptions, BadArgument> ParseSolveOptions(const std::vector<std::string>& args);

extern const char* const kUsage;

}  // namespace solve
