#pragma once

// The Windows backend: Win32, Direct3D 9, D3DX 9 and DirectInput 8 themselves.
//
// Implements:
//  - user32: the window class, the window, the message pump (one message per peek, PM_REMOVE),
//    modal message boxes, the system cursor; Windows' own default handling (Alt+F4, the close
//    box, WM_DESTROY) is left to Windows.
//  - Direct3D 9: Direct3DCreate9, a HAL device with software vertex processing, its loss and
//    reset, transforms, render and sampler states, managed vertex and index buffers, one
//    indexed draw; Present scales the back buffer into the client area, as Windows does.
//  - D3DX 9, loaded at start from d3dx9_43.dll: the matrix helpers, fonts, texture loading.
//  - DirectInput 8: the system keyboard and mouse, acquired, polled, released.
// Lacks:
//  - Nothing the game calls. It adds no Windows behaviour of its own but two: a missing
//    d3dx9_43.dll is reported by name instead of failing in the loader (see LoadD3dx), and a
//    lost device or a failing reset waits one display period per pass instead of spinning.
//  - Only what the game draws with is converted between the layer's types and Direct3D's:
//    the layer's buffers, fonts and textures must be this backend's own.

#include <memory>

#include "platform/system.h"

namespace platform::win32 {

// Loads d3dx9_43.dll and its entry points; false when it or one of them is missing. The game
// must not start without it: fonts, textures and the matrix helpers all come from it.
bool LoadD3dx();

std::unique_ptr<System> CreateWin32System();

}  // namespace platform::win32
