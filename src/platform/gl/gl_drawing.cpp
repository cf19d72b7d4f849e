// Drawing: the game's vertex and index buffers, its triangle lists (each index checked to
// stay inside the vertex buffer) and the text blocks its fonts draw.

#include "platform/gl/gl_api.h"

#include <algorithm>
#include <cstring>

#include "platform/gl/gl_buffers.h"
#include "platform/gl/gl_device.h"
#include "platform/gl/gl_text.h"

namespace platform::gl {

namespace {

// Far beyond any mesh of the game; a larger request is refused rather than attempted.
constexpr uint32_t kMaxBufferBytes = 256u << 20;

}  // namespace

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
    if (length == 0 || format != d3d::FMT_INDEX16) {
        return kInvalidCall;
    }
    if (length > kMaxBufferBytes) {
        return kOutOfMemory;
    }
    out = std::make_unique<GlIndexBuffer>(link_, length);
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

void GlDevice::ApplyDrawState(const DeviceSettings& settings) {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glViewport(0, 0, width_, height_);
    glDisable(GL_BLEND);
    if (settings.depthTest) {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);  // Direct3D's default: the later of equal depths wins
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    // Which way a triangle turns is judged as the viewer sees it, in both systems.
    if (settings.cullMode == d3d::CULL_NONE) {
        glDisable(GL_CULL_FACE);
    } else {
        glEnable(GL_CULL_FACE);
        glFrontFace(settings.cullMode == kCullClockwise ? GL_CCW : GL_CW);
        glCullFace(GL_BACK);
    }
}

HResult GlDevice::DrawIndexedPrimitive(uint32_t type, int32_t baseVertex, uint32_t minIndex,
                                       uint32_t numVertices, uint32_t startIndex,
                                       uint32_t primitiveCount) {
    (void)minIndex;
    (void)numVertices;
    if (lost_ || type != d3d::PT_TRIANGLELIST || settings_.fvf != kGameFvf || !stream_ ||
        !indices_ || primitiveCount == 0 || !MakeCurrent() || stream_->name() == 0 ||
        indices_->name() == 0) {
        return kInvalidCall;
    }
    const uint64_t count = uint64_t{primitiveCount} * 3;

    // Every index must land inside the vertex buffer: no read past its end, ever.
    const uint64_t indexCount = indices_->bytes().size() / 2;
    const uint64_t streamBytes = stream_->bytes().size();
    if (streamStride_ < kGameVertexSize || uint64_t{startIndex} + count > indexCount ||
        streamOffset_ >= streamBytes) {
        return kInvalidCall;
    }
    if (streamBytes - streamOffset_ < kGameVertexSize || baseVertex < 0) {
        return kInvalidCall;
    }
    const uint64_t vertexCount =
        (streamBytes - streamOffset_ - kGameVertexSize) / streamStride_ + 1;
    const int64_t largest =
        int64_t{indices_->MaxIndex(startIndex, static_cast<uint32_t>(count))} + baseVertex;
    if (largest >= static_cast<int64_t>(vertexCount)) {
        return kInvalidCall;
    }
    MeshCommand command{settings_, stream_,    streamOffset_, streamStride_,
                        indices_,  baseVertex, startIndex,    static_cast<uint32_t>(count)};
    if (!Defer(command)) {
        Draw(command);
    }
    return kOk;
}

void GlDevice::Draw(const MeshCommand& command) {
    if (!MakeMeshProgram()) {
        return;
    }
    ApplyDrawState(command.settings);
    glUseProgram(programs_.mesh);
    glUniformMatrix4fv(programs_.world, 1, GL_TRUE, &command.settings.world.m[0][0]);
    glUniformMatrix4fv(programs_.projection, 1, GL_TRUE, &command.settings.projection.m[0][0]);
    glBindVertexArray(programs_.meshArray);
    glBindBuffer(GL_ARRAY_BUFFER, command.vertices->name());
    const auto stride = static_cast<GLsizei>(command.stride);
    const auto at = [&command](uint32_t offset) {
        return reinterpret_cast<const void*>(static_cast<uintptr_t>(command.offset + offset));
    };
    // The base vertex as an offset into the buffer: OpenGL ES 3.0 has no base-vertex draw.
    const uint32_t first = static_cast<uint32_t>(command.baseVertex) * command.stride;
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, at(first));
    // ARGB words are the bytes B, G, R, A in memory; the shader puts them in order.
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride, at(first + 12));
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, command.indices->name());
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(command.indexCount), GL_UNSIGNED_SHORT,
                   reinterpret_cast<const void*>(static_cast<uintptr_t>(command.startIndex) * 2));
    glBindVertexArray(0);
}

int32_t GlDevice::DrawTextBlock(TextFace& face, const char* text, int32_t count, const Rect& rect,
                                uint32_t format, uint32_t colour) {
    // count -1: up to the NUL; otherwise no further than the NUL either.
    const size_t length = count < 0 ? std::strlen(text) : strnlen(text, static_cast<size_t>(count));
    if (length == 0 || lost_ || !MakeCurrent()) {
        return 0;
    }
    int wrapWidth = TextCache::kNoWrap;
    if (format & dt::WORDBREAK) {
        wrapWidth =
            static_cast<int>(std::clamp<int64_t>(int64_t{rect.right} - rect.left, 0, INT32_MAX));
    }
    const std::string_view shown(text, length);
    const TextCache::Block* block = text_->Find(face, shown, wrapWidth);
    if (!block) {
        return 0;
    }
    const int32_t drawnHeight = face.cellHeight() * block->lineCount;
    TextCommand command{&face, std::string(shown), wrapWidth, rect, colour};
    if (!Defer(command)) {
        Draw(command);
    }
    return drawnHeight;
}

void GlDevice::Draw(const TextCommand& command) {
    const TextCache::Block* block = text_->Find(*command.face, command.text, command.wrapWidth);
    if (!block) {
        return;
    }
    const Rect& rect = command.rect;
    // Clipped to the back buffer only, as the menu's last label needs.
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glViewport(0, 0, width_, height_);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glUseProgram(programs_.text);
    glUniform4f(programs_.textArea, static_cast<float>(rect.left), static_cast<float>(rect.top),
                static_cast<float>(rect.left) + static_cast<float>(block->width),
                static_cast<float>(rect.top) + static_cast<float>(block->height));
    glUniform2f(programs_.textTarget, static_cast<float>(width_), static_cast<float>(height_));
    float rgba[4];
    ArgbToFloats(command.colour, rgba);
    glUniform4f(programs_.textColour, rgba[0], rgba[1], rgba[2], rgba[3]);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, block->texture);
    glBindVertexArray(programs_.textArray);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindVertexArray(0);
    glDisable(GL_BLEND);
}

}  // namespace platform::gl
