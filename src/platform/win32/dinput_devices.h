#pragma once

// DirectInput 8 behind the layer's input interfaces.

#include <memory>

#include "platform/input_devices.h"

namespace platform::win32 {

// DirectInput8Create for this module.
HResult CreateDirectInput(uint32_t version, std::unique_ptr<InputSystem>& out);

}  // namespace platform::win32
