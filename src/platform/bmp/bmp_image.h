#pragma once

// The game's own BMP reader, for every backend that has no image loader of its own (the cursor
// image "arrow.bmp"). Plain C++: it trusts nothing in the file that it has not checked against
// the file's length.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::bmp {

struct ArgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, top row first
};

// Decodes an uncompressed or bit-field BMP of 1, 4, 8, 16, 24 or 32 bits per pixel, bottom-up
// or top-down. Anything else, and anything whose headers, palette or pixel rows do not fit in
// `size` bytes, is refused. Pixels equal to `colourKey` (unless it is 0) become transparent
// black, as D3DX's colour key makes them.
bool DecodeBmp(const uint8_t* data, size_t size, uint32_t colourKey, ArgbImage& image);

// Reads a file and decodes it. Only a regular file of a sane size is read: a missing file, a
// directory, a device or a named pipe (which would wait for a writer) is refused at once.
bool LoadBmp(const char* file, uint32_t colourKey, ArgbImage& image);

}  // namespace platform::bmp
