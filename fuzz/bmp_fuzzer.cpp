// Decodes fuzzed bytes as "arrow.bmp": every header field, palette size, depth, compression,
// row padding and length. Never a crash or a read out of bounds (the sanitizers watch), and
// every answer whole: a refusal leaves no half-read image, an image has every pixel.

#include "fuzz_check.h"
#include "platform/bmp/bmp_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The game's colour key, and none.
    for (const uint32_t key : {0xFF000000u, 0u}) {
        platform::bmp::ArgbImage image;
        if (!platform::bmp::DecodeBmp(data, size, key, image)) {
            Require(image.width == 0 && image.height == 0 && image.pixels.empty(),
                    "a refused file leaves no image");
            continue;
        }
        Require(
            image.width > 0 && image.height > 0 && image.width <= 16384 && image.height <= 16384,
            "an image has a sane size");
        Require(image.pixels.size() == static_cast<size_t>(image.width) * image.height,
                "an image has every pixel");
        for (const uint32_t pixel : image.pixels) {
            Require(key == 0 || pixel != key, "the colour key is made transparent");
        }
    }
    return 0;
}
