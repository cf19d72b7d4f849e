#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "census/census_folder.h"
#include "census/census_settings.h"

namespace census {

// A shard file that is not counted, and why; an empty fault means there is no file.
struct ShardProblem {
    uint64_t index = 0;
    std::string file;
    std::string fault;
};

// The won share over a stretch of the census's deals, for the picture along the range.
struct Stretch {
    uint32_t firstSecond = 0;
    uint64_t won = 0;
    uint64_t decided = 0;
};

struct LongWin {
    uint32_t second = 0;
    unsigned length = 0;
};

// Everything the valid shards of a census say, and what keeps the rest from counting.
struct CensusTally {
    CensusSettings settings;
    uint64_t complete = 0;               // shards that passed every check
    std::vector<ShardProblem> problems;  // missing or failing a check, by index
    std::vector<std::string> strangers;  // shard files that are no place of this census
    uint64_t leftovers = 0;              // temporary files of runs that were stopped

    uint64_t deals = 0, won = 0, lost = 0, undecided = 0, checksAloneWin = 0;
    // Wins by shortest length: index 1 to 125, and 126 for longer ones.
    std::array<uint64_t, 127> lengths{};
    std::vector<LongWin> longest;  // the longest shortest wins, longest first, then by second
    std::vector<Stretch> along;

    bool Sound() const { return problems.empty() && strangers.empty(); }
    // Shards to decide again: missing or failing a check.
    std::vector<uint64_t> Redo() const;
};

inline constexpr std::size_t kLongestKept = 10;
inline constexpr std::size_t kStretches = 50;

CensusTally TallyCensus(const CensusFolder& folder, uint32_t solverVersion);

struct Interval {
    double low = 0, high = 0;
};
// The Wilson score interval of `won` in `n` at 95 %.
Interval WilsonInterval(uint64_t won, uint64_t n);

// The k-th shortest win (0-based), 126 standing for any longer than 125.
unsigned NthLength(const CensusTally& tally, uint64_t k);

struct LengthFigures {
    unsigned min = 0, median = 0, p90 = 0, p99 = 0, max = 0;
};
// Of the wins with a known length: the median is the lower middle one, a percentile the
// smallest length that at least that share of wins does not exceed.
LengthFigures WinLengths(const CensusTally& tally);

}  // namespace census
