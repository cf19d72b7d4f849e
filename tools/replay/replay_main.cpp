// Plays the game headless from a list of keys and prints the position after each one.

#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <variant>
#include <vector>

#include "headless/headless_game.h"
#include "platform/console/standard_streams.h"
#include "replay/mesh_dump.h"
#include "replay/position_format.h"
#include "replay/replay_options.h"
#include "version/version.h"

namespace {

int64_t RealClock() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace

int main(int argc, char** argv) {
    platform::UseBinaryStandardStreams();
    const auto parsed = replay::ParseReplayOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto* bad = std::get_if<replay::BadArgument>(&parsed)) {
        std::cerr << "tavorin-replay: " << bad->message << "\n"
                  << "Try 'tavorin-replay --help' for more.\n";
        return 2;
    }
    const replay::ReplayOptions* options = &std::get<replay::ReplayOptions>(parsed);
    if (options->help) {
        std::cout << replay::kUsage;
        return std::cout.flush() ? 0 : 1;
    }
    if (options->version) {
        std::cout << version::VersionText("tavorin-replay") << '\n';
        return std::cout.flush() ? 0 : 1;
    }
    const auto time = options->time;
    headless::HeadlessGame game([time] { return time ? *time : RealClock(); });

    const auto print = [&](const std::string& key) {
        const auto& board = game.game().board;
        std::cout << (options->text ? replay::PositionText(key, game.flow(), board) + "\n"
                                    : replay::PositionJson(key, game.flow(), board) + "\n");
    };
    print("");
    std::size_t played = 0;
    while (played < options->keys.size()) {
        const bool running = game.Play(options->keys[played]);
        print(options->keyNames[played++]);
        if (!running) {
            break;
        }
    }
    std::cout.flush();
    if (played < options->keys.size()) {
        // The window is gone, as it would be for a player; say so rather than drop them.
        std::cerr << "tavorin-replay: " << options->keyNames[played - 1]
                  << " closed the window; not played:";
        for (std::size_t i = played; i < options->keys.size(); ++i) {
            std::cerr << ' ' << options->keyNames[i];
        }
        std::cerr << '\n';
    }
    if (options->meshPrefix && !replay::DumpMesh(game.game().mesh, *options->meshPrefix)) {
        std::cerr << "tavorin-replay: cannot write " << *options->meshPrefix
                  << ".vertices/.indices\n";
        return 1;
    }
    return std::cout ? 0 : 1;
}
