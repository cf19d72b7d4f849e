#include "platform/sdl/gl_device.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "platform/sdl/bmp_image.h"
#include "platform/sdl/gl_buffers.h"
#include "platform/sdl/gl_text.h"
#include "platform/sdl/sdl_system.h"
#include "platform/sdl/sdl_video.h"
#include "platform/sdl/sdl_window.h"

namespace platform::sdl {

namespace {

constexpr uint32_t kViewTransform = 2;
constexpr uint32_t kFormatIndex32 = 102;
constexpr uint32_t kFormatX8R8G8B8 = 22;
constexpr uint32_t kFormatA8R8G8B8 = 21;
constexpr uint32_t kFormatD32 = 71;
constexpr uint32_t kFormatD24S8 = 75;
constexpr uint32_t kFormatD24X8 = 77;
constexpr uint32_t kClearStencil = 4;
constexpr uint32_t kFvfNormal = 0x010;
constexpr uint32_t kFvfPointSize = 0x020;
constexpr uint32_t kFvfPositionMask = 0x00E;

// Render states the device applies; the others are kept only.
constexpr uint32_t kFillMode = 8;
constexpr uint32_t kZWriteEnable = 14;
constexpr uint32_t kZFunc = 23;
constexpr uint32_t kFillPoint = 1;
constexpr uint32_t kFillWireframe = 2;
constexpr uint32_t kCullClockwise = 2;
constexpr uint32_t kCullCounterClockwise = 3;

// Far beyond any mesh of the game; a larger request is refused rather than attempted.
constexpr uint32_t kMaxBufferBytes = 256u << 20;

constexpr uint32_t kTextCalcRect = 0x400;
constexpr uint32_t kTextSingleLine = 0x20;

const char* const kMeshVertexShader = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec4 colour;
uniform mat4 world;
uniform mat4 view;
uniform mat4 projection;
out vec4 vertexColour;
void main() {
    // Row vectors, as the game's matrices are written.
    vec4 clip = vec4(position, 1.0) * world * view * projection;
    // The game's clip depth runs 0..w, OpenGL's -w..w: the one place it is converted.
    gl_Position = vec4(clip.xy, 2.0 * clip.z - clip.w, clip.w);
    vertexColour = colour;
}
)";

const char* const kMeshFragmentShader = R"(#version 330 core
in vec4 vertexColour;
out vec4 fragColour;
void main() {
    fragColour = vertexColour;
}
)";

const char* const kTextVertexShader = R"(#version 330 core
uniform vec4 area;    // left, top, right, bottom in back-buffer pixels
uniform vec2 target;  // back-buffer size
out vec2 uv;
void main() {
    vec2 corner = vec2(gl_VertexID & 1, gl_VertexID >> 1);
    vec2 pixel = mix(area.xy, area.zw, corner);
    uv = corner;
    gl_Position = vec4(pixel.x / target.x * 2.0 - 1.0, 1.0 - pixel.y / target.y * 2.0, 0.0, 1.0);
}
)";

const char* const kTextFragmentShader = R"(#version 330 core
uniform sampler2D glyphs;
uniform vec4 colour;
in vec2 uv;
out vec4 fragColour;
void main() {
    fragColour = vec4(colour.rgb, colour.a * texture(glyphs, uv).r);
}
)";

GLuint CompileShader(GLenum kind, const char* source) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint LinkProgram(const char* vertexSource, const char* fragmentSource) {
    const GLuint vertex = CompileShader(GL_VERTEX_SHADER, vertexSource);
    const GLuint fragment = CompileShader(GL_FRAGMENT_SHADER, fragmentSource);
    GLuint program = 0;
    if (vertex && fragment) {
        program = glCreateProgram();
        glAttachShader(program, vertex);
        glAttachShader(program, fragment);
        glLinkProgram(program);
        GLint ok = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &ok);
        if (!ok) {
            glDeleteProgram(program);
            program = 0;
        }
    }
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    return program;
}

void ArgbToFloats(uint32_t argb, float rgba[4]) {
    rgba[0] = static_cast<float>((argb >> 16) & 0xFF) / 255.0f;
    rgba[1] = static_cast<float>((argb >> 8) & 0xFF) / 255.0f;
    rgba[2] = static_cast<float>(argb & 0xFF) / 255.0f;
    rgba[3] = static_cast<float>(argb >> 24) / 255.0f;
}

