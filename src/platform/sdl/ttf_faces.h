#pragma once

// Fonts on SDL2_ttf, found through fontconfig: the faces the device's text is drawn with.

#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "platform/gl/gl_text.h"

typedef struct _TTF_Font TTF_Font;

namespace platform::sdl {

struct TtfLibrary;

// One opened face at one size. Kept open by the face cache, so that a font made and released
// every frame opens nothing.
class TtfFace final : public gl::TextFace {
  public:
    TtfFace(std::shared_ptr<TtfLibrary> library, TTF_Font* font, int cellHeight);
    ~TtfFace() override;

    int Width(std::string_view line) override;
    size_t Fit(std::string_view line, int width) override;
    void Draw(std::string_view line, uint8_t* coverage, int columns, int rows) override;

  private:
    std::shared_ptr<TtfLibrary> library_;
    TTF_Font* font_;
};

// Finds and opens faces for font descriptors, remembering both the lookup and the face.
class TtfFaces final : public gl::TextFaces {
  public:
    // Null when SDL_ttf cannot start.
    static std::shared_ptr<TtfFaces> Start();

    std::shared_ptr<gl::TextFace> Open(const FontDesc& desc) override;

  private:
    explicit TtfFaces(std::shared_ptr<TtfLibrary> library) : library_(std::move(library)) {}
    std::string FindFile(const FontDesc& desc);

    std::shared_ptr<TtfLibrary> library_;
    std::map<std::tuple<std::string, bool, bool, int>, std::string> files_;
    std::map<std::pair<std::string, int>, std::shared_ptr<TtfFace>> faces_;
};

}  // namespace platform::sdl
