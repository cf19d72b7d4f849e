// The device itself: its OpenGL context, the resources it must restore after a context is
// lost, scenes, and the fonts and images it makes. Creating one starts at CreateGlGraphics.

#include "platform/sdl/gl_device.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <cstdio>
#include <string>

#include "platform/bmp/bmp_image.h"
#include "platform/sdl/gl_buffers.h"
#include "platform/sdl/gl_text.h"
#include "platform/sdl/sdl_system.h"
#include "platform/sdl/sdl_video.h"
#include "platform/sdl/sdl_window.h"

namespace platform::sdl {

using bmp::ArgbImage;
using bmp::LoadBmp;

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

class GlTexture final : public Texture, public GlResource {
  public:
    GlTexture(std::shared_ptr<DeviceLink> link, ArgbImage image)
        : link_(std::move(link)), image_(std::move(image)) {
        link_->device->AddResource(this);
        RestoreGl();
    }
    ~GlTexture() override {
        if (GlDevice* device = link_->device) {
            device->RemoveResource(this);
            if (name_ != 0 && device->MakeCurrent()) {
                glDeleteTextures(1, &name_);
            }
        }
    }
    void ForgetGl() override { name_ = 0; }
    void RestoreGl() override {
        if (!link_->device || !link_->device->MakeCurrent()) {
            return;
        }
        glGenTextures(1, &name_);
        glBindTexture(GL_TEXTURE_2D, name_);
        // ARGB words in memory are the bytes B, G, R, A.
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image_.width, image_.height, 0, GL_BGRA,
                     GL_UNSIGNED_INT_8_8_8_8_REV, image_.pixels.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glBindTexture(GL_TEXTURE_2D, 0);
    }

  private:
    std::shared_ptr<DeviceLink> link_;
    ArgbImage image_;
    GLuint name_ = 0;
};

class GlGraphics final : public Graphics {
  public:
    // Holds the OpenGL library that CreateGlGraphics loaded.
    GlGraphics(std::shared_ptr<SdlVideo> video, bool paced)
        : video_(std::move(video)), paced_(paced) {}
    ~GlGraphics() override { SDL_GL_UnloadLibrary(); }
    GlGraphics(const GlGraphics&) = delete;
    GlGraphics& operator=(const GlGraphics&) = delete;

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
        auto device = GlDevice::Create(video_, *window, params, paced_, result, why);
        if (!device) {
            ReportWhy("no device", why);
            return result;
        }
        out = std::move(device);
        return result;
    }

  private:
    std::shared_ptr<SdlVideo> video_;
    bool paced_;
};

}  // namespace

std::unique_ptr<Graphics> CreateGlGraphics(std::shared_ptr<SdlVideo> video, bool paced) {
    // Whether a context can really be made is learnt on the game's own window, when the
    // device is created: a trial context elsewhere would cost as much again.
    if (!video || SDL_GL_LoadLibrary(nullptr) != 0) {
        if (video) {
            ReportWhy("no OpenGL", SDL_GetError());
        }
        return nullptr;
    }
    return std::make_unique<GlGraphics>(std::move(video), paced);
}

GlDevice::GlDevice(std::shared_ptr<SdlVideo> video, std::shared_ptr<NativeWindow> window,
                   bool paced)
    : video_(std::move(video)),
      window_(std::move(window)),
      link_(std::make_shared<DeviceLink>()),
      paced_(paced) {
    link_->device = this;
}

std::unique_ptr<GlDevice> GlDevice::Create(std::shared_ptr<SdlVideo> video, SdlWindow& window,
                                           const PresentParams& params, bool paced, HResult& result,
                                           std::string& why) {
    std::unique_ptr<GlDevice> device(new GlDevice(std::move(video), window.native(), paced));
    if (!device->MakeContext(why)) {
        result = kFail;
        return nullptr;
    }
    if (!device->MakeBackBuffer(params)) {
        why = "no back buffer of this size and format";
        result = kInvalidCall;
        return nullptr;
    }
    device->faces_ = FontFaces::Start();
    device->ResetState();
    SDL_DisplayMode mode{};
    const int display = SDL_GetWindowDisplayIndex(device->window_->handle);
    device->pacer_.SetRate(
        display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 ? mode.refresh_rate : 0);
    result = kOk;
    return device;
}

GlDevice::~GlDevice() {
    if (!MakeCurrent()) {
        // No text cache either when the first context could not be made.
        if (text_) {
            text_->ForgetGl();
        }
    } else {
        text_.reset();
        DropBackBuffer();
        programs_.Drop();
    }
    // Resources still alive keep their CPU copies and make no more GL calls.
    link_->device = nullptr;
    DropContext();
}

bool GlDevice::MakeContext(std::string& why) {
    context_ = CreateContext(window_->handle, robust_, why);
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
    if (robust_ && (epoxy_gl_version() >= 45 || epoxy_has_gl_extension("GL_KHR_robustness"))) {
        resetQuery_ = ResetQuery::kCore;
    } else if (robust_ && epoxy_has_gl_extension("GL_ARB_robustness")) {
        resetQuery_ = ResetQuery::kArb;
    }
    if (!programs_.Make(why)) {
        DropContext();
        return false;
    }
    text_ = std::make_unique<TextCache>();
    return true;
}

void GlDevice::DropContext() {
    if (context_) {
        SDL_GL_MakeCurrent(window_->handle, nullptr);
        SDL_GL_DeleteContext(context_);
        context_ = nullptr;
    }
}

bool GlDevice::MakeCurrent() {
    return context_ && !contextLost_ && SDL_GL_MakeCurrent(window_->handle, context_) == 0;
}

void GlDevice::RemoveResource(GlResource* resource) {
    resources_.erase(resource);
    // Direct3D holds on to what is bound; here the binding is simply let go.
    if (stream_ && static_cast<GlResource*>(stream_) == resource) {
        stream_ = nullptr;
    }
    if (indices_ && static_cast<GlResource*>(indices_) == resource) {
        indices_ = nullptr;
    }
}

void GlDevice::ResetState() {
    settings_ = {};
    stream_ = nullptr;
    indices_ = nullptr;
    streamOffset_ = streamStride_ = 0;
    inScene_ = false;
}

HResult GlDevice::BeginScene() {
    if (inScene_) {
        return kInvalidCall;
    }
    inScene_ = true;
    return kOk;
}

HResult GlDevice::EndScene() {
    if (!inScene_) {
        return kInvalidCall;
    }
    inScene_ = false;
    return kOk;
}

HResult GlDevice::CreateFontIndirectA(const FontDesc& desc, std::unique_ptr<Font>& out) {
    out.reset();
    if (!faces_) {
        return kFail;
    }
    std::shared_ptr<FontFace> face = faces_->Open(desc);
    if (!face) {
        return kFail;
    }
    out = std::make_unique<GlFont>(link_, std::move(face));
    return kOk;
}

HResult GlDevice::CreateTextureFromFileExA(const char* file, uint32_t width, uint32_t height,
                                           uint32_t mipLevels, uint32_t usage, uint32_t format,
                                           uint32_t pool, uint32_t filter, uint32_t mipFilter,
                                           uint32_t colourKey, std::unique_ptr<Texture>& out) {
    (void)width;
    (void)height;
    (void)mipLevels;
    (void)usage;
    (void)format;
    (void)pool;
    (void)filter;
    (void)mipFilter;
    out.reset();
    ArgbImage image;
    if (!LoadBmp(file, colourKey, image)) {
        return kInvalidCall;
    }
    out = std::make_unique<GlTexture>(link_, std::move(image));
    return kOk;
}

}  // namespace platform::sdl
