// The real game in a real window: keys through xdotool, frames captured and checked at the
// screen positions the projection gives.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "x_session.h"

namespace {

using namespace std::chrono_literals;

constexpr float kCotHalfFov = 2.4142134f;  // 1 / tan(0.785398 / 2)
constexpr float kAspect = 5.0f / 3.0f;
constexpr float kDepth = 40.0f;

class GameWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!e2e::HaveProgram("Xvfb") || !e2e::HaveProgram("xdotool") ||
            !e2e::HaveProgram("import")) {
            GTEST_SKIP() << "needs Xvfb, xdotool and imagemagick";
        }
        if (WithManager() && !e2e::HaveProgram("openbox")) {
            GTEST_SKIP() << "needs openbox";
        }
        ASSERT_TRUE(display_.Start());
        if (WithManager()) {
            manager_ = e2e::Spawn({"/usr/bin/env", "openbox"}, "/", {"DISPLAY=" + display_.name()});
            ASSERT_GT(manager_, 0);
            // Ready once it has announced itself on the root window.
            for (int i = 0;
                 i < 100 &&
                 Run("xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") == std::string::npos;
                 ++i) {
                std::this_thread::sleep_for(100ms);
            }
        }
        dir_ = std::filesystem::temp_directory_path() / ("tavorin-e2e-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
        // The cursor image is read from the working directory; without it the game goes on.
        std::error_code noImage;
        std::filesystem::copy_file(TAVORIN_ASSETS "/arrow.bmp", dir_ / "arrow.bmp",
                                   std::filesystem::copy_options::overwrite_existing, noImage);
        pid_ = e2e::Spawn({TAVORIN_EXE}, dir_.string(), {"DISPLAY=" + display_.name()});
        ASSERT_GT(pid_, 0);
        window_ = e2e::FindWindow(display_.name(), "Tavorin", 20s);
        ASSERT_FALSE(window_.empty()) << "the game window never appeared";
        Run("xdotool windowfocus --sync " + window_);
        Settle();
    }

    void TearDown() override {
        for (pid_t child : {pid_, manager_}) {
            if (child > 0) {
                kill(child, SIGKILL);
                e2e::WaitForExit(child, 5s);
            }
        }
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    std::string Run(const std::string& command) { return e2e::RunOn(display_.name(), command); }

    // A few frames at 60 Hz, and more for llvmpipe under a sanitizer.
    static void Settle() { std::this_thread::sleep_for(600ms); }

    void Press(const std::string& key) {
        Run("xdotool key --clearmodifiers " + key);
        Settle();
    }

    // Captures until the picture shows what a key should have brought, for a slow machine;
    // the checks that follow then look at it in detail.
    template <typename Shows>
    e2e::Capture ShotWhen(Shows shows) {
        const auto end = std::chrono::steady_clock::now() + 15s;
        e2e::Capture capture;
        while (std::chrono::steady_clock::now() < end) {
            if (e2e::CaptureWindow(display_.name(), window_, capture) && shows(capture)) {
                break;
            }
            std::this_thread::sleep_for(200ms);
        }
        return capture;
    }

    e2e::Capture BoardShot(int dealt) {
        return ShotWhen([dealt](const e2e::Capture& shot) {
            return e2e::IsWhite(TableSlot(shot, 0, 4 + dealt)) &&
                   e2e::IsBlack(TableSlot(shot, 0, 5 + dealt));
        });
    }

    // A point of the board at depth 40, in window pixels.
    static e2e::Rgb AtWorld(const e2e::Capture& shot, float x, float y) {
        const float backX = 640.0f * (1.0f + x * kCotHalfFov / (kDepth * kAspect));
        const float backY = 384.0f * (1.0f - y * kCotHalfFov / kDepth);
        return shot.At(static_cast<int>(std::lround(backX * shot.width / 1280.0f)),
                       static_cast<int>(std::lround(backY * shot.height / 768.0f)));
    }

    // A point of a tile body away from its pips.
    static e2e::Rgb TableSlot(const e2e::Capture& shot, int row, int position) {
        return AtWorld(shot, position * 2.5f - 20.0f + 0.95f, 12.0f - row * 4.375f + 0.5f);
    }
    static e2e::Rgb StockSlot(const e2e::Capture& shot, int place) {
        return AtWorld(shot, place * 2.5f - 20.0f + 0.95f, -10.75f + 0.5f);
    }

    // Pixels of a colour inside a back-buffer rectangle.
    static int Count(const e2e::Capture& shot, int left, int top, int right, int bottom,
                     bool (*colour)(e2e::Rgb)) {
        int count = 0;
        const int y0 = top * shot.height / 768;
        const int y1 = bottom * shot.height / 768;
        for (int y = y0; y < y1; ++y) {
            for (int x = left; x < std::min(right, shot.width); ++x) {
                count += colour(shot.At(x, y)) ? 1 : 0;
            }
        }
        return count;
    }

    void ExpectOpeningBoard(const e2e::Capture& shot, int dealt) {
        for (int row = 0; row < 5; ++row) {
            for (int position = 0; position < 19; ++position) {
                const bool tile = position < 5 + dealt;
                EXPECT_EQ(e2e::IsWhite(TableSlot(shot, row, position)), tile)
                    << "row " << row << " position " << position;
                EXPECT_EQ(e2e::IsBlack(TableSlot(shot, row, position)), !tile)
                    << "row " << row << " position " << position;
            }
        }
    }

    virtual bool WithManager() const { return false; }

    long ProcessorTicks() {
        std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
        std::string field;
        long total = 0;
        for (int i = 1; i <= 15 && stat >> field; ++i) {
            if (i == 14 || i == 15) {
                total += std::stol(field);
            }
        }
        return total;
    }

    // Cores' worth of processor time the game takes over a while.
    double CoresUsed(std::chrono::milliseconds span) {
        const long start = ProcessorTicks();
        std::this_thread::sleep_for(span);
        return static_cast<double>(ProcessorTicks() - start) / sysconf(_SC_CLK_TCK) /
               std::chrono::duration<double>(span).count();
    }

    e2e::XvfbDisplay display_;
    std::filesystem::path dir_;
    pid_t manager_ = -1;
    pid_t pid_ = -1;
    std::string window_;
};

