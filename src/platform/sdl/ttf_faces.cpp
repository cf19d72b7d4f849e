#include "platform/sdl/ttf_faces.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/sdl/sdl_surface.h"

namespace platform::sdl {

namespace {

constexpr int kMaxCellHeight = 2048;
constexpr int kDefaultCellHeight = 16;
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

TtfFace::TtfFace(std::shared_ptr<TtfLibrary> library, TTF_Font* font, int cellHeight)
    : TextFace(cellHeight), library_(std::move(library)), font_(font) {}

TtfFace::~TtfFace() {
    TTF_CloseFont(font_);
}

int TtfFace::Width(std::string_view line) {
    return LineWidth(font_, std::string(line));
}

size_t TtfFace::Fit(std::string_view line, int width) {
    int extent = 0;
    int count = 0;
    const std::string text(line);
    if (TTF_MeasureText(font_, text.c_str(), width, &extent, &count) != 0 || count < 0) {
        return line.size();
    }
    return static_cast<size_t>(count);
}

void TtfFace::Draw(std::string_view line, uint8_t* coverage, int columns, int rows) {
    const SDL_Color white{255, 255, 255, 255};
    const Surface argb =
        ToArgb(Surface(TTF_RenderText_Blended(font_, std::string(line).c_str(), white)));
    if (!argb) {
        return;
    }
    const int height = std::min(argb->h, rows);
    const int width = std::min(argb->w, columns);
    for (int y = 0; y < height; ++y) {
        const auto* source = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(argb->pixels) + static_cast<size_t>(y) * argb->pitch);
        for (int x = 0; x < width; ++x) {
            coverage[static_cast<size_t>(y) * columns + x] =
                static_cast<uint8_t>(source[x] >> 24);  // alpha
        }
    }
}

std::shared_ptr<TtfFaces> TtfFaces::Start() {
    if (TTF_Init() != 0) {
        return nullptr;
    }
    auto library = std::make_shared<TtfLibrary>();
    if (!FcInit()) {
        return nullptr;
    }
    return std::shared_ptr<TtfFaces>(new TtfFaces(std::move(library)));
}

std::string TtfFaces::FindFile(const FontDesc& desc) {
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

std::shared_ptr<gl::TextFace> TtfFaces::Open(const FontDesc& desc) {
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
    auto face = std::make_shared<TtfFace>(library_, font, step);
    faces_.emplace(key, face);
    return face;
}

}  // namespace platform::sdl
