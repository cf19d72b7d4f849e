#pragma once

// The Direct3D-style graphics on OpenGL that the SDL and web backends share: OpenGL 3.3 core
// on the desktop, OpenGL ES 3.0 (WebGL 2) in the browser, their differences in gl_api.h. A
// backend brings the window's context and its fonts (GlWindow, TextFaces); this library
// brings the rest.
//
// Implements
//  - Device: a 1280 x 768 back buffer of 16-bit colour and depth (a framebuffer object),
//    scaled into the window on Present; loss while the window cannot be seen, reset, and a
//    new context after a graphics reset. A frame that asks for exactly what is on screen is
//    not drawn again: Present then only waits for the display.
//  - Managed vertex and index buffers (bytes kept on the CPU side), indexed triangle lists
//    of the game's one vertex format, every index checked against the vertex buffer.
//  - Text drawn top-left or word-wrapped (DT_WORDBREAK), laid out by the same rules
//    whatever rasterises it.
//  - Textures from BMP files.
//
// Lacks (refused, or taken and ignored, as said)
//  - Clears of the whole back buffer only; no rectangles, no stencil.
//  - Render states, transforms and vertex formats beyond what the game sets are refused.
//  - Sampler states are checked but not kept: nothing the game draws is textured.
//  - Texture loading ignores its size, format, pool and filter arguments; the image keeps
//    its own size and becomes 32-bit ARGB.
//  - Text formats other than top-left and DT_WORDBREAK are drawn top-left; no alignment
//    or clipping to the rectangle (only to the back buffer).
//  - One adapter, one device type, one swap chain; no full screen.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics.h"

namespace platform::gl {

class GlWindow;
class TextFaces;

// The device for a window, or null (`result` negative, `why` saying what went wrong) when
// its context or back buffer cannot be made. `faces` may be null: no fonts then.
std::unique_ptr<Device> CreateGlDevice(std::shared_ptr<GlWindow> window,
                                       std::shared_ptr<TextFaces> faces,
                                       const PresentParams& params, HResult& result,
                                       std::string& why);

// For tests: copies the back buffer into `argb` (top row first, 0xAARRGGBB) and gives its
// size; false for a device of another kind.
bool ReadBackBuffer(Device& device, std::vector<uint32_t>& argb, int& width, int& height);

// For tests and benchmarks: how many frames the device has put on the window. A frame that
// asked for what was on screen already is not drawn, and does not count.
uint64_t FramesShown(Device& device);

}  // namespace platform::gl
