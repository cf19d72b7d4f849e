#include "platform/web/web_backend.h"

#include <ctime>
#include <string>

#include "platform/imitation/window_classes.h"
#include "platform/web/web_graphics.h"
#include "platform/web/web_input.h"
#include "platform/web/web_page.h"
#include "platform/web/web_session.h"

namespace platform::web {

namespace {

constexpr int32_t kIdOk = 1;

KeyTest gameKeys = nullptr;

class WebSystem final : public System {
  public:
    WebSystem() : session_(std::make_shared<WebSession>(gameKeys)) {}

    void InitCommonControls() override {}

    bool RegisterClassExA(const WindowClass& windowClass) override {
        return classes_.Register(windowClass);
    }

    bool UnregisterClassA(const char* className) override { return classes_.Unregister(className); }

    // The page has one canvas: one window at a time.
    std::unique_ptr<Window> CreateWindowExA(const WindowDesc& desc, WindowProc proc) override {
        if (!classes_.Registered(desc.className) || session_->window()) {
            return nullptr;
        }
        page::SetTitle(desc.title ? desc.title : "");
        return std::make_unique<WebWindow>(session_, std::move(proc));
    }

    bool PeekMessageA(Message& message) override { return session_->events().Take(message); }

    void TranslateMessage(const Message& message) override {
        session_->events().Translate(message);
    }

    intptr_t DispatchMessageA(const Message& message) override { return DeliverMessage(message); }

    int32_t MessageBoxA(Window*, const char* text, const char* caption, uint32_t) override {
        page::ShowMessage(caption ? caption : "Error", text ? text : "");
        return kIdOk;
    }

    int32_t ShowCursor(bool show) override {
        cursorCount_ += show ? 1 : -1;
        page::ShowCursor(cursorCount_ >= 0);
        return cursorCount_;
    }

    std::unique_ptr<Graphics> Direct3DCreate9(uint32_t sdkVersion) override {
        if (sdkVersion != d3d::SDK_VERSION) {
            return nullptr;
        }
        return CreateWebGraphics(session_);
    }

    HResult DirectInput8Create(uint32_t version, std::unique_ptr<InputSystem>& out) override {
        out.reset();
        if (version != dinput::VERSION) {
            return kFail;
        }
        out = CreateWebInput(session_);
        return kOk;
    }

    int64_t Time() override { return static_cast<int64_t>(std::time(nullptr)); }

  private:
    std::shared_ptr<WebSession> session_;
    WindowClasses classes_;
    int32_t cursorCount_ = 0;
};

}  // namespace

void SetGameKeys(bool (*gameAnswers)(uint32_t virtualKey)) {
    gameKeys = gameAnswers;
}

std::unique_ptr<System> CreateWebSystem() {
    // The text needs the page's font from the first frame on; the cursor image lies beside
    // the page and the game reads it from its working folder.
    page::AwaitPage();
    return std::make_unique<WebSystem>();
}

std::string PageQuery() {
    return page::Query();
}

void ReportEnd(int status) {
    page::Ended(status);
}

}  // namespace platform::web
