#pragma once

#include <chrono>
#include <cstdint>
#include <iosfwd>

namespace census {

// How far a run has come, on one line of a terminal that rewrites itself: shards done, the
// rate, and the time left at that rate. Silent when not shown.
class CensusProgress {
  public:
    CensusProgress(std::ostream& err, bool shown, uint64_t shards, uint64_t deals);

    void Show(uint64_t shardsDone, uint64_t dealsDone);
    void Clear();

  private:
    std::ostream& err_;
    bool shown_;
    bool onScreen_ = false;
    uint64_t shards_;
    uint64_t deals_;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
};

}  // namespace census
