#include "platform/win32/d3d9_device.h"

#include <cstring>
#include <vector>

#include "platform/win32/d3d9_resources.h"
#include "platform/win32/d3dx_library.h"
#include "platform/win32/frame_pacer.h"
#include "platform/win32/gdi_font.h"
#include "platform/win32/texture_drawing.h"
#include "platform/win32/win32_window.h"

namespace platform::win32 {

namespace {

static_assert(sizeof(D3DMATRIX) == sizeof(Matrix));
static_assert(sizeof(D3DXFONT_DESCA) == sizeof(FontDesc));

D3DPRESENT_PARAMETERS ToD3d(const PresentParams& p) {
    D3DPRESENT_PARAMETERS d{};
    d.BackBufferWidth = p.BackBufferWidth;
    d.BackBufferHeight = p.BackBufferHeight;
    d.BackBufferFormat = static_cast<D3DFORMAT>(p.BackBufferFormat);
    d.BackBufferCount = p.BackBufferCount;
    d.MultiSampleType = static_cast<D3DMULTISAMPLE_TYPE>(p.MultiSampleType);
    d.MultiSampleQuality = p.MultiSampleQuality;
    d.SwapEffect = static_cast<D3DSWAPEFFECT>(p.SwapEffect);
    d.hDeviceWindow = HandleOf(p.hDeviceWindow);
    d.Windowed = p.Windowed;
    d.EnableAutoDepthStencil = p.EnableAutoDepthStencil;
    d.AutoDepthStencilFormat = static_cast<D3DFORMAT>(p.AutoDepthStencilFormat);
    d.Flags = p.Flags;
    d.FullScreen_RefreshRateInHz = p.FullScreen_RefreshRateInHz;
    d.PresentationInterval = p.PresentationInterval;
    return d;
}

// CreateDevice may fill in what was left to it (a back-buffer count of 0 becomes 1, say), and
// the game resets with what it was given back, as on Windows.
void CopyBack(const D3DPRESENT_PARAMETERS& d, PresentParams& p) {
    p.BackBufferWidth = d.BackBufferWidth;
    p.BackBufferHeight = d.BackBufferHeight;
    p.BackBufferFormat = static_cast<uint32_t>(d.BackBufferFormat);
    p.BackBufferCount = d.BackBufferCount;
    p.MultiSampleType = static_cast<uint32_t>(d.MultiSampleType);
    p.MultiSampleQuality = d.MultiSampleQuality;
    p.SwapEffect = static_cast<uint32_t>(d.SwapEffect);
    p.Windowed = d.Windowed;
    p.EnableAutoDepthStencil = d.EnableAutoDepthStencil;
    p.AutoDepthStencilFormat = static_cast<uint32_t>(d.AutoDepthStencilFormat);
    p.Flags = d.Flags;
    p.FullScreen_RefreshRateInHz = d.FullScreen_RefreshRateInHz;
    p.PresentationInterval = d.PresentationInterval;
}

class D3d9Device final : public Device {
  public:
    explicit D3d9Device(IDirect3DDevice9* device) : device_(device) {}

    HResult TestCooperativeLevel() override {
        const HResult r = device_->TestCooperativeLevel();
        if (r == D3DERR_DEVICELOST) {
            // Nothing is presented while lost, so nothing else would pace the loop.
            pacer_.Idle();
        }
        return r;
    }
    HResult Reset(const PresentParams& params) override {
        D3DPRESENT_PARAMETERS d = ToD3d(params);
        const HResult r = device_->Reset(&d);
        if (FAILED(r)) {
            pacer_.Idle();  // retried every pass
        }
        return r;
    }

    HResult SetTransform(uint32_t state, const Matrix& matrix) override {
        D3DMATRIX m;
        std::memcpy(&m, &matrix, sizeof m);
        return device_->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(state), &m);
    }
    HResult SetRenderState(uint32_t state, uint32_t value) override {
        return device_->SetRenderState(static_cast<D3DRENDERSTATETYPE>(state), value);
    }
    HResult SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value) override {
        return device_->SetSamplerState(sampler, static_cast<D3DSAMPLERSTATETYPE>(type), value);
    }
    HResult SetFVF(uint32_t fvf) override { return device_->SetFVF(fvf); }

