#pragma once

// Failures a test asks the recording platform for, one plan per kind of call.

#include "platform/win_types.h"

namespace platform::record {

// After `skip` more calls that succeed, the next `count` calls fail with `result`; count -1
// fails every call from then on. The default plan never fails.
struct FailPlan {
    int skip = 0;
    int count = 0;
    HResult result = kFail;

    static FailPlan Always(HResult r = kFail) { return {0, -1, r}; }
    static FailPlan Times(int n, HResult r = kFail) { return {0, n, r}; }
    // Only the nth call from now (1 for the next one).
    static FailPlan Nth(int n, HResult r = kFail) { return {n - 1, 1, r}; }

    // Takes one call: its failure result, or kOk.
    HResult Next() {
        if (count == 0) {
            return kOk;
        }
        if (skip > 0) {
            --skip;
            return kOk;
        }
        if (count > 0) {
            --count;
        }
        return result;
    }
};

struct InputDeviceFaults {
    FailPlan create;  // InputSystem::CreateDevice for this device
    FailPlan setDataFormat;
    FailPlan setCooperativeLevel;
    FailPlan acquire;
    FailPlan getCapabilities;
    // A kInputLost failure also unacquires the device, as DirectInput does: further reads
    // give kNotAcquired until the next successful Acquire.
    FailPlan getDeviceState;
};

struct Faults {
    FailPlan createWindow;    // CreateWindowExA returns null
    FailPlan direct3DCreate;  // Direct3DCreate9 returns null
    FailPlan createDevice;    // Graphics::CreateDevice
    FailPlan reset;           // Device::Reset of a device that could be reset
    FailPlan beginScene;      // no scene: the draws until EndScene are refused
    FailPlan present;
    FailPlan createVertexBuffer;
    FailPlan lockVertexBuffer;
    FailPlan createIndexBuffer;
    FailPlan lockIndexBuffer;
    FailPlan createFont;
    FailPlan loadTexture;  // CreateTextureFromFileExA
    FailPlan directInputCreate;
    InputDeviceFaults keyboard;
    InputDeviceFaults mouse;
};

}  // namespace platform::record
