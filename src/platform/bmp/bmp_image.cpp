#include "platform/bmp/bmp_image.h"

#include <array>
#include <bit>

#include "platform/bmp/regular_file.h"

namespace platform::bmp {

namespace {

constexpr size_t kFileHeader = 14;
constexpr size_t kCoreHeader = 12;  // the oldest info header: 16-bit sizes, 3-byte palette
constexpr size_t kMaxFileBytes = size_t{256} << 20;
constexpr int64_t kMaxSide = 16384;
constexpr uint32_t kUncompressed = 0;
constexpr uint32_t kBitFields = 3;
constexpr uint32_t kOpaque = 0xFF000000u;

class Bytes {
  public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t size() const { return size_; }
    bool Holds(uint64_t at, uint64_t length) const { return at <= size_ && length <= size_ - at; }
    uint8_t At(size_t at) const { return data_[at]; }
    uint16_t Read16(size_t at) const {
        return static_cast<uint16_t>(data_[at] | data_[at + 1] << 8);
    }
    uint32_t Read32(size_t at) const {
        return static_cast<uint32_t>(Read16(at)) | static_cast<uint32_t>(Read16(at + 2)) << 16;
    }

  private:
    const uint8_t* data_;
    size_t size_;
};

// One channel of a bit-field pixel, scaled to 8 bits.
struct Channel {
    uint32_t mask = 0;
    uint32_t Of(uint32_t pixel) const {
        if (mask == 0) {
            return 0;
        }
        const uint64_t top = mask >> std::countr_zero(mask);
        const uint64_t value = (pixel & mask) >> std::countr_zero(mask);
        return static_cast<uint32_t>((value * 255 + top / 2) / top);
    }
};

struct Layout {
    int64_t width = 0;
    int64_t height = 0;
    bool topDown = false;
    uint32_t bits = 0;
    uint32_t compression = kUncompressed;
    uint64_t pixelsAt = 0;
    uint64_t rowBytes = 0;
    std::array<Channel, 4> channels{};  // red, green, blue, alpha: for 16 and 32 bits
    std::vector<uint32_t> palette;      // for 1, 4 and 8 bits
};

bool ReadInfoHeader(const Bytes& bytes, Layout& layout, size_t& infoSize) {
    if (!bytes.Holds(0, kFileHeader + 4) || bytes.At(0) != 'B' || bytes.At(1) != 'M') {
        return false;
    }
    layout.pixelsAt = bytes.Read32(10);
    infoSize = bytes.Read32(14);
    if (infoSize == kCoreHeader && bytes.Holds(0, kFileHeader + kCoreHeader)) {
        layout.width = bytes.Read16(18);
        layout.height = bytes.Read16(20);
        layout.bits = bytes.Read16(24);
        return true;
    }
    if (infoSize < 40 || infoSize > 124 || !bytes.Holds(0, kFileHeader + infoSize)) {
        return false;
    }
    layout.width = static_cast<int32_t>(bytes.Read32(18));
    const int64_t height = static_cast<int32_t>(bytes.Read32(22));
    layout.topDown = height < 0;
    layout.height = height < 0 ? -height : height;
    layout.bits = bytes.Read16(28);
    layout.compression = bytes.Read32(30);
    return true;
}

// The formats a file of these bits may have: palette indices uncompressed, direct colour
// uncompressed or in bit fields. Run-length and embedded-image formats are refused.
bool FormatKnown(const Layout& layout) {
    switch (layout.bits) {
        case 1:
        case 4:
        case 8:
        case 24:
            return layout.compression == kUncompressed;
        case 16:
        case 32:
            return layout.compression == kUncompressed || layout.compression == kBitFields;
        default:
            return false;
    }
}

bool ReadChannels(const Bytes& bytes, size_t infoSize, Layout& layout) {
    if (layout.compression == kUncompressed) {
        // Windows' defaults: five bits a channel at 16 bits; 32 bits is X8R8G8B8, opaque.
        layout.channels = layout.bits == 16
                              ? std::array<Channel, 4>{{{0x7C00}, {0x03E0}, {0x001F}, {0}}}
                              : std::array<Channel, 4>{{{0xFF0000}, {0xFF00}, {0xFF}, {0}}};
        return true;
    }
    // The masks sit right after the 40-byte header, which the later headers include.
    const size_t masksAt = kFileHeader + 40;
    if (!bytes.Holds(masksAt, 12) || layout.pixelsAt < masksAt + 12) {
        return false;
    }
    for (size_t i = 0; i < 3; ++i) {
        layout.channels[i].mask = bytes.Read32(masksAt + 4 * i);
    }
    if (infoSize >= 56) {
        layout.channels[3].mask = bytes.Read32(masksAt + 12);
    }
    return true;
}

bool ReadPalette(const Bytes& bytes, size_t infoSize, Layout& layout) {
    const uint64_t largest = uint64_t{1} << layout.bits;
    const uint64_t used = infoSize == kCoreHeader ? 0 : bytes.Read32(kFileHeader + 32);
    const uint64_t count = used == 0 ? largest : used;
    const uint64_t entry = infoSize == kCoreHeader ? 3 : 4;
    const uint64_t at = kFileHeader + infoSize;
    if (count > largest || at + count * entry > layout.pixelsAt ||
        !bytes.Holds(at, count * entry)) {
        return false;
    }
    for (uint64_t i = 0; i < count; ++i) {
        const size_t e = static_cast<size_t>(at + i * entry);
        layout.palette.push_back(kOpaque | static_cast<uint32_t>(bytes.At(e + 2)) << 16 |
                                 static_cast<uint32_t>(bytes.At(e + 1)) << 8 | bytes.At(e));
    }
    return true;
}

bool ReadLayout(const Bytes& bytes, Layout& layout) {
    size_t infoSize = 0;
    if (!ReadInfoHeader(bytes, layout, infoSize) || !FormatKnown(layout)) {
        return false;
    }
    if (layout.width <= 0 || layout.height <= 0 || layout.width > kMaxSide ||
        layout.height > kMaxSide || layout.pixelsAt < kFileHeader + infoSize) {
        return false;
    }
    const bool indexed = layout.bits <= 8;
    if (indexed ? !ReadPalette(bytes, infoSize, layout) : !ReadChannels(bytes, infoSize, layout)) {
        return false;
    }
    layout.rowBytes = ((static_cast<uint64_t>(layout.width) * layout.bits + 31) / 32) * 4;
    return bytes.Holds(layout.pixelsAt, layout.rowBytes * static_cast<uint64_t>(layout.height));
}

// One pixel of a row; false for a palette index past the palette's end.
bool ReadPixel(const Bytes& bytes, const Layout& layout, size_t row, int64_t x, uint32_t& argb) {
    if (layout.bits <= 8) {
        const uint64_t bit = static_cast<uint64_t>(x) * layout.bits;
        const uint8_t byte = bytes.At(row + static_cast<size_t>(bit / 8));
        const uint32_t index = (byte >> (8 - layout.bits - bit % 8)) & ((1u << layout.bits) - 1);
        if (index >= layout.palette.size()) {
            return false;
        }
        argb = layout.palette[index];
        return true;
    }
    const size_t at = row + static_cast<size_t>(x) * (layout.bits / 8);
    if (layout.bits == 24) {  // blue, green, red
        argb = kOpaque | static_cast<uint32_t>(bytes.At(at + 2)) << 16 | bytes.Read16(at);
        return true;
    }
    const uint32_t pixel = layout.bits == 16 ? bytes.Read16(at) : bytes.Read32(at);
    const auto& c = layout.channels;
    const uint32_t alpha = c[3].mask ? c[3].Of(pixel) << 24 : kOpaque;
    argb = alpha | c[0].Of(pixel) << 16 | c[1].Of(pixel) << 8 | c[2].Of(pixel);
    return true;
}

}  // namespace

bool DecodeBmp(const uint8_t* data, size_t size, uint32_t colourKey, ArgbImage& image) {
    const Bytes bytes(data, data ? size : 0);
    Layout layout;
    if (!ReadLayout(bytes, layout)) {
        return false;
    }
    std::vector<uint32_t> pixels(static_cast<size_t>(layout.width * layout.height));
    for (int64_t y = 0; y < layout.height; ++y) {
        const int64_t stored = layout.topDown ? y : layout.height - 1 - y;
        const size_t row = static_cast<size_t>(layout.pixelsAt + layout.rowBytes * stored);
        uint32_t* out = pixels.data() + y * layout.width;
        for (int64_t x = 0; x < layout.width; ++x) {
            if (!ReadPixel(bytes, layout, row, x, out[x])) {
                return false;
            }
            if (colourKey != 0 && out[x] == colourKey) {
                out[x] = 0;
            }
        }
    }
    image.width = static_cast<int>(layout.width);
    image.height = static_cast<int>(layout.height);
    image.pixels = std::move(pixels);
    return true;
}

bool LoadBmp(const char* file, uint32_t colourKey, ArgbImage& image) {
    if (!file) {
        return false;
    }
    const auto data = ReadRegularFile(file, kMaxFileBytes);
    return data && DecodeBmp(data->data(), data->size(), colourKey, image);
}

}  // namespace platform::bmp
