#pragma once

#include <cstdint>
#include <memory>

#include "platform/imitation/imitated_window.h"

struct SDL_Window;

namespace platform::sdl {

class SdlVideo;

// The SDL window itself, shared by the game's window and the device drawing into it: it is
// destroyed only when both have let go, so a device never presents into a freed window.
struct NativeWindow {
    explicit NativeWindow(SDL_Window* window) : handle(window) {}
    ~NativeWindow();
    NativeWindow(const NativeWindow&) = delete;
    NativeWindow& operator=(const NativeWindow&) = delete;

    SDL_Window* handle;
    // Grows each time the window system lost the window's picture (uncovered, restored,
    // resized), so that the device shows its frame again even where nothing changed.
    uint64_t damage = 0;
};

class SdlWindow : public ImitatedWindow {
  public:
    // Opens the window as `desc` asks, or returns null.
    static std::unique_ptr<SdlWindow> Open(std::shared_ptr<SdlVideo> video, const WindowDesc& desc,
                                           WindowProc proc);
    ~SdlWindow() override;

    uint32_t id() const { return id_; }
    const std::shared_ptr<NativeWindow>& native() const { return native_; }
    const std::shared_ptr<SdlVideo>& video() const { return video_; }

  protected:
    // Hidden, not freed: the frame loop still runs one pass on the device after WM_DESTROY.
    void DestroyNative() override;

  private:
    SdlWindow(std::shared_ptr<SdlVideo> video, std::shared_ptr<NativeWindow> native,
              WindowProc proc);

    std::shared_ptr<SdlVideo> video_;
    std::shared_ptr<NativeWindow> native_;
    uint32_t id_;
};

}  // namespace platform::sdl