TEST_F(GameWindowTest, OpensItsWindowAtItsPlaceAndSize) {
    const std::string geometry = Run("xdotool getwindowgeometry " + window_);
    EXPECT_NE(geometry.find("Position: 30,30"), std::string::npos) << geometry;
    EXPECT_NE(geometry.find("Geometry: 1280x760"), std::string::npos) << geometry;
}

TEST_F(GameWindowTest, MenuShowsThreeRedLabelsAndNothingElse) {
    const e2e::Capture shot = ShotWhen(
        [](const e2e::Capture& shot) { return Count(shot, 950, 600, 1280, 650, e2e::IsRed) > 0; });
    ASSERT_EQ(shot.width, 1280);
    // Each label's text starts at its rectangle's left and is 40 pixels high.
    EXPECT_GT(Count(shot, 300, 600, 550, 650, e2e::IsRed), 200) << "Start";
    EXPECT_GT(Count(shot, 550, 600, 950, 650, e2e::IsRed), 200) << "Tutorial";
    EXPECT_GT(Count(shot, 950, 600, 1280, 650, e2e::IsRed), 200) << "Quit";
    EXPECT_EQ(Count(shot, 0, 0, 1280, 600, e2e::IsRed), 0);
    EXPECT_EQ(Count(shot, 0, 650, 1280, 768, e2e::IsRed), 0);
    EXPECT_EQ(Count(shot, 0, 0, 1280, 768, e2e::IsWhite), 0) << "no tiles on the menu";
}

