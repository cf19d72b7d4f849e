#pragma once

// D3DX 9 as loaded at start from d3dx9_43.dll. It is not part of a bare Windows, so the game
// loads it itself and can say what is missing rather than fail in the loader.

#include "platform/win32/windows_headers.h"

namespace platform::win32 {

struct D3dxLibrary {
    decltype(&::D3DXMatrixPerspectiveFovLH) MatrixPerspectiveFovLH = nullptr;
    decltype(&::D3DXMatrixRotationX) MatrixRotationX = nullptr;
    decltype(&::D3DXMatrixRotationY) MatrixRotationY = nullptr;
    decltype(&::D3DXMatrixTranslation) MatrixTranslation = nullptr;
    decltype(&::D3DXMatrixMultiply) MatrixMultiply = nullptr;
    decltype(&::D3DXCreateFontIndirectA) CreateFontIndirectA = nullptr;
    decltype(&::D3DXCreateTextureFromFileExA) CreateTextureFromFileExA = nullptr;
};

inline constexpr const char* kD3dxDll = "d3dx9_43.dll";

// The loaded library; null before LoadD3dx has succeeded.
const D3dxLibrary* D3dx();

}  // namespace platform::win32
