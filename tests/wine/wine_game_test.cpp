// The Windows build itself under Wine: the real tavorin.exe in a real window, keys through
// xdotool, frames captured by window id and checked pixel by pixel, the board against the
// picture the Linux tavorin-replay's mesh makes for the same clock second and keys.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <fstream>

#include "board_check.h"
#include "mesh_picture.h"
#include "wine_session.h"

namespace {

using namespace std::chrono_literals;
using e2e::Capture;
using e2e::Rgb;
using wine_test::ClientArea;
using wine_test::Count;
using wine_test::IsLit;
using wine_test::Mismatches;
using wine_test::Save;

const std::string kWindowsDir = TAVORIN_WINDOWS_DIR;

ClientArea FindClientArea(const Capture& shot) {
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

class WineGameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!e2e::HaveProgram("Xvfb") || !e2e::HaveProgram("xdotool") ||
            !e2e::HaveProgram("import") || access(wine_test::kWine, X_OK) != 0) {
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
    void Start(const std::string& environment = "", const std::string& title = "Tavorin") {
        pid_ =
            e2e::Spawn("cd '" + kWindowsDir + "' && exec " + prefix_.Environment(display_.name()) +
                       environment + " " + wine_test::kWine + " tavorin.exe");
        window_ = e2e::FindWindow(display_.name(), title, 60s);
        ASSERT_FALSE(window_.empty()) << "no window appeared";
    }

    std::string Run(const std::string& command) { return e2e::RunOn(display_.name(), command); }

    void Press(const std::string& key) {
        Run("xdotool windowfocus --sync " + window_ + " key " + key);
    }

    template <typename Shows>
    Capture ShotWhen(Shows shows) {
        return e2e::CaptureWhen(display_.name(), window_, shows, 20s);
    }

    // The menu, and from it where the client area lies.
    Capture MenuShot() {
        const Capture shot = ShotWhen([](const Capture& s) {
            const ClientArea area = FindClientArea(s);
            return area.width > 1200 && Count(s, area, 950, 600, 1280, 650, e2e::IsRed) > 100;
        });
        area_ = FindClientArea(shot);
        return shot;
    }

    // The expected board after `keys`, played from clock second `time` by the Linux build.
    wine_test::Picture Expected(int64_t time, const std::string& keys) {
        const std::string dump = work_ + "/mesh";
        e2e::Output("'" TAVORIN_REPLAY "' --time " + std::to_string(time) + " --dump-mesh '" +
                    dump + "' " + keys + " >/dev/null");
        wine_test::Picture picture;
        EXPECT_TRUE(wine_test::DrawMesh(dump, picture)) << "no mesh for " << keys;
        return picture;
    }

    std::optional<int> Exit() {
        const auto status = e2e::WaitForExit(pid_, 30s);
        pid_ = -1;
        return status;
    }

    std::string work_ = TAVORIN_WINE_WORK;
    wine_test::WinePrefix prefix_;
    e2e::XvfbDisplay display_;
    pid_t pid_ = -1;
    std::string window_;
    ClientArea area_;
};

TEST_F(WineGameTest, MenuShowsRedLabelsAndNothingElseAndQQuits) {
    Start();
    const Capture shot = MenuShot();
    EXPECT_EQ(shot.width, 1280);
    EXPECT_EQ(shot.height, 760);
    EXPECT_GT(area_.width, 1200);
    EXPECT_GT(area_.height, 700);
    EXPECT_GT(Count(shot, area_, 300, 600, 550, 650, e2e::IsRed), 200) << "Start";
    EXPECT_GT(Count(shot, area_, 550, 600, 950, 650, e2e::IsRed), 200) << "Tutorial";
    EXPECT_GT(Count(shot, area_, 950, 600, 1280, 650, e2e::IsRed), 200) << "Quit";
    const int labels = Count(shot, area_, 300, 600, 1280, 650, e2e::IsRed);
    EXPECT_EQ(Count(shot, area_, 0, 0, 1280, 768, e2e::IsRed), labels) << "red only in labels";
    EXPECT_EQ(Count(shot, area_, 0, 0, 1280, 768, e2e::IsWhite), 0) << "no tiles";

    Press("q");
    EXPECT_EQ(Exit(), 81);
}

TEST_F(WineGameTest, BoardMatchesTheReplayThroughDealAndCheckThenRulesThenEsc) {
    Start();
    MenuShot();
    const int64_t before = std::time(nullptr);
    Press("s");
    const auto shows = [this](const wine_test::Picture& expected) {
        return [this, &expected](const Capture& s) { return Mismatches(s, area_, expected) < 50; };
    };
    // The deal is fixed by the clock second in which S was handled.
    Capture shot = ShotWhen([this](const Capture& s) {
        return Count(s, area_, 0, 0, 1280, 768, e2e::IsWhite) > 10000;
    });
    const int64_t after = std::time(nullptr);
    int64_t dealt = -1;
    for (int64_t t = before; t <= after && dealt < 0; ++t) {
        const wine_test::Picture start = Expected(t, "S");
        shot = ShotWhen(shows(start));
        if (Mismatches(shot, area_, start) < 50) {
            dealt = t;
        } else {
            Save(work_ + "/expected-" + std::to_string(t) + ".ppm", start);
            Save(work_ + "/shown.ppm", shot);
            ADD_FAILURE() << Mismatches(shot, area_, start) << " pixels differ from second " << t
                          << "; pictures in " << work_;
        }
    }
    ASSERT_GE(dealt, 0) << "the board matches no deal of seconds " << before << " to " << after;

    for (const std::string keys : {"S D", "S D C", "S D C C"}) {
        SCOPED_TRACE(keys);
        Press(std::string(1, static_cast<char>(std::tolower(keys.back()))));
        const wine_test::Picture expected = Expected(dealt, keys);
        EXPECT_LT(Mismatches(ShotWhen(shows(expected)), area_, expected), 50);
    }

    Press("t");
    shot = ShotWhen([this](const Capture& s) {  // the board gone, the text there
        return Count(s, area_, 0, 320, 1280, 768, IsLit) == 0 &&
               Count(s, area_, 30, 230, 780, 290, IsLit) > 300;
    });
    EXPECT_GT(Count(shot, area_, 30, 30, 780, 70, IsLit), 300) << "first heading";
    EXPECT_GT(Count(shot, area_, 30, 70, 780, 130, IsLit), 600) << "first paragraph";
    EXPECT_GT(Count(shot, area_, 30, 190, 780, 230, IsLit), 300) << "second heading";
    EXPECT_GT(Count(shot, area_, 30, 230, 780, 290, IsLit), 600) << "second paragraph";
    EXPECT_EQ(Count(shot, area_, 0, 320, 1280, 768, IsLit), 0) << "no tiles";
    EXPECT_EQ(Count(shot, area_, 0, 0, 1280, 768, e2e::IsRed), 0);
    if (HasFailure()) {
        Save(work_ + "/rules.ppm", shot);
    }

    Press("Escape");
    EXPECT_EQ(Exit(), 27);
}

TEST_F(WineGameTest, CloseBoxEndsWithZero) {
    Start();
    MenuShot();
    // Wine draws the caption itself here: the close box is its rightmost button.
    Run("xdotool mousemove --window " + window_ + " 1266 11 click 1");
    EXPECT_EQ(Exit(), 0);
}

TEST_F(WineGameTest, WithoutD3dxItSaysWhatToInstallAndEnds) {
    const std::string log = work_ + "/msgbox.log";
    pid_ = e2e::Spawn("cd '" + kWindowsDir + "' && exec " + prefix_.Environment(display_.name()) +
                      "WINEDEBUG=trace+msgbox WINEDLLOVERRIDES='d3dx9_43=' " + wine_test::kWine +
                      " tavorin.exe 2>'" + log + "'");
    window_ = e2e::FindWindow(display_.name(), "Tavorin", 60s);
    ASSERT_FALSE(window_.empty());
    const Capture box = ShotWhen([](const Capture& s) { return s.width > 0; });
    EXPECT_LT(box.width, 1280) << "a message box, not the game window";
    Press("Return");
    EXPECT_EQ(Exit(), 1);
    std::ifstream file(log);
    const std::string said((std::istreambuf_iterator<char>(file)), {});
    EXPECT_NE(said.find("d3dx9_43.dll is missing"), std::string::npos) << said;
    EXPECT_NE(said.find("DirectX 9 runtime"), std::string::npos) << said;
}

}  // namespace
