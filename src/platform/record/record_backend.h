#pragma once

// The recording backend, for tests: the game's every call to the layer, written down.
//
// Implements:
//  - Every call of the layer, logged with its arguments; buffers keep their bytes; live
//    objects are counted; messages come from a queue the test fills, one per peek.
//  - Windows' window behaviour through ImitatedWindow (WM_DESTROY on destroy, Alt+F4 and
//    WM_CLOSE by default), and TranslateMessage's WM_CHAR when asked for.
//  - The device's settings as last set, cleared by a successful reset as Direct3D does.
// Lacks:
//  - Any picture: nothing is rasterised, shown or presented; fonts measure nothing and draw
//    one line's height; textures are never read from the file.
//  - A clock of its own: Time() is what the test sets.
// Adds:
//  - Failures on demand, so that tests reach every error path: any creation call, a lost or
//    not-reset device, a failed reset, a failed lock or read, a mouse without DIDC_ATTACHED.
//  - Calls Direct3D would refuse (a draw outside a scene, an unlock without a lock, ...) and
//    calls made while the device is lost are counted, so a test sees them.

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/imitation/imitated_window.h"
#include "platform/record/call_log.h"
#include "platform/record/faults.h"
#include "platform/system.h"

namespace platform::record {

// Objects alive right now, by kind.
struct LiveCounts {
    int windows = 0;
    int graphics = 0;
    int devices = 0;
    int vertexBuffers = 0;
    int indexBuffers = 0;
    int fonts = 0;
    int textures = 0;
    int inputSystems = 0;
    int inputDevices = 0;

    int Total() const {
        return windows + graphics + devices + vertexBuffers + indexBuffers + fonts + textures +
               inputSystems + inputDevices;
    }
    friend bool operator==(const LiveCounts&, const LiveCounts&) = default;
};

// What the device has been told, kept whether or not the log is on. A successful reset
// clears the settings, as Direct3D puts them back to their defaults.
struct DeviceRecord {
    PresentParams createParams{};
    PresentParams resetParams{};  // those of the last reset attempt
    std::map<uint32_t, Matrix> transforms;
    std::map<uint32_t, uint32_t> renderStates;
    std::map<std::pair<uint32_t, uint32_t>, uint32_t> samplerStates;  // (sampler, type)
    uint32_t fvf = 0;
    int64_t clears = 0;
    int64_t beginScenes = 0;
    int64_t endScenes = 0;
    int64_t presents = 0;
    int64_t draws = 0;
    int64_t resets = 0;  // successful ones
    int64_t failedResets = 0;
    uint32_t lastDrawVertices = 0;
    uint32_t lastDrawPrimitives = 0;
    // Calls Direct3D would refuse: a draw outside a scene or from a missing or released
    // buffer, nested scenes, an unlock without a lock, a lock outside the buffer.
    int64_t invalidCalls = 0;
    // Clears, scenes, draws and presents made while the device was lost or not reset.
    int64_t callsWhileLost = 0;
};

struct MessageBoxRecord {
    std::string owner;  // "Window#1", or "null"
    std::string text;
    std::string caption;
    uint32_t type = 0;
};

enum class DeviceCondition { Usable, Lost, NotReset };

// The state the system and every object it made share; objects keep it alive, so they may
// outlive the system.
struct Recorder {
    CallLog log;
    Faults faults;
    LiveCounts live;
    DeviceRecord device;
    std::vector<MessageBoxRecord> messageBoxes;
    std::deque<Message> queue;  // the window is filled in when the message is taken
    int64_t clock = 0;
    // When set, TranslateMessage turns a character key-down into a WM_CHAR (WM_SYSCHAR with
    // Alt) taken by the next PeekMessageA, as Windows does.
    bool translateKeys = false;
    int32_t cursorCount = 0;

    DeviceCondition condition = DeviceCondition::Usable;
    int lostChecksLeft = 0;

    std::array<uint8_t, 256> keyboardState{};
    std::deque<MouseState2> mouseReads;  // one per successful mouse read; zero motion when empty
    DeviceCaps keyboardCaps{44, dinput::CAPS_ATTACHED, 0x13, 0, 128, 0, 0, 0, 0, 0, 0};
    DeviceCaps mouseCaps{44, dinput::CAPS_ATTACHED, 0x12, 3, 8, 0, 0, 0, 0, 0, 0};

    // Bookkeeping of the objects.
    ImitatedWindow* window = nullptr;                  // the last window made, while it exists
    std::map<const Buffer*, std::size_t> bufferSizes;  // live buffers
    int nextId = 1;
    std::map<std::string, uint32_t, std::less<>> classes;

    std::string NewTag(std::string_view kind) {
        return std::string(kind) + "#" + std::to_string(nextId++);
    }
};

class RecordSystem final : public System {
  public:
    RecordSystem();
    ~RecordSystem() override;
    RecordSystem(const RecordSystem&) = delete;
    RecordSystem& operator=(const RecordSystem&) = delete;

    // System.
    void InitCommonControls() override;
    bool RegisterClassExA(const WindowClass& windowClass) override;
    bool UnregisterClassA(const char* className) override;
    std::unique_ptr<Window> CreateWindowExA(const WindowDesc& desc, WindowProc proc) override;
    bool PeekMessageA(Message& message) override;
    void TranslateMessage(const Message& message) override;
    intptr_t DispatchMessageA(const Message& message) override;
    int32_t MessageBoxA(Window* owner, const char* text, const char* caption,
                        uint32_t type) override;
    int32_t ShowCursor(bool show) override;
    std::unique_ptr<Graphics> Direct3DCreate9(uint32_t sdkVersion) override;
    HResult DirectInput8Create(uint32_t version, std::unique_ptr<InputSystem>& out) override;
    int64_t Time() override;

    // For tests.
    Recorder& recorder() { return *recorder_; }
    CallLog& log() { return recorder_->log; }
    Faults& faults() { return recorder_->faults; }
    const LiveCounts& live() const { return recorder_->live; }
    const DeviceRecord& device() const { return recorder_->device; }
    const std::vector<MessageBoxRecord>& messageBoxes() const { return recorder_->messageBoxes; }

    // Queues a message for the window (delivered to whichever window exists when taken).
    void Post(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);
    void PostKeyDown(uint32_t virtualKey) { Post(wm::KEYDOWN, virtualKey); }
    void PostSysKeyDown(uint32_t virtualKey) { Post(wm::SYSKEYDOWN, virtualKey); }
    void PostClose() { Post(wm::CLOSE); }
    std::size_t pendingMessages() const { return recorder_->queue.size(); }

    // TestCooperativeLevel gives kDeviceLost for `lostChecks` calls, then kDeviceNotReset
    // until a reset succeeds.
    void LoseDevice(int lostChecks);
    DeviceCondition deviceCondition() const { return recorder_->condition; }

    void SetTime(int64_t seconds) { recorder_->clock = seconds; }
    void ScriptMouse(const MouseState2& read) { recorder_->mouseReads.push_back(read); }

    // The bytes of a buffer this backend made; empty for null.
    static std::span<const uint8_t> Contents(const Buffer* buffer);
    // The name the log gives an object: "VertexBuffer#4", or "null".
    static std::string Tag(const Buffer* buffer);
    static std::string Tag(const Font* font);
    static std::string Tag(const Texture* texture);
    static std::string Tag(const Window* window);
    static std::string Tag(const InputDevice* device);

  private:
    std::shared_ptr<Recorder> recorder_;
};

}  // namespace platform::record
