#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gl/gl_resource.h"
#include "platform/graphics.h"

namespace platform::gl {

// A managed buffer: the bytes live on the CPU side, Lock hands out a pointer into them and
// Unlock copies them to the GPU, so a new context can be given them again.
class GlBuffer : public GlResource {
  public:
    // Index buffers are kept apart: WebGL 2 never binds one buffer as both kinds.
    GlBuffer(std::shared_ptr<DeviceLink> link, uint32_t length, bool indices);
    ~GlBuffer() override;
    GlBuffer(const GlBuffer&) = delete;
    GlBuffer& operator=(const GlBuffer&) = delete;

    HResult LockBytes(uint32_t offset, uint32_t size, void** data);
    HResult UnlockBytes();

    void ForgetGl() override { name_ = 0; }
    void RestoreGl() override;

    unsigned name() const { return name_; }
    const std::vector<uint8_t>& bytes() const { return bytes_; }
    // Tells these bytes apart from any other bytes any buffer held: it is new with every
    // change, and no two buffers share one.
    uint64_t version() const { return version_; }

  private:
    void Upload();

    std::shared_ptr<DeviceLink> link_;
    std::vector<uint8_t> bytes_;
    bool indices_;
    unsigned name_ = 0;
    int locks_ = 0;
    uint64_t version_;
};

class GlVertexBuffer final : public VertexBuffer, public GlBuffer {
  public:
    GlVertexBuffer(std::shared_ptr<DeviceLink> link, uint32_t length)
        : GlBuffer(std::move(link), length, false) {}
    HResult Lock(uint32_t offset, uint32_t size, void** data, uint32_t) override {
        return LockBytes(offset, size, data);
    }
    HResult Unlock() override { return UnlockBytes(); }
};

class GlIndexBuffer final : public IndexBuffer, public GlBuffer {
  public:
    GlIndexBuffer(std::shared_ptr<DeviceLink> link, uint32_t length)
        : GlBuffer(std::move(link), length, true) {}
    HResult Lock(uint32_t offset, uint32_t size, void** data, uint32_t) override {
        return LockBytes(offset, size, data);
    }
    HResult Unlock() override { return UnlockBytes(); }

    // 16-bit indices only. The largest index in [first, first + count): checked before every draw,
    // so that no index reaches past the vertex buffer. Remembered until the bytes change.
    uint32_t MaxIndex(uint32_t first, uint32_t count);

  private:
    uint64_t cachedVersion_ = UINT64_MAX;
    uint32_t cachedFirst_ = 0;
    uint32_t cachedCount_ = 0;
    uint32_t cachedMax_ = 0;
};

}  // namespace platform::gl
