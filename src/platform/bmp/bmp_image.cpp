#include "platform/bmp/bmp_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform::bmp {

namespace {

constexpr size_t kFileHeader = 14;
constexpr size_t kMaxFileBytes = size_t{256} << 20;
constexpr int64_t kMaxSide = 16384;

uint32_t Read32(const std::vector<uint8_t>& data, size_t at) {
    return static_cast<uint32_t>(data[at]) | static_cast<uint32_t>(data[at + 1]) << 8 |
           static_cast<uint32_t>(data[at + 2]) << 16 | static_cast<uint32_t>(data[at + 3]) << 24;
}

uint16_t Read16(const std::vector<uint8_t>& data, size_t at) {
    return static_cast<uint16_t>(data[at] | data[at + 1] << 8);
}

// What the headers say, once they hold together with the file's length.
struct Layout {
    int64_t width = 0;
    int64_t height = 0;
    bool topDown = false;
    uint32_t bits = 0;
    uint64_t pixelsAt = 0;
    uint64_t rowBytes = 0;
    uint64_t paletteAt = 0;
    uint32_t paletteEntry = 4;  // the old 12-byte header has three-byte entries
    uint32_t paletteSize = 0;
};

bool ReadLayout(const std::vector<uint8_t>& data, Layout& layout) {
    if (data.size() < kFileHeader + 12 || data[0] != 'B' || data[1] != 'M') {
        return false;
    }
    layout.pixelsAt = Read32(data, 10);
    const uint32_t infoSize = Read32(data, 14);
    uint32_t compression = 0;
    uint32_t colours = 0;
    if (infoSize == 12) {
        layout.width = Read16(data, 18);
        layout.height = Read16(data, 20);
        layout.bits = Read16(data, 24);
        layout.paletteEntry = 3;
    } else if (infoSize >= 40 && infoSize <= 124 && data.size() >= kFileHeader + infoSize) {
        layout.width = static_cast<int32_t>(Read32(data, 18));
        layout.height = static_cast<int32_t>(Read32(data, 22));
        layout.bits = Read16(data, 28);
        compression = Read32(data, 30);
        colours = Read32(data, 46);
    } else {
        return false;
    }
    layout.topDown = layout.height < 0;
    layout.height = std::llabs(layout.height);
    const uint32_t bits = layout.bits;
    if (layout.width <= 0 || layout.height <= 0 || layout.width > kMaxSide ||
        layout.height > kMaxSide || compression != 0 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)) {
        return false;
    }
    if (bits <= 8) {
        layout.paletteSize = colours == 0 || colours > (1u << bits) ? 1u << bits : colours;
    }
    layout.paletteAt = kFileHeader + infoSize;
    layout.rowBytes = ((static_cast<uint64_t>(layout.width) * bits + 31) / 32) * 4;
    const uint64_t paletteEnd =
        layout.paletteAt + uint64_t{layout.paletteSize} * layout.paletteEntry;
    return layout.pixelsAt >= paletteEnd &&
           layout.pixelsAt + layout.rowBytes * static_cast<uint64_t>(layout.height) <= data.size();
}

uint32_t PixelAt(const std::vector<uint8_t>& data, const Layout& layout, const uint8_t* row,
                 int64_t x) {
    if (layout.bits >= 24) {
        const uint8_t* p = row + x * (layout.bits / 8);
        return 0xFF000000u | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
    }
    const uint64_t bit = static_cast<uint64_t>(x) * layout.bits;
    const uint32_t mask = (1u << layout.bits) - 1;
    const uint32_t index = (row[bit / 8] >> (8 - layout.bits - bit % 8)) & mask;
    if (index >= layout.paletteSize) {
        return 0xFF000000u;
    }
    const size_t at = layout.paletteAt + size_t{index} * layout.paletteEntry;
    return 0xFF000000u | uint32_t{data[at + 2]} << 16 | uint32_t{data[at + 1]} << 8 | data[at];
}

// The whole file, when it is a regular file of a sane size. Anything else (a named pipe
// that would wait for a writer, a directory, a device) is refused at once, like a missing file.
bool ReadRegularFile(const char* file, std::vector<uint8_t>& data) {
    const int fd = open(file, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
              static_cast<uint64_t>(info.st_size) <= kMaxFileBytes;
    if (ok) {
        data.resize(static_cast<size_t>(info.st_size));
        size_t done = 0;
        while (done < data.size()) {
            const ssize_t n = read(fd, data.data() + done, data.size() - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            done += static_cast<size_t>(n);
        }
        ok = done == data.size();
    }
    close(fd);
    return ok;
}

}  // namespace

bool DecodeBmp(const std::vector<uint8_t>& data, uint32_t colourKey, ArgbImage& image) {
    Layout layout;
    if (!ReadLayout(data, layout)) {
        return false;
    }
    ArgbImage decoded;
    decoded.width = static_cast<int>(layout.width);
    decoded.height = static_cast<int>(layout.height);
    decoded.pixels.resize(static_cast<size_t>(layout.width * layout.height));
    for (int64_t y = 0; y < layout.height; ++y) {
        // Rows are stored bottom-up unless the height was negative.
        const int64_t stored = layout.topDown ? y : layout.height - 1 - y;
        const uint8_t* row = data.data() + layout.pixelsAt + stored * layout.rowBytes;
        for (int64_t x = 0; x < layout.width; ++x) {
            uint32_t pixel = PixelAt(data, layout, row, x);
            if (colourKey != 0 && pixel == colourKey) {
                pixel = 0;
            }
            decoded.pixels[static_cast<size_t>(y * layout.width + x)] = pixel;
        }
    }
    image = std::move(decoded);
    return true;
}

bool LoadBmp(const char* file, uint32_t colourKey, ArgbImage& image) {
    std::vector<uint8_t> data;
    return file && ReadRegularFile(file, data) && DecodeBmp(data, colourKey, image);
}

}  // namespace platform::bmp
