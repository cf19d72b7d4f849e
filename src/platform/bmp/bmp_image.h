#pragma once

// BMP files read without any system library, for every backend that loads the cursor image
// itself. Headers are checked against the file's length before any pixel is read.

#include <cstdint>
#include <vector>

namespace platform::bmp {

struct ArgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, top row first
};

// Decodes a BMP held in memory: uncompressed rows of 1, 4, 8 (with a palette), 24 or 32 bits.
// Pixels equal to `colourKey` (unless it is 0) become transparent black. False, with `image`
// untouched, for anything else or anything malformed.
bool DecodeBmp(const std::vector<uint8_t>& data, uint32_t colourKey, ArgbImage& image);

// Loads a BMP file: only from a regular file of a sane size, so that a named pipe or a
// device is refused at once rather than waited on.
bool LoadBmp(const char* file, uint32_t colourKey, ArgbImage& image);

}  // namespace platform::bmp
