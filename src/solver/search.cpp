#include "solver/search.h"

#include <algorithm>
#include <bit>
#include <utility>
#include <vector>

#include "solver/between_deals.h"
#include "solver/blocked_bound.h"
#include "solver/position_table.h"

namespace solver {

namespace {

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

// Appends the keys from one stored position to the next along a found path, found again by
// playing every way to the next deal from the first.
void AppendKeysBetween(const Node& from, const Node& to, std::string& keys) {
    ForEachWayToDeal(Unpack(from.packed), [&](const Position& before, std::string_view way) {
        if (from.keysSoFar + way.size() != to.keysSoFar || PackAfterDeal(before) != to.packed) {
            return true;
        }
        keys.insert(keys.end(), way.begin(), way.end());
        return false;
    });
}

std::string KeysTo(PositionTable& table, uint32_t id) {
    std::vector<uint32_t> path;
    for (uint32_t at = id; at != 0; at = table[at].parent) {
        path.push_back(at);
    }
    path.push_back(0);
    std::string keys;
    for (auto i = path.size() - 1; i-- > 0;) {
        AppendKeysBetween(table[path[i + 1]], table[path[i]], keys);
    }
    return keys;
}

struct Way {
    PackedPosition packed;
    uint64_t hash;
    RowLengths lengths;
    uint8_t walk;
    uint8_t blocked;
    uint8_t keys;
    bool won;
};

}  // namespace

struct Solver::Tables {
    PositionTable positions;
    OpenList open;
    std::vector<Way> ways;
};

Solver::Solver() : tables_(std::make_unique<Tables>()) {}
Solver::~Solver() = default;

// A quick search ranks by keys so far plus four times the bound: it heads for the win much
// faster and still finds one about a fifth longer than the shortest.
constexpr int kQuickWeight = 4;

// A* over the positions right after each deal: from each, every way to the next deal is a
// step costing its keys. A new position is queued on the cheap length bound and given the
// sharp one only when it comes off the queue, since most never do; both bounds never
// overestimate and fall by at most one per key, so the first win taken off the queue, or
// found at the lowest total still queued, is a shortest one. A position not yet expanded
// takes any shorter path found to it (only the quick search ever expands one too early).
Solution Solver::Solve(const Position& start, SearchMode mode) {
    const LengthBound& lengths = Bound();
    BlockedBound& blocked = Blocked();
    const bool quick = mode == SearchMode::Quick;
    PositionTable& table = tables_->positions;
    OpenList& open = tables_->open;
    std::vector<Way>& ways = tables_->ways;
    table.Clear();
    open.Clear();
    const auto priority = [quick](const Node& n) {
        return quick ? n.keysSoFar + kQuickWeight * n.bound : n.keysSoFar + n.bound;
    };

    Solution solution;
    const PackedPosition startPacked = Pack(start);
    table.Insert(startPacked, PositionTable::HashOf(startPacked));
    table[0].bound = lengths.Keys(start.counts, start.walk);
    table[0].lengths = start.counts;
    table[0].walk = start.walk;
    table[0].blocked = static_cast<uint8_t>(BlockedRows(start));
    if (table[0].bound != LengthBound::kNoWin) {
        open.Push(0, priority(table[0]), 0);
    }
    uint32_t id = 0;
    int lowest = 0;
    bool won = false;
    while (!won && open.Pop(id, lowest)) {
        table.Prefetch(open.Likely());
        Node& node = table[id];
        if (node.expanded || priority(node) != lowest) {
            continue;  // reached again by a shorter path since it was queued
        }
        if (!node.boundSharp) {
            node.boundSharp = true;
            const uint8_t sharp = blocked.Keys(node.lengths, node.walk, node.blocked);
            if (sharp > node.bound) {
                node.bound = sharp;
                if (sharp != LengthBound::kNoWin) {
                    open.Push(id, priority(node), node.keysSoFar);
                } else {
                    node.expanded = true;
                }
                continue;
            }
        }
        node.expanded = true;
        const Position position = Unpack(node.packed);
        if (position.Won()) {
            won = true;
            break;
        }
        const int keysSoFar = node.keysSoFar;
        ways.clear();
        ForEachWayToDeal(position, [&](const Position& before, std::string_view way) {
            Way& w = ways.emplace_back();
            const auto dealt = DealtTiles(before);
            w.packed = PackAfterDeal(before, dealt);
            w.hash = PositionTable::HashOf(w.packed);
            for (int r = 0; r < board::kTableRows; ++r) {
                w.lengths[r] = static_cast<uint8_t>(before.counts[r] + (dealt[r] != kNoTile));
            }
            w.walk = static_cast<uint8_t>(before.FirstLiveRow());
            w.blocked = static_cast<uint8_t>(BlockedRowsAfterDeal(before, dealt));
            w.keys = static_cast<uint8_t>(way.size());
            w.won = before.Won();
            table.PrefetchSlot(w.hash);
            return true;
        });
        for (const Way& way : ways) {
            const int keys = keysSoFar + way.keys;
            const auto [childId, added] = table.Insert(way.packed, way.hash);
            Node& child = table[childId];
            if (!added && (child.expanded || child.keysSoFar <= keys)) {
                continue;
            }
            if (added) {
                child.bound = lengths.Keys(way.lengths, way.walk);
                child.lengths = way.lengths;
                child.walk = way.walk;
                child.blocked = way.blocked;
                if (child.bound == LengthBound::kNoWin) {
                    child.expanded = true;
                    continue;
                }
            }
            child.parent = id;
            child.keysSoFar = static_cast<uint16_t>(keys);
            if (way.won && (quick || keys == lowest)) {
                id = childId;
                won = true;
                break;
            }
            open.Push(childId, priority(child), keys);
        }
    }
    if (won) {
        solution.won = true;
        solution.keys = KeysTo(table, id);
    }
    solution.states = table.size();
    return solution;
}

void PrepareBounds() {
    Blocked();
}

Solution Solve(const Position& start, SearchMode mode) {
    Solver solver;
    return solver.Solve(start, mode);
}

}  // namespace solver
