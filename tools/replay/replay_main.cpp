// Plays the game headless from a list of keys and prints the position after each one.

#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
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
    const auto options =
        replay::ParseReplayOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options) {
        std::cerr << replay::kUsage << '\n';
        return 2;
    }
    if (options->version) {
        std::cout << version::VersionLine("tavorin-replay") << '\n';
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
    for (std::size_t i = 0; i < options->keys.size(); ++i) {
        const bool running = game.Play(options->keys[i]);
        print(options->keyNames[i]);
        if (!running) {
            break;
        }
    }
    std::cout.flush();
    if (options->meshPrefix && !replay::DumpMesh(game.game().mesh, *options->meshPrefix)) {
        std::cerr << "tavorin-replay: cannot write " << *options->meshPrefix
                  << ".vertices/.indices\n";
        return 1;
    }
    return std::cout ? 0 : 1;
}
