#pragma once

// What the device needs of the window it draws into, as each backend has it: an OpenGL
// context made for it, whether it can be seen, its size in pixels, the swap, and the wait
// for the display after each frame.

#include <cstdint>
#include <string>

namespace platform::gl {

class GlWindow {
  public:
    virtual ~GlWindow() = default;

    // Makes a context for the window and makes it current; false with `why` saying what the
    // system answered.
    virtual bool MakeContext(std::string& why) = 0;
    virtual void DropContext() = 0;
    // Makes the context current again; false once it is gone.
    virtual bool MakeCurrent() = 0;
    // The context was lost (a graphics reset): every GL object went with it.
    virtual bool ContextLost() = 0;
    // After a loss, whether a context can be had again. A browser gives its canvas's context
    // back only once it has restored it, and the device stays lost until then; elsewhere a
    // new one can be made at once.
    virtual bool ContextRestored() { return true; }

    // Shown, not minimised, not destroyed.
    virtual bool Drawable() = 0;
    virtual void DrawableSize(int& width, int& height) = 0;
    // Grows each time the window system lost the picture (uncovered, restored, resized), so
    // that the device shows its frame again even where nothing changed.
    virtual uint64_t damage() = 0;

    // Puts the frame drawn into the default framebuffer on screen.
    virtual void Swap() = 0;
    // After every Present: waits for the display's next frame. `drawn` is false when the
    // frame was the one on screen already, so a backend may wait longer for a change.
    virtual void FrameDone(bool drawn) = 0;
    // A frame that draws nothing (a lost device): the same wait.
    virtual void Idle() = 0;
};

}  // namespace platform::gl
