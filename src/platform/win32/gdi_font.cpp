#include "platform/win32/gdi_font.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>
#include <string>

#include "platform/win32/com_ptr.h"
#include "platform/win32/texture_drawing.h"

namespace platform::win32 {

namespace {

// Larger than any back buffer the game draws to; a rectangle past it is cut, as the screen
// would cut it.
constexpr int kLargestSide = 2048;
// The menu draws the same few labels every frame: kept, they cost one quad each.
constexpr size_t kKeptTexts = 8;

LOGFONTA ToLogFont(const FontDesc& desc) {
    LOGFONTA font{};
    font.lfHeight = desc.Height;
    font.lfWidth = static_cast<LONG>(desc.Width);
    font.lfWeight = static_cast<LONG>(desc.Weight);
    font.lfItalic = desc.Italic ? TRUE : FALSE;
    font.lfCharSet = desc.CharSet;
    font.lfOutPrecision = desc.OutputPrecision;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = desc.Quality;  // the default: smoothed as the desktop smooths text
    font.lfPitchAndFamily = desc.PitchAndFamily;
    std::memcpy(font.lfFaceName, desc.FaceName, sizeof font.lfFaceName - 1);
    return font;
}

// A DIB section selected into a memory DC for the life of one rasterisation.
class Canvas {
  public:
    Canvas(HDC dc, int width, int height) : dc_(dc) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap_ && bits) {
            pixels_ = static_cast<const uint32_t*>(bits);
            std::memset(bits, 0, static_cast<size_t>(width) * height * 4);
            old_ = ::SelectObject(dc, bitmap_);
        }
    }
    ~Canvas() {
        if (old_) {
            ::SelectObject(dc_, old_);
        }
        if (bitmap_) {
            ::DeleteObject(bitmap_);
        }
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // 0x00RRGGBB, top row first; null when the DIB could not be made.
    const uint32_t* pixels() const { return pixels_; }

  private:
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    const uint32_t* pixels_ = nullptr;
};

// White text on black: each pixel's brightness is the text's coverage there (the mean of the
// three channels, should GDI smooth with colour fringes), but raised through the gamma GDI
// smooths text with (the desktop's font smoothing contrast, 1.4 unless set). D3DX's glyphs
// are plain coverage, and blending them is linear: the table takes the gamma back out.
class CoverageTable {
  public:
    CoverageTable() {
        UINT contrast = 0;
        if (!::SystemParametersInfoA(SPI_GETFONTSMOOTHINGCONTRAST, 0, &contrast, 0) ||
            contrast < 1000 || contrast > 2200) {
            contrast = 1400;
        }
        const double gamma = contrast / 1000.0;
        for (int i = 0; i < 256; ++i) {
            table_[i] = static_cast<uint8_t>(std::lround(std::pow(i / 255.0, gamma) * 255.0));
        }
    }
    uint8_t Of(uint32_t rgb) const {
        return table_[((rgb >> 16 & 0xFF) + (rgb >> 8 & 0xFF) + (rgb & 0xFF)) / 3];
    }

  private:
    uint8_t table_[256];
};

class GdiFont final : public Font {
  public:
    GdiFont(IDirect3DDevice9* device, HFONT font, HDC dc)
        : device_(device), font_(font), dc_(dc), oldFont_(::SelectObject(dc, font)) {
        device->AddRef();  // as D3DX's fonts do: the font keeps its device
        ::SetTextColor(dc, RGB(255, 255, 255));
        ::SetBkMode(dc, TRANSPARENT);
    }
    ~GdiFont() override {
        kept_.clear();
        ::SelectObject(dc_, oldFont_);
        ::DeleteDC(dc_);
        ::DeleteObject(font_);
    }
    GdiFont(const GdiFont&) = delete;
    GdiFont& operator=(const GdiFont&) = delete;

