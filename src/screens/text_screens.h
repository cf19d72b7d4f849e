#pragma once

#include <cstdint>
#include <memory>

#include "platform/graphics.h"

namespace screens {

// The start menu and the rules page, drawn anew every frame from fixed tables of text,
// with the one long-lived menu font and the one font descriptor every creation fills in.
class TextScreens {
  public:
    explicit TextScreens(platform::Device* device) : device_(device) {}

    platform::FontDesc fontDesc{};
    std::unique_ptr<platform::Font> sharedFont;

    void CreateSharedFont();
    void DrawMenu();
    void DrawTutorial();
    void ReleaseSharedFont();

  private:
    void WriteFontDesc(int32_t height);
    // Fills `fontDesc` for `height` and makes a font from it; null without a device or
    // when the creation fails.
    std::unique_ptr<platform::Font> CreateScreenFont(int32_t height);

    platform::Device* device_;
};

}  // namespace screens
