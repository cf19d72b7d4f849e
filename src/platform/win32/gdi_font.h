#pragma once

// The stand-in for D3DX's fonts where d3dx9_43.dll lacks them: GDI realises the font from the
// same description and lays the text out as its DrawText does; the coverage goes into a
// texture's alpha, drawn as one quad in the text's colour.

#include <memory>

#include "platform/graphics.h"
#include "platform/win32/windows_headers.h"

namespace platform::win32 {

// Null when GDI cannot realise the font.
std::unique_ptr<Font> CreateGdiFont(IDirect3DDevice9* device, const FontDesc& desc);

}  // namespace platform::win32
