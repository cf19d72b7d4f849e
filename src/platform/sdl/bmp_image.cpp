#include "platform/sdl/bmp_image.h"

#include <SDL.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/sdl/sdl_surface.h"

namespace platform::sdl {

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

bool HeadersHold(const std::vector<uint8_t>& data) {
    if (data.size() < kFileHeader + 12 || data[0] != 'B' || data[1] != 'M') {
        return false;
    }
    const uint64_t pixelsAt = Read32(data, 10);
    const uint32_t infoSize = Read32(data, 14);
    int64_t width = 0;
    int64_t height = 0;
    uint32_t bits = 0;
    uint32_t compression = 0;
    if (infoSize == 12) {
        width = Read16(data, 18);
        height = Read16(data, 20);
        bits = Read16(data, 24);
    } else if (infoSize >= 40 && infoSize <= 124) {
        if (data.size() < kFileHeader + infoSize) {
            return false;
        }
        width = static_cast<int32_t>(Read32(data, 18));
        height = static_cast<int32_t>(Read32(data, 22));
        bits = Read16(data, 28);
        compression = Read32(data, 30);
    } else {
        return false;
    }
    height = std::llabs(height);
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        return false;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return false;
    }
    // Uncompressed rows or bit fields only: their size is known before reading them.
    if (compression != 0 && compression != 3) {
        return false;
    }
    const uint64_t rowBytes = ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4;
    return pixelsAt >= kFileHeader + infoSize && pixelsAt + rowBytes * height <= data.size();
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

bool LoadBmp(const char* file, uint32_t colourKey, ArgbImage& image) {
    std::vector<uint8_t> data;
    if (!file || !ReadRegularFile(file, data) || !HeadersHold(data)) {
        return false;
    }
    SDL_RWops* stream = SDL_RWFromConstMem(data.data(), static_cast<int>(data.size()));
    const Surface argb = ToArgb(Surface(stream ? SDL_LoadBMP_RW(stream, 1) : nullptr));
    if (!argb) {
        return false;
    }
    image.width = argb->w;
    image.height = argb->h;
    image.pixels.resize(static_cast<size_t>(argb->w) * argb->h);
    for (int y = 0; y < argb->h; ++y) {
        std::memcpy(
            image.pixels.data() + static_cast<size_t>(y) * argb->w,
            static_cast<const uint8_t*>(argb->pixels) + static_cast<size_t>(y) * argb->pitch,
            static_cast<size_t>(argb->w) * 4);
    }
    if (colourKey != 0) {
        for (uint32_t& pixel : image.pixels) {
            if (pixel == colourKey) {
                pixel = 0;
            }
        }
    }
    return true;
}

}  // namespace platform::sdl
