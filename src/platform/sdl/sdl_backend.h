#pragma once

// The SDL2 + OpenGL 3.3 backend: the platform layer on Linux (X11, or Wayland where SDL has it).
//
// Implements:
//  - Window: one top-level window with a caption, close and minimise boxes, no sizing; its
//    messages (key down and up, system keys, characters, close) taken one at a time; Alt+F4
//    and the close box through WM_CLOSE; a window destroyed by another X client goes through
//    WM_DESTROY like any other. Modal message boxes, on standard error where none can show.
//  - Device: the shared OpenGL device (platform/gl/gl_graphics.h says what it draws) on
//    OpenGL 3.3 core, through EGL on X (GLX where EGL is missing), one context; lost while
//    the window is hidden or minimised, and a new context after a graphics reset.
//  - Fonts through fontconfig and FreeType.
//  - Input: DirectInput's keyboard state and relative mouse from SDL's own state.
//  - Images: BMP files, read only from regular files (platform/bmp).
//
// Lacks:
//  - The device lacks what the shared one lacks (gl_graphics.h): no alignment or clipping of
//    text, whole-buffer clears, the game's own render states and vertex format only.
//  - One adapter, one device type, one swap chain; no full screen.
//
// Adds:
//  - Present waits out the display's frame period where vsync does not (a virtual display,
//    a minimised window), so that a still screen does not spin a core.
//  - X errors about a window another client destroyed are dropped rather than fatal, so the
//    game still ends through its own orderly path.
//  - A failure the game reports in its own words is followed by the system's reason on
//    standard error.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gl/gl_graphics.h"
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

// For tests and benchmarks: the device's back buffer.
using gl::ReadBackBuffer;

}  // namespace platform::sdl
