#include "plain_search.h"

#include <algorithm>
#include <vector>

#include "solver/length_bound.h"
#include "solver/position_table.h"

namespace solverbench {

namespace {

// Waiting positions by keys so far plus bound, deepest first.
class Open {
  public:
    void Push(uint32_t id, std::size_t total, std::size_t depth) {
        if (total >= buckets_.size()) {
            buckets_.resize(total + 1);
        }
        if (depth >= buckets_[total].size()) {
            buckets_[total].resize(depth + 1);
        }
        buckets_[total][depth].push_back(id);
        lowest_ = std::min(lowest_, total);
        ++size_;
    }

    bool Pop(uint32_t& id) {
        for (; size_ != 0; ++lowest_) {
            auto& byDepth = buckets_[lowest_];
            for (auto depth = byDepth.size(); depth-- > 0;) {
                if (!byDepth[depth].empty()) {
                    id = byDepth[depth].back();
                    byDepth[depth].pop_back();
                    --size_;
                    return true;
                }
            }
        }
        return false;
    }

  private:
    std::vector<std::vector<std::vector<uint32_t>>> buckets_;
    std::size_t lowest_ = 0;
    std::size_t size_ = 0;
};

}  // namespace

PlainAnswer PlainSearch(const solver::Position& start) {
    const solver::LengthBound& bound = solver::Bound();
    solver::PositionTable table;
    Open open;
    const solver::PackedPosition first = solver::Pack(start);
    table.Insert(first, solver::Hash(first));
    table[0].bound = bound.Keys(start.counts, start.walk);
    open.Push(0, table[0].bound, 0);
    uint32_t id = 0;
    while (open.Pop(id)) {
        solver::Node& node = table[id];
        if (node.expanded) {
            continue;
        }
        node.expanded = true;
        const solver::Position position = solver::Unpack(node.packed);
        if (position.Won()) {
            return {node.keysSoFar, table.size()};
        }
        const int keys = node.keysSoFar + 1;
        for (const solver::Key key : {solver::Key::Check, solver::Key::Deal, solver::Key::Rules}) {
            solver::Position next = position;
            next.Press(key);
            const solver::PackedPosition packed = solver::Pack(next);
            const auto [childId, added] = table.Insert(packed, solver::Hash(packed));
            solver::Node& child = table[childId];
            if (added) {
                child.bound = bound.Keys(next.counts, next.walk);
            } else if (child.keysSoFar <= keys) {
                continue;
            }
            child.keysSoFar = static_cast<uint16_t>(keys);
            if (child.bound != solver::LengthBound::kNoWin) {
                open.Push(childId, static_cast<std::size_t>(keys) + child.bound,
                          static_cast<std::size_t>(keys));
            }
        }
    }
    return {-1, table.size()};
}

}  // namespace solverbench
