#include "platform/imitation/imitated_window.h"
#include "platform/record/record_objects.h"

namespace platform::record {

namespace {

class RecordWindow final : public ImitatedWindow, public Recorded {
  public:
    RecordWindow(std::shared_ptr<Recorder> recorder, WindowProc proc)
        : ImitatedWindow(std::move(proc)), Recorded(std::move(recorder), "Window") {
        ++rec().live.windows;
        rec().window = this;
    }

    ~RecordWindow() override {
        --rec().live.windows;
        if (rec().window == this) {
            rec().window = nullptr;
        }
    }

    intptr_t DefWindowProcA(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        Log("Window::DefWindowProcA", message, wParam, lParam);
        return ImitatedWindow::DefWindowProcA(message, wParam, lParam);
    }

  protected:
    void DestroyNative() override { Log("Window::Destroy"); }
};

}  // namespace

std::unique_ptr<Window> CreateRecordWindow(std::shared_ptr<Recorder> recorder, WindowProc proc) {
    return std::make_unique<RecordWindow>(std::move(recorder), std::move(proc));
}

}  // namespace platform::record
