#pragma once

// The Direct3D and D3DX objects the device hands out: buffers, fonts, textures.

#include "platform/graphics.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/windows_headers.h"

namespace platform::win32 {

template <typename Base, typename Native>
class D3d9Buffer final : public Base {
  public:
    explicit D3d9Buffer(Native* buffer) : buffer_(buffer) {}
    HResult Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags) override {
        return buffer_->Lock(offset, size, data, flags);
    }
    HResult Unlock() override { return buffer_->Unlock(); }
    Native* native() const { return buffer_.get(); }

  private:
    ComPtr<Native> buffer_;
};

using D3d9VertexBuffer = D3d9Buffer<VertexBuffer, IDirect3DVertexBuffer9>;
using D3d9IndexBuffer = D3d9Buffer<IndexBuffer, IDirect3DIndexBuffer9>;

class D3dxFont final : public Font {
  public:
    explicit D3dxFont(ID3DXFont* font) : font_(font) {}
    int32_t DrawTextA(const char* text, int32_t count, const Rect& rect, uint32_t format,
                      uint32_t colour) override {
        RECT area{rect.left, rect.top, rect.right, rect.bottom};
        return font_->DrawTextA(nullptr, text, count, &area, format, colour);
    }
    HResult OnLostDevice() override { return font_->OnLostDevice(); }
    HResult OnResetDevice() override { return font_->OnResetDevice(); }

  private:
    ComPtr<ID3DXFont> font_;
};

class D3d9Texture final : public Texture {
  public:
    explicit D3d9Texture(IDirect3DTexture9* texture) : texture_(texture) {}
    explicit D3d9Texture(ComPtr<IDirect3DTexture9> texture) : texture_(std::move(texture)) {}

  private:
    ComPtr<IDirect3DTexture9> texture_;
};

}  // namespace platform::win32
