#pragma once

#include <string_view>

#include "solver/position.h"

namespace solver {

// Every way to play from a position up to and including the next deal (a D, or the C on
// the last live row that deals by itself), less those an earlier press does in fewer keys:
// T and D come only at the start or straight after a C that cleared, since after a C that
// cleared nothing the same press one key earlier reaches the same position. A C that empties
// the table ends a way too. `visit(after, keys)` gets the position after the deal and the
// keys pressed, in order; it returns false to stop.
template <typename Visit>
void ForEachWayToDeal(const Position& start, Visit&& visit);

namespace detail {

inline constexpr int kMaxKeysBetweenDeals = 160;

template <typename Visit>
class WaysToDeal {
  public:
    explicit WaysToDeal(Visit& visit) : visit_(visit) {}

    // False once the visitor has asked to stop.
    bool From(const Position& position, int keys, bool fresh) {
        if (keys + 2 > kMaxKeysBetweenDeals) {
            return true;  // longer than any game can use: 32 tiles allow few clears
        }
        if (fresh) {
            if (position.stockCount != 0) {
                Position dealt = position;
                dealt.Deal();
                if (!Emit(dealt, keys, Key::Deal)) {
                    return false;
                }
            }
            const int first = position.FirstLiveRow();
            if (position.walk != first) {
                Position restarted = position;
                restarted.Restart();
                keys_[keys] = static_cast<char>(Key::Rules);
                if (!From(restarted, keys + 1, false)) {
                    return false;
                }
            }
        }
        Position checked = position;
        const bool cleared = checked.CheckTail();
        const int next = checked.NextLiveRow(position.walk);
        if (next == board::kTableRows) {
            checked.Deal();
            return Emit(checked, keys, Key::Check);
        }
        checked.walk = static_cast<uint8_t>(next);
        keys_[keys] = static_cast<char>(Key::Check);
        return From(checked, keys + 1, cleared);
    }

  private:
    bool Emit(const Position& after, int keys, Key last) {
        keys_[keys] = static_cast<char>(last);
        return visit_(after, std::string_view(keys_, static_cast<std::size_t>(keys + 1)));
    }

    Visit& visit_;
    char keys_[kMaxKeysBetweenDeals];
};

}  // namespace detail

template <typename Visit>
void ForEachWayToDeal(const Position& start, Visit&& visit) {
    detail::WaysToDeal<Visit> ways(visit);
    ways.From(start, 0, true);
}

}  // namespace solver
