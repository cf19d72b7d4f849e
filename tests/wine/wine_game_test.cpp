// The Windows build itself under Wine: the real tavorin.exe in a real window, keys through
// xdotool, frames captured by window id and checked pixel by pixel, the board against the
// picture the Linux tavorin-replay's mesh makes for the same clock second and keys.

#include <ctime>

#include "wine_game.h"

namespace wine_test {
namespace {

TEST_F(WineGameTest, MenuShowsRedLabelsAndNothingElseAndQQuits) {
    Start();
    const Capture shot = MenuShot();
    EXPECT_EQ(shot.width, 1280);
    EXPECT_EQ(shot.height, 760);
    EXPECT_GT(area_.width, 1200);
    EXPECT_GT(area_.height, 700);
    ExpectMenuAlone(shot, area_);

    Press("q");
    EXPECT_EQ(Exit(), 81);
}

TEST_F(WineGameTest, BoardMatchesTheReplayThroughDealAndCheckThenRulesThenEsc) {
    Start();
    MenuShot();
    const int64_t before = std::time(nullptr);
    Press("s");
    ShotWhen([this](const Capture& s) {  // the tiles are there
        return Count(s, area_, 0, 0, 1280, 768, e2e::IsWhite) > 10000;
    });
    const int64_t dealt = DealtSecond(before, std::time(nullptr));
    ASSERT_GE(dealt, 0) << "the board matches no deal of the seconds from " << before
                        << "; pictures in " << work_;
    const auto shows = [this](const Picture& expected) {
        return [this, &expected](const Capture& s) { return Mismatches(s, area_, expected) < 50; };
    };
    for (const std::string keys : {"S D", "S D C", "S D C C"}) {
        SCOPED_TRACE(keys);
        Press(std::string(1, static_cast<char>(std::tolower(keys.back()))));
        const Picture expected = Expected(dealt, keys);
        EXPECT_LT(Mismatches(ShotWhen(shows(expected)), area_, expected), 50);
    }

    Press("t");
    const Capture shot = RulesShot();
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
    RunOnDisplay("xdotool mousemove --window " + window_ + " 1266 11 click 1");
    EXPECT_EQ(Exit(), 0);
}

}  // namespace
}  // namespace wine_test
