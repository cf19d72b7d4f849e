#pragma once

// The SDL2 + OpenGL 3.3 backend: the platform layer on Linux (X11, or Wayland where SDL has it).
//
// Implements
//  - Window: one top-level window with a caption, close and minimise boxes, no sizing; its
//    messages (key down and up, system keys, characters, close) taken one at a time; Alt+F4
//    and the close box through WM_CLOSE; a window destroyed by another X client goes through
//    WM_DESTROY like any other. Modal message boxes, on standard error where none can show.
//  - Device: OpenGL 3.3 core, through EGL on X (GLX where EGL is missing), one context;
//    a 1280 x 768 back buffer of 16-bit colour and depth (a framebuffer object),
//    scaled into the window on Present; loss while hidden or minimised, reset, and a new
//    context after a graphics reset. A frame that asks for exactly what is on screen is not
//    drawn again: Present then only paces the loop to the display.
//  - Managed vertex and index buffers (bytes kept on the CPU side), indexed triangle lists
//    of the game's one vertex format, every index checked against the vertex buffer.
//  - Fonts through fontconfig and SDL2_ttf; text drawn top-left or word-wrapped.
//  - Input: DirectInput's keyboard state and relative mouse from SDL's own state.
//  - Images: BMP files, read only from regular files.
//
// Lacks (refused, or taken and ignored, as said)
//  - Clears of the whole back buffer only; no rectangles, no stencil.
//  - Render states, transforms and vertex formats beyond what the game sets are refused.
//  - Sampler states are checked but not kept: nothing the game draws is textured.
//  - Texture loading ignores its size, format, pool and filter arguments; the image keeps
//    its own size and becomes 32-bit ARGB.
//  - Text formats: top-left, DT_WORDBREAK, DT_SINGLELINE and DT_CALCRECT; no alignment or
//    clipping to the rectangle (only to the back buffer).
//  - One adapter, one device type, one swap chain; no full screen.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/system.h"

namespace platform::sdl {

struct SdlOptions {
    // Present waits out the display's frame period where vsync does not (a virtual display,
    // a minimised window). Off for benchmarks; TAVORIN_UNPACED=1 turns it off as well.
    bool paced = true;
};

// The SDL2 + OpenGL 3.3 backend.
std::unique_ptr<System> CreateSdlSystem();
std::unique_ptr<System> CreateSdlSystem(const SdlOptions& options);

// For tests: copies this backend's back buffer into `argb` (top row first, 0xAARRGGBB) and
// gives its size; false for a device of another backend.
bool ReadBackBuffer(Device& device, std::vector<uint32_t>& argb, int& width, int& height);

// For tests and benchmarks: how many frames the device has put on the window. A frame that
// asked for what was on screen already is not drawn, and does not count.
uint64_t FramesShown(Device& device);

}  // namespace platform::sdl
