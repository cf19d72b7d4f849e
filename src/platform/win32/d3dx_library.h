#pragma once

// D3DX 9 as loaded at start from d3dx9_43.dll. It is not part of a bare Windows, so the game
// loads it itself and takes its own stand-ins for whatever is missing.

#include "platform/win32/windows_headers.h"

namespace platform::win32 {

// The entry points the game uses; each is null where the DLL lacks it.
struct D3dxLibrary {
    decltype(&::D3DXMatrixPerspectiveFovLH) MatrixPerspectiveFovLH = nullptr;
    decltype(&::D3DXMatrixRotationX) MatrixRotationX = nullptr;
    decltype(&::D3DXMatrixRotationY) MatrixRotationY = nullptr;
    decltype(&::D3DXMatrixTranslation) MatrixTranslation = nullptr;
    decltype(&::D3DXMatrixMultiply) MatrixMultiply = nullptr;
    decltype(&::D3DXCreateFontIndirectA) CreateFontIndirectA = nullptr;
    decltype(&::D3DXCreateTextureFromFileExA) CreateTextureFromFileExA = nullptr;

    // The matrix helpers are taken all from D3DX or none, so that one frame never mixes two
    // sets of roundings.
    bool HasMatrices() const {
        return MatrixPerspectiveFovLH && MatrixRotationX && MatrixRotationY && MatrixTranslation &&
               MatrixMultiply;
    }
};

inline constexpr const char* kD3dxDll = "d3dx9_43.dll";

// Loads d3dx9_43.dll once and finds what it has; with no DLL, nothing.
void LoadD3dx();

// What LoadD3dx found: every entry null before it ran or without the DLL.
const D3dxLibrary& D3dx();

}  // namespace platform::win32
