// Proves deals won or lost, with a shortest winning key sequence for each won one.

#include <algorithm>
#include <chrono>
#include <ctime>
#include <iostream>
#include <thread>
#include <variant>

#include "cli/tool_start.h"
#include "platform/console/terminal.h"
#include "solve/deal_report.h"
#include "solve/progress_line.h"
#include "solve/range_run.h"
#include "solve/solve_options.h"

namespace {

solve::RangeSettings SettingsFrom(const solve::SolveOptions& options) {
    solve::RangeSettings settings;
    settings.from = options.from;
    settings.count = options.count;
    settings.step = options.step;
    settings.quick = options.quick;
    settings.threads =
        options.threads != 0 ? options.threads : std::max(std::thread::hardware_concurrency(), 1u);
    return settings;
}

// The wall and processor time a range took, for its summary.
class Stopwatch {
  public:
    double WallSeconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_).count();
    }
    double ProcessorSeconds() const {
        return static_cast<double>(std::clock() - processor_) / CLOCKS_PER_SEC;
    }

  private:
    std::chrono::steady_clock::time_point wall_ = std::chrono::steady_clock::now();
    std::clock_t processor_ = std::clock();
};

int Solve(const solve::SolveOptions& options) {
    const solve::RangeSettings settings = SettingsFrom(options);
    const Stopwatch stopwatch;
    solve::RangeSummary summary;
    solve::ProgressLine progress(settings.count, platform::StandardErrorIsTerminal());
    const auto emit = [&](const solve::DealResult& result) {
        summary.Add(result);
        progress.Clear();
        if (!result.replayCleared) {
            std::cerr << "tavorin-solve: the keys found for " << result.time
                      << " do not clear the board in the game; not printed\n";
        }
        std::cout << (options.json ? solve::JsonLine(result) : solve::TextLine(result)) << '\n';
    };
    solve::DecideRange(settings, emit,
                       [&](uint64_t decided) { progress.Show(decided, summary.won()); });
    progress.Clear();

    if (options.range) {
        const double wall = stopwatch.WallSeconds();
        const double processor = stopwatch.ProcessorSeconds();
        std::cout << (options.json
                          ? summary.Json(wall, processor) + "\n"
                          : summary.Text(options.quick, wall, processor, settings.threads));
    }
    if (!std::cout.flush()) {
        std::cerr << "tavorin-solve: could not write the output\n";
        return 1;
    }
    return summary.unverified() == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    auto started = cli::StartTool<solve::SolveOptions>("tavorin-solve", solve::kUsage, argc, argv,
                                                       solve::ParseSolveOptions);
    if (const int* status = std::get_if<int>(&started)) {
        return *status;
    }
    return Solve(std::get<solve::SolveOptions>(started));
}
