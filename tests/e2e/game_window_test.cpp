// The real game in a real window: keys through xdotool, frames captured and checked at the
// screen positions the projection gives.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>

#include "../wine/board_check.h"
#include "x_session.h"

namespace {

using namespace std::chrono_literals;
using e2e::Capture;

// A point of the board at depth 40 (fov 0.785398, aspect 5/3), in window pixels.
e2e::Rgb AtWorld(const Capture& shot, float x, float y) {
    constexpr float kCotHalfFov = 2.4142134f;
    const float backX = 640.0f * (1.0f + x * kCotHalfFov / (40.0f * 5.0f / 3.0f));
    const float backY = 384.0f * (1.0f - y * kCotHalfFov / 40.0f);
    return shot.At(static_cast<int>(std::lround(backX * shot.width / 1280.0f)),
                   static_cast<int>(std::lround(backY * shot.height / 768.0f)));
}

// A point of a tile body away from its pips; row -1 is the stock.
e2e::Rgb Slot(const Capture& shot, int row, int position) {
    const float y = row < 0 ? -10.75f : 12.0f - row * 4.375f;
    return AtWorld(shot, position * 2.5f - 20.0f + 0.95f, y + 0.5f);
}

// Pixels of a colour inside a back-buffer rectangle.
int Count(const Capture& shot, int left, int top, int right, int bottom, bool (*colour)(e2e::Rgb)) {
    int count = 0;
    for (int y = top * shot.height / 768; y < bottom * shot.height / 768; ++y) {
        for (int x = left; x < std::min(right, shot.width); ++x) {
            count += colour(shot.At(x, y)) ? 1 : 0;
        }
    }
    return count;
}

int MenuLabels(const Capture& shot) {
    return Count(shot, 300, 600, 1280, 650, e2e::IsRed);
}

// Five rows of five tiles and a stock of seven, in five places; a deal moves five of them.
void ExpectBoard(const Capture& shot, int dealt) {
    for (int row = -1; row < 5; ++row) {
        for (int position = 0; position < (row < 0 ? 5 : 19); ++position) {
            SCOPED_TRACE("row " + std::to_string(row) + " position " + std::to_string(position));
            const bool tile = row < 0 ? position >= 3 * dealt : position < 5 + dealt;
            EXPECT_EQ(e2e::IsWhite(Slot(shot, row, position)), tile);
            EXPECT_EQ(e2e::IsBlack(Slot(shot, row, position)), !tile);
        }
    }
}

class GameWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!e2e::HaveProgram("Xvfb") || !e2e::HaveProgram("xdotool") ||
            !e2e::HaveProgram("import") || (WithManager() && !e2e::HaveProgram("openbox"))) {
            GTEST_SKIP() << "needs Xvfb, xdotool, imagemagick (and openbox)";
        }
        ASSERT_TRUE(display_.Start());
        const std::string display = "exec env DISPLAY=" + display_.name() + " ";
        if (WithManager()) {
            manager_ = e2e::Spawn(display + "openbox");
            // Ready once it has announced itself on the root window.
            for (int i = 0;
                 i < 100 &&
                 Run("xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") == std::string::npos;
                 ++i) {
                std::this_thread::sleep_for(100ms);
            }
        }
        // The cursor image is read from the working directory.
        pid_ = e2e::Spawn("cd '" + WorkingFolder() + "' && " + display + "'" TAVORIN_EXE "' " +
                          Arguments());
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
    }

    virtual bool WithManager() const { return false; }
    virtual std::string Arguments() const { return ""; }
    virtual std::string WorkingFolder() { return TAVORIN_ASSETS; }

    std::string Helper(const std::string& arguments) {
        return "exec env DISPLAY=" + display_.name() + " '" TAVORIN_X_HELPER "' " + arguments;
    }

    std::string Run(const std::string& command) { return e2e::RunOn(display_.name(), command); }

    // A few frames at 60 Hz, and more for llvmpipe under a sanitizer.
    static void Settle() { std::this_thread::sleep_for(600ms); }

    void Press(const std::string& key) {
        Run("xdotool key --clearmodifiers " + key);
        Settle();
    }

    void HideAndShow() {
        Run("xdotool windowunmap --sync " + window_);
        Settle();
        Run("xdotool windowmap --sync " + window_);
    }

    // Captures until the picture shows what a key should have brought, for a slow machine.
    template <typename Shows>
    Capture ShotWhen(Shows shows) {
        const auto end = std::chrono::steady_clock::now() + 15s;
        Capture capture;
        while (std::chrono::steady_clock::now() < end) {
            if (e2e::CaptureWindow(display_.name(), window_, capture) && shows(capture)) {
                break;
            }
            std::this_thread::sleep_for(200ms);
        }
        return capture;
    }

    Capture BoardShot(int dealt) {
        return ShotWhen([dealt](const Capture& shot) {
            return e2e::IsWhite(Slot(shot, 0, 4 + dealt)) && e2e::IsBlack(Slot(shot, 0, 5 + dealt));
        });
    }

    // Cores' worth of processor time the game takes over a while.
    double CoresUsed(std::chrono::milliseconds span) {
        const auto ticks = [this] {
            std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
            std::string field;
            long total = 0;
            for (int i = 1; i <= 15 && stat >> field; ++i) {
                total += i >= 14 ? std::stol(field) : 0;  // user and system time
            }
            return total;
        };
        const long start = ticks();
        std::this_thread::sleep_for(span);
        return static_cast<double>(ticks() - start) / sysconf(_SC_CLK_TCK) /
               std::chrono::duration<double>(span).count();
    }

    void ExpectExit(std::optional<int> status) {
        EXPECT_EQ(e2e::WaitForExit(pid_, 20s), status);
        pid_ = -1;
    }

    e2e::XvfbDisplay display_;
    pid_t manager_ = -1;
    pid_t pid_ = -1;
    std::string window_;
};

