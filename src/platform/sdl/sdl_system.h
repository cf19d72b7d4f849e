#pragma once

#include <memory>

#include "platform/system.h"

namespace platform::sdl {

// The SDL2 + OpenGL 3.3 backend.
std::unique_ptr<System> CreateSdlSystem();

}  // namespace platform::sdl
