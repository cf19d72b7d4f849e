// The page itself in real browsers on a private Xvfb display: the web build's folder served
// over HTTP on 127.0.0.1, keys through xdotool, frames captured by window id and checked
// pixel by pixel, the board against the picture the tavorin-replay's mesh makes for the
// clock second the page was opened on (?time=).

#include "browser_page.h"

namespace browser_test {
namespace {

TEST_P(BrowserTest, MenuRulesBoardDealCheckAndEscEndingThePage) {
    const Capture menu = MenuShot();
    // The canvas is the game's 1280 x 760 window, in a page that is not black around it.
    EXPECT_NEAR(area_.width, 1280, 2);
    EXPECT_NEAR(area_.height, 760, 2);
    EXPECT_FALSE(e2e::IsBlack(menu.At(area_.left - 4, area_.top + 10))) << "the page around";
    wine_test::ExpectMenuAlone(menu, area_);

    Press("t");
    Capture shot = ShotWhen(
        [this](const Capture& s) { return Count(s, area_, 30, 230, 780, 290, IsLit) > 300; });
    EXPECT_GT(Count(shot, area_, 30, 30, 780, 70, IsLit), 300) << "first heading";
    EXPECT_GT(Count(shot, area_, 30, 70, 780, 130, IsLit), 600) << "first paragraph";
    EXPECT_GT(Count(shot, area_, 30, 190, 780, 230, IsLit), 300) << "second heading";
    EXPECT_GT(Count(shot, area_, 30, 230, 780, 290, IsLit), 600) << "second paragraph";
    EXPECT_EQ(Count(shot, area_, 790, 0, 1280, 768, IsLit), 0) << "wrapped within 750 pixels";
    EXPECT_EQ(Count(shot, area_, 0, 320, 1280, 768, IsLit), 0) << "nothing under the text";

    for (const std::string keys : {"S", "S D", "S D C"}) {
        SCOPED_TRACE(keys);
        Press(std::string(1, static_cast<char>(std::tolower(keys.back()))));
        const wine_test::Picture expected = Expected(kDealSecond, keys);
        shot = ShotWhen([&](const Capture& s) { return Mismatches(s, area_, expected) < 50; });
        EXPECT_LT(Mismatches(shot, area_, expected), 50);
        if (HasFailure()) {
            wine_test::Save(profile_.string() + "/../tavorin-browser-shown.ppm", shot);
        }
    }

    // Esc ends the game as on the desktop; the page says so, with the status in its title.
    Press("Escape");
    EXPECT_FALSE(e2e::FindWindow(display_.name(), "Tavorin \\(exit 27\\).*", 20s).empty());
}

// A browser without WebGL 2: the game's own failure message in the page's dialog, and the
// game waiting for OK before it ends.
class NoWebGlTest : public BrowserTest {
  protected:
    std::string GraphicsFlags() const override { return "--disable-3d-apis"; }
};

TEST_P(NoWebGlTest, SaysCreateDeviceFailedAndEndsOnlyOnceTheMessageIsRead) {
    EXPECT_TRUE(DialogShows(ShotWhen(DialogShows))) << "no message";
    EXPECT_TRUE(e2e::FindWindow(display_.name(), "Tavorin \\(exit.*", 1s).empty())
        << "ended before the message was read";
    Press("Return");
    EXPECT_FALSE(e2e::FindWindow(display_.name(), "Tavorin \\(exit 0\\).*", 20s).empty());
}

// A bad ?time=: the game's own message names it in the page's dialog, and the game ends with
// 2 once it is read.
class BadQueryTest : public BrowserTest {
  protected:
    std::string Query() const override { return "?time=soon"; }
};

TEST_P(BadQueryTest, NamesTheValueInTheDialogAndEndsWithTwo) {
    EXPECT_TRUE(DialogShows(ShotWhen(DialogShows))) << "no message";
    Press("Return");
    EXPECT_FALSE(e2e::FindWindow(display_.name(), "Tavorin \\(exit 2\\).*", 20s).empty());
}

INSTANTIATE_TEST_SUITE_P(Chromium, BadQueryTest, ::testing::Values(Browser{"chromium", "chromium"}),
                         [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(Chromium, NoWebGlTest, ::testing::Values(Browser{"chromium", "chromium"}),
                         [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(Browsers, BrowserTest,
                         ::testing::Values(Browser{"chromium", "chromium"},
                                           Browser{"firefox", "firefox-esr"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace browser_test
