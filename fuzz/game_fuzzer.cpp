// Plays the game headless from fuzzed bytes: a clock value, then keys (every command, unknown
// codes, Alt combinations) and shuffles from raw generator draws, checking the board and the
// mesh colours after every frame.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/key_commands.h"
#include "headless/board_invariants.h"
#include "headless/headless_game.h"

namespace {

constexpr uint32_t kCommandKeys[] = {0x1B, 'Q', 'S', 0x71, 'N', 'C', 'D', 'T', 0x73};

void Require(const std::string& fault) {
    if (!fault.empty()) {
        std::fprintf(stderr, "invariant broken: %s\n", fault.c_str());
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const int64_t clock = input.ConsumeIntegral<int64_t>();
    headless::HeadlessGame game([clock] { return clock; });
    auto& board = game.game().board;
    auto& mesh = game.game().mesh;
    // The tile set is on the board from the first layout on; the mesh follows the board
    // from its first change on.
    bool laidOut = false;
    bool coloured = false;
    const auto check = [&] {
        Require(headless::BoardInvariantFault(board, laidOut));
        if (coloured) {
            Require(headless::MeshColourFault(mesh, board));
        }
    };

    while (input.remaining_bytes() > 0 && game.running()) {
        const uint8_t op = input.ConsumeIntegral<uint8_t>();
        if (op < 160) {
            // Mostly command keys, sometimes any code; Alt with one bit.
            const uint32_t code = (op & 0x40) ? input.ConsumeIntegral<uint8_t>()
                                              : kCommandKeys[op % std::size(kCommandKeys)];
            const bool alt = (op & 0x80) != 0;
            const auto command = app::CommandForKey(code);
            if (!alt && command && !command->quit && command->gameState != app::Tutorial) {
                laidOut = laidOut || command->gameState == app::NewGame ||
                          command->gameState == app::NewDeal;
                coloured = true;
            }
            game.Play({.virtualKey = code, .alt = alt}, check);
        } else {
            // A layout from raw draws: any 15-bit values, in any order, zeros included.
            board.ResetCounts();
            board.ShuffleAndLayOut([&input] {
                return static_cast<int32_t>(input.ConsumeIntegral<uint16_t>() & 0x7FFF);
            });
            mesh.ApplyColours(board);
            laidOut = coloured = true;
            check();
        }
    }
    return 0;
}
