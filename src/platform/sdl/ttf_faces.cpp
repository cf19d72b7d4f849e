#include "platform/sdl/ttf_faces.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>

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

// fontconfig started for one lookup and shut down after it: the game asks for one face, and
// the configuration and caches it reads (some hundreds of KB) need not stay.
std::string FindOnce(const std::string& face, const char* generic, bool bold, bool italic) {
    if (!FcInit()) {
        return {};
    }
    std::string file = MatchFile(face, generic, bold, italic);
    FcFini();
    return file;
}

// 26.6 fixed point, rounded up to whole pixels as the font's metrics are.
int CeilPixels(FT_Pos value) {
    return static_cast<int>((value + 63) & -64) / 64;
}

// The font file read as FreeType asks for it, rather than mapped: a mapping brings in far
// more of the file than the few glyphs the game draws.
unsigned long ReadFile(FT_Stream stream, unsigned long offset, unsigned char* buffer,
                       unsigned long count) {
    std::FILE* file = static_cast<std::FILE*>(stream->descriptor.pointer);
    if (offset > static_cast<unsigned long>(std::numeric_limits<long>::max()) ||
        std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) {
        return count == 0 ? 1 : 0;  // a seek says failure by not 0, a read by reading nothing
    }
    return count == 0 ? 0 : std::fread(buffer, 1, count, file);
}

void CloseFile(FT_Stream stream) {
    std::fclose(static_cast<std::FILE*>(stream->descriptor.pointer));
    delete stream;
}

// Opens the face through ReadFile; FreeType closes the file with the face.
FT_Face OpenFace(FT_Library library, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return nullptr;
    }
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        size = std::ftell(file);
    }
    if (size <= 0) {
        std::fclose(file);
        return nullptr;
    }
    auto* stream = new FT_StreamRec{};
    stream->descriptor.pointer = file;
    stream->size = static_cast<unsigned long>(size);
    stream->read = ReadFile;
    stream->close = CloseFile;
    FT_Open_Args args{};
    args.flags = FT_OPEN_STREAM;
    args.stream = stream;
    FT_Face face = nullptr;
    // On failure FreeType has closed the stream already.
    return FT_Open_Face(library, &args, 0, &face) == 0 ? face : nullptr;
}

struct Metrics {
    int ascent = 0;
    int height = 0;  // ascent plus descent: the cell
};

// Sizes the face at `size` pixels to the em (points at 72 dots an inch); its metrics then, or
// none when the face cannot take the size.
std::optional<Metrics> SetPixelSize(FT_Face face, int size) {
    if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(size) * 64, 72, 72) != 0) {
        return std::nullopt;
    }
    const FT_Fixed scale = face->size->metrics.y_scale;
    Metrics metrics;
    metrics.ascent = CeilPixels(FT_MulFix(face->ascender, scale));
    metrics.height = metrics.ascent - CeilPixels(FT_MulFix(face->descender, scale));
    return metrics;
}

// The size whose cell (ascent plus descent) is `cellHeight` pixels, as the Windows font
// mapper reads a positive height: the largest size whose cell is no taller.
int PixelSizeFor(FT_Face face, int cellHeight) {
    int low = 1;
    int high = cellHeight * 2;
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        const auto metrics = SetPixelSize(face, middle);
        if (metrics && metrics->height <= cellHeight) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    return low;
}

}  // namespace

struct TtfLibrary {
    FT_Library library = nullptr;
    TtfLibrary() = default;
    ~TtfLibrary() {
        if (library) {
            FT_Done_FreeType(library);
        }
    }
    TtfLibrary(const TtfLibrary&) = delete;
    TtfLibrary& operator=(const TtfLibrary&) = delete;
};

TtfFace::TtfFace(std::shared_ptr<TtfLibrary> library, FT_Face face, int cellHeight, int ascent)
    : TextFace(cellHeight), library_(std::move(library)), face_(face), ascent_(ascent) {}

TtfFace::~TtfFace() {
    FT_Done_Face(face_);
}

