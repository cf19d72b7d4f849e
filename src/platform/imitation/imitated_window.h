#pragma once

// The Windows behaviour of a window, for backends that are not Windows: sending a message
// calls the procedure, destroying sends WM_DESTROY once, and the default procedure turns
// Alt+F4 into WM_CLOSE and WM_CLOSE into a destroy. The native backend leaves all this to
// Windows itself.

#include <cstdint>

#include "platform/win_types.h"
#include "platform/window.h"

namespace platform {

class ImitatedWindow : public Window {
  public:
    explicit ImitatedWindow(WindowProc proc) : proc_(std::move(proc)) {}

    // SendMessage: the procedure handles the message before this returns.
    intptr_t Send(uint32_t message, uintptr_t wParam, intptr_t lParam);

    void Destroy() override;
    intptr_t DefWindowProcA(uint32_t message, uintptr_t wParam, intptr_t lParam) override;

    bool alive() const { return alive_; }

  protected:
    // Takes the backend's own window down; called once, before WM_DESTROY is sent.
    virtual void DestroyNative() = 0;

  private:
    WindowProc proc_;
    bool alive_ = true;
};

// DispatchMessageA for imitating backends: hands the message to its window's procedure.
intptr_t DeliverMessage(const Message& message);

}  // namespace platform