GLenum CompareFunction(uint32_t d3dCompare) {
    switch (d3dCompare) {
        case 1:
            return GL_NEVER;
        case 2:
            return GL_LESS;
        case 3:
            return GL_EQUAL;
        case 5:
            return GL_GREATER;
        case 6:
            return GL_NOTEQUAL;
        case 7:
            return GL_GEQUAL;
        case 8:
            return GL_ALWAYS;
        default:
            return GL_LEQUAL;
    }
}

// Asks for a 3.3 core context, robust where the driver offers it.
SDL_GLContext CreateContext(SDL_Window* window, bool& robust) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, SDL_GL_CONTEXT_ROBUST_ACCESS_FLAG);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_RESET_NOTIFICATION, SDL_GL_CONTEXT_RESET_LOSE_CONTEXT);
    SDL_GLContext context = SDL_GL_CreateContext(window);
    robust = context != nullptr;
    if (!context) {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, 0);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_RESET_NOTIFICATION,
                            SDL_GL_CONTEXT_RESET_NO_NOTIFICATION);
        context = SDL_GL_CreateContext(window);
    }
    if (context && (!epoxy_is_desktop_gl() || epoxy_gl_version() < 33)) {
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
    GlGraphics(std::shared_ptr<SdlVideo> video, bool paced)
        : video_(std::move(video)), paced_(paced) {}

    HResult CreateDevice(uint32_t adapter, uint32_t deviceType, Window* focusWindow,
                         uint32_t behaviourFlags, PresentParams& params,
                         std::unique_ptr<Device>& out) override {
        (void)behaviourFlags;
        out.reset();
        Window* target = params.hDeviceWindow ? params.hDeviceWindow : focusWindow;
        auto* window = dynamic_cast<SdlWindow*>(target);
        if (adapter != d3d::ADAPTER_DEFAULT || deviceType != d3d::DEVTYPE_HAL || !window ||
            !window->alive()) {
            return kInvalidCall;
        }
        HResult result = kOk;
        auto device = GlDevice::Create(video_, *window, params, paced_, result);
        if (device) {
            out = std::move(device);
        }
        return result;
    }

  private:
    std::shared_ptr<SdlVideo> video_;
    bool paced_;
};

// Whether a 3.3 core context can be had at all, tried on a hidden window of its own.
bool OpenGlAvailable() {
    SDL_Window* probe = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!probe) {
        return false;
    }
    bool robust = false;
    SDL_GLContext context = CreateContext(probe, robust);
    if (context) {
        SDL_GL_MakeCurrent(probe, nullptr);
        SDL_GL_DeleteContext(context);
    }
    SDL_DestroyWindow(probe);
    return context != nullptr;
}

}  // namespace

std::unique_ptr<Graphics> CreateGlGraphics(std::shared_ptr<SdlVideo> video, bool paced) {
    if (!video || !OpenGlAvailable()) {
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
                                           const PresentParams& params, bool paced,
                                           HResult& result) {
    std::unique_ptr<GlDevice> device(new GlDevice(std::move(video), window.native(), paced));
    if (!device->MakeContext()) {
        result = kFail;
        return nullptr;
    }
    if (!device->MakeBackBuffer(params)) {
        result = kInvalidCall;
        return nullptr;
    }
    device->faces_ = FontFaces::Start();
    device->params_ = params;
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
        text_->ForgetGl();
    } else {
        text_.reset();
        DropBackBuffer();
        glDeleteProgram(meshProgram_);
        glDeleteProgram(textProgram_);
        glDeleteVertexArrays(1, &meshArray_);
        glDeleteVertexArrays(1, &textArray_);
    }
    // Resources still alive keep their CPU copies and make no more GL calls.
    link_->device = nullptr;
    DropContext();
}

