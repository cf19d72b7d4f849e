#include "solve/range_run.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
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

void DecideRange(const RangeSettings& settings, const std::function<void(const DealResult&)>& emit,
                 const std::function<void(uint64_t decided)>& progress) {
    solver::PrepareBounds();  // built once, before any deal is timed
    std::mutex mutex;
    std::condition_variable ready;
    std::map<uint64_t, DealResult> waiting;  // decided, not yet emitted
    std::atomic<uint64_t> next{0};
    uint64_t decided = 0;

    const auto work = [&] {
        solver::Solver solver;
        for (uint64_t i = next++; i < settings.count; i = next++) {
            DealResult result =
                DecideDeal(static_cast<uint32_t>(settings.from + i), settings.quick, solver);
            const std::lock_guard lock(mutex);
            waiting.emplace(i, std::move(result));
            ++decided;
            ready.notify_one();
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
        std::unique_lock lock(mutex);
        const auto isDue = [&] { return !waiting.empty() && waiting.begin()->first == due; };
        while (!ready.wait_for(lock, std::chrono::milliseconds(200), isDue)) {
            const uint64_t soFar = decided;
            lock.unlock();
            report(soFar);
            lock.lock();
        }
        DealResult result = std::move(waiting.begin()->second);
        waiting.erase(waiting.begin());
        const uint64_t soFar = decided;
        lock.unlock();
        emit(result);
        report(soFar);
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
}

}  // namespace solve
