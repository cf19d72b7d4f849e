#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "app/game.h"
#include "app/game_flow.h"
#include "app/key_commands.h"

namespace {

using board::TileBoard;

std::vector<board::Tile> SortedTiles(std::vector<board::Tile> tiles) {
    std::ranges::sort(tiles, [](board::Tile a, board::Tile b) {
        return std::pair{a.first, a.second} < std::pair{b.first, b.second};
    });
    return tiles;
}

// Returns an empty string when the board is sound, else what is wrong with it.
std::string BoardFault(const TileBoard& b, bool laidOut) {
    static const auto set = SortedTiles({board::TileSet.begin(), board::TileSet.end()});
    int live = 0;
    std::vector<board::Tile> tiles;
    for (int r = 0; r < board::kStorageRows; ++r) {
        const int n = b.counts[static_cast<std::size_t>(r)];
        if (n < 0 || n > board::kPositionsPerRow) {
            return "count of row " + std::to_string(r) + " is " + std::to_string(n);
        }
        for (int p = 0; p < n; ++p) {
            tiles.push_back(b.TileAt(r, p));
        }
        if (r == board::kStockRow) {
            break;
        }
        live += n > 0 ? 1 : 0;
        for (int h = board::HalfIndex(r, n); h < board::HalfIndex(r + 1, 0); ++h) {
            if (b.halves[static_cast<std::size_t>(h)] != 0) {
                return "half " + std::to_string(h) + " beyond row " + std::to_string(r) + "'s end";
            }
        }
    }
    if (b.liveRows() != live) {
        return "liveRows " + std::to_string(b.liveRows()) + ", live " + std::to_string(live);
    }
    // Before the first layout the counts still add up, over empty halves.
    if (laidOut ? SortedTiles(tiles) != set
                : tiles.size() != set.size() || std::ranges::any_of(tiles, [](board::Tile t) {
                      return t != board::Tile{};
                  })) {
        return "the tiles on the board are not the set";
    }
    return {};
}

// Random play, mostly row checks, with deals and restarts mixed in and the clock
// sometimes staying in the same second. Every frame must leave a sound board.
TEST(RandomPlay, EveryFrameKeepsTheBoardSound) {
    // Restarts are rare enough that games run long enough to empty rows.
    auto nextKey = [](std::mt19937& rng) -> uintptr_t {
        const uint32_t roll = rng() % 200;
        if (roll < 150) {
            return 'C';
        }
        if (roll < 185) {
            return 'D';
        }
        const uintptr_t rare[] = {'N', 'S', 0x71, 'T', 'A', 0x20, 0x0D, 0x73, 0x00, 0xFF};
        return rare[roll % std::size(rare)];
    };
    int clears = 0;
    int fewLiveRows = 0;
    for (uint32_t seed = 0; seed < 120; ++seed) {
        std::mt19937 rng(seed);
        app::GameFlow flow;
        int64_t now = 1'700'000'000 + seed * 977;
        auto game = std::make_unique<app::Game>(flow, nullptr, nullptr, [&now] { return now; });
        bool laidOut = false;
        for (int press = 0; press < 400; ++press) {
            const uintptr_t key = nextKey(rng);
            now += rng() % 3 == 0 ? 1 : 0;
            if (const auto command = app::CommandForKey(key)) {
                flow.GameState = command->gameState;
            }
            laidOut |= flow.GameState == app::NewGame || flow.GameState == app::NewDeal;
            const int16_t stockBefore = game->board.stockCount();
            for (int frame = 0; frame < 3; ++frame) {
                game->Step(0, 0, 0);
                const std::string fault = BoardFault(game->board, laidOut);
                ASSERT_EQ(fault, "") << "seed " << seed << ", press " << press;
                if (app::IsResting(flow.GameState)) {
                    break;
                }
            }
            ASSERT_TRUE(app::IsResting(flow.GameState));
            // Resting, the walk names row 0 or a live row for the next C.
            ASSERT_TRUE(flow.currentRow == 0 ||
                        (flow.currentRow > 0 && flow.currentRow < board::kTableRows &&
                         game->board.counts[static_cast<std::size_t>(flow.currentRow)] > 0))
                << "currentRow " << flow.currentRow;
            clears += key == 'C' && game->board.stockCount() > stockBefore ? 1 : 0;
            fewLiveRows += laidOut && game->board.liveRows() < 3 ? 1 : 0;
        }
    }
    // The play must reach clears and emptied rows, or it proves little.
    EXPECT_GT(clears, 1000);
    EXPECT_GT(fewLiveRows, 0);
}

}  // namespace
