#include "solver/position_table.h"

#include <algorithm>

namespace solver {

namespace {

constexpr std::size_t kFirstSlots = 1u << 16;
constexpr uint64_t kIdBits = 0xFFFFFFFFull;
constexpr uint64_t kTagBits = 0x00FFFFFF00000000ull;
constexpr int kEpochShift = 56;

}  // namespace

PositionTable::PositionTable() : slots_(kFirstSlots, 0), slotMask_(kFirstSlots - 1) {}

void PositionTable::Clear() {
    size_ = 0;
    if (++epoch_ == 256) {
        std::fill(slots_.begin(), slots_.end(), 0);
        epoch_ = 1;
    }
}

std::pair<uint32_t, bool> PositionTable::Insert(const PackedPosition& packed, uint64_t hash) {
    const uint64_t mark = (hash & kTagBits) | epoch_ << kEpochShift;
    for (uint64_t i = hash & slotMask_;; i = (i + 1) & slotMask_) {
        const uint64_t slot = slots_[i];
        if (slot >> kEpochShift != epoch_) {
            if (size_ % (kBlockMask + 1) == 0 && (size_ >> kBlockBits) == blocks_.size()) {
                blocks_.push_back(std::make_unique<Node[]>(kBlockMask + 1));
            }
            const uint32_t id = size_++;
            Node& node = (*this)[id];
            node = Node{};
            node.packed = packed;
            slots_[i] = mark | (id + 1);
            if (static_cast<uint64_t>(size_) * 10 > slots_.size() * 7) {
                Grow();
            }
            return {id, true};
        }
        if ((slot & ~kIdBits) == mark) {
            const uint32_t id = static_cast<uint32_t>(slot & kIdBits) - 1;
            if ((*this)[id].packed == packed) {
                return {id, false};
            }
        }
    }
}

void PositionTable::Grow() {
    std::vector<uint64_t> old(slots_.size() * 2, 0);
    old.swap(slots_);
    slotMask_ = slots_.size() - 1;
    for (const uint64_t slot : old) {
        if (slot >> kEpochShift != epoch_) {
            continue;
        }
        const uint64_t hash = Hash((*this)[static_cast<uint32_t>(slot & kIdBits) - 1].packed);
        uint64_t i = hash & slotMask_;
        while (slots_[i] >> kEpochShift == epoch_) {
            i = (i + 1) & slotMask_;
        }
        slots_[i] = slot;
    }
}

}  // namespace solver