TEST_F(GameWindowTest, MenuShowsThreeRedLabelsCheaplyAndAgainAfterHiding) {
    const std::string geometry = Run("xdotool getwindowgeometry " + window_);
    EXPECT_NE(geometry.find("Position: 30,30"), std::string::npos) << geometry;
    EXPECT_NE(geometry.find("Geometry: 1280x760"), std::string::npos) << geometry;

    const Capture shot = ShotWhen(
        [](const Capture& shot) { return Count(shot, 950, 600, 1280, 650, e2e::IsRed) > 0; });
    ASSERT_EQ(shot.width, 1280);
    // Each label's text starts at its rectangle's left and is 40 pixels high.
    EXPECT_GT(Count(shot, 300, 600, 550, 650, e2e::IsRed), 200) << "Start";
    EXPECT_GT(Count(shot, 550, 600, 950, 650, e2e::IsRed), 200) << "Tutorial";
    EXPECT_GT(Count(shot, 950, 600, 1280, 650, e2e::IsRed), 200) << "Quit";
    EXPECT_EQ(Count(shot, 0, 0, 1280, 768, e2e::IsRed), MenuLabels(shot));
    EXPECT_EQ(Count(shot, 0, 0, 1280, 768, e2e::IsWhite), 0) << "no tiles on the menu";

    // A still menu is not drawn again, only paced to the display: next to nothing, where
    // drawing it every frame takes half a core and a loop left to spin both.
    EXPECT_LT(CoresUsed(2s), 0.25);

    // The font is told of the device's reset and draws the same labels again.
    HideAndShow();
    const int before = MenuLabels(shot);
    EXPECT_EQ(MenuLabels(ShotWhen([&](const Capture& s) { return MenuLabels(s) == before; })),
              before);
}

