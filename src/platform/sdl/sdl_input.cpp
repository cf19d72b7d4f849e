#include "platform/sdl/sdl_input.h"

#include <SDL.h>

#include <cstring>

#include "platform/sdl/key_codes.h"
#include "platform/sdl/sdl_video.h"
#include "platform/sdl/sdl_window.h"

namespace platform::sdl {

namespace {

constexpr HResult kInvalidParam = static_cast<HResult>(0x80070057u);  // DIERR_INVALIDPARAM
constexpr HResult kBadHandle = static_cast<HResult>(0x80070006u);     // E_HANDLE
constexpr HResult kNoEffect = 1;                                      // DI_NOEFFECT
constexpr uint32_t kExclusive = 0x01;
constexpr uint32_t kForeground = 0x04;
constexpr uint32_t kDeviceTypeMouse = 0x12;
constexpr uint32_t kDeviceTypeKeyboard = 0x13;
constexpr uint32_t kKeyboardBytes = 256;
constexpr uint8_t kDown = 0x80;

// What a device reports of itself: always attached.
struct DeviceShape {
    uint32_t devType;
    uint32_t axes;
    uint32_t buttons;
};

class SdlInputDevice : public InputDevice {
  public:
    SdlInputDevice(std::shared_ptr<SdlVideo> video, DataFormat format, DeviceShape shape)
        : video_(std::move(video)), format_(format), shape_(shape) {}

    HResult GetCapabilities(DeviceCaps& caps) override {
        if (caps.dwSize != sizeof(DeviceCaps)) {
            return kInvalidParam;
        }
        caps = {};
        caps.dwSize = sizeof(DeviceCaps);
        caps.dwFlags = dinput::CAPS_ATTACHED;
        caps.dwDevType = shape_.devType;
        caps.dwAxes = shape_.axes;
        caps.dwButtons = shape_.buttons;
        return kOk;
    }

    HResult SetDataFormat(DataFormat format) override {
        if (acquired_) {
            return kInvalidCall;
        }
        if (format != format_) {
            return kInvalidParam;
        }
        formatSet_ = true;
        return kOk;
    }

    HResult SetCooperativeLevel(Window* window, uint32_t flags) override {
        if (!dynamic_cast<SdlWindow*>(window)) {
            return kBadHandle;
        }
        // One of exclusive and non-exclusive, one of foreground and background.
        const bool exclusive = (flags & kExclusive) != 0;
        const bool nonExclusive = (flags & dinput::COOP_NONEXCLUSIVE) != 0;
        const bool foreground = (flags & kForeground) != 0;
        const bool background = (flags & dinput::COOP_BACKGROUND) != 0;
        if (exclusive == nonExclusive || foreground == background) {
            return kInvalidParam;
        }
        foreground_ = foreground;
        return kOk;
    }

    HResult Acquire() override {
        if (!formatSet_) {
            return kInvalidParam;
        }
        if (acquired_) {
            return kNoEffect;
        }
        acquired_ = true;
        focusLosses_ = video_->focusLosses();
        OnAcquire();
        return kOk;
    }

    HResult Unacquire() override {
        if (!acquired_) {
            return kNoEffect;
        }
        acquired_ = false;
        return kOk;
    }

    HResult GetDeviceState(uint32_t size, void* data) override {
        if (!data || size != Size()) {
            return kInvalidParam;
        }
        if (!acquired_) {
            return kNotAcquired;
        }
        // A foreground device is given up when the window loses the focus.
        if (foreground_ && video_->focusLosses() != focusLosses_) {
            acquired_ = false;
            return kInputLost;
        }
        SDL_PumpEvents();
        Read(data);
        return kOk;
    }

  protected:
    virtual uint32_t Size() const = 0;
    virtual void Read(void* data) = 0;
    virtual void OnAcquire() {}

    std::shared_ptr<SdlVideo> video_;

  private:
    DataFormat format_;
    DeviceShape shape_;
    bool formatSet_ = false;
    bool acquired_ = false;
    bool foreground_ = false;
    uint64_t focusLosses_ = 0;
};

class SdlKeyboard final : public SdlInputDevice {
  public:
    explicit SdlKeyboard(std::shared_ptr<SdlVideo> video)
        : SdlInputDevice(std::move(video), DataFormat::Keyboard,
                         {.devType = kDeviceTypeKeyboard, .axes = 0, .buttons = kKeyboardBytes}) {}

  protected:
    uint32_t Size() const override { return kKeyboardBytes; }

    void Read(void* data) override {
        uint8_t keys[kKeyboardBytes] = {};
        int count = 0;
        const Uint8* state = SDL_GetKeyboardState(&count);
        for (int scancode = 0; scancode < count; ++scancode) {
            if (state[scancode]) {
                if (const uint8_t code = DirectInputKeyFor(scancode)) {
                    keys[code] = kDown;
                }
            }
        }
        std::memcpy(data, keys, sizeof keys);
    }
};

class SdlMouse final : public SdlInputDevice {
  public:
    explicit SdlMouse(std::shared_ptr<SdlVideo> video)
        : SdlInputDevice(std::move(video), DataFormat::Mouse2,
                         {.devType = kDeviceTypeMouse, .axes = 3, .buttons = 8}) {}

  protected:
    uint32_t Size() const override { return sizeof(MouseState2); }

    void OnAcquire() override {
        // Motion from before the acquisition is not the reader's.
        int x = 0;
        int y = 0;
        SDL_GetRelativeMouseState(&x, &y);
        video_->TakeWheel();
    }

    void Read(void* data) override {
        MouseState2 state{};
        const Uint32 buttons = SDL_GetRelativeMouseState(&state.lX, &state.lY);
        state.lZ = video_->TakeWheel();
        // DirectInput's order: left, right, middle, then the side buttons.
        const int order[] = {SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE, SDL_BUTTON_X1,
                             SDL_BUTTON_X2};
        for (int i = 0; i < 5; ++i) {
            if (buttons & SDL_BUTTON(order[i])) {
                state.rgbButtons[i] = kDown;
            }
        }
        std::memcpy(data, &state, sizeof state);
    }
};

class SdlInputSystem final : public InputSystem {
  public:
    explicit SdlInputSystem(std::shared_ptr<SdlVideo> video) : video_(std::move(video)) {}

    HResult CreateDevice(DeviceGuid guid, std::unique_ptr<InputDevice>& out) override {
        switch (guid) {
            case DeviceGuid::SysKeyboard:
                out = std::make_unique<SdlKeyboard>(video_);
                return kOk;
            case DeviceGuid::SysMouse:
                out = std::make_unique<SdlMouse>(video_);
                return kOk;
        }
        out.reset();
        return kInvalidParam;
    }

  private:
    std::shared_ptr<SdlVideo> video_;
};

}  // namespace

std::unique_ptr<InputSystem> CreateSdlInput(std::shared_ptr<SdlVideo> video) {
    return std::make_unique<SdlInputSystem>(std::move(video));
}

}  // namespace platform::sdl
