#include "platform/win32/d3dx_library.h"

#include <cstring>

#include "platform/matrix.h"
#include "platform/win32/win32_system.h"

namespace platform::win32 {

namespace {

// Loaded once and kept for the life of the process, like a linked DLL.
D3dxLibrary library;
bool loaded = false;

template <typename Function>
bool Resolve(HMODULE module, const char* name, Function& out) {
    out = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    return out != nullptr;
}

Matrix FromD3dx(const D3DXMATRIX& m) {
    static_assert(sizeof(D3DXMATRIX) == sizeof(Matrix));
    Matrix r;
    std::memcpy(&r, &m, sizeof r);
    return r;
}

D3DXMATRIX ToD3dx(const Matrix& m) {
    D3DXMATRIX r;
    std::memcpy(static_cast<void*>(&r), &m, sizeof r);  // D3DXMATRIX: the same 16 floats
    return r;
}

}  // namespace

bool LoadD3dx() {
    if (loaded) {
        return true;
    }
    const HMODULE module = ::LoadLibraryA(kD3dxDll);
    if (!module) {
        return false;
    }
    D3dxLibrary found;
    if (!Resolve(module, "D3DXMatrixPerspectiveFovLH", found.MatrixPerspectiveFovLH) ||
        !Resolve(module, "D3DXMatrixRotationX", found.MatrixRotationX) ||
        !Resolve(module, "D3DXMatrixRotationY", found.MatrixRotationY) ||
        !Resolve(module, "D3DXMatrixTranslation", found.MatrixTranslation) ||
        !Resolve(module, "D3DXMatrixMultiply", found.MatrixMultiply) ||
        !Resolve(module, "D3DXCreateFontIndirectA", found.CreateFontIndirectA) ||
        !Resolve(module, "D3DXCreateTextureFromFileExA", found.CreateTextureFromFileExA)) {
        ::FreeLibrary(module);
        return false;
    }
    library = found;
    loaded = true;
    return true;
}

const D3dxLibrary* D3dx() {
    return loaded ? &library : nullptr;
}

}  // namespace platform::win32

// The layer's matrix helpers are D3DX's own here. The game starts only once D3DX is loaded,
// so the identity below is never seen in play.
namespace platform {

using win32::D3dx;

Matrix MatrixTranslation(float x, float y, float z) {
    D3DXMATRIX r;
    return D3dx() ? win32::FromD3dx(*D3dx()->MatrixTranslation(&r, x, y, z)) : MatrixIdentity();
}

Matrix MatrixRotationX(float angle) {
    D3DXMATRIX r;
    return D3dx() ? win32::FromD3dx(*D3dx()->MatrixRotationX(&r, angle)) : MatrixIdentity();
}

Matrix MatrixRotationY(float angle) {
    D3DXMATRIX r;
    return D3dx() ? win32::FromD3dx(*D3dx()->MatrixRotationY(&r, angle)) : MatrixIdentity();
}

Matrix MatrixMultiply(const Matrix& a, const Matrix& b) {
    if (!D3dx()) {
        return MatrixIdentity();
    }
    D3DXMATRIX r;
    const D3DXMATRIX da = win32::ToD3dx(a);
    const D3DXMATRIX db = win32::ToD3dx(b);
    return win32::FromD3dx(*D3dx()->MatrixMultiply(&r, &da, &db));
}

Matrix MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar) {
    D3DXMATRIX r;
    return D3dx() ? win32::FromD3dx(*D3dx()->MatrixPerspectiveFovLH(&r, fovY, aspect, zNear, zFar))
                  : MatrixIdentity();
}

}  // namespace platform
