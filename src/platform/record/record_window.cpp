#include "platform/record/record_objects.h"

namespace platform::record {

namespace {

class RecordWindow final : public Window, public Recorded {
  public:
    RecordWindow(std::shared_ptr<Recorder> recorder, WindowProc proc)
        : Window(std::move(proc)), Recorded(std::move(recorder), "Window") {
        ++rec().live.windows;
        rec().window = this;
    }

    ~RecordWindow() override {
        --rec().live.windows;
        if (rec().window == this) {
            rec().window = nullptr;
        }
    }

    intptr_t DefWindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        Log("Window::DefWindowProc", message, wParam, lParam);
        return Window::DefWindowProc(message, wParam, lParam);
    }

  protected:
    void DestroyNative() override { Log("Window::Destroy"); }
};

}  // namespace

std::unique_ptr<Window> MakeWindow(std::shared_ptr<Recorder> recorder, WindowProc proc) {
    return std::make_unique<RecordWindow>(std::move(recorder), std::move(proc));
}

}  // namespace platform::record
