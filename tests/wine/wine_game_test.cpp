// The Windows build itself under Wine: the real tavorin.exe in a real window, keys through
// xdotool, frames captured by window id and checked pixel by pixel, the board against the
// picture the Linux tavorin-replay's mesh makes for the clock second the game was started on.

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
    Start("", "--time " + std::to_string(kDealSecond));
    MenuShot();
    for (const std::string keys : {"S", "S D", "S D C", "S D C C"}) {
        Press(std::string(1, static_cast<char>(std::tolower(keys.back()))));
        ExpectBoard(kDealSecond, keys);
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

// A bad value: Windows' own message box names it, and the game ends with 2 once it is read,
// having made no window of its own.
TEST_F(WineGameTest, BadTimeIsNamedInAMessageBoxAndTheGameEndsWithTwo) {
    Start("", "--time 4294967296");  // the box's caption is the game's title
    std::this_thread::sleep_for(1s);
    int status = 0;
    EXPECT_EQ(waitpid(pid_, &status, WNOHANG), 0) << "ended before the message was read";
    Press("Return");
    EXPECT_EQ(Exit(), 2);
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
