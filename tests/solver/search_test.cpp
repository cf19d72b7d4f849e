#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "plain_search.h"
#include "solver/checks_only.h"
#include "solver/opening.h"
#include "solver/search.h"

namespace {

using solver::Key;
using solver::Position;

struct PackedHash {
    std::size_t operator()(const solver::PackedPosition& p) const { return solver::Hash(p); }
};

// Plain breadth-first search over every key: the shortest win's length, kLost once no new
// position is left, or nullopt past `limit` positions.
constexpr int kLost = -1;
std::optional<int> BreadthFirst(const Position& start, std::size_t limit) {
    if (start.Won()) {
        return 0;
    }
    std::unordered_set<solver::PackedPosition, PackedHash> seen{solver::Pack(start)};
    std::vector<Position> level{start};
    for (int depth = 1; !level.empty(); ++depth) {
        std::vector<Position> next;
        for (const Position& p : level) {
            for (const Key key : {Key::Check, Key::Deal, Key::Rules}) {
                Position q = p;
                q.Press(key);
                if (q.Won()) {
                    return depth;
                }
                if (seen.insert(solver::Pack(q)).second) {
                    next.push_back(q);
                }
            }
        }
        if (seen.size() > limit) {
            return std::nullopt;
        }
        level.swap(next);
    }
    return kLost;
}

Position Play(Position p, std::string_view keys) {
    for (const char key : keys) {
        p.Press(static_cast<Key>(key));
    }
    return p;
}

// Deals of the benchmark range whose shortest wins were found by a plain search over single
// keys; lost ones too. Every win from an opening passes deals (five tiles a row do not clear
// by threes); 21, 32 and 173 come out a key longer if the sharp bound overestimates past one.
TEST(Solve, KnownDealsTakeTheirShortestLengths) {
    const struct {
        uint32_t second;
        int keys;  // kLost for a lost deal
    } deals[] = {
        {1'700'000'691, 16}, {1'700'000'520, 18},    {1'700'000'114, 20},    {1'700'000'173, 30},
        {1'700'000'001, 40}, {1'700'000'021, 46},    {1'700'000'032, 48},    {1'700'000'000, 49},
        {1'700'000'379, 99}, {1'700'000'011, kLost}, {1'700'000'012, kLost},
    };
    solver::Solver solver;
    for (const auto& deal : deals) {
        const Position opening = solver::Opening(deal.second);
        const solver::Solution solution = solver.Solve(opening);
        EXPECT_EQ(solution.won ? static_cast<int>(solution.keys.size()) : kLost, deal.keys)
            << deal.second;
        if (solution.won) {
            EXPECT_TRUE(Play(opening, solution.keys).Won()) << deal.second;
        }
        if (deal.keys <= 18) {
            EXPECT_EQ(BreadthFirst(opening, 1'000'000), std::optional<int>(deal.keys));
        }
    }
}

// Whole won deals against the benchmark's plain search: A* over single keys with the length
// bound alone, so it shares neither the sharp bound nor the ways between deals. The sample is
// every won deal of the benchmark's first 300 whose plain search stores fewer than 16,000
// positions (some hundredths of a second each); every win from an opening passes deals.
TEST(Solve, WonDealsTakeThePlainSearchsLengths) {
    const int offsets[] = {1,   3,   18,  33,  40,  47,  49,  58,  66,  70,  75,  80,  81,
                           84,  88,  94,  96,  100, 103, 104, 106, 107, 114, 118, 130, 133,
                           136, 141, 142, 143, 146, 149, 160, 161, 164, 170, 172, 173, 174,
                           177, 184, 188, 190, 196, 199, 200, 205, 211, 213, 214, 217, 218,
                           222, 234, 235, 257, 258, 264, 276, 278, 285, 288, 292, 298};
    solver::Solver solver;
    for (const int offset : offsets) {
        const uint32_t second = 1'700'000'000u + static_cast<uint32_t>(offset);
        const Position opening = solver::Opening(second);
        const solverbench::PlainAnswer plain = solverbench::PlainSearch(opening);
        const solver::Solution found = solver.Solve(opening);
        ASSERT_NE(plain.keys, kLost) << second;
        EXPECT_EQ(found.won ? static_cast<int>(found.keys.size()) : kLost, plain.keys) << second;
    }
}

// From positions a few keys before the end of a found win, and from whole deals, a plain
// search that tries every key agrees with the solver wherever it can finish.
TEST(Solve, AgreesWithAPlainSearchOfEveryKey) {
    std::mt19937 rng(3);
    solver::Solver solver;
    int lost = 0;
    int partwayRuns = 0;
    for (int trial = 0; trial < 60; ++trial) {
        const uint32_t second = 1'000'000'000u + rng() % 1'000'000'000u;
        const Position opening = solver::Opening(second);
        const solver::Solution whole = solver.Solve(opening);
        if (const auto plain = BreadthFirst(opening, 20'000)) {
            EXPECT_EQ(*plain, whole.won ? static_cast<int>(whole.keys.size()) : kLost) << second;
            lost += *plain == kLost ? 1 : 0;
        }
        if (!whole.won) {
            continue;
        }
        // Partway along: the shortest win from there is at most what the found one has left.
        const std::size_t left = 1 + rng() % std::min<std::size_t>(12, whole.keys.size());
        const Position partway =
            Play(opening, std::string_view(whole.keys).substr(0, whole.keys.size() - left));
        const solver::Solution rest = solver.Solve(partway);
        ASSERT_TRUE(rest.won) << second;
        EXPECT_LE(rest.keys.size(), left);
        EXPECT_TRUE(Play(partway, rest.keys).Won());
        EXPECT_EQ(BreadthFirst(partway, 1'000'000), std::optional<int>(rest.keys.size()))
            << second << " with " << left << " keys left";
        ++partwayRuns;
    }
    EXPECT_GT(lost, 0);  // a plain search decides few whole deals but the lost ones
    EXPECT_GT(partwayRuns, 40);
}

TEST(Solve, QuickFindsAWinWhereverThereIsOne) {
    solver::Solver solver;
    for (uint32_t second = 1'700'000'000; second < 1'700'000'020; ++second) {
        const Position opening = solver::Opening(second);
        const solver::Solution shortest = solver.Solve(opening);
        const solver::Solution quick = solver.Solve(opening, solver::SearchMode::Quick);
        EXPECT_EQ(quick.won, shortest.won) << second;
        EXPECT_GE(quick.keys.size(), shortest.keys.size()) << second;
        EXPECT_TRUE(!quick.won || Play(opening, quick.keys).Won()) << second;
    }
}

// A search that runs out of room claims nothing, won or lost; the same solver then decides
// the deal in full, so a stop leaves its tables sound. Lost openings are all small: 314 is
// lost after 22 positions.
TEST(Solve, APositionLimitLeavesTheDealUndecided) {
    const struct {
        uint32_t second;
        uint64_t limit;
    } deals[] = {{1'700'000'849, 20'000}, {1'700'000'314, 10}};
    solver::Solver solver;
    for (const auto& deal : deals) {
        const Position opening = solver::Opening(deal.second);
        const solver::Solution whole = solver.Solve(opening);
        ASSERT_TRUE(whole.decided) << deal.second;
        ASSERT_GT(whole.states, deal.limit) << deal.second;
        const solver::Solution cut =
            solver.Solve(opening, solver::SearchMode::Shortest, deal.limit);
        EXPECT_FALSE(cut.decided) << deal.second;
        EXPECT_FALSE(cut.won) << deal.second;
        EXPECT_TRUE(cut.keys.empty()) << deal.second;
        EXPECT_LT(cut.states, deal.limit + 1'000) << deal.second;
        const solver::Solution again =
            solver.Solve(opening, solver::SearchMode::Shortest, whole.states + 1'000);
        EXPECT_TRUE(again.decided) << deal.second;
        EXPECT_EQ(again.won, whole.won) << deal.second;
        EXPECT_EQ(again.keys, whole.keys) << deal.second;
    }
}

// C alone either empties the table or goes round a cycle; pressing it a thousand times with
// every position remembered tells the two apart as well.
TEST(ChecksAlone, WinExactlyWhenPressingCUntilARepeatDoes) {
    int wins = 0;
    for (uint32_t second = 1'700'000'000; second < 1'700'000'100; ++second) {
        Position p = solver::Opening(second);
        std::unordered_set<solver::PackedPosition, PackedHash> seen;
        while (!p.Won() && seen.insert(solver::Pack(p)).second) {
            p.Check();
        }
        EXPECT_EQ(solver::ChecksAloneWin(solver::Opening(second)), p.Won()) << second;
        wins += p.Won() ? 1 : 0;
    }
    EXPECT_GT(wins, 10);
}

}  // namespace
