// Measures how the Windows build paces its frame loop: runs the real game session on the
// menu (or, with --board, on a dealt board) for a number of passes and prints the passes
// per second and the spread of the pass lengths. A probe for people, not a test: its
// numbers depend on the display and the machine.
//
//   tavorin_pacing_probe.exe [--board] [passes]

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/win32/windows_headers.h"
// The game's headers after the system's: none of their names may be a macro there.
#include "app/game_session.h"
#include "platform/win32/win32_backend.h"
#include "platform/win32/win32_window.h"

namespace {

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to, const LARGE_INTEGER& rate) {
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(rate.QuadPart);
}

void Report(std::vector<double> lengths, double total) {
    double sum = 0;
    for (const double length : lengths) {
        sum += length;
    }
    const double mean = sum / static_cast<double>(lengths.size());
    double squares = 0;
    for (const double length : lengths) {
        squares += (length - mean) * (length - mean);
    }
    std::sort(lengths.begin(), lengths.end());
    const auto at = [&lengths](double share) {
        return lengths[static_cast<size_t>(share * static_cast<double>(lengths.size() - 1))];
    };
    std::printf("passes %zu in %.3f s: %.1f passes/s\n", lengths.size(), total,
                static_cast<double>(lengths.size()) / total);
    std::printf(
        "pass length ms: mean %.3f sd %.3f min %.3f p1 %.3f median %.3f p99 %.3f max %.3f\n",
        mean * 1e3, std::sqrt(squares / static_cast<double>(lengths.size())) * 1e3,
        lengths.front() * 1e3, at(0.01) * 1e3, at(0.5) * 1e3, at(0.99) * 1e3, lengths.back() * 1e3);
}

}  // namespace

int main(int argc, char** argv) {
    bool board = false;
    int passes = 600;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--board") == 0) {
            board = true;
        } else {
            passes = std::max(10, std::atoi(argv[i]));
        }
    }
    platform::win32::LoadD3dx();
    const auto system = platform::win32::CreateWin32System();
    app::GameSession session(*system);
    if (!session.running()) {
        std::fprintf(stderr, "the game did not start\n");
        return 1;
    }
    if (board) {
        // S, as the player would press it: the next passes deal and draw the board.
        ::PostMessageA(platform::win32::HandleOf(session.application.window.get()), WM_KEYDOWN, 'S',
                       0);
    }
    LARGE_INTEGER rate, start, before, after;
    ::QueryPerformanceFrequency(&rate);
    for (int i = 0; i < 30; ++i) {  // the first passes set things up: not measured
        session.Pass();
    }
    std::vector<double> lengths;
    ::QueryPerformanceCounter(&start);
    before = start;
    for (int i = 0; i < passes && session.running(); ++i) {
        session.Pass();
        ::QueryPerformanceCounter(&after);
        lengths.push_back(Seconds(before, after, rate));
        before = after;
    }
    Report(lengths, Seconds(start, before, rate));
    return 0;
}
