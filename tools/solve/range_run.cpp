#include "solve/range_run.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "solve/replay_check.h"
#include "solver/checks_only.h"
#include "solver/opening.h"

namespace solve {

DealResult DecideDeal(uint32_t time, bool quick, solver::Solver& solver) {
    const solver::Position opening = solver::Opening(time);
    const auto started = std::chrono::steady_clock::now();
    solver::Solution solution =
        solver.Solve(opening, quick ? solver::SearchMode::Quick : solver::SearchMode::Shortest);
    const std::chrono::duration<double, std::milli> took =
        std::chrono::steady_clock::now() - started;
    DealResult result;
    result.time = time;
    result.won = solution.won;
    result.keys = std::move(solution.keys);
    result.states = solution.states;
    result.ms = took.count();
    result.checksAloneWin = solver::ChecksAloneWin(opening);
    result.replayCleared = !result.won || KeysClearTheBoard(time, result.keys);
    return result;
}

namespace {

// Results handed from the workers to the calling thread in order of their deals, whichever
// worker finishes first.
class InOrder {
  public:
    void Put(uint64_t deal, DealResult result) {
        const std::lock_guard lock(mutex_);
        waiting_.emplace(deal, std::move(result));
        ++decided_;
        ready_.notify_one();
    }

    // Waits for deal `due`, calling `waiting` with the count decided so far every 200 ms;
    // gives the result and the count decided when it came.
    template <typename WaitingFn>
    std::pair<DealResult, uint64_t> Take(uint64_t due, WaitingFn&& waiting) {
        std::unique_lock lock(mutex_);
        const auto isDue = [&] { return !waiting_.empty() && waiting_.begin()->first == due; };
        while (!ready_.wait_for(lock, std::chrono::milliseconds(200), isDue)) {
            const uint64_t soFar = decided_;
            lock.unlock();
            waiting(soFar);
            lock.lock();
        }
        DealResult result = std::move(waiting_.begin()->second);
        waiting_.erase(waiting_.begin());
        return {std::move(result), decided_};
    }

  private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::map<uint64_t, DealResult> waiting_;  // decided, not yet taken
    uint64_t decided_ = 0;
};

}  // namespace

void DecideRange(const RangeSettings& settings, const std::function<void(const DealResult&)>& emit,
                 const std::function<void(uint64_t decided)>& progress) {
    solver::PrepareBounds();  // built once, before any deal is timed
    InOrder results;
    std::atomic<uint64_t> next{0};
    const auto work = [&] {
        solver::Solver solver;
        for (uint64_t i = next++; i < settings.count; i = next++) {
            results.Put(i, DecideDeal(static_cast<uint32_t>(settings.from + i * settings.step),
                                      settings.quick, solver));
        }
    };
    const unsigned threads =
        static_cast<unsigned>(std::min<uint64_t>(std::max(settings.threads, 1u), settings.count));
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t) {
        workers.emplace_back(work);
    }

    auto reported = std::chrono::steady_clock::now();
    const auto report = [&](uint64_t soFar) {
        const auto now = std::chrono::steady_clock::now();
        if (now - reported >= std::chrono::milliseconds(200)) {
            reported = now;
            progress(soFar);
        }
    };
    for (uint64_t due = 0; due < settings.count; ++due) {
        const auto [result, soFar] = results.Take(due, report);
        emit(result);
        report(soFar);
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
}

}  // namespace solve
