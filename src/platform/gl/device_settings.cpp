#include "platform/gl/device_settings.h"

namespace platform::gl {

namespace {
constexpr uint32_t kSamplers = 16;
}

HResult DeviceSettings::SetTransform(uint32_t state, const Matrix& matrix) {
    switch (state) {
        case d3d::TS_WORLD:
            world = matrix;
            return kOk;
        case d3d::TS_PROJECTION:
            projection = matrix;
            return kOk;
        default:
            return kInvalidCall;
    }
}

HResult DeviceSettings::SetRenderState(uint32_t state, uint32_t value) {
    switch (state) {
        case d3d::RS_ZENABLE:
            if (value > d3d::ZB_TRUE) {
                return kInvalidCall;
            }
            depthTest = value == d3d::ZB_TRUE;
            return kOk;
        case d3d::RS_CULLMODE:
            if (value < d3d::CULL_NONE || value > kCullCounterClockwise) {
                return kInvalidCall;
            }
            cullMode = value;
            return kOk;
        // Vertices carry their own colour: lighting and its ambient colour change nothing.
        case d3d::RS_LIGHTING:
            return value <= 1 ? kOk : kInvalidCall;
        case d3d::RS_AMBIENT:
            return kOk;
        default:
            return kInvalidCall;
    }
}

HResult DeviceSettings::SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value) {
    // Nothing the game draws is textured, so the filters are checked but not kept.
    if (sampler >= kSamplers) {
        return kInvalidCall;
    }
    switch (type) {
        case d3d::SAMP_MAGFILTER:
        case d3d::SAMP_MINFILTER:
        case d3d::SAMP_MIPFILTER:
            return value <= d3d::TEXF_ANISOTROPIC ? kOk : kInvalidCall;
        case d3d::SAMP_MAXANISOTROPY:
            return kOk;
        default:
            return kInvalidCall;
    }
}

HResult DeviceSettings::SetFVF(uint32_t vertexFormat) {
    if (vertexFormat != kGameFvf) {
        return kInvalidCall;
    }
    fvf = vertexFormat;
    return kOk;
}

}  // namespace platform::gl
