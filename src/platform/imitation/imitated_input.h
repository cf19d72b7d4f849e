#pragma once

// DirectInput's device behaviour, for backends that are not Windows: capabilities, data
// format, cooperative level, acquisition, and loss of a foreground device with the focus.
// A backend says only how its state is read.

#include <cstdint>
#include <memory>
#include <utility>

#include "platform/input_devices.h"

namespace platform {

// What a device reports of itself: always attached.
struct DeviceShape {
    DataFormat format;
    uint32_t devType;
    uint32_t axes;
    uint32_t buttons;
};

inline constexpr uint32_t kDeviceTypeMouse = 0x12;
inline constexpr uint32_t kDeviceTypeKeyboard = 0x13;
inline constexpr uint32_t kKeyboardBytes = 256;
inline constexpr uint8_t kKeyDown = 0x80;
// The system keyboard and mouse as DirectInput describes them.
inline constexpr DeviceShape kKeyboardShape{DataFormat::Keyboard, kDeviceTypeKeyboard, 0,
                                            kKeyboardBytes};
inline constexpr DeviceShape kMouseShape{DataFormat::Mouse2, kDeviceTypeMouse, 3, 8};

inline constexpr HResult kInvalidParam = static_cast<HResult>(0x80070057u);  // DIERR_INVALIDPARAM

class ImitatedInputDevice : public InputDevice {
  public:
    explicit ImitatedInputDevice(DeviceShape shape) : shape_(shape) {}

    HResult GetCapabilities(DeviceCaps& caps) override;
    HResult SetDataFormat(DataFormat format) override;
    HResult SetCooperativeLevel(Window* window, uint32_t flags) override;
    HResult Acquire() override;
    HResult Unacquire() override;
    HResult GetDeviceState(uint32_t size, void* data) override;

  protected:
    // The backend's part: the window is one of its own; focus losses so far; its state.
    virtual bool OwnWindow(Window* window) const = 0;
    virtual uint64_t FocusLosses() const = 0;
    virtual void Read(void* data) = 0;
    virtual void OnAcquire() {}

  private:
    // What one read fills: the keyboard's 256 bytes or the mouse's state.
    uint32_t Size() const {
        return shape_.format == DataFormat::Keyboard ? kKeyboardBytes : sizeof(MouseState2);
    }

    DeviceShape shape_;
    bool formatSet_ = false;
    bool acquired_ = false;
    bool foreground_ = false;
    uint64_t focusLosses_ = 0;
};

// DirectInput itself: the system keyboard and mouse, the backend's own devices over one
// shared source of its events.
template <typename Keyboard, typename Mouse, typename Source>
class ImitatedInputSystem final : public InputSystem {
  public:
    explicit ImitatedInputSystem(std::shared_ptr<Source> source) : source_(std::move(source)) {}

    HResult CreateDevice(DeviceGuid guid, std::unique_ptr<InputDevice>& out) override {
        switch (guid) {
            case DeviceGuid::SysKeyboard:
                out = std::make_unique<Keyboard>(source_);
                return kOk;
            case DeviceGuid::SysMouse:
                out = std::make_unique<Mouse>(source_);
                return kOk;
        }
        out.reset();
        return kInvalidParam;
    }

  private:
    std::shared_ptr<Source> source_;
};

}  // namespace platform
