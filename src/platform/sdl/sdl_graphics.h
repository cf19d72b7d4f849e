#pragma once

// Direct3D's entry for the SDL backend: the shared OpenGL device (platform/gl) drawing into
// SDL windows, with contexts through EGL or GLX and fonts through FreeType.

#include <memory>

#include "platform/graphics.h"

namespace platform::sdl {

class SdlVideo;

// Null when no OpenGL library can be loaded.
std::unique_ptr<Graphics> CreateSdlGraphics(std::shared_ptr<SdlVideo> video, bool paced);

}  // namespace platform::sdl
