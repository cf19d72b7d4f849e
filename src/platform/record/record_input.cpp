#include <array>
#include <cstring>
#include <optional>

#include "platform/record/record_objects.h"

namespace platform::record {

namespace {

constexpr HResult kInvalidArg = static_cast<HResult>(0x80070057u);  // DIERR_INVALIDPARAM

std::array<std::string, 7> CallNames(const std::string& kind) {
    return {kind + "::Release",       kind + "::SetDataFormat", kind + "::SetCooperativeLevel",
            kind + "::Acquire",       kind + "::Unacquire",     kind + "::GetCapabilities",
            kind + "::GetDeviceState"};
}

class RecordInputDevice final : public InputDevice, public Recorded {
  public:
    RecordInputDevice(std::shared_ptr<Recorder> recorder, DeviceGuid guid)
        : Recorded(std::move(recorder), Format(guid)),
          calls_(CallNames(Format(guid))),
          keyboard_(guid == DeviceGuid::SysKeyboard) {
        ++rec().live.inputDevices;
    }
    ~RecordInputDevice() override {
        Log(calls_[0]);
        --rec().live.inputDevices;
    }

    HResult SetDataFormat(DataFormat format) override {
        Log(calls_[1], format);
        if (const HResult r = faults().setDataFormat.Next(); Failed(r)) {
            return r;
        }
        format_ = format;
        return kOk;
    }

    HResult SetCooperativeLevel(Window* window, uint32_t flags) override {
        Log(calls_[2], TagOf(window), flags);
        return faults().setCooperativeLevel.Next();
    }

    HResult Acquire() override {
        Log(calls_[3]);
        if (const HResult r = faults().acquire.Next(); Failed(r)) {
            return r;
        }
        if (!format_) {
            return kInvalidArg;  // DirectInput needs the data format first
        }
        acquired_ = true;
        return kOk;
    }

    HResult Unacquire() override {
        Log(calls_[4]);
        acquired_ = false;
        return kOk;
    }

    HResult GetCapabilities(DeviceCaps& caps) override {
        Log(calls_[5], caps.dwSize);
        if (const HResult r = faults().getCapabilities.Next(); Failed(r)) {
            return r;
        }
        if (caps.dwSize != sizeof(DeviceCaps)) {
            return kInvalidArg;
        }
        caps = keyboard_ ? rec().keyboardCaps : rec().mouseCaps;
        caps.dwSize = sizeof(DeviceCaps);
        return kOk;
    }

    HResult GetDeviceState(uint32_t size, void* data) override {
        Log(calls_[6], size);
        if (const HResult r = faults().getDeviceState.Next(); Failed(r)) {
            if (r == kInputLost) {
                acquired_ = false;
            }
            return r;
        }
        if (!acquired_) {
            return kNotAcquired;
        }
        const uint32_t expected = format_ == DataFormat::Keyboard
                                      ? static_cast<uint32_t>(rec().keyboardState.size())
                                      : static_cast<uint32_t>(sizeof(MouseState2));
        if (!data || size != expected) {
            return kInvalidArg;
        }
        if (format_ == DataFormat::Keyboard) {
            std::memcpy(data, rec().keyboardState.data(), size);
        } else {
            MouseState2 read{};
            if (!rec().mouseReads.empty()) {
                read = rec().mouseReads.front();
                rec().mouseReads.pop_front();
            }
            std::memcpy(data, &read, size);
        }
        return kOk;
    }

  private:
    InputDeviceFaults& faults() { return keyboard_ ? rec().faults.keyboard : rec().faults.mouse; }

    // Release, SetDataFormat, SetCooperativeLevel, Acquire, Unacquire, GetCapabilities and
    // GetDeviceState, named once for the log.
    std::array<std::string, 7> calls_;
    bool keyboard_;
    std::optional<DataFormat> format_;
    bool acquired_ = false;
};

class RecordInputSystem final : public InputSystem, public Recorded {
  public:
    explicit RecordInputSystem(std::shared_ptr<Recorder> recorder)
        : Recorded(recorder, "InputSystem"), recorder_(std::move(recorder)) {
        ++rec().live.inputSystems;
    }
    ~RecordInputSystem() override {
        Log("InputSystem::Release");
        --rec().live.inputSystems;
    }

    HResult CreateDevice(DeviceGuid guid, std::unique_ptr<InputDevice>& out) override {
        Log("InputSystem::CreateDevice", guid);
        out.reset();
        FailPlan& plan = guid == DeviceGuid::SysKeyboard ? rec().faults.keyboard.create
                                                         : rec().faults.mouse.create;
        if (const HResult r = plan.Next(); Failed(r)) {
            return r;
        }
        out = std::make_unique<RecordInputDevice>(recorder_, guid);
        return kOk;
    }

  private:
    std::shared_ptr<Recorder> recorder_;
};

}  // namespace

std::unique_ptr<InputSystem> CreateRecordInputSystem(std::shared_ptr<Recorder> recorder) {
    return std::make_unique<RecordInputSystem>(std::move(recorder));
}

}  // namespace platform::record
