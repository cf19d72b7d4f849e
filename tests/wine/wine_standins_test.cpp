// The Windows build without d3dx9_43.dll under Wine (Wine's own turned off): the backend's
// stand-ins draw the menu and the rules page as D3DX does, line for line, and leave the
// board's drawing as it was.

#include <cstdio>

#include "wine_game.h"

namespace wine_test {
namespace {

// Where each text item shows, in back-buffer pixels, cut where the next item begins.
struct TextBox {
    const char* name;
    int left, top, right, bottom;
};
constexpr TextBox kMenuBoxes[] = {
    {"Start", 300, 600, 550, 650}, {"Tutorial", 550, 600, 950, 650}, {"Quit", 950, 600, 1280, 650}};
constexpr TextBox kRulesBoxes[] = {{"first heading", 30, 30, 780, 70},
                                   {"first paragraph", 30, 70, 780, 190},
                                   {"second heading", 30, 190, 780, 230},
                                   {"second paragraph", 30, 230, 780, 330}};

// A pixel the text lights at all. Wine's own D3DX draws its glyphs filtered at fractions of
// a pixel, so a small text's thin strokes come out grey (at most 214 of 255) where GDI's are
// crisp: counted over a bright threshold, the body text would differ by a third although
// the same pixels are lit.
bool IsTextLight(Rgb c) {
    return c.r > 30 || c.g > 30 || c.b > 30;
}

struct TextMeasure {
    int lines = 0;  // runs of rows with bright pixels
    int lit = 0;    // pixels the text lights at all
};

TextMeasure Measure(const Capture& shot, const ClientArea& area, const TextBox& box) {
    TextMeasure measure;
    bool inLine = false;
    for (int y = area.Y(box.top); y < area.Y(box.bottom); ++y) {
        int bright = 0;
        for (int x = area.X(box.left); x < area.X(box.right); ++x) {
            bright += IsLit(shot.At(x, y)) ? 1 : 0;
            measure.lit += IsTextLight(shot.At(x, y)) ? 1 : 0;
        }
        measure.lines += bright > 0 && !inLine ? 1 : 0;
        inLine = bright > 0;
    }
    return measure;
}

class WineStandInsTest : public WineGameTest {
  protected:
    static constexpr const char* kWithoutD3dx = "WINEDLLOVERRIDES='mscoree,mshtml=;d3dx9_43='";

    // The same lines in each box, and about the same lit pixels.
    void ExpectSameText(const Capture& d3dx, const ClientArea& d3dxArea, const Capture& shown,
                        const std::string& screen, const TextBox* boxes, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            const TextMeasure want = Measure(d3dx, d3dxArea, boxes[i]);
            const TextMeasure got = Measure(shown, area_, boxes[i]);
            std::printf("%s, %s: D3DX %d lines %d lit; stand-in %d lines %d lit\n", screen.c_str(),
                        boxes[i].name, want.lines, want.lit, got.lines, got.lit);
            EXPECT_GT(want.lit, 0) << boxes[i].name;
            EXPECT_EQ(got.lines, want.lines) << boxes[i].name;
            EXPECT_NEAR(got.lit, want.lit, want.lit * 0.1) << boxes[i].name;
        }
        if (HasFailure()) {
            Save(work_ + "/" + screen + "-d3dx.ppm", d3dx);
            Save(work_ + "/" + screen + "-stand-in.ppm", shown);
        }
    }
};

TEST_F(WineStandInsTest, WithoutD3dxTheMenuRulesAndBoardLookAsWithIt) {
    Start();
    const Capture d3dxMenu = MenuShot();
    const ClientArea d3dxArea = area_;
    Press("t");
    const Capture d3dxRules = RulesShot();
    Press("Escape");
    ASSERT_EQ(Exit(), 27);

    Start(kWithoutD3dx, "--time " + std::to_string(kDealSecond));
    ExpectSameText(d3dxMenu, d3dxArea, MenuShot(), "menu", kMenuBoxes, std::size(kMenuBoxes));

    Press("s");
    ExpectBoard(kDealSecond, "S");
    ASSERT_FALSE(HasFailure()) << "the board after the menu's text; pictures in " << work_;

    Press("t");
    ExpectSameText(d3dxRules, d3dxArea, RulesShot(), "rules", kRulesBoxes, std::size(kRulesBoxes));

    // A deal straight from the rules page: the board drawn right after the stand-in's text.
    Press("d");
    ExpectBoard(kDealSecond, "S T D");

    Press("Escape");
    EXPECT_EQ(Exit(), 27);
}

}  // namespace
}  // namespace wine_test
