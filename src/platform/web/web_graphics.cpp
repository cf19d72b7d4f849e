// The canvas as the OpenGL device sees it: a WebGL 2 context, the page's visibility, the
// canvas's size in device pixels, and the browser's animation frames as the display's.

#include "platform/web/web_graphics.h"

#include <emscripten/html5.h>

#include <string>

#include "platform/gl/gl_graphics.h"
#include "platform/gl/gl_window.h"
#include "platform/web/canvas_faces.h"
#include "platform/web/web_page.h"
#include "platform/web/web_session.h"

namespace platform::web {

namespace {

constexpr int kStillLook = 1000;  // milliseconds

class CanvasGlWindow final : public gl::GlWindow {
  public:
    explicit CanvasGlWindow(std::shared_ptr<WebSession> session) : session_(std::move(session)) {}
    ~CanvasGlWindow() override { DropContext(); }

    bool MakeContext(std::string& why) override {
        EmscriptenWebGLContextAttributes attributes;
        emscripten_webgl_init_context_attributes(&attributes);
        attributes.majorVersion = 2;
        attributes.minorVersion = 0;
        // The back buffer has its own depth; the canvas only receives its blit, which
        // WebGL 2 allows from a single-sampled canvas alone.
        attributes.alpha = EM_FALSE;
        attributes.depth = EM_FALSE;
        attributes.stencil = EM_FALSE;
        attributes.antialias = EM_FALSE;
        context_ = emscripten_webgl_create_context(page::kCanvas, &attributes);
        if (context_ <= 0) {
            why = "no WebGL 2 context (" + std::to_string(context_) + ")";
            context_ = 0;
            return false;
        }
        if (emscripten_webgl_make_context_current(context_) != EMSCRIPTEN_RESULT_SUCCESS) {
            why = "WebGL 2 context not made current";
            DropContext();
            return false;
        }
        lossesSeen_ = page::ContextLosses();
        return true;
    }

    void DropContext() override {
        if (context_ > 0) {
            emscripten_webgl_destroy_context(context_);
            context_ = 0;
        }
    }

    bool MakeCurrent() override {
        return context_ > 0 &&
               (emscripten_webgl_get_current_context() == context_ ||
                emscripten_webgl_make_context_current(context_) == EMSCRIPTEN_RESULT_SUCCESS);
    }

    // Lost since it was made, even if already restored: its objects are gone all the same.
    bool ContextLost() override {
        return context_ > 0 &&
               (page::ContextLosses() != lossesSeen_ || emscripten_is_webgl_context_lost(context_));
    }

    // The browser gives the canvas its context back (the same one, empty) when it restores it.
    bool ContextRestored() override { return !page::ContextLostNow(); }

    bool Drawable() override { return session_->window() != nullptr && !page::Hidden(); }

    void DrawableSize(int& width, int& height) override {
        page::CanvasSize(width, height);
        width_ = width;
        height_ = height;
    }

    // A canvas given a new size (the page resized, or moved to another screen) is cleared.
    uint64_t damage() override {
        int width = 0;
        int height = 0;
        page::CanvasSize(width, height);
        if (width != width_ || height != height_) {
            width_ = width;
            height_ = height;
            ++damage_;
        }
        return damage_;
    }

    // The browser shows what the frame drew once the game yields to it.
    void Swap() override {
        if (!shown_) {
            shown_ = true;
            page::MarkFirstFrame();
        }
    }
    // A frame like the one on screen: nothing will change before the player does something
    // (or the page does), so the game sleeps until then, looking again now and then.
    void FrameDone(bool drawn) override {
        if (drawn) {
            page::WaitForFrame();
        } else {
            page::WaitForChange(kStillLook);
        }
    }
    void Idle() override { page::WaitForFrame(); }

  private:
    std::shared_ptr<WebSession> session_;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context_ = 0;
    int lossesSeen_ = 0;
    int width_ = 0;
    int height_ = 0;
    uint64_t damage_ = 0;
    bool shown_ = false;
};

class WebGraphics final : public Graphics {
  public:
    explicit WebGraphics(std::shared_ptr<WebSession> session) : session_(std::move(session)) {}

    HResult CreateDevice(uint32_t adapter, uint32_t deviceType, Window* focusWindow,
                         uint32_t behaviourFlags, PresentParams& params,
                         std::unique_ptr<Device>& out) override {
        (void)behaviourFlags;
        out.reset();
        Window* target = params.hDeviceWindow ? params.hDeviceWindow : focusWindow;
        if (adapter != d3d::ADAPTER_DEFAULT || deviceType != d3d::DEVTYPE_HAL || !target ||
            target != session_->window()) {
            return kInvalidCall;
        }
        HResult result = kOk;
        std::string why;
        out = gl::CreateGlDevice(std::make_shared<CanvasGlWindow>(session_),
                                 std::make_shared<CanvasFaces>(), params, result, why);
        if (!out) {
            emscripten_log(EM_LOG_CONSOLE | EM_LOG_WARN, "Tavorin: no device: %s", why.c_str());
        }
        return result;
    }

  private:
    std::shared_ptr<WebSession> session_;
};

}  // namespace

std::unique_ptr<Graphics> CreateWebGraphics(std::shared_ptr<WebSession> session) {
    if (!page::WebGl2Offered()) {
        return nullptr;
    }
    return std::make_unique<WebGraphics>(std::move(session));
}

}  // namespace platform::web
