#include "platform/sdl/sdl_video.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>

#include "platform/imitation/key_messages.h"
#include "platform/imitation/key_table.h"
#include "platform/sdl/sdl_window.h"
#include "platform/sdl/x11_watch.h"

namespace platform::sdl {

namespace {

constexpr int32_t kWheelDelta = 120;

// SDL's scan codes are USB's numbers for the keys' places, which the key table is indexed by.
static_assert(SDL_SCANCODE_A == usage::A && SDL_SCANCODE_1 == usage::DIGIT_1 &&
              SDL_SCANCODE_F1 == usage::F1 && SDL_SCANCODE_F13 == usage::F13 &&
              SDL_SCANCODE_KP_1 == usage::KEYPAD_1 && SDL_SCANCODE_RGUI == usage::LAST);

// What the layout makes of the key, from SDL's key code: a character, or 0 for a key that
// types none (those carry SDLK_SCANCODE_MASK).
uint32_t Typed(SDL_Keycode keycode) {
    return keycode > 0 && (keycode & SDLK_SCANCODE_MASK) == 0 ? static_cast<uint32_t>(keycode) : 0;
}

constexpr int kVideoAttempts = 5;
constexpr Uint32 kVideoRetryPause = 100;  // milliseconds

// SDL's drivers that draw nowhere: the player would face an invisible game.
bool ShowsWindows(const char* driver) {
    return SDL_strcmp(driver, "offscreen") != 0 && SDL_strcmp(driver, "dummy") != 0 &&
           SDL_strcmp(driver, "evdev") != 0;
}

// Wayland finds its display through these; without any it cannot connect, and its library
// would only print why on standard error.
bool WaylandReachable() {
    const char* display = SDL_getenv("WAYLAND_DISPLAY");
    const char* runtime = SDL_getenv("XDG_RUNTIME_DIR");
    return SDL_getenv("WAYLAND_SOCKET") || (display && display[0] == '/') ||
           (runtime && runtime[0] != '\0');
}

bool DisplayNamed() {
    const char* x = SDL_getenv("DISPLAY");
    const char* wayland = SDL_getenv("WAYLAND_DISPLAY");
    return (x && x[0] != '\0') || (wayland && wayland[0] != '\0');
}

// SDL's drivers in its own order, less those that cannot show the game.
std::string VisibleDrivers() {
    std::string list;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const char* driver = SDL_GetVideoDriver(i);
        if (!driver || !ShowsWindows(driver) ||
            (SDL_strcmp(driver, "wayland") == 0 && !WaylandReachable())) {
            continue;
        }
        list += list.empty() ? "" : ",";
        list += driver;
    }
    return list;
}

}  // namespace

void ReportWhy(const char* what, const std::string& detail) {
    std::fprintf(stderr, "tavorin: %s: %s\n", what, detail.c_str());
    std::fflush(stderr);
}

std::shared_ptr<SdlVideo> SdlVideo::Start() {
    // The game closes itself through WM_CLOSE; SDL is not to quit on its own.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // On X, EGL makes just the one context the device asks for; SDL's GLX would first make
    // a hidden one of its own to read the extensions. Where EGL is missing, windows go back
    // to GLX (SdlWindow::Open).
    if (!SDL_getenv(SDL_HINT_VIDEO_X11_FORCE_EGL)) {
        SDL_SetHint(SDL_HINT_VIDEO_X11_FORCE_EGL, "1");
    }
    const bool driverChosen = SDL_getenv("SDL_VIDEODRIVER") != nullptr;
    if (!driverChosen) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, VisibleDrivers().c_str());
    }
    // A display that refuses the connection for a moment (as one may just after another
    // client died) is asked again a few times before the game gives up on it.
    for (int attempt = 1; SDL_InitSubSystem(SDL_INIT_VIDEO) != 0; ++attempt) {
        if (attempt == kVideoAttempts || !DisplayNamed()) {
            const char* display = SDL_getenv("DISPLAY");
            ReportWhy("no display",
                      std::string(display ? display : "(DISPLAY not set)") + ": " + SDL_GetError());
            return nullptr;
        }
        SDL_Delay(kVideoRetryPause);
    }
    // Where the player chose a driver that shows nothing, it is theirs to choose.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driverChosen && driver && !ShowsWindows(driver)) {
        ReportWhy("no display", std::string("only the driver ") + driver);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    return std::shared_ptr<SdlVideo>(new SdlVideo());
}

SdlVideo::~SdlVideo() {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (SDL_WasInit(0) == 0) {
        SDL_Quit();
    }
}

void SdlVideo::Pump() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        Translate(&event);
    }
}

