#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "solver/position.h"

namespace solver {

enum class SearchMode {
    Shortest,  // a proven-shortest win
    Quick,     // any win, found fast
};

// The number of the solver's answers, raised whenever a change could alter any of them: the
// census records it in every file, and counts no file another number decided.
inline constexpr uint32_t kSolverVersion = 1;

inline constexpr uint64_t kNoPositionLimit = ~uint64_t{0};
// The census's bound on the positions one search stores, about 60 bytes each with the index
// and the open list: some 240 MB a thread. The hardest of the benchmark's thousand deals
// stores 303,591.
inline constexpr uint64_t kCensusPositionLimit = 4'000'000;

struct Solution {
    bool decided = true;  // false when the position limit ended the search: neither answer
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
Solution Solve(const Position& start, SearchMode mode = SearchMode::Shortest);

}  // namespace solver
