#include <cstdlib>

#include "platform/headless/headless_backend.h"

namespace platform::headless {

namespace {

// Locks to the device's scratch memory, grown to fit; what one lock maps is valid until the
// next lock of any buffer, which is all the game needs.
template <typename Base>
class ScratchBuffer : public Base {
  public:
    ScratchBuffer(std::vector<uint8_t>& scratch, uint32_t length)
        : scratch_(scratch), length_(length) {}
    HResult Lock(uint32_t, uint32_t, void** data, uint32_t) override {
        if (scratch_.size() < length_) {
            scratch_.resize(length_);
        }
        *data = scratch_.data();
        return kOk;
    }
    HResult Unlock() override { return kOk; }

  private:
    std::vector<uint8_t>& scratch_;
    uint32_t length_;
};

class SilentFont : public Font {
  public:
    explicit SilentFont(int32_t height) : height_(height) {}
    int32_t DrawTextA(const char*, int32_t, const Rect&, uint32_t, uint32_t) override {
        return height_;
    }
    HResult OnLostDevice() override { return kOk; }
    HResult OnResetDevice() override { return kOk; }

  private:
    int32_t height_;
};

class EmptyTexture : public Texture {};

}  // namespace

HResult Device::CreateVertexBuffer(uint32_t length, uint32_t, uint32_t, uint32_t,
                                   std::unique_ptr<VertexBuffer>& out) {
    out = std::make_unique<ScratchBuffer<VertexBuffer>>(scratch_, length);
    return kOk;
}

HResult Device::CreateIndexBuffer(uint32_t length, uint32_t, uint32_t, uint32_t,
                                  std::unique_ptr<IndexBuffer>& out) {
    out = std::make_unique<ScratchBuffer<IndexBuffer>>(scratch_, length);
    return kOk;
}

HResult Device::CreateFontIndirectA(const FontDesc& desc, std::unique_ptr<Font>& out) {
    out = std::make_unique<SilentFont>(std::abs(desc.Height));
    return kOk;
}

HResult Device::CreateTextureFromFileExA(const char*, uint32_t, uint32_t, uint32_t, uint32_t,
                                         uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                                         std::unique_ptr<Texture>& out) {
    out = std::make_unique<EmptyTexture>();
    return kOk;
}

}  // namespace platform::headless
