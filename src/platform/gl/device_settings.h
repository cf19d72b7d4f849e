#pragma once

// What the game sets on the device between draws: the world and projection transforms, the
// depth test and culling, the sampler filters and the vertex format. Anything else is refused.

#include <cstdint>

#include "platform/graphics.h"

namespace platform::gl {

// The one vertex the game draws: a position and an ARGB colour.
inline constexpr uint32_t kGameFvf = d3d::FVF_XYZ | d3d::FVF_DIFFUSE;
inline constexpr uint32_t kGameVertexSize = 16;

inline constexpr uint32_t kCullClockwise = 2;
inline constexpr uint32_t kCullCounterClockwise = 3;

// Starts at Direct3D's defaults, which a Reset also brings back.
struct DeviceSettings {
    HResult SetTransform(uint32_t state, const Matrix& matrix);
    HResult SetRenderState(uint32_t state, uint32_t value);
    HResult SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value);
    HResult SetFVF(uint32_t vertexFormat);

    Matrix world = MatrixIdentity();
    Matrix projection = MatrixIdentity();
    bool depthTest = true;  // the game's back buffer always has a depth buffer
    uint32_t cullMode = kCullCounterClockwise;
    uint32_t fvf = 0;
};

}  // namespace platform::gl
