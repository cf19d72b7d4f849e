#pragma once

// A window for the shared OpenGL device with no display at all: Mesa's software renderer
// through EGL's surfaceless platform, drawing into a pbuffer of the window's size that the
// test reads back. What a real window does to the device (hidden, uncovered, a graphics
// reset) the test says here.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gl/gl_window.h"

namespace gl_test {

class OffscreenWindow final : public platform::gl::GlWindow {
  public:
    OffscreenWindow(int width, int height);
    ~OffscreenWindow() override;

    // Whether this machine can make such a context at all (why not, when it cannot).
    static bool Available(std::string& why);

    bool MakeContext(std::string& why) override;
    void DropContext() override;
    bool MakeCurrent() override;
    bool ContextLost() override { return lost_; }
    bool Drawable() override { return drawable_; }
    void DrawableSize(int& width, int& height) override {
        width = width_;
        height = height_;
    }
    uint64_t damage() override { return damage_; }
    void Swap() override { ++swaps_; }
    void FrameDone(bool) override {}
    void Idle() override { ++idles_; }

    // The window's pixels as 0xRRGGBB, top row first: what Present put there.
    std::vector<uint32_t> Pixels();

    // What the test makes happen to the window.
    void SetDrawable(bool drawable) { drawable_ = drawable; }
    void Uncover() { ++damage_; }
    // A graphics reset: the context and every GL object in it are gone.
    void LoseContext() { lost_ = true; }
    int swaps() const { return swaps_; }
    int idles() const { return idles_; }
    int contextsMade() const { return contextsMade_; }

  private:
    struct Egl;
    std::unique_ptr<Egl> egl_;
    int width_;
    int height_;
    bool drawable_ = true;
    bool lost_ = false;
    uint64_t damage_ = 0;
    int swaps_ = 0;
    int idles_ = 0;
    int contextsMade_ = 0;
};

}  // namespace gl_test