TEST_F(GameWindowTest, StartLaysOutFiveRowsDealFillsASixthAndEscQuits) {
    Press("s");
    e2e::Capture shot = BoardShot(0);
    ExpectOpeningBoard(shot, 0);
    for (int place = 0; place < 5; ++place) {
        EXPECT_TRUE(e2e::IsWhite(StockSlot(shot, place))) << "stock " << place;
    }
    EXPECT_EQ(Count(shot, 0, 0, 1280, 768, e2e::IsRed) > 0, true) << "red pips";

    Press("d");
    shot = BoardShot(1);
    ExpectOpeningBoard(shot, 1);
    // Five of the seven stock tiles went out: two are left, in the last places.
    for (int place = 0; place < 5; ++place) {
        EXPECT_EQ(e2e::IsWhite(StockSlot(shot, place)), place >= 3) << "stock " << place;
    }

    Run("xdotool key Escape");
    EXPECT_EQ(e2e::WaitForExit(pid_, 20s), std::optional<int>(27));
    pid_ = -1;
}

TEST_F(GameWindowTest, RulesPageShowsWhiteTextAndLeavesForTheBoard) {
    Press("t");
    e2e::Capture shot = ShotWhen(
        [](const e2e::Capture& shot) { return Count(shot, 30, 230, 780, 290, e2e::IsWhite) > 0; });
    EXPECT_GT(Count(shot, 30, 30, 780, 70, e2e::IsWhite), 300) << "first heading";
    EXPECT_GT(Count(shot, 30, 70, 780, 130, e2e::IsWhite), 600) << "first paragraph";
    EXPECT_GT(Count(shot, 30, 190, 780, 230, e2e::IsWhite), 300) << "second heading";
    EXPECT_GT(Count(shot, 30, 230, 780, 290, e2e::IsWhite), 600) << "second paragraph";
    // Wrapped within 750 pixels, and nothing else on the page.
    EXPECT_EQ(Count(shot, 782, 0, 1280, 768, e2e::IsWhite), 0);
    EXPECT_EQ(Count(shot, 0, 320, 1280, 768, e2e::IsWhite), 0) << "no tiles";
    EXPECT_EQ(Count(shot, 0, 0, 1280, 768, e2e::IsRed), 0);

    Press("s");
    ExpectOpeningBoard(BoardShot(0), 0);
    Press("t");
    shot = ShotWhen(
        [](const e2e::Capture& shot) { return Count(shot, 30, 30, 780, 70, e2e::IsWhite) > 0; });
    EXPECT_EQ(Count(shot, 0, 320, 1280, 768, e2e::IsWhite), 0) << "no tiles over the rules";
    Press("n");
    ExpectOpeningBoard(BoardShot(0), 0);
}

TEST_F(GameWindowTest, BoardComesBackUnchangedAfterTheWindowWasHidden) {
    Press("s");
    const e2e::Capture before = BoardShot(0);
    ExpectOpeningBoard(before, 0);
    Run("xdotool windowunmap --sync " + window_);
    Settle();
    Run("xdotool windowmap --sync " + window_);
    Settle();
    const e2e::Capture after = BoardShot(0);
    ExpectOpeningBoard(after, 0);
    EXPECT_EQ(before.rgb, after.rgb);
}

TEST_F(GameWindowTest, MenuTextComesBackAfterTheWindowWasHidden) {
    const auto labels = [](const e2e::Capture& shot) {
        return Count(shot, 300, 600, 1280, 650, e2e::IsRed);
    };
    const int before = labels(ShotWhen([&](const e2e::Capture& s) { return labels(s) > 0; }));
    Run("xdotool windowunmap --sync " + window_);
    Settle();
    Run("xdotool windowmap --sync " + window_);
    // The menu's font was told of the reset and draws the same labels again.
    EXPECT_EQ(labels(ShotWhen([&](const e2e::Capture& s) { return labels(s) == before; })), before);
}

