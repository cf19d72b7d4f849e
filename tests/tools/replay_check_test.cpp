#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "headless/headless_game.h"
#include "solve/replay_check.h"
#include "solver/opening.h"
#include "solver/search.h"

namespace {

// The same keys through the game's own headless driver, buffers and all.
bool ClearedByHeadlessGame(uint32_t time, const std::string& keys) {
    headless::HeadlessGame game([time] { return static_cast<int64_t>(time); });
    game.Play({.virtualKey = 'S'});
    for (const char key : keys) {
        game.Play({.virtualKey = static_cast<uint32_t>(key)});
    }
    const auto& counts = game.game().board.counts;
    return std::all_of(counts.begin(), counts.begin() + board::kTableRows,
                       [](int16_t count) { return count == 0; });
}

// Wins found by the solver, and the same wins with a key changed or missing, judged alike by
// the check and by the game on its usual headless device.
TEST(ReplayCheck, JudgesWinsAndNearWinsAsTheHeadlessGameDoes) {
    std::mt19937 random(7);
    solver::Solver solver;
    int cleared = 0;
    for (uint32_t time = 1'700'000'000; time < 1'700'000'012; ++time) {
        const solver::Solution solution = solver.Solve(solver::Opening(time));
        if (!solution.won) {
            continue;
        }
        std::string changed = solution.keys;
        changed[random() % changed.size()] = "CDT"[random() % 3];
        const std::string variants[] = {solution.keys, solution.keys.substr(1), changed,
                                        solution.keys + "DDCT"};
        for (const std::string& keys : variants) {
            const bool expected = ClearedByHeadlessGame(time, keys);
            EXPECT_EQ(solve::KeysClearTheBoard(time, keys), expected) << time << ' ' << keys;
            cleared += expected ? 1 : 0;
        }
        EXPECT_TRUE(solve::KeysClearTheBoard(time, solution.keys)) << time;
    }
    EXPECT_GT(cleared, 10);
}

TEST(ReplayCheck, OnlyTheKeysOfTheSearchCount) {
    const uint32_t time = 1'700'000'001;
    const std::string keys = solver::Solve(solver::Opening(time)).keys;
    ASSERT_TRUE(solve::KeysClearTheBoard(time, keys));
    EXPECT_FALSE(solve::KeysClearTheBoard(time, keys + "Q"));  // the game ends: no win shown
    EXPECT_FALSE(solve::KeysClearTheBoard(time, "N" + keys));
    EXPECT_FALSE(solve::KeysClearTheBoard(time, keys.substr(0, keys.size() - 1)));
    EXPECT_FALSE(solve::KeysClearTheBoard(time + 1, keys));
}

}  // namespace
