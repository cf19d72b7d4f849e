// The device itself: its OpenGL context, the resources it must restore after a context is
// lost, scenes, and the fonts and images it makes.

#include "platform/gl/gl_device.h"

#include <cstdio>
#include <string>

#include "platform/bmp/bmp_image.h"
#include "platform/gl/gl_api.h"
#include "platform/gl/gl_buffers.h"
#include "platform/gl/gl_graphics.h"
#include "platform/gl/gl_text.h"

namespace platform::gl {

namespace {

class GlTexture final : public Texture, public GlResource {
  public:
    GlTexture(std::shared_ptr<DeviceLink> link, bmp::ArgbImage image)
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
        // OpenGL ES takes RGBA bytes only.
        std::vector<uint8_t> rgba;
        rgba.reserve(image_.pixels.size() * 4);
        for (const uint32_t argb : image_.pixels) {
            rgba.insert(rgba.end(),
                        {static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8),
                         static_cast<uint8_t>(argb), static_cast<uint8_t>(argb >> 24)});
        }
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image_.width, image_.height, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, rgba.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glBindTexture(GL_TEXTURE_2D, 0);
    }

  private:
    std::shared_ptr<DeviceLink> link_;
    bmp::ArgbImage image_;
    GLuint name_ = 0;
};

}  // namespace

std::unique_ptr<Device> CreateGlDevice(std::shared_ptr<GlWindow> window,
                                       std::shared_ptr<TextFaces> faces,
                                       const PresentParams& params, HResult& result,
                                       std::string& why) {
    return GlDevice::Create(std::move(window), std::move(faces), params, result, why);
}

GlDevice::GlDevice(std::shared_ptr<GlWindow> window, std::shared_ptr<TextFaces> faces)
    : window_(std::move(window)), link_(std::make_shared<DeviceLink>()), faces_(std::move(faces)) {
    link_->device = this;
}

std::unique_ptr<GlDevice> GlDevice::Create(std::shared_ptr<GlWindow> window,
                                           std::shared_ptr<TextFaces> faces,
                                           const PresentParams& params, HResult& result,
                                           std::string& why) {
    std::unique_ptr<GlDevice> device(new GlDevice(std::move(window), std::move(faces)));
    if (!device->MakeContext(why)) {
        result = kFail;
        return nullptr;
    }
    if (!device->MakeBackBuffer(params)) {
        why = "no back buffer of this size and format";
        result = kInvalidCall;
        return nullptr;
    }
    device->ResetState();
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
    haveContext_ = window_->MakeContext(why);
    if (!haveContext_) {
        return false;
    }
    if (!programs_.Make(why)) {
        DropContext();
        return false;
    }
    meshRefused_ = false;
    text_ = std::make_unique<TextCache>();
    return true;
}

bool GlDevice::MakeMeshProgram() {
    if (programs_.mesh || meshRefused_) {
        return programs_.mesh != 0;
    }
    std::string why;
    if (!programs_.MakeMesh(why)) {
        meshRefused_ = true;
        std::fprintf(stderr, "Tavorin: no program for the board: %s\n", why.c_str());
        return false;
    }
    return true;
}

void GlDevice::DropContext() {
    if (haveContext_) {
        window_->DropContext();
        haveContext_ = false;
    }
}

bool GlDevice::MakeCurrent() {
    return haveContext_ && !contextLost_ && window_->MakeCurrent();
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
    std::shared_ptr<TextFace> face = faces_->Open(desc);
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
    bmp::ArgbImage image;
    if (!bmp::LoadBmp(file, colourKey, image)) {
        return kInvalidCall;
    }
    out = std::make_unique<GlTexture>(link_, std::move(image));
    return kOk;
}

}  // namespace platform::gl