TEST_F(GameWindowTest, AltF4ClosesTheGame) {
    Press("s");
    Run("xdotool key alt+F4");
    // The last message taken is the system key-down of F4 that closed the window.
    EXPECT_EQ(e2e::WaitForExit(pid_, 20s), std::optional<int>(0x73));
    pid_ = -1;
}

TEST_F(GameWindowTest, AskedToEndItClosesAsByTheCloseBox) {
    kill(pid_, SIGTERM);
    EXPECT_EQ(e2e::WaitForExit(pid_, 20s), std::optional<int>(0));
    pid_ = -1;
}

TEST_F(GameWindowTest, ShownMenuCostsLittleProcessorTime) {
    // Paced to the display rate: about half a core of software drawing, where a loop left
    // to spin takes both.
    EXPECT_LT(CoresUsed(2s), 1.0);
}

TEST(GameWithoutDisplay, SaysWhyOnStandardErrorAndEnds) {
    FILE* game = popen("env -u DISPLAY -u WAYLAND_DISPLAY '" TAVORIN_EXE "' 2>&1", "r");
    ASSERT_NE(game, nullptr);
    std::string out;
    char buffer[512];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, game)) > 0) {
        out.append(buffer, n);
    }
    const int status = pclose(game);
    EXPECT_NE(out.find("InitD3D(): Direct3DCreate9() failed!\n"), std::string::npos) << out;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

// Under a window manager: a frame around the client area, a close box, a minimise box.
class ManagedGameWindowTest : public GameWindowTest {
  protected:
    bool WithManager() const override { return true; }
};

TEST_F(ManagedGameWindowTest, FrameSitsWhereAskedAndTheClientFillsIt) {
    // _NET_FRAME_EXTENTS(CARDINAL) = left, right, top, bottom
    const std::string extents = Run("xprop -id " + window_ + " _NET_FRAME_EXTENTS");
    int left = 0, right = 0, top = 0, bottom = 0;
    ASSERT_EQ(std::sscanf(extents.c_str(), "%*[^=]= %d, %d, %d, %d", &left, &right, &top, &bottom),
              4)
        << extents;
    EXPECT_GT(top, 0);
    // xwininfo counts from the screen's corner, through the frame.
    const std::string info = Run("xwininfo -id " + window_);
    const auto field = [&info](const std::string& name) {
        const size_t at = info.find(name);
        return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + name.size());
    };
    EXPECT_EQ(field("Absolute upper-left X:"), 30 + left);
    EXPECT_EQ(field("Absolute upper-left Y:"), 30 + top);
    EXPECT_EQ(field("Width:"), 1280 - left - right);
    EXPECT_EQ(field("Height:"), 760 - top - bottom);
    EXPECT_EQ(Run("xprop -id " + window_ + " _NET_WM_ALLOWED_ACTIONS").find("MAXIMIZE"),
              std::string::npos)
        << "no maximise";
}

TEST_F(ManagedGameWindowTest, ClosingTheWindowEndsTheGame) {
    Press("s");
    // The manager takes Alt+F4 itself and asks the window to close, as its close box does.
    Run("xdotool key alt+F4");
    EXPECT_EQ(e2e::WaitForExit(pid_, 20s), std::optional<int>(0));
    pid_ = -1;
}

TEST_F(ManagedGameWindowTest, MinimisedGameRestsAndComesBackWithItsBoard) {
    Press("s");
    const e2e::Capture before = BoardShot(0);
    ExpectOpeningBoard(before, 0);
    Run("xdotool windowminimize --sync " + window_);
    Settle();
    EXPECT_LT(CoresUsed(1s), 0.2) << "nothing is drawn while minimised";
    Run("xdotool windowactivate --sync " + window_);
    const e2e::Capture after = BoardShot(0);
    ExpectOpeningBoard(after, 0);
    EXPECT_EQ(before.rgb, after.rgb);
}

}  // namespace
