#pragma once

#include <cstdint>
#include <vector>

namespace platform::sdl {

struct ArgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, top row first
};

// Loads a BMP file, checking its headers against its length before SDL reads it, so that an
// empty, truncated or malformed file is a failure rather than a crash. Pixels equal to
// `colourKey` (unless it is 0) become transparent black.
bool LoadBmp(const char* file, uint32_t colourKey, ArgbImage& image);

}  // namespace platform::sdl
