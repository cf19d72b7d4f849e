#pragma once

// The two shader programs the device draws with: coloured meshes, and text blocks sampled
// from a glyph texture. Made with each context.

#include <cstdint>
#include <string>

namespace platform::gl {

struct GlPrograms {
    // False (nothing left behind, `why` holding the compiler's words) when either program
    // will not build.
    bool Make(std::string& why);
    void Drop();

    unsigned mesh = 0;
    unsigned text = 0;
    unsigned meshArray = 0;
    unsigned textArray = 0;
    int world = -1;
    int projection = -1;
    int textArea = -1;
    int textTarget = -1;
    int textColour = -1;
};

// 0xAARRGGBB as red, green, blue, alpha in 0..1.
void ArgbToFloats(uint32_t argb, float rgba[4]);

}  // namespace platform::gl