TEST_F(GameWindowTest, StartLaysOutFiveRowsDealFillsASixthAndEscQuits) {
    Press("s");
    const Capture start = BoardShot(0);
    ExpectBoard(start, 0);
    EXPECT_GT(Count(start, 0, 0, 1280, 768, e2e::IsRed), 0) << "red pips";

    HideAndShow();
    Settle();
    EXPECT_EQ(BoardShot(0).rgb, start.rgb) << "the board comes back unchanged";

    Press("d");
    ExpectBoard(BoardShot(1), 1);

    Run("xdotool key Escape");
    ExpectExit(27);
}

TEST_F(GameWindowTest, RulesPageShowsWhiteTextAndLeavesForTheBoard) {
    Press("t");
    Capture shot = ShotWhen(
        [](const Capture& shot) { return Count(shot, 30, 230, 780, 290, e2e::IsWhite) > 0; });
    EXPECT_GT(Count(shot, 30, 30, 780, 70, e2e::IsWhite), 300) << "first heading";
    EXPECT_GT(Count(shot, 30, 70, 780, 130, e2e::IsWhite), 600) << "first paragraph";
    EXPECT_GT(Count(shot, 30, 190, 780, 230, e2e::IsWhite), 300) << "second heading";
    EXPECT_GT(Count(shot, 30, 230, 780, 290, e2e::IsWhite), 600) << "second paragraph";
    // Wrapped within 750 pixels, and nothing else on the page.
    EXPECT_EQ(Count(shot, 782, 0, 1280, 768, e2e::IsWhite), 0);
    EXPECT_EQ(Count(shot, 0, 320, 1280, 768, e2e::IsWhite), 0) << "no tiles";
    EXPECT_EQ(Count(shot, 0, 0, 1280, 768, e2e::IsRed), 0);

    Press("s");
    ExpectBoard(BoardShot(0), 0);
    Press("t");
    shot = ShotWhen(
        [](const Capture& shot) { return Count(shot, 30, 30, 780, 70, e2e::IsWhite) > 0; });
    EXPECT_EQ(Count(shot, 0, 320, 1280, 768, e2e::IsWhite), 0) << "no tiles over the rules";
    Press("n");
    ExpectBoard(BoardShot(0), 0);

    // Asked to end, it closes as by the close box.
    kill(pid_, SIGTERM);
    ExpectExit(0);
}

TEST_F(GameWindowTest, StillBoardRedrawsForAKeyAndWhenUncovered) {
    Press("s");
    const Capture board = BoardShot(0);
    ExpectBoard(board, 0);
    // Long still, then another window over the game's and gone again: the board is back.
    std::this_thread::sleep_for(3s);
    const pid_t cover = e2e::Spawn(Helper("window Cover 0 0 1600 1000"));
    ASSERT_FALSE(e2e::FindWindow(display_.name(), "Cover", 10s).empty());
    kill(cover, SIGKILL);
    e2e::WaitForExit(cover, 5s);
    EXPECT_EQ(BoardShot(0).rgb, board.rgb);
    // And a key after all that stillness changes the picture.
    std::this_thread::sleep_for(3s);
    Press("d");
    ExpectBoard(BoardShot(1), 1);
}

TEST_F(GameWindowTest, WindowDestroyedByAnotherClientEndsTheGameInOrder) {
    Run("'" TAVORIN_X_HELPER "' destroy " + window_);
    // Through WM_DESTROY and the usual teardown: the status of the last message taken, none.
    ExpectExit(0);
}

// A named pipe called "arrow.bmp" in the working folder.
class OddCursorFileTest : public GameWindowTest {
  protected:
    std::string WorkingFolder() override {
        folder_ =
            std::filesystem::temp_directory_path() / ("tavorin-fifo-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_);
        mkfifo((folder_ / "arrow.bmp").c_str(), 0600);
        return folder_;
    }
    void TearDown() override {
        GameWindowTest::TearDown();
        std::filesystem::remove_all(folder_);
    }
    std::filesystem::path folder_;
};

TEST_F(OddCursorFileTest, NamedPipeForCursorImageIsPassedOver) {
    EXPECT_GT(MenuLabels(ShotWhen([](const Capture& s) { return MenuLabels(s) > 0; })), 600);
    Run("xdotool key Escape");
    ExpectExit(27);
}

// Started on a census deal: the first deal is that second's, as tavorin-replay plays it.
class FixedDealTest : public GameWindowTest {
  protected:
    static constexpr int64_t kSecond = 1700000000;
    std::string Arguments() const override { return "--time " + std::to_string(kSecond); }

