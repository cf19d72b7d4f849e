#include "platform/win32/dinput_devices.h"

#include "platform/win32/com_ptr.h"
#include "platform/win32/win32_window.h"
#include "platform/win32/windows_headers.h"

namespace platform::win32 {

namespace {

static_assert(sizeof(DIDEVCAPS) == sizeof(DeviceCaps));
static_assert(sizeof(DIMOUSESTATE2) == sizeof(MouseState2));

class DinputDevice final : public InputDevice {
  public:
    explicit DinputDevice(IDirectInputDevice8A* device) : device_(device) {}

    HResult SetDataFormat(DataFormat format) override {
        return device_->SetDataFormat(format == DataFormat::Keyboard ? &c_dfDIKeyboard
                                                                     : &c_dfDIMouse2);
    }
    HResult SetCooperativeLevel(Window* window, uint32_t flags) override {
        return device_->SetCooperativeLevel(HandleOf(window), flags);
    }
    HResult Acquire() override { return device_->Acquire(); }
    HResult Unacquire() override { return device_->Unacquire(); }
    HResult GetCapabilities(DeviceCaps& caps) override {
        DIDEVCAPS native{};
        native.dwSize = sizeof native;
        const HResult r = device_->GetCapabilities(&native);
        caps = {native.dwSize,
                native.dwFlags,
                native.dwDevType,
                native.dwAxes,
                native.dwButtons,
                native.dwPOVs,
                native.dwFFSamplePeriod,
                native.dwFFMinTimeResolution,
                native.dwFirmwareRevision,
                native.dwHardwareRevision,
                native.dwFFDriverVersion};
        return r;
    }
    HResult GetDeviceState(uint32_t size, void* data) override {
        return device_->GetDeviceState(size, data);
    }

  private:
    ComPtr<IDirectInputDevice8A> device_;
};

class DinputSystem final : public InputSystem {
  public:
    explicit DinputSystem(IDirectInput8A* directInput) : directInput_(directInput) {}

    HResult CreateDevice(DeviceGuid guid, std::unique_ptr<InputDevice>& out) override {
        out.reset();
        IDirectInputDevice8A* device = nullptr;
        const HResult r = directInput_->CreateDevice(
            guid == DeviceGuid::SysKeyboard ? GUID_SysKeyboard : GUID_SysMouse, &device, nullptr);
        if (SUCCEEDED(r) && device) {
            out = std::make_unique<DinputDevice>(device);
        }
        return r;
    }

  private:
    ComPtr<IDirectInput8A> directInput_;
};

}  // namespace

HResult CreateDirectInput(uint32_t version, std::unique_ptr<InputSystem>& out) {
    out.reset();
    void* directInput = nullptr;
    const HResult r = ::DirectInput8Create(::GetModuleHandleA(nullptr), version, IID_IDirectInput8A,
                                           &directInput, nullptr);
    if (SUCCEEDED(r) && directInput) {
        out = std::make_unique<DinputSystem>(static_cast<IDirectInput8A*>(directInput));
    }
    return r;
}

}  // namespace platform::win32
