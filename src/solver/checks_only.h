#pragma once

#include "solver/position.h"

namespace solver {

// Whether pressing only C wins from this position. C alone is deterministic, so it either
// empties the table or comes back to a position it has seen and goes round for ever.
bool ChecksAloneWin(const Position& start);

}  // namespace solver
