#pragma once

#include <cstdint>

#include "solver/position.h"

namespace solverbench {

struct PlainAnswer {
    int keys = -1;  // -1: lost
    uint64_t states = 0;
};

// The search the solver is measured against: A* over single keys with the bound of row
// lengths and the walk alone, every position reached kept in one table.
PlainAnswer PlainSearch(const solver::Position& start);

}  // namespace solverbench
