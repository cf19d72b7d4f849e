#include "platform/sdl/sdl_backend.h"

#include "platform/imitation/imitated_window.h"
#include "platform/imitation/window_classes.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "platform/sdl/sdl_graphics.h"
#include "platform/sdl/sdl_input.h"
#include "platform/sdl/sdl_video.h"
#include "platform/sdl/sdl_window.h"

namespace platform::sdl {

namespace {

constexpr uint32_t kIconMask = 0xF0;
constexpr uint32_t kIconError = 0x10;
constexpr uint32_t kIconWarning = 0x30;
constexpr int32_t kIdOk = 1;

class SdlSystem : public System {
  public:
    explicit SdlSystem(const SdlOptions& options) : options_(options) {}

    void InitCommonControls() override {}

    bool RegisterClassExA(const WindowClass& windowClass) override {
        return classes_.Register(windowClass);
    }

    bool UnregisterClassA(const char* className) override { return classes_.Unregister(className); }

    std::unique_ptr<Window> CreateWindowExA(const WindowDesc& desc, WindowProc proc) override {
        if (!classes_.Registered(desc.className) || !StartVideo()) {
            return nullptr;
        }
        return SdlWindow::Open(video_, desc, std::move(proc));
    }

    bool PeekMessageA(Message& message) override {
        if (!video_) {
            return false;
        }
        video_->Pump();
        return video_->Take(message);
    }

    void TranslateMessage(const Message& message) override {
        if (video_) {
            video_->Translate(message);
        }
    }

    intptr_t DispatchMessageA(const Message& message) override { return DeliverMessage(message); }

    int32_t MessageBoxA(Window* owner, const char* text, const char* caption,
                        uint32_t type) override {
        text = text ? text : "";
        caption = caption ? caption : "Error";
        Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
        if ((type & kIconMask) == kIconError) {
            flags = SDL_MESSAGEBOX_ERROR;
        } else if ((type & kIconMask) == kIconWarning) {
            flags = SDL_MESSAGEBOX_WARNING;
        }
        SDL_Window* parent = nullptr;
        if (auto* window = dynamic_cast<SdlWindow*>(owner); window && window->alive()) {
            parent = window->native()->handle;
        }
        if (SDL_ShowSimpleMessageBox(flags, caption, text, parent) == 0) {
            return kIdOk;
        }
        // No display to show it on: the message still reaches the user.
        std::fprintf(stderr, "%s: %s\n", caption, text);
        std::fflush(stderr);
        return 0;
    }

    int32_t ShowCursor(bool show) override {
        cursorCount_ += show ? 1 : -1;
        if (SDL_WasInit(SDL_INIT_VIDEO)) {
            SDL_ShowCursor(cursorCount_ >= 0 ? SDL_ENABLE : SDL_DISABLE);
        }
        return cursorCount_;
    }

    std::unique_ptr<Graphics> Direct3DCreate9(uint32_t sdkVersion) override {
        if (sdkVersion != d3d::SDK_VERSION || !StartVideo()) {
            return nullptr;
        }
        return CreateSdlGraphics(video_, options_.paced);
    }

    HResult DirectInput8Create(uint32_t version, std::unique_ptr<InputSystem>& out) override {
        out.reset();
        if (version != dinput::VERSION) {
            return kFail;
        }
        if (!StartVideo()) {
            return kFail;
        }
        out = CreateSdlInput(video_);
        return kOk;
    }

    int64_t Time() override { return static_cast<int64_t>(std::time(nullptr)); }

  private:
    // Tried once: SdlVideo::Start already asks the display again before it gives up.
    bool StartVideo() {
        if (!video_ && !videoFailed_) {
            video_ = SdlVideo::Start();
            videoFailed_ = video_ == nullptr;
        }
        return video_ != nullptr;
    }

    SdlOptions options_;
    std::shared_ptr<SdlVideo> video_;
    bool videoFailed_ = false;
    WindowClasses classes_;
    int32_t cursorCount_ = 0;
};

}  // namespace

std::unique_ptr<System> CreateSdlSystem() {
    SdlOptions options;
    const char* unpaced = std::getenv("TAVORIN_UNPACED");
    if (unpaced && std::strcmp(unpaced, "1") == 0) {
        options.paced = false;
    }
    return CreateSdlSystem(options);
}

std::unique_ptr<System> CreateSdlSystem(const SdlOptions& options) {
    return std::make_unique<SdlSystem>(options);
}

}  // namespace platform::sdl
