#include "platform/win32/d3dx_library.h"

namespace platform::win32 {

namespace {

// Loaded once and kept for the life of the process, like a linked DLL.
D3dxLibrary library;
bool tried = false;

template <typename Function>
void Resolve(HMODULE module, const char* name, Function& out) {
    out = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

}  // namespace

void LoadD3dx() {
    if (tried) {
        return;
    }
    tried = true;
    const HMODULE module = ::LoadLibraryA(kD3dxDll);
    if (!module) {
        return;
    }
    Resolve(module, "D3DXMatrixPerspectiveFovLH", library.MatrixPerspectiveFovLH);
    Resolve(module, "D3DXMatrixRotationX", library.MatrixRotationX);
    Resolve(module, "D3DXMatrixRotationY", library.MatrixRotationY);
    Resolve(module, "D3DXMatrixTranslation", library.MatrixTranslation);
    Resolve(module, "D3DXMatrixMultiply", library.MatrixMultiply);
    Resolve(module, "D3DXCreateFontIndirectA", library.CreateFontIndirectA);
    Resolve(module, "D3DXCreateTextureFromFileExA", library.CreateTextureFromFileExA);
}

const D3dxLibrary& D3dx() {
    return library;
}

}  // namespace platform::win32
