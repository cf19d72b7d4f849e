#pragma once

// The shader programs the device draws with: coloured meshes, text blocks sampled from a
// glyph texture and, on the desktop, the back buffer drawn into the window. The text and
// present programs are made with each context; the mesh program only
// once the first frame is shown (or a mesh is drawn before that), as the menu has no mesh
// and a compile before it would only delay the first frame.

#include <cstdint>
#include <string>

namespace platform::gl {

struct GlPrograms {
    // The text and present programs and the vertex arrays. False (nothing left behind, `why`
    // holding the compiler's words) when a program will not build.
    bool Make(std::string& why);
    // The mesh program, where it is not made yet. False (`why` saying why) when it will not
    // build; the rest stays as it was.
    bool MakeMesh(std::string& why);
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
    unsigned present = 0;  // 0 where the back buffer is shown with a blit
    int presentArea = -1;
    int presentTarget = -1;
    int presentSource = -1;
    int presentNearest = -1;
};

// 0xAARRGGBB as red, green, blue, alpha in 0..1.
void ArgbToFloats(uint32_t argb, float rgba[4]);

}  // namespace platform::gl
