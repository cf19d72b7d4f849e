// The page's own controls, its layout on a narrow touch screen and its play without a network:
// each button clicked gives the screen its key gives (the board the replay's mesh makes, the
// rules page, the end page), the controls show by themselves on a touch screen with the whole
// canvas in view in portrait and after turning to landscape, the dialog fits there too, and
// the page reloaded with its server gone still plays.

#include <cstdlib>
#include <ctime>

#include "browser_page.h"

namespace browser_test {
namespace {

// In the page's order.
enum Control { kNewGame, kNewDeal, kCheck, kDeal, kRules, kQuit };

// The box around what is not the page beside the canvas (landscape) or below it (portrait),
// its shadow and the show/hide switch in the corner left out, and the cells of its grid.
struct Controls {
    int left = 0, top = 0, right = 0, bottom = 0;
    int columns = 2, rows = 3;

    bool Found() const { return right - left > 100 && bottom - top > 100; }
    int CellWidth() const { return (right - left) / columns; }
    int CellHeight() const { return (bottom - top) / rows; }
    int X(Control c) const {
        return left + (2 * (c % columns) + 1) * (right - left) / (2 * columns);
    }
    int Y(Control c) const { return top + (2 * (c / columns) + 1) * (bottom - top) / (2 * rows); }
};

bool Near(Rgb a, Rgb b) {
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) < 40;
}

Controls FindControls(const Capture& shot, const ClientArea& canvas, bool portrait) {
    const Rgb page = shot.At(3, shot.height - 3);
    Controls found{shot.width, shot.height, 0, 0, portrait ? 3 : 2, portrait ? 2 : 3};
    const int strip = shot.height - 60;  // the switch's
    const int x0 = portrait ? 0 : canvas.left + canvas.width + 30;
    const int y0 = portrait ? canvas.top + canvas.height + 30 : canvas.top;
    const int y1 = portrait ? strip : std::min(strip, canvas.top + canvas.height);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < shot.width - 2; ++x) {
            if (!Near(shot.At(x, y), page)) {
                found.left = std::min(found.left, x);
                found.right = std::max(found.right, x + 1);
                found.top = std::min(found.top, y);
                found.bottom = std::max(found.bottom, y + 1);
            }
        }
    }
    return found;
}

class ControlsTest : public BrowserTest {
  protected:
    // The canvas on the menu, at whatever size the page gives it.
    Capture Menu(int least) {
        const Capture shot = ShotWhen([least](const Capture& s) {
            const ClientArea canvas = FindCanvas(s);
            return canvas.width > least && Count(s, canvas, 950, 600, 1280, 650, e2e::IsRed) > 20;
        });
        area_ = FindCanvas(shot);
        return shot;
    }

    // The controls once they show, and the canvas beside them.
    Controls ShownControls(bool portrait) {
        const Capture shot = ShotWhen([portrait](const Capture& s) {
            return FindControls(s, FindCanvas(s), portrait).Found();
        });
        area_ = FindCanvas(shot);
        const Controls found = FindControls(shot, area_, portrait);
        if (!found.Found()) {
            wine_test::Save(profile_.string() + "/../tavorin-controls-shown.ppm", shot);
        }
        return found;
    }

    void Tap(const Controls& controls, Control control) {
        Click(controls.X(control), controls.Y(control));
    }

    // The board the replay gives after `keys` from the page's second.
    void ExpectBoard(const std::string& keys) {
        SCOPED_TRACE(keys);
        const wine_test::Picture expected = Expected(kDealSecond, keys);
        const Capture shot =
            ShotWhen([&](const Capture& s) { return Mismatches(s, area_, expected) < 50; });
        EXPECT_LT(Mismatches(shot, area_, expected), 50);
        if (HasFailure()) {
            wine_test::Save(profile_.string() + "/../tavorin-controls-shown.ppm", shot);
        }
    }

    void ExpectRules() {
        const Capture shot = ShotWhen(
            [this](const Capture& s) { return Count(s, area_, 30, 30, 780, 70, IsLit) > 100; });
        EXPECT_GT(Count(shot, area_, 30, 30, 780, 70, IsLit), 100) << "first heading";
        EXPECT_EQ(Count(shot, area_, 0, 320, 1280, 768, IsLit), 0) << "nothing under the text";
    }

    // Quit: the end page over the game, its status in the title.
    void ExpectEnded(const Controls& controls) {
        Tap(controls, kQuit);
        EXPECT_FALSE(e2e::FindWindow(display_.name(), "Tavorin \\(exit 27\\).*", 20s).empty());
        const Capture shot = ShotWhen([this](const Capture& s) {
            return !e2e::IsBlack(s.At(area_.left + area_.width / 2, area_.top + area_.height / 4));
        });
        EXPECT_FALSE(
            e2e::IsBlack(shot.At(area_.left + area_.width / 2, area_.top + area_.height / 4)))
            << "the end page covers the game";
    }
};