bool SdlVideo::Take(Message& message) {
    return queue_.Take(message);
}

void SdlVideo::Translate(const Message& message) {
    queue_.Translate(message);
}

void SdlVideo::AddWindow(SdlWindow* window) {
    windows_.push_back(window);
}

void SdlVideo::RemoveWindow(SdlWindow* window) {
    windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
    ForgetMessagesFor(window);
}

void SdlVideo::ForgetMessagesFor(SdlWindow* window) {
    queue_.ForgetMessagesFor(window);
}

int32_t SdlVideo::TakeWheel() {
    const int32_t wheel = wheel_;
    wheel_ = 0;
    return wheel;
}

SdlWindow* SdlVideo::WindowFor(uint32_t windowId) const {
    for (SdlWindow* window : windows_) {
        if (window->id() == windowId) {
            return window;
        }
    }
    // Keys typed before the window has the focus carry no window: the game has only one.
    return windowId == 0 && !windows_.empty() ? windows_.front() : nullptr;
}

void SdlVideo::Enqueue(SdlWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam,
                       uint32_t character) {
    // A destroyed window gets no more messages, as on Windows.
    if (window && window->alive()) {
        queue_.Post({window, message, wParam, lParam}, character);
    }
}

void SdlVideo::Translate(const void* raw) {
    const SDL_Event& event = *static_cast<const SDL_Event*>(raw);
    switch (event.type) {
        case SDL_QUIT:
            // A signal to end the program closes the windows as their close boxes would.
            for (SdlWindow* window : windows_) {
                Enqueue(window, wm::CLOSE, 0, 0, 0);
            }
            break;
        case SDL_WINDOWEVENT:
            TranslateWindowEvent(raw);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            TranslateKey(raw);
            break;
        case SDL_TEXTINPUT:
            // The text of the key just pressed: what TranslateMessage turns it into.
            if (event.text.text[0] != '\0') {
                queue_.SetLastKeyCharacter(FirstCharacter(event.text.text).character);
            }
            break;
        case SDL_SYSWMEVENT:
            // Destroyed by another client: the window goes as DestroyWindow would take it,
            // WM_DESTROY included, so that the game ends the way it always does.
            if (const uint32_t id = XWindowDestroyedBy(event)) {
                if (SdlWindow* window = WindowFor(id)) {
                    window->Destroy();
                }
            }
            break;
        case SDL_MOUSEWHEEL:
            TranslateWheel(raw);
            break;
        default:
            break;
    }
}

void SdlVideo::TranslateWindowEvent(const void* raw) {
    const SDL_WindowEvent& event = static_cast<const SDL_Event*>(raw)->window;
    switch (event.event) {
        case SDL_WINDOWEVENT_CLOSE:
            Enqueue(WindowFor(event.windowID), wm::CLOSE, 0, 0, 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            ++focusLosses_;
            break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            if (SdlWindow* window = WindowFor(event.windowID)) {
                ++window->native()->damage;
            }
            break;
        default:
            break;
    }
}

void SdlVideo::TranslateKey(const void* raw) {
    const SDL_KeyboardEvent& event = static_cast<const SDL_Event*>(raw)->key;
    const SDL_Keysym& key = event.keysym;
    const KeyCodes codes = KeyCodesFor(static_cast<uint32_t>(key.scancode), Typed(key.sym));
    if (codes.virtualKey == 0) {
        return;
    }
    const bool up = event.type == SDL_KEYUP;
    const bool alt = (key.mod & KMOD_ALT) != 0;
    const uint32_t message = KeyMessageFor(codes.virtualKey, alt, up);
    const bool system = message == wm::SYSKEYDOWN || message == wm::SYSKEYUP;
    // The text SDL sends after the key-down replaces this where the key types any.
    const uint32_t character =
        up || system ? 0
                     : CharacterFor(codes.virtualKey, (key.mod & KMOD_SHIFT) != 0,
                                    (key.mod & KMOD_CAPS) != 0, (key.mod & KMOD_CTRL) != 0);
    Enqueue(WindowFor(event.windowID), message, codes.virtualKey,
            KeyMessageParam(codes.directInput, alt, event.repeat != 0, up), character);
}

void SdlVideo::TranslateWheel(const void* raw) {
    const SDL_MouseWheelEvent& event = static_cast<const SDL_Event*>(raw)->wheel;
    int32_t notches = event.y;
    if (event.direction == SDL_MOUSEWHEEL_FLIPPED) {
        notches = -notches;
    }
    const int64_t sum = static_cast<int64_t>(wheel_) + int64_t{notches} * kWheelDelta;
    wheel_ = static_cast<int32_t>(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX));
}

}  // namespace platform::sdl
