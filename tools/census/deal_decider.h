#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "census/census_settings.h"

namespace solver {
class Solver;
}

namespace census {

// Decides deals into their census bytes on a fixed set of threads, each with a solver of its
// own that keeps its tables from one shard to the next.
class DealDecider {
  public:
    explicit DealDecider(unsigned threads);
    ~DealDecider();

    // The bytes of deals first, first + 1, ... of the census, `out.size()` of them; `decided`
    // counts them as they are done, and `waiting` is called on the calling thread about five
    // times a second meanwhile, for progress. False when a win found could not be played
    // through the game (that deal's byte then says undecided).
    bool Decide(const CensusSettings& census, uint64_t first, std::span<uint8_t> out,
                std::atomic<uint64_t>& decided, const std::function<void()>& waiting);

  private:
    std::vector<std::unique_ptr<solver::Solver>> solvers_;
};

}  // namespace census
