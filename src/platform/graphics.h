#pragma once

// The drawing interfaces, with the semantics of Direct3D 9 and the D3DX font and texture
// helpers: the game is written against these, a backend makes them real.

#include <cstdint>
#include <memory>

#include "platform/matrix.h"
#include "platform/win_types.h"

namespace platform {

class Window;

namespace d3d {
inline constexpr uint32_t SDK_VERSION = 32;
inline constexpr uint32_t ADAPTER_DEFAULT = 0;
inline constexpr uint32_t DEVTYPE_HAL = 1;
inline constexpr uint32_t CREATE_SOFTWARE_VERTEXPROCESSING = 0x20;

inline constexpr uint32_t FMT_R5G6B5 = 23;
inline constexpr uint32_t FMT_D16 = 80;
inline constexpr uint32_t FMT_INDEX16 = 101;
inline constexpr uint32_t FMT_UNKNOWN = 0;
inline constexpr uint32_t MULTISAMPLE_NONE = 0;
inline constexpr uint32_t SWAPEFFECT_DISCARD = 1;
inline constexpr uint32_t PRESENT_INTERVAL_DEFAULT = 0;

inline constexpr uint32_t TS_PROJECTION = 3;
inline constexpr uint32_t TS_WORLD = 256;

inline constexpr uint32_t RS_ZENABLE = 7;
inline constexpr uint32_t RS_CULLMODE = 22;
inline constexpr uint32_t RS_LIGHTING = 137;
inline constexpr uint32_t RS_AMBIENT = 139;
inline constexpr uint32_t CULL_NONE = 1;
inline constexpr uint32_t ZB_TRUE = 1;

inline constexpr uint32_t SAMP_MAGFILTER = 5;
inline constexpr uint32_t SAMP_MINFILTER = 6;
inline constexpr uint32_t SAMP_MIPFILTER = 7;
inline constexpr uint32_t SAMP_MAXANISOTROPY = 10;
inline constexpr uint32_t TEXF_LINEAR = 2;
inline constexpr uint32_t TEXF_ANISOTROPIC = 3;

inline constexpr uint32_t FVF_XYZ = 0x002;
inline constexpr uint32_t FVF_DIFFUSE = 0x040;

inline constexpr uint32_t CLEAR_TARGET = 1;
inline constexpr uint32_t CLEAR_ZBUFFER = 2;

inline constexpr uint32_t USAGE_WRITEONLY = 8;
inline constexpr uint32_t POOL_MANAGED = 1;
inline constexpr uint32_t PT_TRIANGLELIST = 4;

// D3DX
inline constexpr uint32_t X_DEFAULT = 0xFFFFFFFFu;
// The font description's GDI values (DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, DEFAULT_QUALITY,
// DEFAULT_PITCH, FF_SWISS), renamed because those names are <windows.h> macros.
inline constexpr uint8_t FONT_CHARSET_DEFAULT = 1;
inline constexpr uint8_t FONT_PRECIS_DEFAULT = 0;
inline constexpr uint8_t FONT_QUALITY_DEFAULT = 0;
inline constexpr uint8_t FONT_PITCH_DEFAULT = 0;
inline constexpr uint8_t FONT_FAMILY_SWISS = 0x20;
}  // namespace d3d

// DrawText formats (DT_*).
namespace dt {
inline constexpr uint32_t TOP = 0;
inline constexpr uint32_t LEFT = 0;
inline constexpr uint32_t WORDBREAK = 0x10;
}  // namespace dt

// D3DPRESENT_PARAMETERS.
struct PresentParams {
    uint32_t BackBufferWidth = 0;
    uint32_t BackBufferHeight = 0;
    uint32_t BackBufferFormat = 0;
    uint32_t BackBufferCount = 0;
    uint32_t MultiSampleType = 0;
    uint32_t MultiSampleQuality = 0;
    uint32_t SwapEffect = 0;
    Window* hDeviceWindow = nullptr;
    int32_t Windowed = 0;
    int32_t EnableAutoDepthStencil = 0;
    uint32_t AutoDepthStencilFormat = 0;
    uint32_t Flags = 0;
    uint32_t FullScreen_RefreshRateInHz = 0;
    uint32_t PresentationInterval = 0;
    friend bool operator==(const PresentParams&, const PresentParams&) = default;
};

// D3DXFONT_DESCA.
struct FontDesc {
    int32_t Height = 0;
    uint32_t Width = 0;
    uint32_t Weight = 0;
    uint32_t MipLevels = 0;
    int32_t Italic = 0;
    uint8_t CharSet = 0;
    uint8_t OutputPrecision = 0;
    uint8_t Quality = 0;
    uint8_t PitchAndFamily = 0;
    char FaceName[32] = {};
    friend bool operator==(const FontDesc&, const FontDesc&) = default;
};

// A vertex or index buffer. Lock with offset 0 and size 0 maps the whole buffer.
class Buffer {
  public:
    virtual ~Buffer() = default;
    virtual HResult Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags) = 0;
    virtual HResult Unlock() = 0;
};

