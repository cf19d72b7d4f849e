#include "solver/checks_only.h"

namespace solver {

// Brent's cycle finding: compare with one position saved at ever doubling distances.
bool ChecksAloneWin(const Position& start) {
    Position current = start;
    PackedPosition saved = Pack(current);
    for (long stretch = 1;; stretch *= 2) {
        for (long step = 0; step < stretch; ++step) {
            if (current.Won()) {
                return true;
            }
            current.Check();
            const PackedPosition packed = Pack(current);
            if (packed == saved) {
                return false;
            }
        }
        saved = Pack(current);
    }
}

}  // namespace solver
