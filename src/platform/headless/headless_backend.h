#pragma once

// The headless backend, for tools and tests that play the game without a screen.
//
// Implements:
//  - A window with Windows' message behaviour through ImitatedWindow (WM_DESTROY on destroy,
//    Alt+F4 and WM_CLOSE by default) and nothing native behind it.
//  - A device on which every call succeeds and nothing is drawn: buffers lock to scratch
//    memory that nobody reads, fonts draw nothing and report one line's height, textures
//    hold nothing, the device is never lost.
// Lacks:
//  - A System: no message queue, clock, message boxes or input devices. The driver sends each
//    key to the window itself and gives the game its clock.
//  - Any picture, any record of what was drawn, and failures; the recording backend has them.
// Adds:
//  - Nothing: it stands in for a screen, so that the game code never passes a null device.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/graphics.h"
#include "platform/imitation/imitated_window.h"

namespace platform::headless {

class Window : public ImitatedWindow {
  public:
    using ImitatedWindow::ImitatedWindow;

  protected:
    void DestroyNative() override {}
};

class Device : public platform::Device {
  public:
    HResult TestCooperativeLevel() override { return kOk; }
    HResult Reset(const PresentParams&) override { return kOk; }
    HResult SetTransform(uint32_t, const Matrix&) override { return kOk; }
    HResult SetRenderState(uint32_t, uint32_t) override { return kOk; }
    HResult SetSamplerState(uint32_t, uint32_t, uint32_t) override { return kOk; }
    HResult SetFVF(uint32_t) override { return kOk; }
    HResult Clear(uint32_t, const Rect*, uint32_t, uint32_t, float, uint32_t) override {
        return kOk;
    }
    HResult BeginScene() override { return kOk; }
    HResult EndScene() override { return kOk; }
    HResult Present() override { return kOk; }
    HResult CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                               std::unique_ptr<VertexBuffer>& out) override;
    HResult CreateIndexBuffer(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool,
                              std::unique_ptr<IndexBuffer>& out) override;
    HResult SetStreamSource(uint32_t, VertexBuffer*, uint32_t, uint32_t) override { return kOk; }
    HResult SetIndices(IndexBuffer*) override { return kOk; }
    HResult DrawIndexedPrimitive(uint32_t, int32_t, uint32_t, uint32_t, uint32_t,
                                 uint32_t) override {
        return kOk;
    }
    HResult CreateFontIndirectA(const FontDesc& desc, std::unique_ptr<Font>& out) override;
    HResult CreateTextureFromFileExA(const char*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                                     uint32_t, uint32_t, uint32_t, uint32_t,
                                     std::unique_ptr<Texture>& out) override;

  private:
    // One scratch area for every buffer (no buffer outlives its device): what is written is
    // never read, and a replay that uploads after every key then allocates nothing.
    std::vector<uint8_t> scratch_;
};

}  // namespace platform::headless
