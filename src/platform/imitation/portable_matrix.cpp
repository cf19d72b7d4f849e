// The matrix helpers of the backends without D3DX: the portable ones.

#include "platform/imitation/portable_matrix.h"

namespace platform {

Matrix MatrixTranslation(float x, float y, float z) {
    return portable::Translation(x, y, z);
}

Matrix MatrixRotationX(float angle) {
    return portable::RotationX(angle);
}

Matrix MatrixRotationY(float angle) {
    return portable::RotationY(angle);
}

Matrix MatrixMultiply(const Matrix& a, const Matrix& b) {
    return portable::Multiply(a, b);
}

Matrix MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar) {
    return portable::PerspectiveFovLH(fovY, aspect, zNear, zFar);
}

}  // namespace platform
