#pragma once

#include <cassert>
#include <string_view>

#include "solver/position.h"

namespace solver {

// Every way to play from a position up to and including the next deal (a D, or the C on the
// last live row that deals by itself), less those an earlier press does in fewer keys: T and
// D come only at the start or straight after a C that cleared, since after a C that cleared
// nothing the same press one key earlier reaches the same position; and the deal after the
// last live row comes only if something cleared since D was last offered, as it would deal
// the same board. A C that empties the table ends a way too. `visit(before, keys)` gets the
// position just before that deal and the keys pressed, in order; it returns false to stop.
template <typename Visit>
void ForEachWayToDeal(const Position& start, Visit&& visit);

// The position a way ends in: `before` with its deal made.
inline Position AfterDeal(Position before) {
    before.Deal();
    return before;
}

namespace detail {

// Without a deal only clears change the board, and there are at most ten (32 tiles), each
// after a pass of at most five C and before a T: some 70 keys at most.
inline constexpr int kMaxKeysBetweenDeals = 96;

// Plays on one position, undoing each clear on the way back.
template <typename Visit>
class WaysToDeal {
  public:
    WaysToDeal(const Position& start, Visit& visit) : position_(start), visit_(visit) {}

    // False once the visitor has asked to stop. `fresh`: at the start or just after a clear;
    // `dealOffered`: D was offered on the board as it is.
    bool From(int keys, bool fresh, bool dealOffered = false) {
        assert(keys + 1 < kMaxKeysBetweenDeals);
        Position& p = position_;
        if (fresh) {
            dealOffered = p.stockCount != 0;
            if (dealOffered && !Emit(keys, Key::Deal)) {
                return false;
            }
            const int first = p.FirstLiveRow();
            if (p.walk != first) {
                const uint8_t walk = p.walk;
                p.walk = static_cast<uint8_t>(first);
                keys_[keys] = static_cast<char>(Key::Rules);
                const bool go = From(keys + 1, false, dealOffered);
                p.walk = walk;
                if (!go) {
                    return false;
                }
            }
        }
        const uint8_t row = p.walk;
        const bool cleared = p.CheckTail();
        const int next = p.NextLiveRow(row);
        bool go = true;
        if (next == board::kTableRows) {
            if (cleared || !dealOffered) {
                go = Emit(keys, Key::Check);
            }
        } else {
            p.walk = static_cast<uint8_t>(next);
            keys_[keys] = static_cast<char>(Key::Check);
            go = From(keys + 1, cleared, dealOffered);
            p.walk = row;
        }
        if (cleared) {
            p.UndoClear(row);
        }
        return go;
    }

  private:
    bool Emit(int keys, Key last) {
        keys_[keys] = static_cast<char>(last);
        return visit_(static_cast<const Position&>(position_),
                      std::string_view(keys_, static_cast<std::size_t>(keys + 1)));
    }

    Position position_;
    Visit& visit_;
    char keys_[kMaxKeysBetweenDeals];
};

}  // namespace detail

template <typename Visit>
void ForEachWayToDeal(const Position& start, Visit&& visit) {
    detail::WaysToDeal<Visit> ways(start, visit);
    ways.From(0, true);
}

}  // namespace solver