bool GlDevice::MakeContext() {
    context_ = CreateContext(window_->handle, robust_);
    if (!context_ || SDL_GL_MakeCurrent(window_->handle, context_) != 0) {
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
    if (!MakePrograms()) {
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

bool GlDevice::MakePrograms() {
    meshProgram_ = LinkProgram(kMeshVertexShader, kMeshFragmentShader);
    textProgram_ = LinkProgram(kTextVertexShader, kTextFragmentShader);
    if (!meshProgram_ || !textProgram_) {
        return false;
    }
    worldUniform_ = glGetUniformLocation(meshProgram_, "world");
    viewUniform_ = glGetUniformLocation(meshProgram_, "view");
    projectionUniform_ = glGetUniformLocation(meshProgram_, "projection");
    textAreaUniform_ = glGetUniformLocation(textProgram_, "area");
    textTargetUniform_ = glGetUniformLocation(textProgram_, "target");
    textColourUniform_ = glGetUniformLocation(textProgram_, "colour");
    glUseProgram(textProgram_);
    glUniform1i(glGetUniformLocation(textProgram_, "glyphs"), 0);
    glUseProgram(0);
    glGenVertexArrays(1, &meshArray_);
    glGenVertexArrays(1, &textArray_);
    return true;
}

bool GlDevice::MakeBackBuffer(const PresentParams& params) {
    int width = static_cast<int>(params.BackBufferWidth);
    int height = static_cast<int>(params.BackBufferHeight);
    if (width == 0 || height == 0) {
        // Windowed with no size given: the client area's.
        SDL_GL_GetDrawableSize(window_->handle, &width, &height);
    }
    GLint largest = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
    if (width <= 0 || height <= 0 || width > largest || height > largest ||
        params.BackBufferWidth > INT32_MAX || params.BackBufferHeight > INT32_MAX) {
        return false;
    }
    GLenum colourFormat;
    switch (params.BackBufferFormat) {
        case d3d::FMT_R5G6B5:
            colourFormat = GL_RGB565;
            break;
        case kFormatX8R8G8B8:
        case kFormatA8R8G8B8:
        case d3d::FMT_UNKNOWN:
            colourFormat = GL_RGBA8;
            break;
        default:
            return false;
    }
    GLenum depthFormat = GL_DEPTH_COMPONENT16;
    GLenum depthAttachment = GL_DEPTH_ATTACHMENT;
    if (params.EnableAutoDepthStencil) {
        switch (params.AutoDepthStencilFormat) {
            case d3d::FMT_D16:
                break;
            case kFormatD24X8:
                depthFormat = GL_DEPTH_COMPONENT24;
                break;
            case kFormatD32:
                depthFormat = GL_DEPTH_COMPONENT32;
                break;
            case kFormatD24S8:
                depthFormat = GL_DEPTH24_STENCIL8;
                depthAttachment = GL_DEPTH_STENCIL_ATTACHMENT;
                break;
            default:
                return false;
        }
    }
    DropBackBuffer();
    while (glGetError() != GL_NO_ERROR) {
    }
    glGenFramebuffers(1, &framebuffer_);
    glGenRenderbuffers(1, &colourBuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glBindRenderbuffer(GL_RENDERBUFFER, colourBuffer_);
    glRenderbufferStorage(GL_RENDERBUFFER, colourFormat, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer_);
    if (params.EnableAutoDepthStencil) {
        glGenRenderbuffers(1, &depthBuffer_);
        glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer_);
        glRenderbufferStorage(GL_RENDERBUFFER, depthFormat, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, depthAttachment, GL_RENDERBUFFER, depthBuffer_);
    }
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE ||
        glGetError() != GL_NO_ERROR) {
        DropBackBuffer();
        return false;
    }
    width_ = width;
    height_ = height;
    glViewport(0, 0, width, height);
    return true;
}

void GlDevice::DropBackBuffer() {
    if (framebuffer_) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer_);
    }
    glDeleteRenderbuffers(1, &colourBuffer_);
    glDeleteRenderbuffers(1, &depthBuffer_);
    framebuffer_ = colourBuffer_ = depthBuffer_ = 0;
}

