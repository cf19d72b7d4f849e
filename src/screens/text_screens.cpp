#include "screens/text_screens.h"

#include <cstring>

#include "screens/screen_items.h"

namespace screens {

namespace d3d = platform::d3d;

void TextScreens::WriteFontDesc(int32_t height) {
    // Weight and MipLevels are never written: they keep the descriptor's first zero.
    fontDesc.Height = height;
    fontDesc.Width = 0;
    fontDesc.Italic = 0;
    fontDesc.CharSet = d3d::FONT_CHARSET_DEFAULT;
    fontDesc.OutputPrecision = d3d::FONT_PRECIS_DEFAULT;
    fontDesc.Quality = d3d::FONT_QUALITY_DEFAULT;
    fontDesc.PitchAndFamily = d3d::FONT_PITCH_DEFAULT | d3d::FONT_FAMILY_SWISS;
    static_assert(sizeof(fontDesc.FaceName) > 24, "face name and its NUL must fit");
    std::memcpy(fontDesc.FaceName, kFaceName, std::strlen(kFaceName) + 1);
}

std::unique_ptr<platform::Font> TextScreens::CreateScreenFont(int32_t height) {
    WriteFontDesc(height);
    std::unique_ptr<platform::Font> font;
    if (device_ && platform::Failed(device_->CreateFontIndirectA(fontDesc, font))) {
        font.reset();  // a failed creation hands over nothing to draw through
    }
    return font;
}

void TextScreens::CreateSharedFont() {
    // The menu font lives from start-up to shutdown and is never replaced: a device reset
    // tells it, so no other holder may outlive a swap.
    if (sharedFont) {
        return;
    }
    sharedFont = CreateScreenFont(kHeadingHeight);
}

void TextScreens::DrawMenu() {
    if (!sharedFont) {
        return;
    }
    for (const TextItem& item : kMenuItems) {
        sharedFont->DrawTextA(item.text, -1, item.rect, item.format, kMenuColour);
    }
}

void TextScreens::DrawTutorial() {
    // A font of its own per item, gone before the next: none lives across a device reset.
    for (const TextItem& item : kTutorialItems) {
        std::unique_ptr<platform::Font> font = CreateScreenFont(item.fontHeight);
        if (font) {
            font->DrawTextA(item.text, -1, item.rect, item.format, kTutorialColour);
        }
    }
}

void TextScreens::ReleaseSharedFont() {
    sharedFont.reset();
}

}  // namespace screens
