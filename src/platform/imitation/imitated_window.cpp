#include "platform/imitation/imitated_window.h"

namespace platform {

intptr_t ImitatedWindow::Send(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return proc_ ? proc_(*this, message, wParam, lParam) : 0;
}

void ImitatedWindow::Destroy() {
    if (!alive_) {
        return;
    }
    alive_ = false;
    DestroyNative();
    Send(wm::DESTROY, 0, 0);
}

intptr_t ImitatedWindow::DefWindowProcA(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    (void)lParam;
    if (message == wm::SYSKEYDOWN && wParam == vk::F4) {
        return Send(wm::CLOSE, 0, 0);
    }
    if (message == wm::CLOSE) {
        Destroy();
    }
    return 0;
}

intptr_t DeliverMessage(const Message& message) {
    auto* window = dynamic_cast<ImitatedWindow*>(message.window);
    return window ? window->Send(message.message, message.wParam, message.lParam) : 0;
}

}  // namespace platform