void GlDevice::ResetState() {
    // Direct3D's defaults, which a Reset also brings back.
    world_ = view_ = projection_ = MatrixIdentity();
    renderStates_.fill(0);
    renderStates_[d3d::RS_ZENABLE] = params_.EnableAutoDepthStencil ? d3d::ZB_TRUE : 0;
    renderStates_[kFillMode] = 3;  // solid
    renderStates_[kZWriteEnable] = 1;
    renderStates_[d3d::RS_CULLMODE] = kCullCounterClockwise;
    renderStates_[kZFunc] = 4;  // less or equal
    renderStates_[d3d::RS_LIGHTING] = 1;
    for (auto& sampler : samplerStates_) {
        sampler.fill(0);
        sampler[1] = sampler[2] = sampler[3] = 1;                         // wrap addressing
        sampler[d3d::SAMP_MAGFILTER] = sampler[d3d::SAMP_MINFILTER] = 1;  // point
        sampler[d3d::SAMP_MAXANISOTROPY] = 1;
    }
    fvf_ = 0;
    stream_ = nullptr;
    indices_ = nullptr;
    streamOffset_ = streamStride_ = 0;
    inScene_ = false;
}

bool GlDevice::Drawable() const {
    const Uint32 flags = SDL_GetWindowFlags(window_->handle);
    return (flags & SDL_WINDOW_SHOWN) && !(flags & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN));
}

bool GlDevice::ContextReset() {
    if (resetQuery_ == ResetQuery::kNone || contextLost_ || !MakeCurrent()) {
        return false;
    }
    const GLenum status = resetQuery_ == ResetQuery::kCore ? glGetGraphicsResetStatus()
                                                           : glGetGraphicsResetStatusARB();
    return status != GL_NO_ERROR;
}

HResult GlDevice::TestCooperativeLevel() {
    if (ContextReset()) {
        // Every GL object went with the context; Reset makes a new one.
        contextLost_ = true;
        lost_ = true;
        text_->ForgetGl();
        for (GlResource* resource : resources_) {
            resource->ForgetGl();
        }
        meshProgram_ = textProgram_ = meshArray_ = textArray_ = 0;
        framebuffer_ = colourBuffer_ = depthBuffer_ = 0;
    }
    if (!Drawable()) {
        lost_ = true;
        // Nothing is presented while lost, so the pacing happens here.
        if (paced_) {
            pacer_.Idle();
        }
        return kDeviceLost;
    }
    return lost_ ? kDeviceNotReset : kOk;
}

HResult GlDevice::Reset(const PresentParams& params) {
    if (!Drawable()) {
        return kDeviceLost;
    }
    if (contextLost_) {
        DropContext();
        contextLost_ = false;
        if (!MakeContext()) {
            contextLost_ = true;
            return kFail;
        }
        for (GlResource* resource : resources_) {
            resource->RestoreGl();
        }
    }
    if (!MakeCurrent() || !MakeBackBuffer(params)) {
        // No back buffer: the device stays lost until a Reset succeeds.
        lost_ = true;
        return kInvalidCall;
    }
    params_ = params;
    ResetState();
    lost_ = false;
    return kOk;
}

HResult GlDevice::SetTransform(uint32_t state, const Matrix& matrix) {
    switch (state) {
        case d3d::TS_WORLD:
            world_ = matrix;
            return kOk;
        case kViewTransform:
            view_ = matrix;
            return kOk;
        case d3d::TS_PROJECTION:
            projection_ = matrix;
            return kOk;
        default:
            return kInvalidCall;
    }
}

HResult GlDevice::SetRenderState(uint32_t state, uint32_t value) {
    if (state >= renderStates_.size()) {
        return kInvalidCall;
    }
    renderStates_[state] = value;
    return kOk;
}

HResult GlDevice::SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value) {
    if (sampler >= samplerStates_.size() || type >= samplerStates_[0].size()) {
        return kInvalidCall;
    }
    samplerStates_[sampler][type] = value;
    return kOk;
}

HResult GlDevice::SetFVF(uint32_t fvf) {
    fvf_ = fvf;
    return kOk;
}

