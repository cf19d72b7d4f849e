#pragma once

// The Windows build's game in a real window under Wine, for the tests: started from its own
// folder, keys through xdotool, frames captured by window id and measured in back-buffer
// coordinates.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <optional>
#include <string>

#include "board_check.h"
#include "wine_session.h"

namespace wine_test {

using namespace std::chrono_literals;
using e2e::Capture;
using e2e::Rgb;

inline const std::string kWindowsDir = TAVORIN_WINDOWS_DIR;
// The clock second the board tests start the game on (--time), so that no test races the clock.
inline constexpr int64_t kDealSecond = 1700000000;

// The client area is the black rectangle inside Wine's own frame: found from a menu frame.
inline ClientArea FindClientArea(const Capture& shot) {
    ClientArea area;
    const int row = shot.height / 2, column = 100;
    int right = 0, bottom = 0;
    for (int x = 0; x < shot.width; ++x) {
        if (e2e::IsBlack(shot.At(x, row))) {
            area.left = area.left ? area.left : x;
            right = x + 1;
        }
    }
    for (int y = 0; y < shot.height; ++y) {
        if (e2e::IsBlack(shot.At(column, y))) {
            area.top = area.top ? area.top : y;
            bottom = y + 1;
        }
    }
    area.width = right - area.left;
    area.height = bottom - area.top;
    return area;
}

class WineGameTest : public ::testing::Test, protected WindowDriver {
  protected:
    WineGameTest() : WindowDriver(FindClientArea, 1200, 20s) {}

    void SetUp() override {
        if (!e2e::HaveProgram("Xvfb") || !e2e::HaveProgram("xdotool") ||
            !e2e::HaveProgram("import") || access(kWine, X_OK) != 0) {
            GTEST_SKIP() << "needs Xvfb, xdotool, imagemagick and wine64";
        }
        if (access((kWindowsDir + "/tavorin.exe").c_str(), R_OK) != 0) {
            if (std::getenv("TAVORIN_REQUIRE_WINDOWS")) {
                FAIL() << "no Windows build in " << kWindowsDir;
            }
            GTEST_SKIP() << "no Windows build in " << kWindowsDir
                         << " (cmake --preset windows && cmake --build --preset windows)";
        }
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_TRUE(prefix_.CopyFrom(TAVORIN_WINE_TEMPLATE, work_ + "/prefix-" + name));
        ASSERT_TRUE(display_.Start());
    }

    void TearDown() override {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            e2e::WaitForExit(pid_, 5s);
        }
    }

    // Starts the game from its own folder, as Explorer would; `environment` adds variables.
    void Start(const std::string& environment = "", const std::string& arguments = "",
               const std::string& title = "Tavorin") {
        pid_ =
            e2e::Spawn("cd '" + kWindowsDir + "' && exec " + prefix_.Environment(display_.name()) +
                       environment + " " + kWine + " tavorin.exe " + arguments);
        window_ = e2e::FindWindow(display_.name(), title, 60s);
        ASSERT_FALSE(window_.empty()) << "no window appeared";
    }

    // The expected board after `keys`, played from clock second `time` by the Linux build.
    Picture Expected(int64_t time, const std::string& keys) {
        const std::string dump = work_ + "/mesh";
        e2e::Output("'" TAVORIN_REPLAY "' --time " + std::to_string(time) + " --dump-mesh '" +
                    dump + "' " + keys + " >/dev/null");
        Picture picture;
        EXPECT_TRUE(DrawMesh(dump, picture)) << "no mesh for " << keys;
        return picture;
    }

    std::optional<int> Exit() {
        const auto status = e2e::WaitForExit(pid_, 30s);
        pid_ = -1;
        return status;
    }

    // The rules page: the board gone, the text there.
    Capture RulesShot() {
        return ShotWhen([this](const Capture& s) {
            return Count(s, area_, 0, 320, 1280, 768, IsLit) == 0 &&
                   Count(s, area_, 30, 230, 780, 290, IsLit) > 300;
        });
    }

    // Waits for the board the replay gives after `keys` from clock second `time`, saving
    // both pictures when it never comes.
    void ExpectBoard(int64_t time, const std::string& keys) {
        SCOPED_TRACE(keys);
        const Picture expected = Expected(time, keys);
        const Capture shot = ShotWhen(
            [this, &expected](const Capture& s) { return Mismatches(s, area_, expected) < 50; });
        EXPECT_LT(Mismatches(shot, area_, expected), 50);
        if (HasFailure()) {
            Save(work_ + "/expected.ppm", expected);
            Save(work_ + "/shown.ppm", shot);
        }
    }

    std::string work_ = TAVORIN_WINE_WORK;
    WinePrefix prefix_;
    pid_t pid_ = -1;
};

}  // namespace wine_test
