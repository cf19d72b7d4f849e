#pragma once

// The Windows backend: Win32, Direct3D 9, D3DX 9 and DirectInput 8 themselves.
//
// Implements:
//  - user32: the window class, the window, the message pump (one message per peek, PM_REMOVE,
//    dispatched exactly as removed), modal message boxes, the system cursor; Windows' own
//    default handling (Alt+F4, the close box, WM_DESTROY) is left to Windows.
//  - Direct3D 9: Direct3DCreate9, a HAL device with software vertex processing, its loss and
//    reset, transforms, render and sampler states, managed vertex and index buffers, one
//    indexed draw; Present scales the back buffer into the client area, as Windows does.
//  - D3DX 9, loaded at start from d3dx9_43.dll: the matrix helpers, fonts, texture loading.
//  - DirectInput 8: the system keyboard and mouse, acquired, polled, released.
// Lacks:
//  - Conversions the game does not need: only what it draws with passes between the layer's
//    types and Direct3D's, so the layer's buffers, fonts and textures must be this backend's.
//  - The stand-in fonts know only the formats the game asks for (top-left, word break).
// Adds:
//  - Stand-ins where d3dx9_43.dll, or one of its entry points, is missing (it is not part of a
//    bare Windows): the portable matrix helpers; fonts realised by GDI from the same
//    description, laid out by GDI's DrawText, drawn as textured quads with every setting put
//    back (gdi_font.h); "arrow.bmp" read by the game's own BMP reader (texture_drawing.h).
//  - Pacing (frame_pacer.h): a Present that comes back early (Wine on a virtual display)
//    waits out the display period on a high-resolution timer, so the loop never spins a core;
//    a lost device or a failing reset waits one period per pass.

#include <memory>

#include "platform/system.h"

namespace platform::win32 {

// Loads d3dx9_43.dll and finds its entry points, before the game starts.
void LoadD3dx();

std::unique_ptr<System> CreateWin32System();

}  // namespace platform::win32
