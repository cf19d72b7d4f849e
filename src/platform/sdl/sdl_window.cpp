#include "platform/sdl/sdl_window.h"

#include <SDL.h>

#include "platform/sdl/sdl_video.h"
#include "platform/sdl/x11_watch.h"

namespace platform::sdl {

namespace {
constexpr Uint32 kFrameWait = 300;  // milliseconds
}  // namespace

NativeWindow::~NativeWindow() {
    if (handle) {
        DestroyWatchedWindow(handle);
    }
}

std::unique_ptr<SdlWindow> SdlWindow::Open(std::shared_ptr<SdlVideo> video, const WindowDesc& desc,
                                           WindowProc proc) {
    if (!video || desc.width <= 0 || desc.height <= 0) {
        return nullptr;
    }
    // No sizing border and no maximise box: the window keeps the size it is made with.
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (!(desc.style & ws::CAPTION)) {
        flags |= SDL_WINDOW_BORDERLESS;
    }
    // The device draws into a back buffer of its own with its own depth: the window's
    // surface needs colour alone, and a depth buffer there would only take memory.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    const char* title = desc.title ? desc.title : "";
    SDL_Window* handle = SDL_CreateWindow(title, desc.x, desc.y, desc.width, desc.height, flags);
    if (!handle && !SDL_getenv(SDL_HINT_VIDEO_X11_FORCE_EGL) &&
        SDL_GetHintBoolean(SDL_HINT_VIDEO_X11_FORCE_EGL, SDL_FALSE)) {
        // No EGL here: OpenGL through GLX, as SDL would have it.
        SDL_SetHint(SDL_HINT_VIDEO_X11_FORCE_EGL, "0");
        handle = SDL_CreateWindow(title, desc.x, desc.y, desc.width, desc.height, flags);
    }
    if (!handle) {
        ReportWhy("no window", SDL_GetError());
        return nullptr;
    }
    auto native = std::make_shared<NativeWindow>(handle);
    WatchXWindow(handle);
    std::unique_ptr<SdlWindow> window(new SdlWindow(video, native, std::move(proc)));
    if (desc.style & ws::VISIBLE) {
        SDL_ShowWindow(handle);
        // The size asked for is the outer one: where the window manager reports its frame,
        // the client area is what the frame leaves, and the frame's corner sits at (x, y).
        // The manager tells the frame a moment after the window is mapped; without one that
        // tells, there is nothing to wait for.
        int top = 0, left = 0, bottom = 0, right = 0;
        const Uint32 giveUp = SDL_GetTicks() + (FrameExtentsReported(handle) ? kFrameWait : 0);
        bool framed = false;
        while (!framed && !SDL_TICKS_PASSED(SDL_GetTicks(), giveUp)) {
            SDL_PumpEvents();
            framed = SDL_GetWindowBordersSize(handle, &top, &left, &bottom, &right) == 0 &&
                     (top | left | bottom | right) != 0;
            if (!framed) {
                SDL_Delay(10);
            }
        }
        if (framed && desc.width > left + right && desc.height > top + bottom) {
            SDL_SetWindowSize(handle, desc.width - left - right, desc.height - top - bottom);
            SDL_SetWindowPosition(handle, desc.x + left, desc.y + top);
        }
    }
    return window;
}

SdlWindow::SdlWindow(std::shared_ptr<SdlVideo> video, std::shared_ptr<NativeWindow> native,
                     WindowProc proc)
    : ImitatedWindow(std::move(proc)),
      video_(std::move(video)),
      native_(std::move(native)),
      id_(SDL_GetWindowID(native_->handle)) {
    video_->AddWindow(this);
}

SdlWindow::~SdlWindow() {
    video_->RemoveWindow(this);
}

void SdlWindow::DestroyNative() {
    if (!XWindowGone(native_->handle)) {
        SDL_HideWindow(native_->handle);
    }
    video_->ForgetMessagesFor(this);
}

}  // namespace platform::sdl
