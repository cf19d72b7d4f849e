#pragma once

// Fonts on SDL2_ttf, found through fontconfig, and the text they draw kept as textures.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "platform/graphics.h"
#include "platform/sdl/gl_resource.h"

typedef struct _TTF_Font TTF_Font;

namespace platform::sdl {

struct TtfLibrary;

// One opened face at one size. Kept open by the device's face cache, so that a font made
// and released every frame opens nothing.
class FontFace {
  public:
    FontFace(std::shared_ptr<TtfLibrary> library, TTF_Font* font, int cellHeight, uint64_t id);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    TTF_Font* font() const { return font_; }
    int cellHeight() const { return cellHeight_; }  // the step from one line to the next
    uint64_t id() const { return id_; }

  private:
    std::shared_ptr<TtfLibrary> library_;
    TTF_Font* font_;
    int cellHeight_;
    uint64_t id_;
};

// Finds and opens faces for font descriptors, remembering both the lookup and the face.
class FontFaces {
  public:
    // Null when SDL_ttf cannot start.
    static std::shared_ptr<FontFaces> Start();

    // The face for the descriptor, or null when none can be found or opened.
    std::shared_ptr<FontFace> Open(const FontDesc& desc);

  private:
    explicit FontFaces(std::shared_ptr<TtfLibrary> library) : library_(std::move(library)) {}
    std::string FindFile(const FontDesc& desc);

    std::shared_ptr<TtfLibrary> library_;
    std::map<std::tuple<std::string, bool, bool, int>, std::string> files_;
    std::map<std::pair<std::string, int>, std::shared_ptr<FontFace>> faces_;
    uint64_t nextId_ = 1;
};

// Rendered text blocks as single-channel textures, by face, text and wrap width.
class TextCache {
  public:
    struct Block {
        unsigned texture = 0;
        int width = 0;
        int height = 0;
        int lineCount = 0;
        uint64_t lastUse = 0;
    };

    // Wrap widths that are no width: lines only at line breaks, or one line whatever it holds.
    static constexpr int kNoWrap = -1;
    static constexpr int kSingleLine = -2;

    ~TextCache();
    // The block for the text, rendered on first use; null when it cannot be.
    const Block* Find(FontFace& face, std::string_view text, int wrapWidth);
    void ForgetGl();  // the context went and took the textures with it
    void Clear();     // deletes the textures

  private:
    // The steps of making a block: its lines (wrapped, and cut to what a texture holds), its
    // size, its coverage pixels and their texture.
    Block* LookUp(const FontFace& face, std::string_view text, int wrapWidth);
    void MakeRoom();
    static std::vector<std::string> LinesOf(TTF_Font* font, std::string_view text, int wrapWidth);
    static Block Measure(const FontFace& face, const std::vector<std::string>& lines);
    static std::vector<uint8_t> Rasterise(const FontFace& face,
                                          const std::vector<std::string>& lines,
                                          const Block& block);
    static unsigned Upload(const std::vector<uint8_t>& coverage, const Block& block);

    struct Key {
        uint64_t face;
        int wrapWidth;
        std::string text;
    };
    struct KeyView {
        uint64_t face;
        int wrapWidth;
        std::string_view text;
    };
    // Looks blocks up by a view of the text, so that a frame's draws allocate nothing.
    struct KeyLess {
        using is_transparent = void;
        static KeyView View(const Key& k) { return {k.face, k.wrapWidth, k.text}; }
        static KeyView View(const KeyView& k) { return k; }
        template <typename A, typename B>
        bool operator()(const A& a, const B& b) const {
            const KeyView x = View(a);
            const KeyView y = View(b);
            return std::tie(x.face, x.wrapWidth, x.text) < std::tie(y.face, y.wrapWidth, y.text);
        }
    };
    std::map<Key, Block, KeyLess> blocks_;
    uint64_t uses_ = 0;
};

class GlFont final : public Font {
  public:
    GlFont(std::shared_ptr<DeviceLink> link, std::shared_ptr<FontFace> face)
        : link_(std::move(link)), face_(std::move(face)) {}

    int32_t DrawTextA(const char* text, int32_t count, const Rect& rect, uint32_t format,
                      uint32_t colour) override;
    HResult OnLostDevice() override;
    HResult OnResetDevice() override;

  private:
    std::shared_ptr<DeviceLink> link_;
    std::shared_ptr<FontFace> face_;
    bool lost_ = false;
};

}  // namespace platform::sdl
