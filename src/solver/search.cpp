#include "solver/search.h"

#include <optional>
#include <string_view>
#include <vector>

#include "solver/between_deals.h"
#include "solver/blocked_bound.h"
#include "solver/open_list.h"
#include "solver/position_table.h"
#include "solver/ways_out.h"

namespace solver {

namespace {

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

// A quick search ranks by keys so far plus four times the bound: it heads for the win much
// faster and still finds one about a fifth longer than the shortest.
constexpr int kQuickWeight = 4;

// A* over the positions right after each deal: from each, every way to the next deal is a
// step costing its keys. A new position is queued on the cheap length bound and given the
// sharp one only when it comes off the queue, since most never do; both bounds never
// overestimate and fall by at most one per key, so the first win taken off the queue, or
// found at the lowest total still queued, is a shortest one. A position not yet expanded
// takes any shorter path found to it (only the quick search ever expands one too early).
class AStar {
  public:
    AStar(PositionTable& table, OpenList& open, WaysOut& waysOut, std::vector<Way>& ways,
          SearchMode mode)
        : table_(table),
          open_(open),
          waysOut_(waysOut),
          ways_(ways),
          quick_(mode == SearchMode::Quick) {}

    // The node of the win found, or none once every position reached is lost or the table
    // holds `maxPositions` (then `decided` turns false).
    std::optional<uint32_t> Run(const Position& start, uint64_t maxPositions, bool& decided) {
        table_.Clear();
        open_.Clear();
        AddStart(start);
        uint32_t id = 0;
        int lowest = 0;
        decided = true;
        while (open_.Pop(id, lowest)) {
            if (table_.size() >= maxPositions) {
                decided = false;
                return std::nullopt;
            }
            table_.Prefetch(open_.Likely());
            if (!ReadyToExpand(id, lowest)) {
                continue;
            }
            table_[id].expanded = true;
            const Position position = Unpack(table_[id].packed);
            if (position.Won()) {
                return id;
            }
            if (const auto win = Expand(id, position, lowest)) {
                return win;
            }
        }
        return std::nullopt;
    }

  private:
    int Priority(const Node& node) const {
        return node.keysSoFar + (quick_ ? kQuickWeight : 1) * node.bound;
    }

    void AddStart(const Position& start) {
        const PackedPosition packed = Pack(start);
        Node& node = table_[table_.Insert(packed, PositionTable::HashOf(packed)).first];
        node.bound = lengths_.Keys(start.counts, start.walk);
        node.lengths = start.counts;
        node.walk = start.walk;
        node.blocked = static_cast<uint8_t>(BlockedRows(start));
        if (node.bound != LengthBound::kNoWin) {
            open_.Push(0, Priority(node), 0);
        }
    }

    // False for a node reached again by a shorter path since it was queued, and for one whose
    // sharp bound, worked out now, sends it back to the queue (or out, when it finds no win).
    bool ReadyToExpand(uint32_t id, int lowest) {
        Node& node = table_[id];
        if (node.expanded || Priority(node) != lowest) {
            return false;
        }
        if (node.boundSharp) {
            return true;
        }
        node.boundSharp = true;
        const uint8_t sharp = blocked_.Keys(node.lengths, node.walk, node.blocked);
        if (sharp <= node.bound) {
            return true;
        }
        node.bound = sharp;
        if (sharp != LengthBound::kNoWin) {
            open_.Push(id, Priority(node), node.keysSoFar);
        } else {
            node.expanded = true;
        }
        return false;
    }

    // Scores every way to the next deal; a win to take at once ends the expansion.
    std::optional<uint32_t> Expand(uint32_t id, const Position& position, int lowest) {
        CollectWays(position);
        const int keysSoFar = table_[id].keysSoFar;
        for (const Way& way : ways_) {
            if (const auto win = ScoreChild(id, keysSoFar + way.keys, lowest, way)) {
                return win;
            }
        }
        return std::nullopt;
    }

    void CollectWays(const Position& position) {
        waysOut_.Collect(position, ways_);
        for (const Way& way : ways_) {
            table_.PrefetchSlot(way.hash);
        }
    }

    // Queues the position a way leads to, `keys` from the start, unless it is known by a path
    // as short or cannot be won; returns it when it is a win to take at once.
    std::optional<uint32_t> ScoreChild(uint32_t parent, int keys, int lowest, const Way& way) {
        const auto [childId, added] = table_.Insert(way.packed, way.hash);
        Node& child = table_[childId];
        if (!added && (child.expanded || child.keysSoFar <= keys)) {
            return std::nullopt;
        }
        if (added) {
            child.bound = lengths_.Keys(way.lengths, way.walk);
            child.lengths = way.lengths;
            child.walk = way.walk;
            child.blocked = way.blocked;
            if (child.bound == LengthBound::kNoWin) {
                child.expanded = true;
                return std::nullopt;
            }
        }
        child.parent = parent;
        child.keysSoFar = static_cast<uint16_t>(keys);
        if (way.won && (quick_ || keys == lowest)) {
            return childId;
        }
        open_.Push(childId, Priority(child), keys);
        return std::nullopt;
    }

    const LengthBound& lengths_ = Bound();
    BlockedBound& blocked_ = Blocked();
    PositionTable& table_;
    OpenList& open_;
    WaysOut& waysOut_;
    std::vector<Way>& ways_;
    const bool quick_;
};

}  // namespace

struct Solver::Tables {
    PositionTable positions;
    OpenList open;
    WaysOut waysOut;
    std::vector<Way> ways;
};

Solver::Solver() : tables_(std::make_unique<Tables>()) {}
Solver::~Solver() = default;

Solution Solver::Solve(const Position& start, SearchMode mode, uint64_t maxPositions) {
    AStar search(tables_->positions, tables_->open, tables_->waysOut, tables_->ways, mode);
    Solution solution;
    if (const auto win = search.Run(start, maxPositions, solution.decided)) {
        solution.won = true;
        solution.keys = KeysTo(tables_->positions, *win);
    }
    solution.states = tables_->positions.size();
    return solution;
}

void PrepareBounds() {
    Blocked();
}

Solution Solve(const Position& start, SearchMode mode, uint64_t maxPositions) {
    Solver solver;
    return solver.Solve(start, mode, maxPositions);
}

}  // namespace solver
