#pragma once

// Faces drawn by the page's 2D canvas, in the font the page loaded (DejaVu Sans): the same
// on every system.

#include <map>
#include <memory>
#include <tuple>

#include "platform/gl/gl_text.h"

namespace platform::web {

class CanvasFace final : public gl::TextFace {
  public:
    CanvasFace(int font, int cellHeight) : TextFace(cellHeight), font_(font) {}

    int Width(std::string_view line) override;
    size_t Fit(std::string_view line, int width) override;
    void Draw(std::string_view line, uint8_t* coverage, int columns, int rows) override;

  private:
    int font_;
};

class CanvasFaces final : public gl::TextFaces {
  public:
    std::shared_ptr<gl::TextFace> Open(const FontDesc& desc) override;

  private:
    std::map<std::tuple<int32_t, bool, bool>, std::shared_ptr<CanvasFace>> faces_;
};

}  // namespace platform::web
