#include "platform/win32/texture_drawing.h"

#include "platform/bmp/bmp_image.h"

namespace platform::win32 {

namespace {

// Already in pixels: the quad bypasses the world, view and projection transforms, so the
// board's transforms are neither used nor changed.
struct QuadVertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
    float u, v;
};
constexpr DWORD kQuadFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

void SetInputAndRasteriser(IDirect3DDevice9* device) {
    device->SetVertexShader(nullptr);
    device->SetPixelShader(nullptr);
    device->SetFVF(kQuadFvf);
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_FOGENABLE, FALSE);
    device->SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
}

// The texture's colour and alpha times the vertex colour; one texel per pixel, unfiltered.
void SetPixelStages(IDirect3DDevice9* device, IDirect3DTexture9* texture) {
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
}

// Blended over what is there, without depth or stencil.
void SetOutput(IDirect3DDevice9* device) {
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    device->SetRenderState(D3DRS_STENCILENABLE, FALSE);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SEPARATEALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_COLORWRITEENABLE, 0xF);
    device->SetRenderState(D3DRS_SRGBWRITEENABLE, FALSE);
}

}  // namespace

ComPtr<IDirect3DTexture9> CreateArgbTexture(IDirect3DDevice9* device, int width, int height,
                                            D3DPOOL pool,
                                            const std::function<uint32_t(int x, int y)>& texel) {
    IDirect3DTexture9* created = nullptr;
    if (FAILED(device->CreateTexture(static_cast<UINT>(width), static_cast<UINT>(height), 1, 0,
                                     D3DFMT_A8R8G8B8, pool, &created, nullptr)) ||
        !created) {
        return {};
    }
    ComPtr<IDirect3DTexture9> texture(created);
    D3DLOCKED_RECT locked;
    if (FAILED(texture->LockRect(0, &locked, nullptr, 0))) {
        return {};
    }
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) +
                                                static_cast<ptrdiff_t>(y) * locked.Pitch);
        for (int x = 0; x < width; ++x) {
            row[x] = texel(x, y);
        }
    }
    texture->UnlockRect(0);
    return texture;
}

ComPtr<IDirect3DTexture9> CreateTextureFromBmp(IDirect3DDevice9* device, const char* file,
                                               uint32_t colourKey, D3DPOOL pool) {
    bmp::ArgbImage image;
    if (!bmp::LoadBmp(file, colourKey, image)) {
        return {};
    }
    return CreateArgbTexture(device, image.width, image.height, pool, [&image](int x, int y) {
        return image.pixels[static_cast<size_t>(y) * image.width + x];
    });
}

void DrawTextQuad(IDirect3DDevice9* device, IDirect3DTexture9* texture, int left, int top,
                  int width, int height, uint32_t colour) {
    // Everything the quad changes is captured first and put back after it.
    IDirect3DStateBlock9* captured = nullptr;
    if (FAILED(device->CreateStateBlock(D3DSBT_ALL, &captured)) || !captured) {
        return;  // no way to put the device back: no text rather than a broken board
    }
    const ComPtr<IDirect3DStateBlock9> saved(captured);
    SetInputAndRasteriser(device);
    SetPixelStages(device, texture);
    SetOutput(device);
    // Direct3D 9 samples at pixel centres: half a pixel back puts texel on pixel.
    const float l = static_cast<float>(left) - 0.5f;
    const float t = static_cast<float>(top) - 0.5f;
    const float r = l + static_cast<float>(width);
    const float b = t + static_cast<float>(height);
    const QuadVertex quad[4] = {{l, t, 0, 1, colour, 0, 0},
                                {r, t, 0, 1, colour, 1, 0},
                                {l, b, 0, 1, colour, 0, 1},
                                {r, b, 0, 1, colour, 1, 1}};
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(QuadVertex));
    saved->Apply();
}

}  // namespace platform::win32
