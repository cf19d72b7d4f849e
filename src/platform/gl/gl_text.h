#pragma once

// Text for the device: faces that a backend rasterises with its own font system, laid out
// here with the shared word-break rules, and the blocks they draw kept as textures.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "platform/gl/gl_resource.h"
#include "platform/graphics.h"

namespace platform::gl {

// One face at one size, as a backend's font system has it.
class TextFace {
  public:
    explicit TextFace(int cellHeight);
    virtual ~TextFace() = default;
    TextFace(const TextFace&) = delete;
    TextFace& operator=(const TextFace&) = delete;

    int cellHeight() const { return cellHeight_; }  // the step from one line to the next
    uint64_t id() const { return id_; }             // no two faces share one

    // The line's width in pixels.
    virtual int Width(std::string_view line) = 0;
    // How many bytes from the line's start fit within `width` pixels.
    virtual size_t Fit(std::string_view line, int width) = 0;
    // The line's coverage (0 to 255) drawn from the top left of a `columns` x `rows` area,
    // `coverage` pointing at its first byte, rows `columns` bytes apart.
    virtual void Draw(std::string_view line, uint8_t* coverage, int columns, int rows) = 0;

  private:
    int cellHeight_;
    uint64_t id_;
};

// Finds faces for font descriptors; a backend's font system.
class TextFaces {
  public:
    virtual ~TextFaces() = default;
    // The face for the descriptor, or null when none can be found or opened.
    virtual std::shared_ptr<TextFace> Open(const FontDesc& desc) = 0;
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

    // The wrap width that is no width: lines only at line breaks.
    static constexpr int kNoWrap = -1;

    ~TextCache();
    // The block for the text, rendered on first use; null when it cannot be.
    const Block* Find(TextFace& face, std::string_view text, int wrapWidth);
    void ForgetGl();  // the context went and took the textures with it
    void Clear();     // deletes the textures

  private:
    // The steps of making a block: its lines (wrapped, and cut to what a texture holds), its
    // size, its coverage pixels and their texture.
    Block* LookUp(const TextFace& face, std::string_view text, int wrapWidth);
    void MakeRoom();
    static std::vector<std::string> LinesOf(TextFace& face, std::string_view text, int wrapWidth);
    static Block Measure(TextFace& face, const std::vector<std::string>& lines);
    static std::vector<uint8_t> Rasterise(TextFace& face, const std::vector<std::string>& lines,
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
    GlFont(std::shared_ptr<DeviceLink> link, std::shared_ptr<TextFace> face)
        : link_(std::move(link)), face_(std::move(face)) {}

    int32_t DrawTextA(const char* text, int32_t count, const Rect& rect, uint32_t format,
                      uint32_t colour) override;
    HResult OnLostDevice() override;
    HResult OnResetDevice() override;

  private:
    std::shared_ptr<DeviceLink> link_;
    std::shared_ptr<TextFace> face_;
    bool lost_ = false;
};

}  // namespace platform::gl
