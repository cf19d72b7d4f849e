#pragma once

// Direct3D 9 and D3DX behind the layer's graphics interfaces.

#include <memory>

#include "platform/graphics.h"

namespace platform::win32 {

// Direct3DCreate9: null when Direct3D 9 cannot be started.
std::unique_ptr<Graphics> CreateD3d9Graphics(uint32_t sdkVersion);

}  // namespace platform::win32
