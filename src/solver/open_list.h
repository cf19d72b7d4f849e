#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <utility>
#include <vector>

namespace solver {

// Open nodes by priority, then deepest first, so that ties go to the node nearest a win.
class OpenList {
  public:
    // Empties only the lists that were filled: a quick search spreads over many priorities.
    void Clear() {
        for (const auto& [priority, depth] : filled_) {
            buckets_[priority].byDepth[depth].clear();
        }
        filled_.clear();
        for (Bucket& bucket : buckets_) {
            std::fill(bucket.holding.begin(), bucket.holding.end(), 0);
        }
        lowest_ = 0;
        size_ = 0;
    }

    void Push(uint32_t id, int priority, int keysSoFar) {
        const auto p = static_cast<std::size_t>(priority);
        const auto depth = static_cast<std::size_t>(keysSoFar);
        if (p >= buckets_.size()) {
            buckets_.resize(p + 1);
        }
        Bucket& bucket = buckets_[p];
        if (depth >= bucket.byDepth.size()) {
            bucket.byDepth.resize(depth + 1);
            bucket.holding.resize(depth / 64 + 1);
        }
        std::vector<uint32_t>& ids = bucket.byDepth[depth];
        if (ids.empty()) {
            filled_.emplace_back(p, depth);
            bucket.holding[depth / 64] |= uint64_t{1} << (depth % 64);
        }
        ids.push_back(id);
        lowest_ = std::min(lowest_, p);
        ++size_;
    }

    // False when empty.
    bool Pop(uint32_t& id, int& priority) {
        if (size_ == 0) {
            return false;
        }
        for (;; ++lowest_) {
            Bucket& bucket = buckets_[lowest_];
            for (auto word = bucket.holding.size(); word-- > 0;) {
                if (bucket.holding[word] == 0) {
                    continue;
                }
                const auto depth = 64 * word + 63 -
                                   static_cast<std::size_t>(std::countl_zero(bucket.holding[word]));
                std::vector<uint32_t>& ids = bucket.byDepth[depth];
                id = ids.back();
                ids.pop_back();
                if (ids.empty()) {
                    bucket.holding[word] &= ~(uint64_t{1} << (depth % 64));
                } else {
                    next_ = ids.back();
                }
                --size_;
                priority = static_cast<int>(lowest_);
                return true;
            }
        }
    }

    // Most likely the next to come off, for fetching its node early.
    uint32_t Likely() const { return next_; }

  private:
    struct Bucket {
        std::vector<std::vector<uint32_t>> byDepth;
        std::vector<uint64_t> holding;  // a bit for each depth whose list holds ids
    };
    std::vector<Bucket> buckets_;                              // only ever grown
    std::vector<std::pair<std::size_t, std::size_t>> filled_;  // lists that may hold ids
    std::size_t lowest_ = 0;
    std::size_t size_ = 0;
    uint32_t next_ = 0;
};

}  // namespace solver
