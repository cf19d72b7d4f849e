#include "platform/sdl/bmp_image.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

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

}  // namespace

bool LoadBmp(const char* file, uint32_t colourKey, ArgbImage& image) {
    if (!file) {
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return false;
    }
    std::vector<uint8_t> data;
    in.seekg(0, std::ios::end);
    const std::streamoff length = in.tellg();
    if (length <= 0 || static_cast<uint64_t>(length) > kMaxFileBytes) {
        return false;
    }
    in.seekg(0);
    data.resize(static_cast<size_t>(length));
    if (!in.read(reinterpret_cast<char*>(data.data()), length) || !HeadersHold(data)) {
        return false;
    }
    SDL_RWops* stream = SDL_RWFromConstMem(data.data(), static_cast<int>(data.size()));
    SDL_Surface* loaded = stream ? SDL_LoadBMP_RW(stream, 1) : nullptr;
    if (!loaded) {
        return false;
    }
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
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
    SDL_FreeSurface(argb);
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
