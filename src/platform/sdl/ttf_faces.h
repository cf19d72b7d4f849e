#pragma once

// Fonts on FreeType, found through fontconfig: the faces the device's text is drawn with.
// FreeType alone, without a shaping library: the game's text is Latin-1, one glyph a byte.

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/gl/gl_text.h"

typedef struct FT_FaceRec_* FT_Face;

namespace platform::sdl {

struct TtfLibrary;

// One opened face at one size. Kept open by the face cache, so that a font made and released
// every frame opens nothing.
class TtfFace final : public gl::TextFace {
  public:
    // `face` sized already, its cell `cellHeight` tall with the baseline `ascent` down.
    TtfFace(std::shared_ptr<TtfLibrary> library, FT_Face face, int cellHeight, int ascent);
    ~TtfFace() override;

    int Width(std::string_view line) override;
    size_t Fit(std::string_view line, int width) override;
    void Draw(std::string_view line, uint8_t* coverage, int columns, int rows) override;

  private:
    // A byte's glyph, rendered once.
    struct Glyph {
        bool loaded = false;
        unsigned index = 0;  // 0: the face has none
        long advance = 0;    // 26.6 pixels
        int left = 0;        // from the pen to the bitmap's left
        int top = 0;         // from the baseline up to the bitmap's top
        int width = 0;
        int rows = 0;
        std::vector<uint8_t> coverage;
    };

    const Glyph& GlyphOf(unsigned char c);
    // Walks the line's glyphs: `place(byte, x, glyph, extent)` gets each one's pen position
    // and the line's width up to it, and returns false to stop. Returns the width.
    template <typename Place>
    int Lay(std::string_view line, Place&& place);

    std::shared_ptr<TtfLibrary> library_;
    FT_Face face_;
    int ascent_;
    std::array<Glyph, 256> glyphs_;
};

// Finds and opens faces for font descriptors, remembering both the lookup and the face.
class TtfFaces final : public gl::TextFaces {
  public:
    // Null when FreeType cannot start.
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
