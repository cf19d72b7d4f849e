#pragma once

#include <memory>

#include "platform/input_devices.h"

namespace platform::sdl {

class SdlVideo;

// DirectInput's keyboard and mouse from SDL's own state: reading them leaves the window's
// key messages in the queue.
std::unique_ptr<InputSystem> CreateSdlInput(std::shared_ptr<SdlVideo> video);

}  // namespace platform::sdl
