// Plays the game headless from a list of keys and prints the position after each one.

#include <chrono>
#include <iostream>
#include <string>
#include <variant>

#include "cli/tool_start.h"
#include "headless/headless_game.h"
#include "replay/mesh_dump.h"
#include "replay/position_format.h"
#include "replay/replay_options.h"

namespace {

int64_t RealClock() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Keys after one that closed the window are not played, as for a player; say so rather
// than drop them.
void ReportUnplayed(const replay::ReplayOptions& options, std::size_t played) {
    std::cerr << "tavorin-replay: " << options.keyNames[played - 1]
              << " closed the window; not played:";
    for (std::size_t i = played; i < options.keys.size(); ++i) {
        std::cerr << ' ' << options.keyNames[i];
    }
    std::cerr << '\n';
}

int Replay(const replay::ReplayOptions& options) {
    const auto time = options.time;
    headless::HeadlessGame game([time] { return time ? *time : RealClock(); });
    const auto print = [&](const std::string& key) {
        const auto& board = game.game().board;
        std::cout << (options.text ? replay::PositionText(key, game.flow(), board)
                                   : replay::PositionJson(key, game.flow(), board))
                  << '\n';
    };
    print("");
    std::size_t played = 0;
    bool running = true;
    while (running && played < options.keys.size()) {
        running = game.Play(options.keys[played]);
        print(options.keyNames[played++]);
    }
    std::cout.flush();
    if (played < options.keys.size()) {
        ReportUnplayed(options, played);
    }
    if (options.meshPrefix && !replay::DumpMesh(game.game().mesh, *options.meshPrefix)) {
        std::cerr << "tavorin-replay: cannot write " << *options.meshPrefix
                  << ".vertices/.indices\n";
        return 1;
    }
    return std::cout ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    auto started = cli::StartTool<replay::ReplayOptions>("tavorin-replay", replay::kUsage, argc,
                                                         argv, replay::ParseReplayOptions);
    if (const int* status = std::get_if<int>(&started)) {
        return *status;
    }
    return Replay(std::get<replay::ReplayOptions>(started));
}