    HResult Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, uint32_t colour, float z,
                  uint32_t stencil) override {
        std::vector<D3DRECT> areas;
        for (uint32_t i = 0; rects && i < rectCount; ++i) {
            areas.push_back({rects[i].left, rects[i].top, rects[i].right, rects[i].bottom});
        }
        return device_->Clear(static_cast<DWORD>(areas.size()),
                              areas.empty() ? nullptr : areas.data(), flags, colour, z, stencil);
    }
    HResult BeginScene() override { return device_->BeginScene(); }
    HResult EndScene() override { return device_->EndScene(); }
    HResult Present() override {
        const HResult r = device_->Present(nullptr, nullptr, nullptr, nullptr);
        pacer_.PresentDone();
        return r;
    }

    HResult CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                               std::unique_ptr<VertexBuffer>& out) override {
        IDirect3DVertexBuffer9* buffer = nullptr;
        const HResult r = device_->CreateVertexBuffer(length, usage, fvf,
                                                      static_cast<D3DPOOL>(pool), &buffer, nullptr);
        out = SUCCEEDED(r) && buffer ? std::make_unique<D3d9VertexBuffer>(buffer) : nullptr;
        return r;
    }
    HResult CreateIndexBuffer(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool,
                              std::unique_ptr<IndexBuffer>& out) override {
        IDirect3DIndexBuffer9* buffer = nullptr;
        const HResult r = device_->CreateIndexBuffer(length, usage, static_cast<D3DFORMAT>(format),
                                                     static_cast<D3DPOOL>(pool), &buffer, nullptr);
        out = SUCCEEDED(r) && buffer ? std::make_unique<D3d9IndexBuffer>(buffer) : nullptr;
        return r;
    }
    HResult SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t offset,
                            uint32_t stride) override {
        auto* own = dynamic_cast<D3d9VertexBuffer*>(buffer);
        return device_->SetStreamSource(stream, own ? own->native() : nullptr, offset, stride);
    }
    HResult SetIndices(IndexBuffer* buffer) override {
        auto* own = dynamic_cast<D3d9IndexBuffer*>(buffer);
        return device_->SetIndices(own ? own->native() : nullptr);
    }
    HResult DrawIndexedPrimitive(uint32_t type, int32_t baseVertex, uint32_t minIndex,
                                 uint32_t numVertices, uint32_t startIndex,
                                 uint32_t primitiveCount) override {
        return device_->DrawIndexedPrimitive(static_cast<D3DPRIMITIVETYPE>(type), baseVertex,
                                             minIndex, numVertices, startIndex, primitiveCount);
    }

    HResult CreateFontIndirectA(const FontDesc& desc, std::unique_ptr<Font>& out) override {
        out.reset();
        if (!D3dx().CreateFontIndirectA) {
            out = CreateGdiFont(device_.get(), desc);
            return out ? kOk : kFail;
        }
        D3DXFONT_DESCA d{};
        d.Height = desc.Height;
        d.Width = desc.Width;
        d.Weight = desc.Weight;
        d.MipLevels = desc.MipLevels;
        d.Italic = desc.Italic;
        d.CharSet = desc.CharSet;
        d.OutputPrecision = desc.OutputPrecision;
        d.Quality = desc.Quality;
        d.PitchAndFamily = desc.PitchAndFamily;
        std::memcpy(d.FaceName, desc.FaceName, sizeof d.FaceName);
        d.FaceName[sizeof d.FaceName - 1] = '\0';
        ID3DXFont* font = nullptr;
        const HResult r = D3dx().CreateFontIndirectA(device_.get(), &d, &font);
        if (SUCCEEDED(r) && font) {
            out = std::make_unique<D3dxFont>(font);
        }
        return r;
    }
    HResult CreateTextureFromFileExA(const char* file, uint32_t width, uint32_t height,
                                     uint32_t mipLevels, uint32_t usage, uint32_t format,
                                     uint32_t pool, uint32_t filter, uint32_t mipFilter,
                                     uint32_t colourKey, std::unique_ptr<Texture>& out) override {
        out.reset();
        if (!D3dx().CreateTextureFromFileExA) {
            ComPtr<IDirect3DTexture9> texture =
                CreateTextureFromBmp(device_.get(), file, colourKey, static_cast<D3DPOOL>(pool));
            if (!texture) {
                return kFail;
            }
            out = std::make_unique<D3d9Texture>(std::move(texture));
            return kOk;
        }
        IDirect3DTexture9* texture = nullptr;
        const HResult r = D3dx().CreateTextureFromFileExA(
            device_.get(), file, width, height, mipLevels, usage, static_cast<D3DFORMAT>(format),
            static_cast<D3DPOOL>(pool), filter, mipFilter, colourKey, nullptr, nullptr, &texture);
        if (SUCCEEDED(r) && texture) {
            out = std::make_unique<D3d9Texture>(texture);
        }
        return r;
    }

  private:
    ComPtr<IDirect3DDevice9> device_;
    FramePacer pacer_;
};

class D3d9Graphics final : public Graphics {
  public:
    explicit D3d9Graphics(IDirect3D9* direct3D) : direct3D_(direct3D) {}

    HResult CreateDevice(uint32_t adapter, uint32_t deviceType, Window* focusWindow,
                         uint32_t behaviourFlags, PresentParams& params,
                         std::unique_ptr<Device>& out) override {
        out.reset();
        D3DPRESENT_PARAMETERS d = ToD3d(params);
        IDirect3DDevice9* device = nullptr;
        const HResult r =
            direct3D_->CreateDevice(adapter, static_cast<D3DDEVTYPE>(deviceType),
                                    HandleOf(focusWindow), behaviourFlags, &d, &device);
        CopyBack(d, params);
        if (SUCCEEDED(r) && device) {
            out = std::make_unique<D3d9Device>(device);
        }
        return r;
    }

  private:
    ComPtr<IDirect3D9> direct3D_;
};

}  // namespace

std::unique_ptr<Graphics> CreateD3d9Graphics(uint32_t sdkVersion) {
    IDirect3D9* direct3D = ::Direct3DCreate9(sdkVersion);
    return direct3D ? std::make_unique<D3d9Graphics>(direct3D) : nullptr;
}

}  // namespace platform::win32