    wine_test::Picture Expected(const std::string& keys) {
        const std::string dump =
            ::testing::TempDir() + "tavorin-e2e-mesh-" + std::to_string(getpid());
        e2e::Output("'" TAVORIN_REPLAY "' --time " + std::to_string(kSecond) + " --dump-mesh '" +
                    dump + "' " + keys + " >/dev/null");
        wine_test::Picture picture;
        EXPECT_TRUE(wine_test::DrawMesh(dump, picture)) << "no mesh for " << keys;
        std::filesystem::remove(dump + ".vertices");
        std::filesystem::remove(dump + ".indices");
        return picture;
    }

    int Mismatches(const Capture& shot, const wine_test::Picture& expected) {
        return wine_test::Mismatches(shot, {0, 0, shot.width, shot.height}, expected);
    }
};

TEST_F(FixedDealTest, FirstDealIsTheReplaysForThatSecondAndANewDealTakesTheClock) {
    for (const std::string keys : {"S", "S D", "S D C"}) {
        SCOPED_TRACE(keys);
        Press(std::string(1, static_cast<char>(std::tolower(keys.back()))));
        const wine_test::Picture expected = Expected(keys);
        const Capture shot =
            ShotWhen([&](const Capture& s) { return Mismatches(s, expected) < 50; });
        EXPECT_LT(Mismatches(shot, expected), 50);
        if (HasFailure()) {
            wine_test::Save(::testing::TempDir() + "tavorin-e2e-shown.ppm", shot);
        }
    }
    // Now, long after that second, N deals from the clock.
    const wine_test::Picture fixed = Expected("S");
    Press("n");
    EXPECT_GT(
        Mismatches(ShotWhen([&](const Capture& s) { return Mismatches(s, fixed) > 500; }), fixed),
        500);
    ExpectBoard(BoardShot(0), 0);
}

// A bad value: the game's own message box names it, and the game ends with 2 once it is read;
// without a display, the same words on standard error.
TEST(GameArguments, BadTimeIsNamedInAMessageBoxThenTheGameEndsWithTwo) {
    if (!e2e::HaveProgram("Xvfb") || !e2e::HaveProgram("xdotool")) {
        GTEST_SKIP() << "needs Xvfb and xdotool";
    }
    e2e::XvfbDisplay display;
    ASSERT_TRUE(display.Start());
    const pid_t game = e2e::Spawn("cd '" TAVORIN_ASSETS "' && exec env DISPLAY=" + display.name() +
                                  " '" TAVORIN_EXE "' --time soon");
    // SDL's box is a plain top-level window that xdotool's search passes over.
    std::string box;
    for (int i = 0; i < 200 && box.empty(); ++i) {
        const std::string tree = e2e::RunOn(display.name(), "xwininfo -root -tree");
        const size_t at = tree.find(" \"Tavorin\": ");
        const size_t id = tree.rfind("0x", at);
        box = at == std::string::npos || id == std::string::npos ? "" : tree.substr(id, at - id);
        std::this_thread::sleep_for(100ms);
    }
    ASSERT_FALSE(box.empty()) << "no message box";
    std::this_thread::sleep_for(1s);
    int status = 0;
    EXPECT_EQ(waitpid(game, &status, WNOHANG), 0) << "ended before it was read";
    e2e::RunOn(display.name(), "xdotool key --window " + box + " Return");
    EXPECT_EQ(e2e::WaitForExit(game, 20s), 2);
}

TEST(GameArguments, BadArgumentsWithoutADisplayGoToStandardErrorWithStatusTwo) {
    const std::string run = "env -u DISPLAY -u WAYLAND_DISPLAY '" TAVORIN_EXE "' ";
    std::string out = e2e::Output(run + "--time 4294967296 2>&1; echo status $?");
    EXPECT_NE(out.find("Tavorin: --time takes a whole number from 0 to 4294967295, not "
                       "'4294967296'"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("usage: tavorin [--time T]"), std::string::npos) << out;
    EXPECT_NE(out.find("status 2\n"), std::string::npos) << out;
}

TEST(GameWithoutDisplay, SaysWhyOnStandardErrorAndEnds) {
    const std::string out =
        e2e::Output("env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR '" TAVORIN_EXE
                    "' 2>&1; echo status $?");
    EXPECT_NE(out.find("InitD3D(): Direct3DCreate9() failed!\nstatus 0\n"), std::string::npos)
        << out;
    EXPECT_NE(out.find("no display"), std::string::npos) << out;
    EXPECT_EQ(out.find("XDG_RUNTIME_DIR"), std::string::npos) << out;
}

// Started again and again, each time right after another X client was killed on the same
// display: every start shows the game's window, none the device failure.
TEST(GameStarts, EveryTimeRightAfterAnotherClientDied) {
    if (!e2e::HaveProgram("Xvfb") || !e2e::HaveProgram("xdotool")) {
        GTEST_SKIP() << "needs Xvfb and xdotool";
    }
    e2e::XvfbDisplay display;
    ASSERT_TRUE(display.Start());
    const std::string env = "exec env DISPLAY=" + display.name() + " ";
    constexpr int kStarts = 12;
    int shown = 0;
    for (int start = 0; start < kStarts; ++start) {
        SCOPED_TRACE("start " + std::to_string(start));
        const pid_t client = e2e::Spawn(env + "'" TAVORIN_X_HELPER "' window Client 0 0 400 300");
        // Killed once its window is up, or after a while whatever it managed.
        e2e::FindWindow(display.name(), "Client", 5s);
        kill(client, SIGKILL);
        e2e::WaitForExit(client, 5s);
        const pid_t game = e2e::Spawn("cd '" TAVORIN_ASSETS "' && " + env + "'" TAVORIN_EXE "'");
        const bool window = !e2e::FindWindow(display.name(), "Tavorin", 20s).empty();
        EXPECT_TRUE(e2e::RunOn(display.name(), "xdotool search --name 'InitD3D'").empty());
        shown += window ? 1 : 0;
        kill(game, SIGKILL);
        e2e::WaitForExit(game, 5s);
    }
    EXPECT_EQ(shown, kStarts);
}

// Under a window manager: a frame around the client area, a close box, a minimise box.
class ManagedGameWindowTest : public GameWindowTest {
  protected:
    bool WithManager() const override { return true; }
};

TEST_F(ManagedGameWindowTest, FramedMinimisedAndClosedByTheManager) {
    // _NET_FRAME_EXTENTS(CARDINAL) = left, right, top, bottom
    const std::string extents = Run("xprop -id " + window_ + " _NET_FRAME_EXTENTS");
    int left = 0, right = 0, top = 0, bottom = 0;
    ASSERT_EQ(std::sscanf(extents.c_str(), "%*[^=]= %d, %d, %d, %d", &left, &right, &top, &bottom),
              4)
        << extents;
    EXPECT_GT(top, 0);
    // The frame sits where the game asked and the client fills it; xwininfo counts from the
    // screen's corner.
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

    Press("s");
    const Capture before = BoardShot(0);
    ExpectBoard(before, 0);
    Run("xdotool windowminimize --sync " + window_);
    Settle();
    EXPECT_LT(CoresUsed(1s), 0.2) << "nothing is drawn while minimised";
    Run("xdotool windowactivate --sync " + window_);
    EXPECT_EQ(BoardShot(0).rgb, before.rgb);

    // The manager takes Alt+F4 itself and asks the window to close, as its close box does.
    Run("xdotool key alt+F4");
    ExpectExit(0);
}

}  // namespace
