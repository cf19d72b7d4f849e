#pragma once

#include <cstdint>
#include <functional>

#include "solve/deal_report.h"
#include "solver/search.h"

namespace solve {

// Decides one deal: the search, whether C alone wins, and the win played through the game.
DealResult DecideDeal(uint32_t time, bool quick, solver::Solver& solver);

struct RangeSettings {
    uint32_t from = 0;
    uint64_t count = 1;
    uint32_t step = 1;  // seconds from one deal to the next
    unsigned threads = 1;
    bool quick = false;
};

// Decides every deal of the range on the given threads. `emit` gets the results in order of
// time, on the calling thread, as soon as each is due; `progress` gets the number decided so
// far, about five times a second while the work goes on.
void DecideRange(const RangeSettings& settings, const std::function<void(const DealResult&)>& emit,
                 const std::function<void(uint64_t decided)>& progress);

}  // namespace solve
