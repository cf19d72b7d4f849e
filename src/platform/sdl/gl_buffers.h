#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/graphics.h"
#include "platform/sdl/gl_resource.h"

namespace platform::sdl {

// A managed buffer: the bytes live on the CPU side, Lock hands out a pointer into them and
// Unlock copies them to the GPU, so a new context can be given them again.
class GlBuffer : public GlResource {
  public:
    GlBuffer(std::shared_ptr<DeviceLink> link, uint32_t length);
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
    unsigned name_ = 0;
    int locks_ = 0;
    uint64_t version_;
};

class GlVertexBuffer final : public VertexBuffer, public GlBuffer {
  public:
    using GlBuffer::GlBuffer;
    HResult Lock(uint32_t offset, uint32_t size, void** data, uint32_t) override {
        return LockBytes(offset, size, data);
    }
    HResult Unlock() override { return UnlockBytes(); }
};

class GlIndexBuffer final : public IndexBuffer, public GlBuffer {
  public:
    using GlBuffer::GlBuffer;
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

}  // namespace platform::sdl
