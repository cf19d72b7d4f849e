#include "platform/web/web_input.h"

#include <cstring>

#include "platform/imitation/imitated_input.h"
#include "platform/web/web_session.h"

namespace platform::web {

namespace {

class WebInputDevice : public ImitatedInputDevice {
  public:
    WebInputDevice(std::shared_ptr<WebSession> session, DeviceShape shape)
        : ImitatedInputDevice(shape), session_(std::move(session)) {}

  protected:
    bool OwnWindow(Window* window) const override {
        return dynamic_cast<WebWindow*>(window) != nullptr;
    }
    uint64_t FocusLosses() const override { return session_->events().focusLosses(); }

    std::shared_ptr<WebSession> session_;
};

class WebKeyboard final : public WebInputDevice {
  public:
    explicit WebKeyboard(std::shared_ptr<WebSession> session)
        : WebInputDevice(std::move(session), kKeyboardShape) {}

  protected:
    void Read(void* data) override {
        std::memcpy(data, session_->events().keys().data(), kKeyboardBytes);
    }
};

class WebMouse final : public WebInputDevice {
  public:
    explicit WebMouse(std::shared_ptr<WebSession> session)
        : WebInputDevice(std::move(session), kMouseShape) {}

  protected:
    // Motion from before the acquisition is not the reader's.
    void OnAcquire() override {
        int32_t dx = 0, dy = 0, wheel = 0;
        session_->events().TakeMotion(dx, dy, wheel);
    }

    void Read(void* data) override {
        MouseState2 state{};
        session_->events().TakeMotion(state.lX, state.lY, state.lZ);
        std::memcpy(state.rgbButtons, session_->events().buttons().data(), sizeof state.rgbButtons);
        std::memcpy(data, &state, sizeof state);
    }
};

}  // namespace

std::unique_ptr<InputSystem> CreateWebInput(std::shared_ptr<WebSession> session) {
    return std::make_unique<ImitatedInputSystem<WebKeyboard, WebMouse, WebSession>>(
        std::move(session));
}

}  // namespace platform::web
