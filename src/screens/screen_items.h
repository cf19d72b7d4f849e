#pragma once

#include <array>
#include <cstdint>

#include "platform/graphics.h"

namespace screens {

// One line or paragraph of a text screen: drawn into its rectangle with one font.
struct TextItem {
    const char* text;
    platform::Rect rect;
    uint32_t format;
    int32_t fontHeight;  // of the font made for it; the menu uses the shared font
};

inline constexpr uint32_t kMenuColour = 0xFFFF0000u;      // opaque red
inline constexpr uint32_t kTutorialColour = 0xFFFFFFFFu;  // opaque white
inline constexpr int32_t kHeadingHeight = 40;
inline constexpr int32_t kBodyHeight = 20;

inline constexpr const char* kFaceName = "copperplate gothic light";

// Labels of the keys the window procedure acts on; the menu itself takes no input.
inline constexpr std::array<TextItem, 3> kMenuItems{{
    {"Start", {300, 600, 780, 650}, platform::dt::TOP | platform::dt::LEFT, kHeadingHeight},
    {"Tutorial", {550, 600, 1030, 650}, platform::dt::TOP | platform::dt::LEFT, kHeadingHeight},
    // Reaches past the back buffer's right edge; the label starts at 950 and shows whole.
    {"Quit", {950, 600, 1430, 650}, platform::dt::TOP | platform::dt::LEFT, kHeadingHeight},
}};

inline constexpr const char* kRulesParagraph =
    "This game uses the tiles from the Chinese tile game Pai Gow. The initial game board has 5 "
    "rows with 5 tiles in each row. The objective of the game is to eliminate all the tiles on "
    "the board.";

// Each paragraph starts 40 pixels under its heading, the height of the heading's line.
inline constexpr std::array<TextItem, 4> kTutorialItems{{
    {"Objective of the game",
     {30, 30, 780, 530},
     platform::dt::TOP | platform::dt::LEFT,
     kHeadingHeight},
    {kRulesParagraph, {30, 70, 780, 570}, platform::dt::WORDBREAK, kBodyHeight},
    {"Rules of the game",
     {30, 190, 780, 530},
     platform::dt::TOP | platform::dt::LEFT,
     kHeadingHeight},
    {kRulesParagraph, {30, 230, 780, 530}, platform::dt::WORDBREAK, kBodyHeight},
}};

}  // namespace screens