    int32_t DrawTextA(const char* text, int32_t count, const Rect& rect, uint32_t format,
                      uint32_t colour) override {
        if (!text) {
            return 0;
        }
        const size_t length = count < 0 ? std::strlen(text) : static_cast<size_t>(count);
        const TextImage* image = Find(std::string(text, length), rect, format);
        if (image && image->texture) {
            DrawTextQuad(device_.get(), image->texture.get(), rect.left, rect.top, image->width,
                         image->height, colour);
        }
        return image ? image->textHeight : 0;
    }
    // The kept textures are managed and would survive a reset; they go anyway, as D3DX lets
    // go of its glyph textures, and are made again when next drawn.
    HResult OnLostDevice() override {
        kept_.clear();
        return kOk;
    }
    HResult OnResetDevice() override { return kOk; }

  private:
    struct TextImage {
        std::string text;
        int32_t rectWidth = 0;
        int32_t rectHeight = 0;
        uint32_t format = 0;
        int width = 0;  // of the texture; 0 when nothing shows
        int height = 0;
        int32_t textHeight = 0;  // what DrawText answers
        ComPtr<IDirect3DTexture9> texture;
    };

    const TextImage* Find(std::string text, const Rect& rect, uint32_t format) {
        const int32_t width = rect.right - rect.left;
        const int32_t height = rect.bottom - rect.top;
        for (const TextImage& kept : kept_) {
            if (kept.text == text && kept.rectWidth == width && kept.rectHeight == height &&
                kept.format == format) {
                return &kept;
            }
        }
        TextImage image;
        image.text = std::move(text);
        image.rectWidth = width;
        image.rectHeight = height;
        image.format = format;
        if (!Rasterise(image)) {
            return nullptr;
        }
        if (kept_.size() == kKeptTexts) {
            kept_.pop_front();
        }
        kept_.push_back(std::move(image));
        return &kept_.back();
    }

    // Lays the text out in its rectangle as DrawText does and copies what shows into a texture.
    bool Rasterise(TextImage& image) {
        const int length = static_cast<int>(std::min<size_t>(image.text.size(), INT_MAX));
        const UINT format = image.format | DT_NOPREFIX;  // the game's text is drawn as given
        RECT extent{0, 0, image.rectWidth, image.rectHeight};
        image.textHeight =
            ::DrawTextA(dc_, image.text.c_str(), length, &extent, format | DT_CALCRECT);
        image.width =
            std::clamp<int>(std::min<LONG>(extent.right, image.rectWidth), 0, kLargestSide);
        image.height =
            std::clamp<int>(std::min<LONG>(extent.bottom, image.rectHeight), 0, kLargestSide);
        if (image.width == 0 || image.height == 0) {
            return true;  // nothing shows: an empty text or rectangle
        }
        const Canvas canvas(dc_, image.width, image.height);
        if (!canvas.pixels()) {
            return false;
        }
        RECT area{0, 0, image.rectWidth, image.rectHeight};
        ::DrawTextA(dc_, image.text.c_str(), length, &area, format);
        ::GdiFlush();
        const uint32_t* pixels = canvas.pixels();
        const int width = image.width;
        static const CoverageTable coverage;
        image.texture = CreateArgbTexture(
            device_.get(), image.width, image.height, D3DPOOL_MANAGED, [&](int x, int y) {
                // White, with the text's coverage as alpha: drawing colours it.
                return static_cast<uint32_t>(coverage.Of(pixels[y * width + x])) << 24 | 0xFFFFFFu;
            });
        return static_cast<bool>(image.texture);
    }

    ComPtr<IDirect3DDevice9> device_;
    HFONT font_;
    HDC dc_;
    HGDIOBJ oldFont_;
    std::deque<TextImage> kept_;
};

}  // namespace

std::unique_ptr<Font> CreateGdiFont(IDirect3DDevice9* device, const FontDesc& desc) {
    if (!device) {
        return nullptr;
    }
    const LOGFONTA logFont = ToLogFont(desc);
    const HFONT font = ::CreateFontIndirectA(&logFont);
    const HDC dc = font ? ::CreateCompatibleDC(nullptr) : nullptr;
    if (!dc) {
        if (font) {
            ::DeleteObject(font);
        }
        return nullptr;
    }
    return std::make_unique<GdiFont>(device, font, dc);
}

}  // namespace platform::win32
