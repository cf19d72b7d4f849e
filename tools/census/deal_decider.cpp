#include "census/deal_decider.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "census/shard_format.h"
#include "solve/replay_check.h"
#include "solver/checks_only.h"
#include "solver/opening.h"
#include "solver/search.h"

namespace census {

namespace {

// The search with its position limit, C alone, and a win played through the game itself.
uint8_t DecideOne(uint32_t second, solver::Solver& solver, bool& verified) {
    const solver::Position opening = solver::Opening(second);
    const bool alone = solver::ChecksAloneWin(opening);
    const solver::Solution solution =
        solver.Solve(opening, solver::SearchMode::Shortest, solver::kCensusPositionLimit);
    if (!solution.decided) {
        return EncodeDeal(DealOutcome::Undecided, 0, alone);
    }
    if (!solution.won) {
        return EncodeDeal(DealOutcome::Lost, 0, false);
    }
    if (!solve::KeysClearTheBoard(second, solution.keys)) {
        verified = false;
        return EncodeDeal(DealOutcome::Undecided, 0, alone);
    }
    return EncodeDeal(DealOutcome::Won, solution.keys.size(), alone);
}

}  // namespace

DealDecider::DealDecider(unsigned threads) {
    solver::PrepareBounds();
    for (unsigned t = 0; t < std::max(threads, 1u); ++t) {
        solvers_.push_back(std::make_unique<solver::Solver>());
    }
}

DealDecider::~DealDecider() = default;

bool DealDecider::Decide(const CensusSettings& census, uint64_t first, std::span<uint8_t> out,
                         std::atomic<uint64_t>& decided, const std::function<void()>& waiting) {
    std::atomic<std::size_t> next{0};
    std::atomic<bool> verified{true};
    std::mutex mutex;
    std::condition_variable finished;
    std::size_t working = std::min(solvers_.size(), out.size());
    const auto work = [&](solver::Solver& solver) {
        for (std::size_t i = next++; i < out.size(); i = next++) {
            bool ok = true;
            out[i] = DecideOne(census.SecondOf(first + i), solver, ok);
            if (!ok) {
                verified = false;
            }
            ++decided;
        }
        const std::lock_guard lock(mutex);
        --working;
        finished.notify_one();
    };
    std::vector<std::thread> workers;
    for (std::size_t t = 0; t < working; ++t) {
        workers.emplace_back(work, std::ref(*solvers_[t]));
    }
    for (std::unique_lock lock(mutex);
         !finished.wait_for(lock, std::chrono::milliseconds(200), [&] { return working == 0; });) {
        lock.unlock();
        waiting();
        lock.lock();
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    return verified;
}

}  // namespace census
