#pragma once

// D3DX's matrix helpers, computed as D3DX documents them: the helpers of platform/matrix.h
// on the backends without D3DX, and the Windows backend's when d3dx9_43.dll lacks them.

#include <cmath>

#include "platform/matrix.h"

namespace platform::portable {

inline Matrix Translation(float x, float y, float z) {
    Matrix r = MatrixIdentity();
    r.m[3][0] = x;
    r.m[3][1] = y;
    r.m[3][2] = z;
    return r;
}

inline Matrix RotationX(float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return {{{1, 0, 0, 0}, {0, c, s, 0}, {0, -s, c, 0}, {0, 0, 0, 1}}};
}

inline Matrix RotationY(float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return {{{c, 0, -s, 0}, {0, 1, 0, 0}, {s, 0, c, 0}, {0, 0, 0, 1}}};
}

inline Matrix Multiply(const Matrix& a, const Matrix& b) {
    Matrix r{};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += a.m[i][k] * b.m[k][j];
            }
            r.m[i][j] = sum;
        }
    }
    return r;
}

inline Matrix PerspectiveFovLH(float fovY, float aspect, float zNear, float zFar) {
    const float yScale = 1.0f / std::tan(fovY / 2);
    const float xScale = yScale / aspect;
    const float q = zFar / (zFar - zNear);
    return {{{xScale, 0, 0, 0}, {0, yScale, 0, 0}, {0, 0, q, 1}, {0, 0, -zNear * q, 0}}};
}

}  // namespace platform::portable
