#pragma once

// What the stand-ins for D3DX draw with: textures filled from the CPU, and one textured quad
// put on the back buffer without disturbing the device's settings.

#include <cstdint>
#include <functional>

#include "platform/win32/com_ptr.h"
#include "platform/win32/windows_headers.h"

namespace platform::win32 {

// An A8R8G8B8 texture of one level, each texel 0xAARRGGBB from `texel(x, y)`; empty on failure.
ComPtr<IDirect3DTexture9> CreateArgbTexture(IDirect3DDevice9* device, int width, int height,
                                            D3DPOOL pool,
                                            const std::function<uint32_t(int x, int y)>& texel);

// The stand-in for D3DX's texture loading: a BMP file read by the game's own reader, texels
// equal to `colourKey` (unless it is 0) transparent black. Empty when the file is refused.
ComPtr<IDirect3DTexture9> CreateTextureFromBmp(IDirect3DDevice9* device, const char* file,
                                               uint32_t colourKey, D3DPOOL pool);

// Draws `texture` texel for pixel at (left, top) of the render target, modulated by `colour`
// and blended by its alpha. Every setting it changes is put back before it returns.
void DrawTextQuad(IDirect3DDevice9* device, IDirect3DTexture9* texture, int left, int top,
                  int width, int height, uint32_t colour);

}  // namespace platform::win32
