#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "solver/position.h"

namespace solver {

// The number of the solver's answers: raised whenever a change could alter any answer (won
// or lost, or a win's length or keys), so that stored results say which solver made them.
inline constexpr uint32_t kSolverVersion = 1;

// No limit on the positions one search may store.
inline constexpr uint64_t kNoPositionLimit = std::numeric_limits<uint64_t>::max();

// A limit for long runs: a stored position costs about 70 bytes with the index and the open
// list (the tables grow by doubling and are kept for the next deal), so a thread stays under
// about 300 MB. One deal in a million needs more: 54250396 stores 9.35 million (633 MB).
inline constexpr uint64_t kCensusPositionLimit = 4'000'000;

enum class SearchMode {
    Shortest,  // a proven-shortest win
    Quick,     // any win, found fast
};

struct Solution {
    // False when the search reached its position limit first: then neither won nor lost.
    bool decided = true;
    bool won = false;
    std::string keys;     // C, D and T after the opening S, in order, when won
    uint64_t states = 0;  // positions the search stored
};

// Decides positions: won with its keys, or lost once every reachable position has been seen.
// Keeps its tables from one position to the next, so one per thread solves a range cheaply.
class Solver {
  public:
    Solver();
    ~Solver();
    Solver(const Solver&) = delete;
    Solver& operator=(const Solver&) = delete;

    // Stops undecided once it has stored `maxPositions` positions (a few more at most: the
    // ways out of one position are stored together), which bounds its memory.
    Solution Solve(const Position& start, SearchMode mode = SearchMode::Shortest,
                   uint64_t maxPositions = kNoPositionLimit);

  private:
    struct Tables;
    std::unique_ptr<Tables> tables_;
};

// Builds the tables every search shares (a tenth of a second or so); the first search does
// it otherwise.
void PrepareBounds();

// One position with a solver of its own.
Solution Solve(const Position& start, SearchMode mode = SearchMode::Shortest,
               uint64_t maxPositions = kNoPositionLimit);

}  // namespace solver
