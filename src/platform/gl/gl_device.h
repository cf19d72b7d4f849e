#pragma once

// The Direct3D-style device on OpenGL (3.3 core or ES 3.0), as far as the game uses one: a
// framebuffer object of the asked size as the back buffer, blitted scaled into the window on
// Present.
// A frame that asks for exactly what the frame on screen asked is not drawn at all: its
// commands wait while they match, and are drawn only once one differs.
// The device itself, its context and resources live in gl_device.cpp; the back buffer,
// presenting, loss and reset in gl_back_buffer.cpp; buffers, meshes and text in
// gl_drawing.cpp.

#include <chrono>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "platform/gl/device_settings.h"
#include "platform/gl/frame_record.h"
#include "platform/gl/gl_programs.h"
#include "platform/gl/gl_resource.h"
#include "platform/gl/gl_window.h"
#include "platform/graphics.h"

namespace platform::gl {

class GlBuffer;
class GlVertexBuffer;
class GlIndexBuffer;
class TextFaces;
class TextFace;
class TextCache;

class GlDevice final : public Device {
  public:
    // Null (and `result` negative, `why` saying what went wrong) when the context or the
    // back buffer cannot be made.
    // `faces` may be null: fonts then cannot be made.
    static std::unique_ptr<GlDevice> Create(std::shared_ptr<GlWindow> window,
                                            std::shared_ptr<TextFaces> faces,
                                            const PresentParams& params, HResult& result,
                                            std::string& why);
    ~GlDevice() override;

    HResult TestCooperativeLevel() override;
    HResult Reset(const PresentParams& params) override;
    HResult SetTransform(uint32_t state, const Matrix& matrix) override {
        return settings_.SetTransform(state, matrix);
    }
    HResult SetRenderState(uint32_t state, uint32_t value) override {
        return settings_.SetRenderState(state, value);
    }
    HResult SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value) override {
        return settings_.SetSamplerState(sampler, type, value);
    }
    HResult SetFVF(uint32_t fvf) override { return settings_.SetFVF(fvf); }
    HResult Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, uint32_t colour, float z,
                  uint32_t stencil) override;
    HResult BeginScene() override;
    HResult EndScene() override;
    HResult Present() override;
    HResult CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                               std::unique_ptr<VertexBuffer>& out) override;
    HResult CreateIndexBuffer(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool,
                              std::unique_ptr<IndexBuffer>& out) override;
    HResult SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t offset,
                            uint32_t stride) override;
    HResult SetIndices(IndexBuffer* buffer) override;
    HResult DrawIndexedPrimitive(uint32_t type, int32_t baseVertex, uint32_t minIndex,
                                 uint32_t numVertices, uint32_t startIndex,
                                 uint32_t primitiveCount) override;
    HResult CreateFontIndirectA(const FontDesc& desc, std::unique_ptr<Font>& out) override;
    HResult CreateTextureFromFileExA(const char* file, uint32_t width, uint32_t height,
                                     uint32_t mipLevels, uint32_t usage, uint32_t format,
                                     uint32_t pool, uint32_t filter, uint32_t mipFilter,
                                     uint32_t colourKey, std::unique_ptr<Texture>& out) override;

    // For resources: makes this device's context current; false once it is gone.
    bool MakeCurrent();
    // For index buffers: a vertex array to bind them to while their bytes are uploaded.
    unsigned uploadArray() const { return programs_.meshArray; }
    void AddResource(GlResource* resource) { resources_.insert(resource); }
    void RemoveResource(GlResource* resource);
    // The buffer's bytes are about to change, or the buffer to go: draws of it still waiting
    // are drawn first, from the bytes they were asked with.
    void BufferChanging(const GlBuffer& buffer);

    // Text, for the fonts: draws the text's block at the rectangle's corner in the colour.
    int32_t DrawTextBlock(TextFace& face, const char* text, int32_t count, const Rect& rect,
                          uint32_t format, uint32_t colour);

    // The back buffer as 0xAARRGGBB, top row first.
    void ReadBack(std::vector<uint32_t>& argb, int& width, int& height);
    // Frames put on the window: neither a frame like the one shown nor a lost one counts.
    uint64_t framesShown() const { return framesShown_; }

  private:
    GlDevice(std::shared_ptr<GlWindow> window, std::shared_ptr<TextFaces> faces);
    bool MakeContext(std::string& why);
    // The mesh program, made on first need; false (said once on standard error) when it
    // will not build, and the meshes are then not drawn.
    bool MakeMeshProgram();
    void DropContext();
    bool MakeBackBuffer(const PresentParams& params);
    void DropBackBuffer();
    void ResetState();
    bool Drawable() const;
    bool ContextReset();
    void ApplyDrawState(const DeviceSettings& settings);
    void ShowBackBuffer();
    // The back buffer drawn over the whole window, by the nearest pixel or blended.
    void DrawBackBuffer(int width, int height, bool nearest);

    // The commands of a frame, as they wait while the frame matches the one shown.
    struct ClearCommand {
        uint32_t flags;
        uint32_t colour;
        float z;
    };
    struct MeshCommand {
        DeviceSettings settings;
        const GlBuffer* vertices;
        uint32_t offset;
        uint32_t stride;
        const GlBuffer* indices;
        int32_t baseVertex;
        uint32_t startIndex;
        uint32_t indexCount;
    };
    struct TextCommand {
        TextFace* face;
        std::string text;
        int wrapWidth;
        Rect rect;
        uint32_t colour;
    };
    using Command = std::variant<ClearCommand, MeshCommand, TextCommand>;
    // Records the command: it waits (true) while the frame still matches the one shown;
    // otherwise everything that waited is drawn, and the caller draws this one (false).
    bool Defer(const Command& command);
    void DrawWaiting();
    void Draw(const ClearCommand& command);
    void Draw(const MeshCommand& command);
    void Draw(const TextCommand& command);
    // The picture is gone or no longer the frame's: nothing shown may be taken as drawn.
    void ForgetFrames();

    std::shared_ptr<GlWindow> window_;
    std::shared_ptr<DeviceLink> link_;
    bool haveContext_ = false;

    // GL names
    unsigned framebuffer_ = 0;
    unsigned colourBuffer_ = 0;
    unsigned depthBuffer_ = 0;
    GlPrograms programs_;
    bool meshRefused_ = false;  // the mesh program would not build with this context

    int width_ = 0;
    int height_ = 0;

    DeviceSettings settings_;
    GlVertexBuffer* stream_ = nullptr;
    uint32_t streamOffset_ = 0;
    uint32_t streamStride_ = 0;
    GlIndexBuffer* indices_ = nullptr;
    bool inScene_ = false;

    // Lost: nothing may be drawn until a Reset; contextLost: that Reset needs a new context.
    bool lost_ = false;
    bool contextLost_ = false;
    // Since when a lost context has been awaited in a window that can be seen.
    std::chrono::steady_clock::time_point contextAwaited_;

    FrameRecord record_;
    Signature signature_;
    std::vector<Command> waiting_;
    uint64_t damageSeen_ = 0;
    uint64_t framesShown_ = 0;

    std::set<GlResource*> resources_;
    std::shared_ptr<TextFaces> faces_;
    std::unique_ptr<TextCache> text_;
};

}  // namespace platform::gl
