#include "screens/text_screens.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/record/record_backend.h"

namespace screens {
namespace {

namespace record = platform::record;
using record::Args;
using record::FailPlan;

const char* const kParagraph =
    "This game uses the tiles from the Chinese tile game Pai Gow. The initial game board has 5 "
    "rows with 5 tiles in each row. The objective of the game is to eliminate all the tiles on "
    "the board.";

// The descriptor as the log shows it: Height, Width, Weight, MipLevels, Italic, CharSet,
// OutputPrecision, Quality, PitchAndFamily, FaceName.
std::vector<std::string> Desc(int32_t height) {
    return {Args(platform::FontDesc{.Height = height,
                                    .CharSet = 1,
                                    .PitchAndFamily = 0x20,
                                    .FaceName = "copperplate gothic light"})};
}

struct ScreensRig {
    record::RecordSystem system;
    std::unique_ptr<platform::Window> window = system.CreateWindowExA({}, nullptr);
    std::unique_ptr<platform::Graphics> graphics =
        system.Direct3DCreate9(platform::d3d::SDK_VERSION);
    platform::PresentParams params{};
    std::unique_ptr<platform::Device> device;
    std::unique_ptr<TextScreens> screens;

    ScreensRig() {
        graphics->CreateDevice(0, 1, window.get(), 0x20, params, device);
        screens = std::make_unique<TextScreens>(device.get());
        system.log().Clear();
    }

    const record::CallLog& log() { return system.log(); }
};

TEST(Menu, SharedFontAndItsThreeRedLabels) {
    ScreensRig rig;
    rig.screens->CreateSharedFont();
    ASSERT_EQ(rig.log().Calls(), std::vector<std::string>{"Device::CreateFontIndirectA"});
    EXPECT_EQ(rig.log()[0].args, Desc(40));

    rig.system.log().Clear();
    rig.screens->DrawMenu();
    const auto draws = rig.log().All("Font::DrawTextA");
    ASSERT_EQ(rig.log().size(), 3u) << rig.log().ToString();
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[0].args, Args("Start", -1, platform::Rect{300, 600, 780, 650}, 0, 0xFFFF0000u));
    EXPECT_EQ(draws[1].args,
              Args("Tutorial", -1, platform::Rect{550, 600, 1030, 650}, 0, 0xFFFF0000u));
    EXPECT_EQ(draws[2].args, Args("Quit", -1, platform::Rect{950, 600, 1430, 650}, 0, 0xFFFF0000u));
    for (const auto& draw : draws) {
        EXPECT_EQ(draw.object, record::RecordSystem::Tag(rig.screens->sharedFont.get()));
    }
}

TEST(Tutorial, FourFontsMadeDrawnAndFreedPerFrameInOrder) {
    ScreensRig rig;
    rig.screens->CreateSharedFont();
    platform::Font* shared = rig.screens->sharedFont.get();
    // Heading 40, body 20, each drawn through the font made for it, then freed.
    const int heights[] = {40, 20, 40, 20};
    const std::vector<std::string> draws[] = {
        Args("Objective of the game", -1, platform::Rect{30, 30, 780, 530}, 0, 0xFFFFFFFFu),
        Args(kParagraph, -1, platform::Rect{30, 70, 780, 570}, 0x10, 0xFFFFFFFFu),
        Args("Rules of the game", -1, platform::Rect{30, 190, 780, 530}, 0, 0xFFFFFFFFu),
        Args(kParagraph, -1, platform::Rect{30, 230, 780, 530}, 0x10, 0xFFFFFFFFu),
    };
    for (int frame = 0; frame < 2; ++frame) {
        SCOPED_TRACE(frame);
        rig.system.log().Clear();
        rig.screens->DrawTutorial();
        const auto& log = rig.log();
        ASSERT_EQ(log.size(), 12u) << log.ToString();
        for (std::size_t i = 0; i < 4; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(log[3 * i].call, "Device::CreateFontIndirectA");
            EXPECT_EQ(log[3 * i].args, Desc(heights[i]));
            EXPECT_EQ(log[3 * i + 1].args, draws[i]);
            EXPECT_EQ(log[3 * i + 2].call, "Font::Release");
            EXPECT_EQ(log[3 * i + 1].object, log[3 * i + 2].object);
        }
        EXPECT_EQ(rig.screens->fontDesc.Height, 20);  // the last creation's
        EXPECT_EQ(rig.screens->sharedFont.get(), shared);
        EXPECT_EQ(rig.system.live().fonts, 1);  // only the shared one outlives the frame
    }
}

TEST(Tutorial, FontThatCannotBeMadeLeavesOnlyItsItemOut) {
    ScreensRig rig;
    rig.system.faults().createFont = FailPlan::Nth(2);
    rig.screens->DrawTutorial();
    const auto draws = rig.log().All("Font::DrawTextA");
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[0].args[0], "Objective of the game");
    EXPECT_EQ(draws[1].args[0], "Rules of the game");
    EXPECT_EQ(draws[2].args[0], kParagraph);
    EXPECT_EQ(rig.log().Count("Font::Release"), 3u);
    EXPECT_EQ(rig.system.device().invalidCalls, 0);
}

}  // namespace
}  // namespace screens
