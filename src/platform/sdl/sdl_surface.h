#pragma once

// SDL surfaces owned like any other object: freed when their owner goes, never by hand.

#include <SDL.h>

#include <memory>

namespace platform::sdl {

struct SurfaceFree {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceFree>;

// The surface in 32-bit ARGB, or null.
inline Surface ToArgb(const Surface& surface) {
    return Surface(surface ? SDL_ConvertSurfaceFormat(surface.get(), SDL_PIXELFORMAT_ARGB8888, 0)
                           : nullptr);
}

}  // namespace platform::sdl
