// The matrix helpers on Windows: D3DX's own once the game has loaded d3dx9_43.dll and found
// them there, the portable ones otherwise (before the load, in the tools and tests, and on a
// Windows without the DLL).

#include <cstring>

#include "platform/imitation/portable_matrix.h"
#include "platform/matrix.h"
#include "platform/win32/d3dx_library.h"

namespace platform {

namespace {

static_assert(sizeof(D3DXMATRIX) == sizeof(Matrix));

Matrix FromD3dx(const D3DXMATRIX& m) {
    Matrix r;
    std::memcpy(&r, &m, sizeof r);
    return r;
}

D3DXMATRIX ToD3dx(const Matrix& m) {
    D3DXMATRIX r;
    std::memcpy(static_cast<void*>(&r), &m, sizeof r);  // D3DXMATRIX: the same 16 floats
    return r;
}

bool UseD3dx() {
    return win32::D3dx().HasMatrices();
}

}  // namespace

Matrix MatrixTranslation(float x, float y, float z) {
    D3DXMATRIX r;
    return UseD3dx() ? FromD3dx(*win32::D3dx().MatrixTranslation(&r, x, y, z))
                     : portable::Translation(x, y, z);
}

Matrix MatrixRotationX(float angle) {
    D3DXMATRIX r;
    return UseD3dx() ? FromD3dx(*win32::D3dx().MatrixRotationX(&r, angle))
                     : portable::RotationX(angle);
}

Matrix MatrixRotationY(float angle) {
    D3DXMATRIX r;
    return UseD3dx() ? FromD3dx(*win32::D3dx().MatrixRotationY(&r, angle))
                     : portable::RotationY(angle);
}

Matrix MatrixMultiply(const Matrix& a, const Matrix& b) {
    if (!UseD3dx()) {
        return portable::Multiply(a, b);
    }
    D3DXMATRIX r;
    const D3DXMATRIX da = ToD3dx(a);
    const D3DXMATRIX db = ToD3dx(b);
    return FromD3dx(*win32::D3dx().MatrixMultiply(&r, &da, &db));
}

Matrix MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar) {
    D3DXMATRIX r;
    return UseD3dx()
               ? FromD3dx(*win32::D3dx().MatrixPerspectiveFovLH(&r, fovY, aspect, zNear, zFar))
               : portable::PerspectiveFovLH(fovY, aspect, zNear, zFar);
}

}  // namespace platform