TEST_P(ControlsTest, OnADesktopShownWhenAskedAndEachGivesWhatItsKeyGives) {
    const Capture menu = Menu(1000);
    EXPECT_FALSE(FindControls(menu, area_, false).Found()) << "hidden until asked for";
    Click(WindowWidth() - 28, WindowHeight() - 28);  // the switch in the corner
    const Controls controls = ShownControls(false);
    ASSERT_TRUE(controls.Found());
    EXPECT_GE(controls.CellWidth(), 44);
    EXPECT_GE(controls.CellHeight(), 44);
    EXPECT_GT(area_.width, 1100) << "the canvas beside them";

    Tap(controls, kRules);
    ExpectRules();
    Tap(controls, kNewGame);
    ExpectBoard("S");
    Tap(controls, kDeal);
    ExpectBoard("S D");
    Tap(controls, kCheck);
    ExpectBoard("S D C");
    // The keyboard is still the game's after a click.
    Press("d");
    ExpectBoard("S D C D");

    // A new deal takes the clock: the deal of the second in which it was handled.
    const int64_t before = std::time(nullptr);
    Tap(controls, kNewDeal);
    std::vector<std::pair<int64_t, wine_test::Picture>> deals;
    for (int64_t t = before; t <= before + 3; ++t) {
        deals.emplace_back(t, Expected(t, "S"));
    }
    int64_t dealt = -1;
    ShotWhen([&](const Capture& s) {
        for (const auto& [t, picture] : deals) {
            dealt = Mismatches(s, area_, picture) < 50 ? t : dealt;
        }
        return dealt >= 0;
    });
    EXPECT_GE(dealt, 0) << "no deal of seconds " << before << " on";

    ExpectEnded(controls);
}

// A phone held upright: the controls there by themselves, the whole canvas in view, and both
// again, redrawn, once it is turned.
class NarrowTouchTest : public ControlsTest {
  protected:
    int WindowWidth() const override { return width_; }
    int WindowHeight() const override { return height_; }
    std::string ChromiumFlags() const override {
        return "--touch-events=enabled --blink-settings=primaryPointerType=2,"
               "availablePointerTypes=2,primaryHoverType=1,availableHoverTypes=1";
    }

    void ExpectCanvasInView(int width, int height) {
        EXPECT_GE(area_.left, 0);
        EXPECT_GE(area_.top, 0);
        EXPECT_LE(area_.left + area_.width, width);
        EXPECT_LE(area_.top + area_.height, height);
        EXPECT_NEAR(static_cast<double>(area_.width) / area_.height, 1280.0 / 760.0, 0.02);
    }

    int width_ = 390;
    int height_ = 844;
};

TEST_P(NarrowTouchTest, ControlsShowByThemselvesAndTheCanvasFitsUprightAndTurned) {
    Menu(300);
    Controls controls = ShownControls(true);
    ASSERT_TRUE(controls.Found()) << "no controls on a touch screen";
    EXPECT_GE(controls.CellWidth(), 44);
    EXPECT_GE(controls.CellHeight(), 44);
    EXPECT_LE(controls.right, width_);
    ExpectCanvasInView(width_, height_);
    EXPECT_GE(area_.width, width_ - 20) << "as wide as the screen allows";
    EXPECT_GT(controls.top, area_.top + area_.height) << "below the canvas";

    Tap(controls, kNewGame);
    ExpectBoard("S");

    // Turned, from the rules page (where the canvas is found): the window's sides swap.
    Tap(controls, kRules);
    ExpectRules();
    std::swap(width_, height_);
    RunOnDisplay("xdotool windowsize --sync " + window_ + " " + std::to_string(width_) + " " +
                 std::to_string(height_));
    controls = ShownControls(false);
    ASSERT_TRUE(controls.Found()) << "no controls after turning";
    ExpectCanvasInView(width_, height_);
    EXPECT_GE(area_.height, height_ - 40) << "as tall as the screen allows";
    EXPECT_GT(controls.left, area_.left + area_.width) << "beside the canvas";
    // The board drawn at the new size.
    Tap(controls, kDeal);
    ExpectBoard("S T D");
    ExpectEnded(controls);
}

// The page's dialog on the same narrow screen: within it, whole, and read before the end.
class NarrowMessageTest : public NarrowTouchTest {
  protected:
    std::string Query() const override { return "?time=soon"; }
};

TEST_P(NarrowMessageTest, TheDialogFitsTheScreen) {
    const Capture shot = ShotWhen(DialogShows);
    ASSERT_TRUE(DialogShows(shot)) << "no message";
    // The dialog's own white, brighter than the light page around it.
    int left = shot.width, right = 0;
    for (int x = 0; x < shot.width; ++x) {
        if (const Rgb c = shot.At(x, shot.height / 2); c.r > 245 && c.g > 245 && c.b > 245) {
            left = std::min(left, x);
            right = x + 1;
        }
    }
    if (left == 0 || right == shot.width) {
        wine_test::Save(profile_.string() + "/../tavorin-dialog-shown.ppm", shot);
    }
    EXPECT_GT(left, 0) << "a margin on the left";
    EXPECT_LT(right, shot.width) << "and on the right";
    EXPECT_GT(right - left, shot.width * 3 / 4) << "as wide as the screen allows";
    Press("Return");
    EXPECT_FALSE(e2e::FindWindow(display_.name(), "Tavorin \\(exit 2\\).*", 20s).empty());
}

// Once the page has shown, its files are kept: reloaded with the server gone, it plays.
TEST_P(ControlsTest, ReloadedWithoutItsServerThePageStillPlays) {
    Menu(1000);
    Press("s");
    ExpectBoard("S");
    std::this_thread::sleep_for(3s);  // the worker keeping the files, after the first frame
    kill(server_, SIGKILL);
    e2e::WaitForExit(server_, 5s);
    server_ = -1;
    Press("F5");
    const Capture menu = Menu(1000);
    wine_test::ExpectMenuAlone(menu, area_);
    Press("s");
    ExpectBoard("S");
}

INSTANTIATE_TEST_SUITE_P(Browsers, ControlsTest,
                         ::testing::Values(Browser{"chromium", "chromium"},
                                           Browser{"firefox", "firefox-esr"}),
                         [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(Chromium, NarrowMessageTest,
                         ::testing::Values(Browser{"chromium", "chromium"}),
                         [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(Chromium, NarrowTouchTest,
                         ::testing::Values(Browser{"chromium", "chromium"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace browser_test
