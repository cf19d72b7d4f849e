#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "headless/headless_game.h"
#include "solver/between_deals.h"
#include "solver/blocked_bound.h"
#include "solver/opening.h"
#include "solver/position.h"
#include "solver/ways_out.h"

namespace {

using solver::Key;
using solver::Position;

Position GamePosition(const headless::HeadlessGame& game) {
    return Position::FromBoard(game.game().board, game.flow().currentRow);
}

std::string Describe(const Position& p) {
    std::ostringstream text;
    for (int r = 0; r < board::kTableRows; ++r) {
        text << "row " << r << ":";
        for (int i = 0; i < p.counts[r]; ++i) {
            text << " " << int{p.rows[r][i]};
        }
        text << "\n";
    }
    text << "stock:";
    for (int i = 0; i < p.stockCount; ++i) {
        text << " " << int{p.stock[i]};
    }
    text << "\nwalk " << int{p.walk};
    return text.str();
}

// Random C, D and T, mostly C so that games run long enough to empty rows, through the game's
// own key handling and Step and through the solver's moves side by side: the same position
// after every key, and the packed form opens to it again.
TEST(SolverMoves, MatchTheGameOverRandomKeys) {
    std::mt19937 rng(11);
    int emptiedRows = 0;
    int clears = 0;
    for (int deal = 0; deal < 150; ++deal) {
        const uint32_t second = 1'600'000'000u + rng() % 200'000'000u;
        headless::HeadlessGame game([second] { return int64_t{second}; });
        game.Play({.virtualKey = 'S'});
        Position model = solver::Opening(second);
        ASSERT_TRUE(solver::SamePosition(model, GamePosition(game))) << second;
        for (int press = 0; press < 300; ++press) {
            const uint32_t roll = rng() % 100;
            const Key key = roll < 75 ? Key::Check : roll < 93 ? Key::Deal : Key::Rules;
            const int stockBefore = model.stockCount;
            game.Play({.virtualKey = static_cast<uint32_t>(key)});
            model.Press(key);
            const Position played = GamePosition(game);
            ASSERT_TRUE(solver::SamePosition(model, played))
                << "second " << second << ", press " << press << " (" << static_cast<char>(key)
                << ")\nsolver:\n"
                << Describe(model) << "\ngame:\n"
                << Describe(played);
            ASSERT_TRUE(solver::SamePosition(solver::Unpack(solver::Pack(model)), model));
            clears += model.stockCount > stockBefore ? 1 : 0;
        }
        emptiedRows += board::kTableRows - model.LiveRows();
    }
    EXPECT_GT(clears, 1500);  // the play must clear often enough to prove something
    EXPECT_GT(emptiedRows, 50);
}

// Every way to the next deal, pressed key by key, ends where the search believes it does, and
// its packed form is that of the position pressed; the search scores the same ways.
TEST(SolverMoves, WaysToTheNextDealEndWhereTheirKeysLead) {
    std::mt19937 rng(5);
    int ways = 0;
    int withRestarts = 0;
    for (int deal = 0; deal < 40; ++deal) {
        Position start = solver::Opening(1'700'000'000u + rng() % 1'000'000u);
        for (int press = static_cast<int>(rng() % 40); press > 0; --press) {
            start.Press(rng() % 4 == 0 ? Key::Deal : Key::Check);
        }
        std::vector<solver::Way> scored;
        solver::WaysOut().Collect(start, scored);
        std::size_t at = 0;
        solver::ForEachWayToDeal(start, [&](const Position& before, std::string_view keys) {
            // The search's own reckoning of the same way, in the same order.
            const Position dealt = solver::AfterDeal(before);
            EXPECT_LT(at, scored.size()) << keys;
            if (at < scored.size()) {
                const solver::Way& way = scored[at++];
                EXPECT_EQ(way.packed, solver::Pack(dealt)) << keys;
                EXPECT_EQ(way.hash, solver::Hash(way.packed)) << keys;
                EXPECT_EQ(way.lengths, dealt.counts) << keys;
                EXPECT_EQ(way.walk, dealt.walk) << keys;
                EXPECT_EQ(way.blocked, solver::BlockedRows(dealt)) << keys;
                EXPECT_EQ(way.keys, keys.size()) << keys;
                EXPECT_EQ(way.won, before.Won()) << keys;
            }
            Position pressed = start;
            for (const char key : keys) {
                pressed.Press(static_cast<Key>(key));
            }
            const Position after = solver::AfterDeal(before);
            EXPECT_TRUE(solver::SamePosition(pressed, after)) << keys;
            EXPECT_EQ(solver::PackAfterDeal(before), solver::Pack(after)) << keys;
            EXPECT_TRUE(keys.back() == 'D' || keys.back() == 'C') << keys;
            ++ways;
            withRestarts += keys.find('T') != std::string_view::npos ? 1 : 0;
            return true;
        });
        EXPECT_EQ(at, scored.size());
    }
    EXPECT_GT(ways, 80);
    EXPECT_GT(withRestarts, 5);
}

}  // namespace
