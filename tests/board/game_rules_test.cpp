#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "app/game.h"
#include "app/game_flow.h"
#include "app/key_commands.h"
#include "board_builder.h"

namespace {

using app::Game;
using app::GameFlow;
using board::TileBoard;
using boardtest::BoardWithRows;
using boardtest::RowTiles;
using boardtest::Tiles;

// A game without a device or screens, keys delivered as the window procedure delivers them.
struct HeadlessGame {
    GameFlow flow;
    int64_t now = 1'700'000'000;
    std::unique_ptr<Game> game =
        std::make_unique<Game>(flow, nullptr, nullptr, [this] { return now; });

    void Press(uintptr_t key) {
        if (const auto command = app::CommandForKey(key); command && !command->quit) {
            flow.GameState = command->gameState;
        }
    }
    void Frame() { game->Step(0, 0, 0); }
    TileBoard& board() { return game->board; }
};

// Laid out from a fresh generator seeded with `second`, as the first deal of that second is.
TileBoard LayoutForSecond(uint32_t second, int skipDeals = 0) {
    uint32_t state = second;
    auto draw = [&state] {
        state = state * 214013u + 2531011u;
        return static_cast<int32_t>((state >> 16) & 0x7FFF);
    };
    TileBoard b;
    for (int i = 0; i < skipDeals; ++i) {
        b.ShuffleAndLayOut(draw);
    }
    b.ShuffleAndLayOut(draw);
    return b;
}

void ExpectSameBoard(const TileBoard& a, const TileBoard& b) {
    EXPECT_EQ(a.counts, b.counts);
    EXPECT_EQ(a.halves, b.halves);
}

TEST(CommandForKey, OnlyTheTableKeysAreCommands) {
    const std::map<uintptr_t, int32_t> states = {
        {0x53, app::NewGame},  {0x71, app::NewGame},   {0x4E, app::NewDeal},
        {0x43, app::CheckRow}, {0x44, app::DealStock}, {0x54, app::Tutorial},
    };
    for (uintptr_t key = 0; key < 0x400; ++key) {
        const auto command = app::CommandForKey(key);
        if (key == 0x1B || key == 0x51) {
            ASSERT_TRUE(command.has_value());
            EXPECT_TRUE(command->quit);
        } else if (const auto it = states.find(key); it != states.end()) {
            ASSERT_TRUE(command.has_value()) << key;
            EXPECT_FALSE(command->quit);
            EXPECT_EQ(command->gameState, it->second) << key;
        } else {
            EXPECT_FALSE(command.has_value()) << key;
        }
    }
    // Only the whole code counts, not its low byte.
    EXPECT_FALSE(app::CommandForKey(0x143).has_value());
    EXPECT_FALSE(app::CommandForKey(~uintptr_t{0} - 0xFF + 0x51).has_value());
}

TEST(Step, ScreensRestAndSendTheWalkToRowZero) {
    HeadlessGame g;
    g.Frame();
    EXPECT_EQ(g.flow.GameState, app::Menu);
    EXPECT_EQ(g.flow.currentRow, 0);

    g.Press('S');
    g.Frame();
    const TileBoard dealt = g.board();
    g.flow.currentRow = 3;
    g.Press('T');
    g.Frame();
    g.Frame();
    EXPECT_EQ(g.flow.GameState, app::Tutorial);
    EXPECT_EQ(g.flow.currentRow, 0);
    ExpectSameBoard(g.board(), dealt);

    g.flow.GameState = app::Playing;
    g.flow.currentRow = 3;
    g.Frame();
    EXPECT_EQ(g.flow.GameState, app::Playing);
    EXPECT_EQ(g.flow.currentRow, 3);
    ExpectSameBoard(g.board(), dealt);
}

TEST(Step, CommandsRunOnceThenPlay) {
    for (uintptr_t key : {0x53, 0x71, 0x4E, 0x44}) {
        HeadlessGame g;
        g.Press('S');
        g.Frame();
        g.flow.currentRow = 3;
        g.Press(key);
        g.Frame();
        EXPECT_EQ(g.flow.GameState, app::Playing) << key;
        EXPECT_EQ(g.flow.currentRow, 0) << key;
    }
}

// The first deal of a clock second is the layout of that second; a second deal within it
// goes on with the generator, so pressing N twice quickly gives a new position.
TEST(Step, DealsFollowTheClockSecond) {
    HeadlessGame g;
    g.now = 1000;
    g.Press('S');
    g.Frame();
    ExpectSameBoard(g.board(), LayoutForSecond(1000));

    g.Press('N');
    g.Frame();
    ExpectSameBoard(g.board(), LayoutForSecond(1000, 1));
    EXPECT_NE(g.board().halves, LayoutForSecond(1000).halves);

    g.now = 1001;
    g.Press('N');
    g.Frame();
    ExpectSameBoard(g.board(), LayoutForSecond(1001));

    // The calendar time is cut to 32 bits.
    g.now = (int64_t{1} << 32) + 77;
    g.Press('S');
    g.Frame();
    ExpectSameBoard(g.board(), LayoutForSecond(77));
}

TEST(Step, CWalksTheLiveRowsThenDealsByItself) {
    HeadlessGame g;
    g.Press('S');
    g.Frame();
    // No tail here qualifies, so the walk alone moves.
    g.board() = BoardWithRows({{13, 14, 6}, {0, 2, 4}, {10, 12, 21}, {1, 3, 5}, {22, 23, 24}});
    for (int32_t next : {1, 2, 3, 4}) {
        g.Press('C');
        g.Frame();
        EXPECT_EQ(g.flow.GameState, app::Playing);
        EXPECT_EQ(g.flow.currentRow, next);
    }
    g.Press('C');
    g.Frame();
    EXPECT_EQ(g.flow.GameState, app::DealStock);
    EXPECT_EQ(g.flow.currentRow, 0);
    EXPECT_EQ(g.board().stockCount(), 17);
    g.Frame();
    EXPECT_EQ(g.flow.GameState, app::Playing);
    EXPECT_EQ(g.flow.currentRow, 0);
    EXPECT_EQ(g.board().counts, (std::array<int16_t, 7>{4, 4, 4, 4, 4, 12, 5}));

    // D part-way down sends the walk back to the top.
    g.Press('C');
    g.Frame();
    g.Press('D');
    g.Frame();
    EXPECT_EQ(g.flow.currentRow, 0);
}

TEST(Step, WalkSkipsEmptyRowsAndStopsAfterTheLastLiveOne) {
    HeadlessGame g;
    g.Press('S');
    g.Frame();
    g.board() = BoardWithRows({{}, {13, 14, 6}, {}, {0, 2, 4}});
    g.Press('C');
    g.Frame();
    EXPECT_EQ(g.flow.currentRow, 3);
    g.Press('C');
    g.Frame();
    EXPECT_EQ(g.flow.GameState, app::DealStock);
    g.Frame();
    EXPECT_EQ(RowTiles(g.board(), 1), Tiles({13, 14, 6, 3}));
    EXPECT_EQ(RowTiles(g.board(), 3), Tiles({0, 2, 4, 1}));
    EXPECT_EQ(g.flow.currentRow, 0);
}

// Before the first new game the rows count five tiles each but hold only empty halves.
TEST(Step, CommandsBeforeTheFirstGameMoveOnlyEmptyHalves) {
    HeadlessGame g;
    for (int32_t next : {1, 2, 3, 4}) {
        g.Press('C');
        g.Frame();
        EXPECT_EQ(g.flow.currentRow, next);
    }
    EXPECT_EQ(g.board().counts, board::kOpeningCounts);
    g.Press('C');
    g.Frame();
    g.Frame();
    EXPECT_EQ(g.flow.GameState, app::Playing);
    EXPECT_EQ(g.board().counts, (std::array<int16_t, 7>{6, 6, 6, 6, 6, 2, 5}));
    for (auto h : g.board().halves) {
        ASSERT_EQ(h, 0);
    }
}

TEST(Step, CWithNoLiveRowPassesThroughTheDeal) {
    HeadlessGame g;
    g.Press('S');
    g.Frame();
    // The last live row clears on this C, leaving every tile in the stock.
    g.board() = BoardWithRows({{}, {}, {}, {}, {6, 25, 2}});
    g.flow.currentRow = 4;
    g.Press('C');
    g.Frame();
    EXPECT_EQ(g.board().liveRows(), 0);
    EXPECT_EQ(g.flow.GameState, app::DealStock);
    g.Frame();
    const TileBoard cleared = g.board();
    EXPECT_EQ(cleared.stockCount(), 32);

    g.Press('C');
    g.Frame();
    EXPECT_EQ(g.flow.GameState, app::DealStock);
    EXPECT_EQ(g.flow.currentRow, 0);
    g.Frame();
    EXPECT_EQ(g.flow.GameState, app::Playing);
    EXPECT_EQ(g.flow.currentRow, 0);
    ExpectSameBoard(g.board(), cleared);
}

}  // namespace
