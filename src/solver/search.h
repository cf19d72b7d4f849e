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

struct Solution {
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

    Solution Solve(const Position& start, SearchMode mode = SearchMode::Shortest);

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
