#pragma once

// The page's events for the game: the browser's key, mouse and focus callbacks feed one
// WebEvents, and the game's one window (the canvas) receives its messages.

#include <memory>

#include "platform/imitation/imitated_window.h"
#include "platform/web/web_events.h"

namespace platform::web {

class WebWindow;

class WebSession {
  public:
    // Listens to the page from now until this goes; `gameAnswers` names the keys the game
    // answers, which the browser is to leave alone.
    explicit WebSession(KeyTest gameAnswers);
    ~WebSession();
    WebSession(const WebSession&) = delete;
    WebSession& operator=(const WebSession&) = delete;

    WebEvents& events() { return events_; }
    WebWindow* window() const { return window_; }
    void SetWindow(WebWindow* window) { window_ = window; }

  private:
    WebEvents events_;  // first: the callbacks made in the constructor feed it
    WebWindow* window_ = nullptr;
};

// The canvas as the game's window. Destroying it leaves the canvas in the page: the frame
// loop still runs one pass on the device after WM_DESTROY.
class WebWindow : public ImitatedWindow {
  public:
    WebWindow(std::shared_ptr<WebSession> session, WindowProc proc);
    ~WebWindow() override;

  protected:
    void DestroyNative() override;

  private:
    std::shared_ptr<WebSession> session_;
};

}  // namespace platform::web
