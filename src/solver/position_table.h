#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "solver/position.h"
#include "solver/row_lengths.h"

namespace solver {

// What the search keeps about each position it has reached.
struct Node {
    PackedPosition packed;
    uint32_t parent = 0;  // the node it is reached from on its shortest known path
    uint16_t keysSoFar = 0;
    uint8_t bound = 0;  // lower bound on the keys still needed
    bool expanded = false;
    // What the sharp bound needs, kept so that it never has to open the packed tiles.
    RowLengths lengths{};
    uint8_t walk = 0;
    uint8_t blocked = 0;  // rows whose tails cannot clear before a deal
    bool boundSharp = false;
};

// Every position reached, each stored once: nodes in fixed blocks (so a growing table never
// copies them or holds two copies at once), found again through an open-addressing index of
// node numbers tagged with hash bits. Cleared for the next deal without giving memory back.
class PositionTable {
  public:
    PositionTable();

    void Clear();

    static uint64_t HashOf(const PackedPosition& packed) { return Hash(packed); }
    // Fetch the index line a hash probes first, ahead of Insert, or a node ahead of its use.
    void PrefetchSlot(uint64_t hash) const { __builtin_prefetch(&slots_[hash & slotMask_]); }
    void Prefetch(uint32_t id) const {
        if (id < size_) {
            __builtin_prefetch(&blocks_[id >> kBlockBits][id & kBlockMask]);
        }
    }

    // The node of this position, and whether it was new (then default-filled but for packed).
    std::pair<uint32_t, bool> Insert(const PackedPosition& packed, uint64_t hash);

    Node& operator[](uint32_t id) { return blocks_[id >> kBlockBits][id & kBlockMask]; }
    uint32_t size() const { return size_; }

  private:
    static constexpr int kBlockBits = 16;
    static constexpr uint32_t kBlockMask = (1u << kBlockBits) - 1;

    void Grow();

    std::vector<std::unique_ptr<Node[]>> blocks_;
    // Per slot: node id + 1 in bits 0-31, hash bits 32-55, the clearing epoch in 56-63; a
    // slot of an older epoch is empty, so clearing touches no slot.
    std::vector<uint64_t> slots_;
    uint64_t slotMask_ = 0;
    uint64_t epoch_ = 1;
    uint32_t size_ = 0;
};

}  // namespace solver