const TtfFace::Glyph& TtfFace::GlyphOf(unsigned char c) {
    Glyph& glyph = glyphs_[c];
    if (glyph.loaded) {
        return glyph;
    }
    glyph.loaded = true;
    // The text is Latin-1: each byte is its own code point.
    glyph.index = FT_Get_Char_Index(face_, c);
    // The outline always (a face's own bitmaps may be one bit a pixel), drawn in 8-bit grey.
    if (FT_Load_Glyph(face_, glyph.index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0 ||
        FT_Render_Glyph(face_->glyph, FT_RENDER_MODE_NORMAL) != 0) {
        return glyph;
    }
    const FT_GlyphSlot slot = face_->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.advance = slot->advance.x;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.pitch < static_cast<int>(bitmap.width)) {
        return glyph;  // its advance only: no coverage this face should have given
    }
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.rows);
    for (int y = 0; y < glyph.rows; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
        std::copy(row, row + glyph.width, glyph.coverage.begin() + y * glyph.width);
    }
    return glyph;
}

template <typename Place>
int TtfFace::Lay(std::string_view line, Place&& place) {
    FT_Pos pen = 0;
    FT_UInt previous = 0;
    int extent = 0;
    const bool kerning = FT_HAS_KERNING(face_);
    for (size_t i = 0; i < line.size(); ++i) {
        const Glyph& glyph = GlyphOf(static_cast<unsigned char>(line[i]));
        if (kerning && previous && glyph.index) {
            FT_Vector delta{};
            if (FT_Get_Kerning(face_, previous, glyph.index, FT_KERNING_DEFAULT, &delta) == 0) {
                pen += delta.x;
            }
        }
        previous = glyph.index;
        const int x = static_cast<int>((pen + 32) >> 6);
        pen += glyph.advance;
        const int end = std::max(x + glyph.left + glyph.width, static_cast<int>((pen + 32) >> 6));
        if (!place(i, x, glyph, std::max(extent, end))) {
            return extent;
        }
        extent = std::max(extent, end);
    }
    return extent;
}

int TtfFace::Width(std::string_view line) {
    return Lay(line, [](size_t, int, const Glyph&, int) { return true; });
}

size_t TtfFace::Fit(std::string_view line, int width) {
    size_t fit = line.size();
    Lay(line, [&](size_t i, int, const Glyph&, int extent) {
        if (extent > width) {
            fit = i;
            return false;
        }
        return true;
    });
    return fit;
}

void TtfFace::Draw(std::string_view line, uint8_t* coverage, int columns, int rows) {
    Lay(line, [&](size_t, int x, const Glyph& glyph, int) {
        for (int gy = 0; gy < glyph.rows; ++gy) {
            const int y = ascent_ - glyph.top + gy;
            if (y < 0 || y >= rows) {
                continue;
            }
            for (int gx = 0; gx < glyph.width; ++gx) {
                const int at = x + glyph.left + gx;
                if (at < 0 || at >= columns) {
                    continue;
                }
                uint8_t& cell = coverage[static_cast<size_t>(y) * columns + at];
                cell = std::max(cell, glyph.coverage[static_cast<size_t>(gy) * glyph.width + gx]);
            }
        }
        return true;
    });
}

std::shared_ptr<TtfFaces> TtfFaces::Start() {
    auto library = std::make_shared<TtfLibrary>();
    if (FT_Init_FreeType(&library->library) != 0) {
        library->library = nullptr;
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
    std::string file = FindOnce(face, GenericFamily(desc.PitchAndFamily), bold, italic);
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
    FT_Face opened = OpenFace(library_->library, file);
    if (!opened) {
        faces_.emplace(key, nullptr);
        return nullptr;
    }
    // A negative height is the em itself; a positive one the cell the em is fitted to.
    const auto metrics =
        SetPixelSize(opened, emHeight ? cellHeight : PixelSizeFor(opened, cellHeight));
    if (!metrics) {
        FT_Done_Face(opened);
        faces_.emplace(key, nullptr);
        return nullptr;
    }
    auto face = std::make_shared<TtfFace>(library_, opened, emHeight ? metrics->height : cellHeight,
                                          metrics->ascent);
    faces_.emplace(key, face);
    return face;
}

}  // namespace platform::sdl
