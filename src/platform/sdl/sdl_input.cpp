#include "platform/sdl/sdl_input.h"

#include <SDL.h>

#include <cstring>

#include "platform/imitation/imitated_input.h"
#include "platform/imitation/key_table.h"
#include "platform/sdl/sdl_video.h"
#include "platform/sdl/sdl_window.h"

namespace platform::sdl {

namespace {

class SdlInputDevice : public ImitatedInputDevice {
  public:
    SdlInputDevice(std::shared_ptr<SdlVideo> video, DeviceShape shape)
        : ImitatedInputDevice(shape), video_(std::move(video)) {}

  protected:
    bool OwnWindow(Window* window) const override {
        return dynamic_cast<SdlWindow*>(window) != nullptr;
    }
    uint64_t FocusLosses() const override { return video_->focusLosses(); }

    std::shared_ptr<SdlVideo> video_;
};

class SdlKeyboard final : public SdlInputDevice {
  public:
    explicit SdlKeyboard(std::shared_ptr<SdlVideo> video)
        : SdlInputDevice(std::move(video), kKeyboardShape) {}

  protected:
    void Read(void* data) override {
        SDL_PumpEvents();
        uint8_t keys[kKeyboardBytes] = {};
        int count = 0;
        const Uint8* state = SDL_GetKeyboardState(&count);
        for (int scancode = 0; scancode < count; ++scancode) {
            if (state[scancode]) {
                if (const uint8_t code =
                        KeyCodesFor(static_cast<uint32_t>(scancode), 0).directInput) {
                    keys[code] = kKeyDown;
                }
            }
        }
        std::memcpy(data, keys, sizeof keys);
    }
};

class SdlMouse final : public SdlInputDevice {
  public:
    explicit SdlMouse(std::shared_ptr<SdlVideo> video)
        : SdlInputDevice(std::move(video), kMouseShape) {}

  protected:
    void OnAcquire() override {
        // Motion from before the acquisition is not the reader's.
        int x = 0;
        int y = 0;
        SDL_GetRelativeMouseState(&x, &y);
        video_->TakeWheel();
    }

    void Read(void* data) override {
        SDL_PumpEvents();
        MouseState2 state{};
        const Uint32 buttons = SDL_GetRelativeMouseState(&state.lX, &state.lY);
        state.lZ = video_->TakeWheel();
        // DirectInput's order: left, right, middle, then the side buttons.
        const int order[] = {SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE, SDL_BUTTON_X1,
                             SDL_BUTTON_X2};
        for (int i = 0; i < 5; ++i) {
            if (buttons & SDL_BUTTON(order[i])) {
                state.rgbButtons[i] = kKeyDown;
            }
        }
        std::memcpy(data, &state, sizeof state);
    }
};

}  // namespace

std::unique_ptr<InputSystem> CreateSdlInput(std::shared_ptr<SdlVideo> video) {
    return std::make_unique<ImitatedInputSystem<SdlKeyboard, SdlMouse, SdlVideo>>(std::move(video));
}

}  // namespace platform::sdl
