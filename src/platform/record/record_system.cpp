#include "platform/record/record_backend.h"

#include "platform/imitation/imitated_window.h"
#include "platform/imitation/key_table.h"
#include "platform/record/record_objects.h"

namespace platform::record {

RecordSystem::RecordSystem() : recorder_(std::make_shared<Recorder>()) {}

RecordSystem::~RecordSystem() = default;

void RecordSystem::InitCommonControls() {
    log().Add("InitCommonControls", "");
}

bool RecordSystem::RegisterClassExA(const WindowClass& windowClass) {
    log().Add("RegisterClassExA", "", windowClass.className, windowClass.style);
    if (!windowClass.className) {
        return false;
    }
    return recorder_->classes.emplace(windowClass.className, windowClass.style).second;
}

bool RecordSystem::UnregisterClassA(const char* className) {
    log().Add("UnregisterClassA", "", className);
    if (!className) {
        return false;
    }
    const auto found = recorder_->classes.find(std::string_view(className));
    if (found == recorder_->classes.end()) {
        return false;
    }
    recorder_->classes.erase(found);
    return true;
}

std::unique_ptr<Window> RecordSystem::CreateWindowExA(const WindowDesc& desc, WindowProc proc) {
    log().Add("CreateWindowExA", "", desc);
    if (Failed(faults().createWindow.Next())) {
        return nullptr;
    }
    return CreateRecordWindow(recorder_, std::move(proc));
}

bool RecordSystem::PeekMessageA(Message& message) {
    Recorder& r = *recorder_;
    if (r.queue.empty()) {
        log().Add("PeekMessageA", "");
        return false;
    }
    message = r.queue.front();
    r.queue.pop_front();
    // A destroyed window gets no more messages.
    message.window = r.window && r.window->alive() ? r.window : nullptr;
    log().Add("PeekMessageA", "", message.message, message.wParam, message.lParam);
    return true;
}

namespace {

constexpr uint32_t kSysChar = 0x0106;  // WM_SYSCHAR

}  // namespace

void RecordSystem::TranslateMessage(const Message& message) {
    log().Add("TranslateMessage", "", message.message, message.wParam, message.lParam);
    if (!recorder_->translateKeys ||
        (message.message != wm::KEYDOWN && message.message != wm::SYSKEYDOWN)) {
        return;
    }
    // What the key types without Shift, as the shared key table has it.
    if (const uintptr_t character =
            CharacterFor(static_cast<uint32_t>(message.wParam), false, false, false)) {
        const uint32_t kind = message.message == wm::KEYDOWN ? wm::CHAR : kSysChar;
        recorder_->queue.push_front({nullptr, kind, character, message.lParam});
    }
}

intptr_t RecordSystem::DispatchMessageA(const Message& message) {
    log().Add("DispatchMessageA", "", message.message, message.wParam, message.lParam);
    return DeliverMessage(message);
}

int32_t RecordSystem::MessageBoxA(Window* owner, const char* text, const char* caption,
                                  uint32_t type) {
    log().Add("MessageBoxA", "", TagOf(owner), text, caption, type);
    recorder_->messageBoxes.push_back(
        {TagOf(owner), text ? text : "", caption ? caption : "", type});
    return 1;  // IDOK
}

int32_t RecordSystem::ShowCursor(bool show) {
    log().Add("ShowCursor", "", show);
    return recorder_->cursorCount += show ? 1 : -1;
}

std::unique_ptr<Graphics> RecordSystem::Direct3DCreate9(uint32_t sdkVersion) {
    log().Add("Direct3DCreate9", "", sdkVersion);
    if (Failed(faults().direct3DCreate.Next())) {
        return nullptr;
    }
    return CreateRecordGraphics(recorder_);
}

HResult RecordSystem::DirectInput8Create(uint32_t version, std::unique_ptr<InputSystem>& out) {
    log().Add("DirectInput8Create", "", version);
    out.reset();
    if (const HResult r = faults().directInputCreate.Next(); Failed(r)) {
        return r;
    }
    out = CreateRecordInputSystem(recorder_);
    return kOk;
}

int64_t RecordSystem::Time() {
    log().Add("Time", "");
    return recorder_->clock;
}

void RecordSystem::Post(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    recorder_->queue.push_back({nullptr, message, wParam, lParam});
}

void RecordSystem::LoseDevice(int lostChecks) {
    recorder_->condition = DeviceCondition::Lost;
    recorder_->lostChecksLeft = lostChecks;
}

std::span<const uint8_t> RecordSystem::Contents(const Buffer* buffer) {
    return BufferBytes(buffer);
}

std::string RecordSystem::Tag(const Buffer* buffer) {
    return TagOf(buffer);
}
std::string RecordSystem::Tag(const Font* font) {
    return TagOf(font);
}
std::string RecordSystem::Tag(const Texture* texture) {
    return TagOf(texture);
}
std::string RecordSystem::Tag(const Window* window) {
    return TagOf(window);
}
std::string RecordSystem::Tag(const InputDevice* device) {
    return TagOf(device);
}

}  // namespace platform::record
