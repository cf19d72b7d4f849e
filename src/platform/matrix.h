#pragma once

// The matrix helpers the game uses, in the Direct3D convention: row vectors, so a point is
// transformed as p * M and a product A * B applies A first.

namespace platform {

struct Matrix {
    float m[4][4];
    friend bool operator==(const Matrix&, const Matrix&) = default;
};

inline Matrix MatrixIdentity() {
    return {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
}

// The D3DX helpers, defined by the library tavorin_platform_matrix picks for the build: on
// Windows D3DX's own where d3dx9_43.dll has them, elsewhere the portable ones.
Matrix MatrixTranslation(float x, float y, float z);
Matrix MatrixRotationX(float angle);
Matrix MatrixRotationY(float angle);
Matrix MatrixMultiply(const Matrix& a, const Matrix& b);
// Left-handed perspective with Direct3D's clip depth 0 (near) to 1 (far).
Matrix MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar);

}  // namespace platform
