#include "solve/progress_line.h"

#include <iostream>

namespace solve {

ProgressLine::ProgressLine(uint64_t total, bool shown) : total_(total), shown_(shown) {}

void ProgressLine::Show(uint64_t decided, uint64_t won) {
    if (!shown_) {
        return;
    }
    std::cout.flush();  // the results so far go out before the line that follows them
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started_;
    std::cerr << "\r\033[K" << decided << " of " << total_ << " deals decided, " << won
              << " won so far, " << static_cast<int>(elapsed.count()) << " s" << std::flush;
    onScreen_ = true;
}

void ProgressLine::Clear() {
    if (onScreen_) {
        std::cerr << "\r\033[K" << std::flush;
        onScreen_ = false;
    }
}

}  // namespace solve
