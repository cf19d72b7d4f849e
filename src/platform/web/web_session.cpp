#include "platform/web/web_session.h"

#include <emscripten/html5.h>

#include "platform/web/web_keys.h"

namespace platform::web {

namespace {

const char* const kTarget = EMSCRIPTEN_EVENT_TARGET_WINDOW;

Modifiers ModifiersOf(const EmscriptenKeyboardEvent& event) {
    return {.shift = event.shiftKey != 0,
            .control = event.ctrlKey != 0,
            .alt = event.altKey != 0,
            .meta = event.metaKey != 0};
}

// True keeps the browser's own handling of the event away.
EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* event, void* data) {
    auto* session = static_cast<WebSession*>(data);
    Window* window = session->window();
    if (!window) {
        return EM_FALSE;  // the game's window is gone: the keys are the browser's again
    }
    const KeyCodes codes = CodesFor(event->code, event->key);
    const Modifiers modifiers = ModifiersOf(*event);
    if (type == EMSCRIPTEN_EVENT_KEYDOWN) {
        return session->events().KeyDown(window, codes, modifiers, event->repeat != 0,
                                         CharacterFor(event->key, codes, modifiers));
    }
    return session->events().KeyUp(window, codes, modifiers);
}

EM_BOOL OnMouse(int type, const EmscriptenMouseEvent* event, void* data) {
    WebEvents& events = static_cast<WebSession*>(data)->events();
    if (type == EMSCRIPTEN_EVENT_MOUSEMOVE) {
        events.MouseMoved(static_cast<int32_t>(event->movementX),
                          static_cast<int32_t>(event->movementY));
    } else {
        events.MouseButton(event->button, type == EMSCRIPTEN_EVENT_MOUSEDOWN);
    }
    return EM_FALSE;
}

EM_BOOL OnWheel(int, const EmscriptenWheelEvent* event, void* data) {
    // Up the page is a positive notch, as a wheel turned away from the player is on Windows.
    const int notches = event->deltaY < 0 ? 1 : (event->deltaY > 0 ? -1 : 0);
    static_cast<WebSession*>(data)->events().Wheel(notches);
    return EM_FALSE;
}

EM_BOOL OnBlur(int, const EmscriptenFocusEvent*, void* data) {
    static_cast<WebSession*>(data)->events().FocusLost();
    return EM_FALSE;
}

}  // namespace

WebSession::WebSession(KeyTest gameAnswers) : events_(gameAnswers) {
    emscripten_set_keydown_callback(kTarget, this, false, OnKey);
    emscripten_set_keyup_callback(kTarget, this, false, OnKey);
    emscripten_set_mousemove_callback(kTarget, this, false, OnMouse);
    emscripten_set_mousedown_callback(kTarget, this, false, OnMouse);
    emscripten_set_mouseup_callback(kTarget, this, false, OnMouse);
    emscripten_set_wheel_callback(kTarget, this, false, OnWheel);
    emscripten_set_blur_callback(kTarget, this, false, OnBlur);
}

WebSession::~WebSession() {
    emscripten_set_keydown_callback(kTarget, nullptr, false, nullptr);
    emscripten_set_keyup_callback(kTarget, nullptr, false, nullptr);
    emscripten_set_mousemove_callback(kTarget, nullptr, false, nullptr);
    emscripten_set_mousedown_callback(kTarget, nullptr, false, nullptr);
    emscripten_set_mouseup_callback(kTarget, nullptr, false, nullptr);
    emscripten_set_wheel_callback(kTarget, nullptr, false, nullptr);
    emscripten_set_blur_callback(kTarget, nullptr, false, nullptr);
}

WebWindow::WebWindow(std::shared_ptr<WebSession> session, WindowProc proc)
    : ImitatedWindow(std::move(proc)), session_(std::move(session)) {
    session_->SetWindow(this);
}

WebWindow::~WebWindow() {
    if (session_->window() == this) {
        session_->SetWindow(nullptr);
    }
    session_->events().ForgetMessagesFor(this);
}

void WebWindow::DestroyNative() {
    session_->SetWindow(nullptr);
    session_->events().ForgetMessagesFor(this);
}

}  // namespace platform::web