HResult GlDevice::Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, uint32_t colour,
                        float z, uint32_t stencil) {
    if (lost_ || !MakeCurrent() ||
        (flags & ~(d3d::CLEAR_TARGET | d3d::CLEAR_ZBUFFER | kClearStencil)) != 0) {
        return kInvalidCall;
    }
    GLbitfield mask = 0;
    if (flags & d3d::CLEAR_TARGET) {
        float rgba[4];
        ArgbToFloats(colour, rgba);
        glClearColor(rgba[0], rgba[1], rgba[2], rgba[3]);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if ((flags & d3d::CLEAR_ZBUFFER) && depthBuffer_) {
        glClearDepth(std::clamp(z, 0.0f, 1.0f));
        glDepthMask(GL_TRUE);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if ((flags & kClearStencil) && params_.AutoDepthStencilFormat == kFormatD24S8) {
        glClearStencil(static_cast<GLint>(stencil & 0xFF));
        glStencilMask(0xFF);
        mask |= GL_STENCIL_BUFFER_BIT;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    if (rectCount == 0 || !rects) {
        glDisable(GL_SCISSOR_TEST);
        glClear(mask);
        return kOk;
    }
    glEnable(GL_SCISSOR_TEST);
    for (uint32_t i = 0; i < rectCount; ++i) {
        const Rect& r = rects[i];
        const int left = std::clamp(r.left, 0, width_);
        const int right = std::clamp(r.right, 0, width_);
        const int top = std::clamp(r.top, 0, height_);
        const int bottom = std::clamp(r.bottom, 0, height_);
        if (right > left && bottom > top) {
            glScissor(left, height_ - bottom, right - left, bottom - top);
            glClear(mask);
        }
    }
    glDisable(GL_SCISSOR_TEST);
    return kOk;
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

HResult GlDevice::Present() {
    if (lost_ || !Drawable()) {
        return kDeviceLost;
    }
    if (!MakeCurrent()) {
        return kInvalidCall;
    }
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(window_->handle, &width, &height);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    // Within a few percent of the back buffer's size (a window frame's worth) the nearest
    // pixel keeps text and edges crisp, and costs half as much where the drawing is software.
    const bool nearSize =
        std::abs(width - width_) * 20 <= width_ && std::abs(height - height_) * 20 <= height_;
    glBlitFramebuffer(0, 0, width_, height_, 0, 0, width, height, GL_COLOR_BUFFER_BIT,
                      nearSize ? GL_NEAREST : GL_LINEAR);
    SDL_GL_SwapWindow(window_->handle);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    if (paced_) {
        pacer_.FrameDone();
    }
    return kOk;
}

HResult GlDevice::CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                                     std::unique_ptr<VertexBuffer>& out) {
    (void)usage;
    (void)fvf;
    (void)pool;
    out.reset();
    if (length == 0) {
        return kInvalidCall;
    }
    if (length > kMaxBufferBytes) {
        return kOutOfMemory;
    }
    out = std::make_unique<GlVertexBuffer>(link_, length);
    return kOk;
}

HResult GlDevice::CreateIndexBuffer(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool,
                                    std::unique_ptr<IndexBuffer>& out) {
    (void)usage;
    (void)pool;
    out.reset();
    if (length == 0 || (format != d3d::FMT_INDEX16 && format != kFormatIndex32)) {
        return kInvalidCall;
    }
    if (length > kMaxBufferBytes) {
        return kOutOfMemory;
    }
    out = std::make_unique<GlIndexBuffer>(link_, length, format == kFormatIndex32);
    return kOk;
}

HResult GlDevice::SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t offset,
                                  uint32_t stride) {
    if (stream != 0) {
        return kInvalidCall;
    }
    auto* ours = dynamic_cast<GlVertexBuffer*>(buffer);
    if (buffer && !ours) {
        return kInvalidCall;
    }
    stream_ = ours;
    streamOffset_ = offset;
    streamStride_ = stride;
    return kOk;
}

HResult GlDevice::SetIndices(IndexBuffer* buffer) {
    auto* ours = dynamic_cast<GlIndexBuffer*>(buffer);
    if (buffer && !ours) {
        return kInvalidCall;
    }
    indices_ = ours;
    return kOk;
}

void GlDevice::ApplyDrawState() {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glViewport(0, 0, width_, height_);
    glDisable(GL_BLEND);
    glDisable(GL_SCISSOR_TEST);
    if (renderStates_[d3d::RS_ZENABLE] != 0 && depthBuffer_) {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(CompareFunction(renderStates_[kZFunc]));
        glDepthMask(renderStates_[kZWriteEnable] ? GL_TRUE : GL_FALSE);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    // Which way a triangle turns is judged as the viewer sees it, in both systems.
    switch (renderStates_[d3d::RS_CULLMODE]) {
        case kCullClockwise:
            glEnable(GL_CULL_FACE);
            glFrontFace(GL_CCW);
            glCullFace(GL_BACK);
            break;
        case kCullCounterClockwise:
            glEnable(GL_CULL_FACE);
            glFrontFace(GL_CW);
            glCullFace(GL_BACK);
            break;
        default:
            glDisable(GL_CULL_FACE);
            break;
    }
    const uint32_t fill = renderStates_[kFillMode];
    glPolygonMode(GL_FRONT_AND_BACK, fill == kFillPoint       ? GL_POINT
                                     : fill == kFillWireframe ? GL_LINE
                                                              : GL_FILL);
}

HResult GlDevice::DrawIndexedPrimitive(uint32_t type, int32_t baseVertex, uint32_t minIndex,
                                       uint32_t numVertices, uint32_t startIndex,
                                       uint32_t primitiveCount) {
    (void)minIndex;
    (void)numVertices;
    if (lost_ || !stream_ || !indices_ || primitiveCount == 0 || !MakeCurrent() ||
        stream_->name() == 0 || indices_->name() == 0) {
        return kInvalidCall;
    }
    GLenum mode;
    uint64_t count;
    switch (type) {
        case 1:  // point list
            mode = GL_POINTS;
            count = primitiveCount;
            break;
        case 2:  // line list
            mode = GL_LINES;
            count = uint64_t{primitiveCount} * 2;
            break;
        case 3:  // line strip
            mode = GL_LINE_STRIP;
            count = uint64_t{primitiveCount} + 1;
            break;
        case d3d::PT_TRIANGLELIST:
            mode = GL_TRIANGLES;
            count = uint64_t{primitiveCount} * 3;
            break;
        case 5:  // triangle strip
            mode = GL_TRIANGLE_STRIP;
            count = uint64_t{primitiveCount} + 2;
            break;
        case 6:  // triangle fan
            mode = GL_TRIANGLE_FAN;
            count = uint64_t{primitiveCount} + 2;
            break;
        default:
            return kInvalidCall;
    }
    // Only plain positions, with an optional normal and point size before the colour.
    if ((fvf_ & kFvfPositionMask) != d3d::FVF_XYZ) {
        return kInvalidCall;
    }
    uint32_t colourOffset = 12;
    colourOffset += (fvf_ & kFvfNormal) ? 12 : 0;
    colourOffset += (fvf_ & kFvfPointSize) ? 4 : 0;
    const bool hasColour = (fvf_ & d3d::FVF_DIFFUSE) != 0;
    const uint32_t vertexSize = colourOffset + (hasColour ? 4 : 0);

    // Every index must land inside the vertex buffer: no read past its end, ever.
    const uint64_t indexCount = indices_->bytes().size() / indices_->indexSize();
    const uint64_t streamBytes = stream_->bytes().size();
    if (streamStride_ < vertexSize || uint64_t{startIndex} + count > indexCount ||
        streamOffset_ >= streamBytes) {
        return kInvalidCall;
    }
    if (streamBytes - streamOffset_ < vertexSize || baseVertex < 0) {
        return kInvalidCall;
    }
    const uint64_t vertexCount = (streamBytes - streamOffset_ - vertexSize) / streamStride_ + 1;
    const int64_t largest =
        int64_t{indices_->MaxIndex(startIndex, static_cast<uint32_t>(count))} + baseVertex;
    if (largest >= static_cast<int64_t>(vertexCount)) {
        return kInvalidCall;
    }

    ApplyDrawState();
    glUseProgram(meshProgram_);
    glUniformMatrix4fv(worldUniform_, 1, GL_TRUE, &world_.m[0][0]);
    glUniformMatrix4fv(viewUniform_, 1, GL_TRUE, &view_.m[0][0]);
    glUniformMatrix4fv(projectionUniform_, 1, GL_TRUE, &projection_.m[0][0]);
    glBindVertexArray(meshArray_);
    glBindBuffer(GL_ARRAY_BUFFER, stream_->name());
    const auto at = [this](uint32_t offset) {
        return reinterpret_cast<const void*>(static_cast<uintptr_t>(streamOffset_ + offset));
    };
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, static_cast<GLsizei>(streamStride_), at(0));
    if (hasColour) {
        // ARGB words are the bytes B, G, R, A in memory.
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE,
                              static_cast<GLsizei>(streamStride_), at(colourOffset));
    } else {
        glDisableVertexAttribArray(1);
        glVertexAttrib4f(1, 1.0f, 1.0f, 1.0f, 1.0f);
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices_->name());
    const GLenum indexType = indices_->wide() ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT;
    glDrawElementsBaseVertex(
        mode, static_cast<GLsizei>(count), indexType,
        reinterpret_cast<const void*>(static_cast<uintptr_t>(startIndex) * indices_->indexSize()),
        baseVertex);
    glBindVertexArray(0);
    return kOk;
}

HResult GlDevice::CreateFontIndirect(const FontDesc& desc, std::unique_ptr<Font>& out) {
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

int32_t GlDevice::DrawTextBlock(FontFace& face, const char* text, int32_t count, const Rect& rect,
                                uint32_t format, uint32_t colour) {
    // count -1: up to the NUL; otherwise no further than the NUL either.
    const size_t length = count < 0 ? std::strlen(text) : strnlen(text, static_cast<size_t>(count));
    if (length == 0 || lost_ || !MakeCurrent()) {
        return 0;
    }
    int wrapWidth = TextCache::kNoWrap;
    if (format & kTextSingleLine) {
        wrapWidth = TextCache::kSingleLine;
    } else if (format & d3d::DT_WORDBREAK) {
        wrapWidth =
            static_cast<int>(std::clamp<int64_t>(int64_t{rect.right} - rect.left, 0, INT32_MAX));
    }
    const TextCache::Block* block = text_->Find(face, std::string_view(text, length), wrapWidth);
    if (!block) {
        return 0;
    }
    const int32_t drawnHeight = face.cellHeight() * block->lineCount;
    if (format & kTextCalcRect) {
        return drawnHeight;
    }
    // Clipped to the back buffer only, as the menu's last label needs.
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glViewport(0, 0, width_, height_);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_SCISSOR_TEST);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glUseProgram(textProgram_);
    glUniform4f(textAreaUniform_, static_cast<float>(rect.left), static_cast<float>(rect.top),
                static_cast<float>(rect.left) + static_cast<float>(block->width),
                static_cast<float>(rect.top) + static_cast<float>(block->height));
    glUniform2f(textTargetUniform_, static_cast<float>(width_), static_cast<float>(height_));
    float rgba[4];
    ArgbToFloats(colour, rgba);
    glUniform4f(textColourUniform_, rgba[0], rgba[1], rgba[2], rgba[3]);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, block->texture);
    glBindVertexArray(textArray_);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindVertexArray(0);
    glDisable(GL_BLEND);
    return drawnHeight;
}

HResult GlDevice::CreateTextureFromFileEx(const char* file, uint32_t width, uint32_t height,
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

void GlDevice::ReadBack(std::vector<uint32_t>& argb, int& width, int& height) {
    width = width_;
    height = height_;
    argb.assign(static_cast<size_t>(width_) * height_, 0);
    if (!MakeCurrent() || !framebuffer_) {
        return;
    }
    std::vector<uint32_t> rows(argb.size());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, width_, height_, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, rows.data());
    // OpenGL counts rows from the bottom.
    for (int y = 0; y < height_; ++y) {
        std::memcpy(argb.data() + static_cast<size_t>(y) * width_,
                    rows.data() + static_cast<size_t>(height_ - 1 - y) * width_,
                    static_cast<size_t>(width_) * 4);
    }
}

bool ReadBackBuffer(Device& device, std::vector<uint32_t>& argb, int& width, int& height) {
    auto* ours = dynamic_cast<GlDevice*>(&device);
    if (!ours) {
        return false;
    }
    ours->ReadBack(argb, width, height);
    return true;
}

}  // namespace platform::sdl