class VertexBuffer : public Buffer {};
class IndexBuffer : public Buffer {};

// An ID3DXFont: draws text into a rectangle of the back buffer.
class Font {
  public:
    virtual ~Font() = default;
    // count -1: the text runs to its NUL. Returns the height drawn, 0 on failure.
    virtual int32_t DrawTextA(const char* text, int32_t count, const Rect& rect, uint32_t format,
                              uint32_t colour) = 0;
    virtual HResult OnLostDevice() = 0;
    virtual HResult OnResetDevice() = 0;
};

class Texture {
  public:
    virtual ~Texture() = default;
};

// An IDirect3DDevice9 with the D3DX creation helpers the game uses.
class Device {
  public:
    virtual ~Device() = default;

    virtual HResult TestCooperativeLevel() = 0;
    virtual HResult Reset(const PresentParams& params) = 0;

    virtual HResult SetTransform(uint32_t state, const Matrix& matrix) = 0;
    virtual HResult SetRenderState(uint32_t state, uint32_t value) = 0;
    virtual HResult SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value) = 0;
    virtual HResult SetFVF(uint32_t fvf) = 0;

    virtual HResult Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, uint32_t colour,
                          float z, uint32_t stencil) = 0;
    virtual HResult BeginScene() = 0;
    virtual HResult EndScene() = 0;
    virtual HResult Present() = 0;  // whole back buffer into the whole client area

    virtual HResult CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                                       std::unique_ptr<VertexBuffer>& out) = 0;
    virtual HResult CreateIndexBuffer(uint32_t length, uint32_t usage, uint32_t format,
                                      uint32_t pool, std::unique_ptr<IndexBuffer>& out) = 0;
    virtual HResult SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t offset,
                                    uint32_t stride) = 0;
    virtual HResult SetIndices(IndexBuffer* buffer) = 0;
    virtual HResult DrawIndexedPrimitive(uint32_t type, int32_t baseVertex, uint32_t minIndex,
                                         uint32_t numVertices, uint32_t startIndex,
                                         uint32_t primitiveCount) = 0;

    // D3DXCreateFontIndirectA.
    virtual HResult CreateFontIndirectA(const FontDesc& desc, std::unique_ptr<Font>& out) = 0;
    // D3DXCreateTextureFromFileExA, without the image-information and palette outputs.
    virtual HResult CreateTextureFromFileExA(const char* file, uint32_t width, uint32_t height,
                                             uint32_t mipLevels, uint32_t usage, uint32_t format,
                                             uint32_t pool, uint32_t filter, uint32_t mipFilter,
                                             uint32_t colourKey, std::unique_ptr<Texture>& out) = 0;
};

// An IDirect3D9: makes the device.
class Graphics {
  public:
    virtual ~Graphics() = default;
    virtual HResult CreateDevice(uint32_t adapter, uint32_t deviceType, Window* focusWindow,
                                 uint32_t behaviourFlags, PresentParams& params,
                                 std::unique_ptr<Device>& out) = 0;
};

}  // namespace platform
