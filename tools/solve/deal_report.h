#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace solve {

// What became of one deal.
struct DealResult {
    uint32_t time = 0;
    bool won = false;
    std::string keys;  // after the opening S, when won
    uint64_t states = 0;
    double ms = 0;  // the search, in milliseconds
    bool checksAloneWin = false;
    bool replayCleared = true;  // the game itself cleared the board with `keys`
};

std::string JsonLine(const DealResult& result);
std::string TextLine(const DealResult& result);

// The figures of a range of deals.
class RangeSummary {
  public:
    void Add(const DealResult& result);

    struct Lengths {
        std::size_t min = 0, median = 0, p90 = 0, max = 0;
    };
    // Of the wins found; the median is the lower middle one, the 90th percentile the
    // smallest length that at least 90 in 100 wins do not exceed.
    Lengths WinLengths() const;

    // `quick`: the wins are not proven shortest. Times in seconds.
    std::string Text(bool quick, double wallSeconds, double processorSeconds,
                     unsigned threads) const;
    std::string Json(double wallSeconds, double processorSeconds) const;

    uint64_t deals() const { return deals_; }
    uint64_t won() const { return won_; }
    uint64_t unverified() const { return unverified_; }

  private:
    uint64_t deals_ = 0;
    uint64_t won_ = 0;
    uint64_t checksAloneWin_ = 0;
    uint64_t unverified_ = 0;
    uint32_t first_ = 0;
    uint32_t last_ = 0;
    std::vector<std::size_t> lengths_;
};

}  // namespace solve
