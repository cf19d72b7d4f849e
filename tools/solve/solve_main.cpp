// Proves deals won or lost, with a shortest winning key sequence for each won one.

#include <chrono>
#include <ctime>
#include <iostream>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "platform/console/standard_streams.h"
#include "platform/console/terminal.h"
#include "solve/deal_report.h"
#include "solve/range_run.h"
#include "solve/solve_options.h"
#include "version/version.h"

int main(int argc, char** argv) {
    platform::UseBinaryStandardStreams();
    const auto parsed = solve::ParseSolveOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto* bad = std::get_if<solve::BadArgument>(&parsed)) {
        std::cerr << "tavorin-solve: " << bad->message << "\n"
                  << "Try 'tavorin-solve --help' for more.\n";
        return 2;
    }
    const auto& options = std::get<solve::SolveOptions>(parsed);
    if (options.help) {
        std::cout << solve::kUsage;
        return std::cout.flush() ? 0 : 1;
    }
    if (options.version) {
        std::cout << version::VersionText("tavorin-solve") << '\n';
        return std::cout.flush() ? 0 : 1;
    }

    solve::RangeSettings settings;
    settings.from = options.from;
    settings.count = options.count;
    settings.quick = options.quick;
    settings.threads =
        options.threads != 0 ? options.threads : std::max(std::thread::hardware_concurrency(), 1u);
    const bool showProgress = platform::StandardErrorIsTerminal();
    const auto started = std::chrono::steady_clock::now();
    const std::clock_t processorStarted = std::clock();
    solve::RangeSummary summary;
    bool progressShown = false;
    const auto clearProgress = [&] {
        if (progressShown) {
            std::cerr << "\r\033[K" << std::flush;
            progressShown = false;
        }
    };

    solve::DecideRange(
        settings,
        [&](const solve::DealResult& result) {
            summary.Add(result);
            if (!result.replayCleared) {
                clearProgress();
                std::cerr << "tavorin-solve: the keys found for " << result.time
                          << " do not clear the board in the game; not printed\n";
            }
            clearProgress();
            std::cout << (options.json ? solve::JsonLine(result) : solve::TextLine(result)) << '\n';
        },
        [&](uint64_t decided) {
            if (!showProgress) {
                return;
            }
            std::cout.flush();
            const std::chrono::duration<double> elapsed =
                std::chrono::steady_clock::now() - started;
            std::cerr << "\r\033[K" << decided << " of " << settings.count << " deals decided, "
                      << summary.won() << " won so far, " << static_cast<int>(elapsed.count())
                      << " s" << std::flush;
            progressShown = true;
        });
    clearProgress();

    if (options.range) {
        const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - started;
        const double processor =
            static_cast<double>(std::clock() - processorStarted) / CLOCKS_PER_SEC;
        std::cout << (options.json
                          ? summary.Json(wall.count(), processor) + "\n"
                          : summary.Text(options.quick, wall.count(), processor, settings.threads));
    }
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "tavorin-solve: could not write the output\n";
        return 1;
    }
    return summary.unverified() == 0 ? 0 : 1;
}
