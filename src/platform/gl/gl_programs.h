#pragma once

// The shader programs the device draws with: coloured meshes, text blocks sampled from a
// glyph texture and, on the desktop, the back buffer drawn into the window. What the menu's
// first frame needs is made with each context: the text program and the nearest-pixel
// present. The mesh program comes once the first frame is shown (or a mesh is drawn before
// that), the blending present when a window of another size first needs it: a compile
// before the first frame would only delay it.

#include <cstdint>
#include <string>

namespace platform::gl {

// The back buffer drawn into the window, by the nearest pixel or blended.
struct PresentProgram {
    unsigned program = 0;
    int area = -1;
    int target = -1;
    int source = -1;
};

struct GlPrograms {
    // The text and present programs and the vertex arrays. False (nothing left behind, `why`
    // holding the compiler's words) when a program will not build.
    bool Make(std::string& why);
    // The mesh program, where it is not made yet. False (`why` saying why) when it will not
    // build; the rest stays as it was.
    bool MakeMesh(std::string& why);
    // The present program for a window of the back buffer's size (nearest) or another; the
    // blending one is made on first need.
    const PresentProgram& Present(bool nearest);
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
    PresentProgram nearestPresent;  // none where the back buffer is shown with a blit
    PresentProgram smoothPresent;
    bool smoothRefused = false;
};

// 0xAARRGGBB as red, green, blue, alpha in 0..1.
void ArgbToFloats(uint32_t argb, float rgba[4]);

}  // namespace platform::gl
