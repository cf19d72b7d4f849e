#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "app/game_flow.h"
#include "app/key_commands.h"
#include "headless/board_invariants.h"
#include "headless/headless_game.h"

namespace {

// Mostly row checks, with deals and rare restarts so that games run long enough to empty
// rows, and a few keys that are no command at all.
uint32_t NextKey(std::mt19937& rng) {
    const uint32_t roll = rng() % 200;
    const uint32_t rare[] = {'N', 'S', 0x71, 'T', 'A', 0x20, 0x0D, 0x73, 0x00, 0xFF};
    return roll < 150 ? 'C' : roll < 185 ? 'D' : rare[roll % std::size(rare)];
}

// Random play with the clock sometimes staying in the same second. Every frame must leave a
// sound board, and at rest the walk names row 0 or a live row for the next C.
TEST(RandomPlay, EveryFrameKeepsTheBoardSound) {
    int clears = 0;
    int fewLiveRows = 0;
    for (uint32_t seed = 0; seed < 120; ++seed) {
        std::mt19937 rng(seed);
        int64_t now = 1'700'000'000 + seed * 977;
        auto game = std::make_unique<headless::HeadlessGame>([&now] { return now; });
        const auto& board = game->game().board;
        const auto& flow = game->flow();
        bool laidOut = false;
        for (int press = 0; press < 400; ++press) {
            const uint32_t key = NextKey(rng);
            now += rng() % 3 == 0 ? 1 : 0;
            const auto command = app::CommandForKey(key);
            laidOut |= command &&
                       (command->gameState == app::NewGame || command->gameState == app::NewDeal);
            const int16_t stockBefore = board.stockCount();
            int frames = 0;
            std::string fault;
            game->Play({.virtualKey = key}, [&] {
                ++frames;
                if (fault.empty()) {
                    fault = headless::BoardInvariantFault(board, laidOut);
                }
            });
            ASSERT_EQ(fault, "") << "seed " << seed << ", press " << press;
            ASSERT_LE(frames, 2);  // a C on the last live row deals in the frame after
            const int row = flow.currentRow;
            ASSERT_TRUE(row == 0 || (row > 0 && row < board::kTableRows &&
                                     board.counts[static_cast<std::size_t>(row)] > 0))
                << "currentRow " << row;
            clears += key == 'C' && board.stockCount() > stockBefore ? 1 : 0;
            fewLiveRows += laidOut && board.liveRows() < 3 ? 1 : 0;
        }
    }
    // The play must reach clears and emptied rows, or it proves little.
    EXPECT_GT(clears, 1000);
    EXPECT_GT(fewLiveRows, 0);
}

}  // namespace
