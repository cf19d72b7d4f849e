#pragma once

#include <chrono>
#include <cstdint>

namespace solve {

// How far a range has come, on one line of standard error that rewrites itself. Only on a
// terminal: a log or a pipe gets the results alone. Cleared before any other output.
class ProgressLine {
  public:
    ProgressLine(uint64_t total, bool shown);

    void Show(uint64_t decided, uint64_t won);
    void Clear();

  private:
    uint64_t total_;
    bool shown_;
    bool onScreen_ = false;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
};

}  // namespace solve
