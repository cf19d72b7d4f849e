#pragma once

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
