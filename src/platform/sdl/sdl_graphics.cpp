// The window as the OpenGL device sees it: a 3.3 core context (robust where the driver offers
// one), the window's visibility and size, the swap and the pacing to the display.

#include "platform/sdl/sdl_graphics.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <string>

#include "platform/gl/gl_graphics.h"
#include "platform/gl/gl_window.h"
#include "platform/sdl/frame_pacer.h"
#include "platform/sdl/sdl_video.h"
#include "platform/sdl/sdl_window.h"
#include "platform/sdl/ttf_faces.h"
#include "platform/sdl/x11_watch.h"

namespace platform::sdl {

namespace {

// Asks for a 3.3 core context, robust where the driver offers it. On failure `why` says what
// the driver answered.
SDL_GLContext CreateContext(SDL_Window* window, bool& robust, std::string& why) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, SDL_GL_CONTEXT_ROBUST_ACCESS_FLAG);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_RESET_NOTIFICATION, SDL_GL_CONTEXT_RESET_LOSE_CONTEXT);
    SDL_GLContext context = SDL_GL_CreateContext(window);
    robust = context != nullptr;
    if (!context) {
        why = std::string("robust context: ") + SDL_GetError();
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, 0);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_RESET_NOTIFICATION,
                            SDL_GL_CONTEXT_RESET_NO_NOTIFICATION);
        context = SDL_GL_CreateContext(window);
        if (!context) {
            why += std::string("; plain context: ") + SDL_GetError();
            return nullptr;
        }
    }
    if (!epoxy_is_desktop_gl() || epoxy_gl_version() < 33) {
        why = "OpenGL 3.3 core is not offered (version " + std::to_string(epoxy_gl_version()) + ")";
        SDL_GL_DeleteContext(context);
        return nullptr;
    }
    return context;
}

class SdlGlWindow final : public gl::GlWindow {
  public:
    // Holds SDL's video as long as the device draws.
    SdlGlWindow(std::shared_ptr<SdlVideo> video, std::shared_ptr<NativeWindow> window, bool paced)
        : video_(std::move(video)), window_(std::move(window)), paced_(paced) {
        SDL_DisplayMode mode{};
        const int display = SDL_GetWindowDisplayIndex(window_->handle);
        pacer_.SetRate(
            display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 ? mode.refresh_rate : 0);
    }
    ~SdlGlWindow() override { DropContext(); }

    bool MakeContext(std::string& why) override {
        bool robust = false;
        context_ = CreateContext(window_->handle, robust, why);
        if (!context_) {
            return false;
        }
        if (SDL_GL_MakeCurrent(window_->handle, context_) != 0) {
            why = std::string("context not made current: ") + SDL_GetError();
            DropContext();
            return false;
        }
        SDL_GL_SetSwapInterval(paced_ ? 1 : 0);
        // Only a robust context reports resets; asked once here, read every frame.
        resetQuery_ = ResetQuery::kNone;
        if (robust && (epoxy_gl_version() >= 45 || epoxy_has_gl_extension("GL_KHR_robustness"))) {
            resetQuery_ = ResetQuery::kCore;
        } else if (robust && epoxy_has_gl_extension("GL_ARB_robustness")) {
            resetQuery_ = ResetQuery::kArb;
        }
        return true;
    }

    void DropContext() override {
        if (context_) {
            SDL_GL_MakeCurrent(window_->handle, nullptr);
            SDL_GL_DeleteContext(context_);
            context_ = nullptr;
        }
    }

    bool MakeCurrent() override {
        return context_ && SDL_GL_MakeCurrent(window_->handle, context_) == 0;
    }

    bool ContextLost() override {
        if (resetQuery_ == ResetQuery::kNone || !MakeCurrent()) {
            return false;
        }
        const GLenum status = resetQuery_ == ResetQuery::kCore ? glGetGraphicsResetStatus()
                                                               : glGetGraphicsResetStatusARB();
        return status != GL_NO_ERROR;
    }

    bool Drawable() override {
        if (XWindowGone(window_->handle)) {
            return false;
        }
        const Uint32 flags = SDL_GetWindowFlags(window_->handle);
        return (flags & SDL_WINDOW_SHOWN) && !(flags & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN));
    }

    void DrawableSize(int& width, int& height) override {
        SDL_GL_GetDrawableSize(window_->handle, &width, &height);
    }

    uint64_t damage() override { return window_->damage; }

    void Swap() override { SDL_GL_SwapWindow(window_->handle); }

    // Where nothing was swapped, vsync paced nothing either.
    void FrameDone(bool) override {
        if (paced_) {
            pacer_.FrameDone();
        }
    }

    void Idle() override {
        if (paced_) {
            pacer_.Idle();
        }
    }

  private:
    std::shared_ptr<SdlVideo> video_;
    std::shared_ptr<NativeWindow> window_;
    bool paced_;
    FramePacer pacer_;
    SDL_GLContext context_ = nullptr;
    enum class ResetQuery { kNone, kCore, kArb };
    ResetQuery resetQuery_ = ResetQuery::kNone;
};

class SdlGraphics final : public Graphics {
  public:
    // Holds the OpenGL library that CreateSdlGraphics loaded.
    SdlGraphics(std::shared_ptr<SdlVideo> video, bool paced)
        : video_(std::move(video)), paced_(paced) {}
    ~SdlGraphics() override { SDL_GL_UnloadLibrary(); }
    SdlGraphics(const SdlGraphics&) = delete;
    SdlGraphics& operator=(const SdlGraphics&) = delete;

    HResult CreateDevice(uint32_t adapter, uint32_t deviceType, Window* focusWindow,
                         uint32_t behaviourFlags, PresentParams& params,
                         std::unique_ptr<Device>& out) override {
        (void)behaviourFlags;
        out.reset();
        Window* target = params.hDeviceWindow ? params.hDeviceWindow : focusWindow;
        auto* window = dynamic_cast<SdlWindow*>(target);
        if (adapter != d3d::ADAPTER_DEFAULT || deviceType != d3d::DEVTYPE_HAL) {
            return kInvalidCall;
        }
        if (!window || !window->alive()) {
            ReportWhy("no device", "there is no window to draw into");
            return kInvalidCall;
        }
        HResult result = kOk;
        std::string why;
        out = gl::CreateGlDevice(std::make_shared<SdlGlWindow>(video_, window->native(), paced_),
                                 TtfFaces::Start(), params, result, why);
        if (!out) {
            ReportWhy("no device", why);
        }
        return result;
    }

  private:
    std::shared_ptr<SdlVideo> video_;
    bool paced_;
};

}  // namespace

std::unique_ptr<Graphics> CreateSdlGraphics(std::shared_ptr<SdlVideo> video, bool paced) {
    // Whether a context can really be made is learnt on the game's own window, when the
    // device is created: a trial context elsewhere would cost as much again.
    if (!video || SDL_GL_LoadLibrary(nullptr) != 0) {
        if (video) {
            ReportWhy("no OpenGL", SDL_GetError());
        }
        return nullptr;
    }
    return std::make_unique<SdlGraphics>(std::move(video), paced);
}

}  // namespace platform::sdl
