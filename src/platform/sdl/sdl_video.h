#pragma once

// The SDL video session shared by the system, its windows, devices and input devices: it
// starts SDL's video on first use, turns SDL events into window messages and keeps them in
// one queue, and ends SDL when the last user lets go.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/imitation/message_queue.h"
#include "platform/win_types.h"

namespace platform::sdl {

class SdlWindow;

// What lies under a failure the game reports in its own words ("CreateDevice() failed!"):
// the system's reason, on standard error, for whoever has to find out why.
void ReportWhy(const char* what, const std::string& detail);

class SdlVideo {
  public:
    // Null when SDL video cannot start (no display).
    static std::shared_ptr<SdlVideo> Start();
    ~SdlVideo();
    SdlVideo(const SdlVideo&) = delete;
    SdlVideo& operator=(const SdlVideo&) = delete;

    // Moves every pending SDL event into the message queue (or into the input tallies).
    void Pump();
    // PeekMessage and TranslateMessage, over the queue.
    bool Take(Message& message);
    void Translate(const Message& message);

    void AddWindow(SdlWindow* window);
    // Drops the window and every message still queued for it.
    void RemoveWindow(SdlWindow* window);
    void ForgetMessagesFor(SdlWindow* window);

    // Wheel motion since the last call, in Windows wheel units (120 a notch).
    int32_t TakeWheel();
    // Grows each time a window of ours loses the keyboard focus.
    uint64_t focusLosses() const { return focusLosses_; }

  private:
    SdlVideo() = default;
    // Each takes an SDL_Event, kept out of this header.
    void Translate(const void* event);
    void TranslateWindowEvent(const void* event);
    void TranslateKey(const void* event);
    void TranslateWheel(const void* event);
    SdlWindow* WindowFor(uint32_t windowId) const;
    void Enqueue(SdlWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam,
                 uint32_t character);

    MessageQueue queue_;
    std::vector<SdlWindow*> windows_;
    int32_t wheel_ = 0;
    uint64_t focusLosses_ = 0;
};

}  // namespace platform::sdl
