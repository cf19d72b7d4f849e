#include "platform/sdl/gl_text.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <epoxy/gl.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "platform/sdl/gl_device.h"
#include "platform/sdl/sdl_surface.h"
#include "platform/sdl/text_layout.h"

namespace platform::sdl {

namespace {

constexpr int kMaxCellHeight = 2048;
constexpr int kDefaultCellHeight = 16;
constexpr int kMaxTextureSide = 8192;
constexpr size_t kMaxBlocks = 256;
constexpr uint32_t kBoldWeight = 600;

// The generic family a descriptor's pitch and family byte asks for.
const char* GenericFamily(uint8_t pitchAndFamily) {
    if ((pitchAndFamily & 0x03) == 1) {  // FIXED_PITCH
        return "monospace";
    }
    switch (pitchAndFamily & 0xF0) {
        case 0x10:
            return "serif";
        case 0x30:
            return "monospace";
        case 0x40:
            return "cursive";
        case 0x50:
            return "fantasy";
        default:  // FF_SWISS, FF_DONTCARE
            return "sans-serif";
    }
}

struct PatternDestroy {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDestroy>;

std::string MatchFile(const std::string& face, const char* generic, bool bold, bool italic) {
    const Pattern pattern(FcPatternCreate());
    if (!pattern) {
        return {};
    }
    if (!face.empty()) {
        FcPatternAddString(pattern.get(), FC_FAMILY,
                           reinterpret_cast<const FcChar8*>(face.c_str()));
    }
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(generic));
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    const Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
    FcChar8* path = nullptr;
    if (match && FcPatternGetString(match.get(), FC_FILE, 0, &path) == FcResultMatch && path) {
        return reinterpret_cast<const char*>(path);
    }
    return {};
}

int LineWidth(TTF_Font* font, const std::string& line) {
    int width = 0;
    int height = 0;
    return TTF_SizeText(font, line.c_str(), &width, &height) == 0 ? width : 0;
}

// The point size whose cell (ascent plus descent) is `cellHeight` pixels, as the Windows
// font mapper reads a positive height: the largest size whose cell is no taller.
int PointSizeFor(TTF_Font* font, int cellHeight) {
    int low = 1;
    int high = cellHeight * 2;
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (TTF_SetFontSize(font, middle) == 0 && TTF_FontHeight(font) <= cellHeight) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    return low;
}

}  // namespace

struct TtfLibrary {
    TtfLibrary() = default;
    ~TtfLibrary() { TTF_Quit(); }
    TtfLibrary(const TtfLibrary&) = delete;
    TtfLibrary& operator=(const TtfLibrary&) = delete;
};

FontFace::FontFace(std::shared_ptr<TtfLibrary> library, TTF_Font* font, int cellHeight, uint64_t id)
    : library_(std::move(library)), font_(font), cellHeight_(cellHeight), id_(id) {}

FontFace::~FontFace() {
    TTF_CloseFont(font_);
}

std::shared_ptr<FontFaces> FontFaces::Start() {
    if (TTF_Init() != 0) {
        return nullptr;
    }
    auto library = std::make_shared<TtfLibrary>();
    if (!FcInit()) {
        return nullptr;
    }
    return std::shared_ptr<FontFaces>(new FontFaces(std::move(library)));
}

std::string FontFaces::FindFile(const FontDesc& desc) {
    // The face name need not end within its 32 bytes.
    std::string face(desc.FaceName, strnlen(desc.FaceName, sizeof desc.FaceName));
    std::transform(face.begin(), face.end(), face.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const bool bold = desc.Weight >= kBoldWeight;
    const bool italic = desc.Italic != 0;
    const auto key = std::make_tuple(face, bold, italic, int{desc.PitchAndFamily});
    if (auto found = files_.find(key); found != files_.end()) {
        return found->second;
    }
    std::string file = MatchFile(face, GenericFamily(desc.PitchAndFamily), bold, italic);
    files_.emplace(key, file);
    return file;
}

std::shared_ptr<FontFace> FontFaces::Open(const FontDesc& desc) {
    int cellHeight = desc.Height;
    bool emHeight = false;
    if (cellHeight == 0) {
        cellHeight = kDefaultCellHeight;
    } else if (cellHeight < 0) {
        // A negative height is the character height, the em square, in pixels.
        emHeight = true;
        cellHeight = cellHeight == INT32_MIN ? kMaxCellHeight + 1 : -cellHeight;
    }
    if (cellHeight > kMaxCellHeight) {
        return nullptr;
    }
    const std::string file = FindFile(desc);
    if (file.empty()) {
        return nullptr;
    }
    const auto key = std::make_pair(file, emHeight ? -cellHeight : cellHeight);
    if (auto found = faces_.find(key); found != faces_.end()) {
        return found->second;
    }
    TTF_Font* font = TTF_OpenFont(file.c_str(), cellHeight);
    if (!font) {
        faces_.emplace(key, nullptr);
        return nullptr;
    }
    if (!emHeight) {
        TTF_SetFontSize(font, PointSizeFor(font, cellHeight));
    }
    const int step = emHeight ? TTF_FontHeight(font) : cellHeight;
    auto face = std::make_shared<FontFace>(library_, font, std::max(step, 1), nextId_++);
    faces_.emplace(key, face);
    return face;
}

TextCache::~TextCache() {
    Clear();
}

void TextCache::ForgetGl() {
    blocks_.clear();
}

void TextCache::Clear() {
    for (auto& [key, block] : blocks_) {
        glDeleteTextures(1, &block.texture);
    }
    blocks_.clear();
}

const TextCache::Block* TextCache::Find(FontFace& face, std::string_view text, int wrapWidth) {
    ++uses_;
    if (Block* found = LookUp(face, text, wrapWidth)) {
        found->lastUse = uses_;
        return found;
    }
    MakeRoom();
    const std::vector<std::string> lines = LinesOf(face.font(), text, wrapWidth);
    Block block = Measure(face, lines);
    block.texture = Upload(Rasterise(face, lines, block), block);
    block.lastUse = uses_;
    return &blocks_.emplace(Key{face.id(), wrapWidth, std::string(text)}, block).first->second;
}

TextCache::Block* TextCache::LookUp(const FontFace& face, std::string_view text, int wrapWidth) {
    const auto found = blocks_.find(KeyView{face.id(), wrapWidth, text});
    return found == blocks_.end() ? nullptr : &found->second;
}

void TextCache::MakeRoom() {
    if (blocks_.size() < kMaxBlocks) {
        return;
    }
    const auto oldest = std::min_element(blocks_.begin(), blocks_.end(), [](auto& a, auto& b) {
        return a.second.lastUse < b.second.lastUse;
    });
    glDeleteTextures(1, &oldest->second.texture);
    blocks_.erase(oldest);
}

std::vector<std::string> TextCache::LinesOf(TTF_Font* font, std::string_view text, int wrapWidth) {
    std::vector<std::string> lines =
        wrapWidth == kSingleLine ? std::vector<std::string>{std::string(text)}
                                 : LayOutLines(text, wrapWidth, [font](std::string_view line) {
                                       return LineWidth(font, std::string(line));
                                   });
    // Only what a texture can hold is rendered: the rest lies off the back buffer anyway.
    for (std::string& line : lines) {
        int extent = 0;
        int count = 0;
        if (TTF_MeasureText(font, line.c_str(), kMaxTextureSide, &extent, &count) == 0 &&
            count >= 0 && static_cast<size_t>(count) < line.size()) {
            line.resize(static_cast<size_t>(count));
        }
    }
    return lines;
}

TextCache::Block TextCache::Measure(const FontFace& face, const std::vector<std::string>& lines) {
    Block block;
    block.lineCount = static_cast<int>(lines.size());
    int width = 1;
    for (const std::string& line : lines) {
        width = std::max(width, LineWidth(face.font(), line));
    }
    block.width = std::min(width, kMaxTextureSide);
    block.height = std::clamp(face.cellHeight() * block.lineCount, 1, kMaxTextureSide);
    return block;
}

std::vector<uint8_t> TextCache::Rasterise(const FontFace& face,
                                          const std::vector<std::string>& lines,
                                          const Block& block) {
    // Coverage only; the colour comes at drawing time.
    std::vector<uint8_t> coverage(static_cast<size_t>(block.width) * block.height, 0);
    const int step = face.cellHeight();
    const SDL_Color white{255, 255, 255, 255};
    for (size_t i = 0; i < lines.size(); ++i) {
        const int top = static_cast<int>(i) * step;
        if (lines[i].empty() || top >= block.height) {
            continue;
        }
        const Surface argb =
            ToArgb(Surface(TTF_RenderText_Blended(face.font(), lines[i].c_str(), white)));
        if (!argb) {
            continue;
        }
        const int rows = std::min({argb->h, step, block.height - top});
        const int columns = std::min(argb->w, block.width);
        for (int y = 0; y < rows; ++y) {
            const auto* source = reinterpret_cast<const uint32_t*>(
                static_cast<const uint8_t*>(argb->pixels) + static_cast<size_t>(y) * argb->pitch);
            uint8_t* target = coverage.data() + static_cast<size_t>(top + y) * block.width;
            for (int x = 0; x < columns; ++x) {
                target[x] = static_cast<uint8_t>(source[x] >> 24);  // alpha
            }
        }
    }
    return coverage;
}

unsigned TextCache::Upload(const std::vector<uint8_t>& coverage, const Block& block) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, block.width, block.height, 0, GL_RED, GL_UNSIGNED_BYTE,
                 coverage.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return texture;
}

int32_t GlFont::DrawTextA(const char* text, int32_t count, const Rect& rect, uint32_t format,
                          uint32_t colour) {
    GlDevice* device = link_->device;
    if (!device || lost_ || !text) {
        return 0;
    }
    return device->DrawTextBlock(*face_, text, count, rect, format, colour);
}

HResult GlFont::OnLostDevice() {
    lost_ = true;
    return kOk;
}

HResult GlFont::OnResetDevice() {
    lost_ = false;
    return kOk;
}

}  // namespace platform::sdl
