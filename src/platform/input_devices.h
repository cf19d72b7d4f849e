#pragma once

// Keyboard and mouse with the semantics of DirectInput 8.

#include <cstdint>
#include <memory>

#include "platform/win_types.h"

namespace platform {

class Window;

namespace dinput {
inline constexpr uint32_t VERSION = 0x0800;
// DISCL_NONEXCLUSIVE, DISCL_BACKGROUND and DIDC_ATTACHED, under names that are not macros.
inline constexpr uint32_t COOP_NONEXCLUSIVE = 0x02;
inline constexpr uint32_t COOP_BACKGROUND = 0x08;
inline constexpr uint32_t CAPS_ATTACHED = 0x1;
}  // namespace dinput

enum class DeviceGuid { SysKeyboard, SysMouse };

// c_dfDIKeyboard (256 bytes, one per DirectInput key code) and c_dfDIMouse2 (MouseState2).
enum class DataFormat { Keyboard, Mouse2 };

// DIDEVCAPS, 44 bytes.
struct DeviceCaps {
    uint32_t dwSize = 0;
    uint32_t dwFlags = 0;
    uint32_t dwDevType = 0;
    uint32_t dwAxes = 0;
    uint32_t dwButtons = 0;
    uint32_t dwPOVs = 0;
    uint32_t dwFFSamplePeriod = 0;
    uint32_t dwFFMinTimeResolution = 0;
    uint32_t dwFirmwareRevision = 0;
    uint32_t dwHardwareRevision = 0;
    uint32_t dwFFDriverVersion = 0;
};
static_assert(sizeof(DeviceCaps) == 44);

// DIMOUSESTATE2: relative motion since the last read, and eight buttons.
struct MouseState2 {
    int32_t lX = 0;
    int32_t lY = 0;
    int32_t lZ = 0;
    uint8_t rgbButtons[8] = {};
};
static_assert(sizeof(MouseState2) == 20);

class InputDevice {
  public:
    virtual ~InputDevice() = default;
    virtual HResult SetDataFormat(DataFormat format) = 0;
    virtual HResult SetCooperativeLevel(Window* window, uint32_t flags) = 0;
    virtual HResult Acquire() = 0;
    virtual HResult Unacquire() = 0;
    virtual HResult GetCapabilities(DeviceCaps& caps) = 0;
    // Fills `size` bytes in the device's data format; kInputLost once access is lost.
    virtual HResult GetDeviceState(uint32_t size, void* data) = 0;
};

// An IDirectInput8A.
class InputSystem {
  public:
    virtual ~InputSystem() = default;
    virtual HResult CreateDevice(DeviceGuid guid, std::unique_ptr<InputDevice>& out) = 0;
};

}  // namespace platform
