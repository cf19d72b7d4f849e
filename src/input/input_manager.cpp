#include "input/input_manager.h"

namespace input {

namespace {

constexpr uint32_t kCooperativeLevel =
    platform::dinput::COOP_NONEXCLUSIVE | platform::dinput::COOP_BACKGROUND;

// Back-buffer coordinates stay within 0..bound, both ends included; a motion that makes no
// number (a broken sensitivity) pins at 0 rather than losing the cursor.
float Clamp(float value, uint32_t bound) {
    const float limit = static_cast<float>(bound);
    if (!(value >= 0.0f)) {
        return 0.0f;
    }
    return value > limit ? limit : value;
}

// Position plus (or, inverted, minus) motion times sensitivity, rounded to float once.
float Move(float position, int32_t motion, float sensitivity, bool invert) {
    const double step = static_cast<double>(motion) * static_cast<double>(sensitivity);
    return static_cast<float>(static_cast<double>(position) + (invert ? -step : step));
}

}  // namespace

InputManager::InputManager(platform::System& system, platform::Window* window,
                           platform::Device* device, bool& running, uint32_t width, uint32_t height)
    : system_(system),
      window_(window),
      device_(device),
      running_(running),
      cursorX_(static_cast<float>(width * 0.5)),
      cursorY_(static_cast<float>(height * 0.5)),
      screenWidth_(width),
      screenHeight_(height) {
    if (!InitDirectInput() || !InitKeyboard() || !InitMouse()) {
        running_ = false;
    }
}

InputManager::~InputManager() {
    for (std::unique_ptr<platform::InputDevice>* device : {&keyboard_, &mouse_}) {
        if (*device) {
            (*device)->Unacquire();
            device->reset();
        }
    }
    directInput_.reset();
    cursorTexture_.reset();
}

void InputManager::Report(const char* text, const char* caption) {
    system_.MessageBoxA(window_, text, caption, 0);
}

bool InputManager::InitDirectInput() {
    const platform::HResult r = system_.DirectInput8Create(platform::dinput::VERSION, directInput_);
    if (platform::Failed(r) || !directInput_) {
        directInput_.reset();
        Report("DirectInput8Create() failed!", "InitDirectInput()");
        return false;
    }
    return true;
}

bool InputManager::OpenDevice(platform::DeviceGuid guid, platform::DataFormat format,
                              std::unique_ptr<platform::InputDevice>& device, const char* caption) {
    const platform::HResult r = directInput_->CreateDevice(guid, device);
    if (platform::Failed(r) || !device) {
        device.reset();
        Report("CreateDevice() failed!", caption);
        return false;
    }
    if (platform::Failed(device->SetDataFormat(format))) {
        Report("SetDataFormat() failed!", caption);
        return false;
    }
    if (platform::Failed(device->SetCooperativeLevel(window_, kCooperativeLevel))) {
        Report("SetCooperativeLevel() failed!", caption);
        return false;
    }
    if (platform::Failed(device->Acquire())) {
        Report("Acquire() failed!", caption);
        return false;
    }
    return true;
}

bool InputManager::InitKeyboard() {
    return OpenDevice(platform::DeviceGuid::SysKeyboard, platform::DataFormat::Keyboard, keyboard_,
                      "InitKeyboard()");
}

bool InputManager::InitMouse() {
    if (!OpenDevice(platform::DeviceGuid::SysMouse, platform::DataFormat::Mouse2, mouse_,
                    "InitMouse()")) {
        return false;
    }
    platform::DeviceCaps caps{};
    caps.dwSize = sizeof(caps);
    if (platform::Failed(mouse_->GetCapabilities(caps))) {
        // Whatever a failed call left behind says nothing: no mouse.
        caps = {};
        caps.dwSize = sizeof(caps);
    }
    if ((caps.dwFlags & platform::dinput::CAPS_ATTACHED) == 0) {
        Report("Mouse is currently not attached!", "InitMouse()");
        return false;
    }
    axisCount_ = caps.dwAxes;
    buttonCount_ = caps.dwButtons;
    LoadCursorImage("arrow.bmp", 0, 0, 0xFFFFFFFFu);
    SetCursorMode(false, 1.0f);
    return true;
}

void InputManager::LoadCursorImage(const char* file, int32_t value1, int32_t value2,
                                   uint32_t value3) {
    namespace d3d = platform::d3d;
    // Nothing draws the image, so a missing or unreadable file is neither reported nor fatal.
    if (device_ && file) {
        const platform::HResult r = device_->CreateTextureFromFileExA(
            file, d3d::X_DEFAULT, d3d::X_DEFAULT, d3d::X_DEFAULT, 0, d3d::FMT_UNKNOWN,
            d3d::POOL_MANAGED, d3d::X_DEFAULT, d3d::X_DEFAULT, 0xFF000000u, cursorTexture_);
        if (platform::Failed(r)) {
            cursorTexture_.reset();
        }
    }
    imageValue1_ = value1;
    imageValue2_ = value2;
    imageValue3_ = value3;
}

void InputManager::SetCursorMode(bool invert, float newSensitivity) {
    invertY_ = invert;
    sensitivity_ = newSensitivity;
}

bool InputManager::Update() {
    if (!keyboard_ || !mouse_) {
        return false;  // set-up failed; there is nothing to read
    }
    const platform::HResult keys =
        keyboard_->GetDeviceState(static_cast<uint32_t>(keyState_.size()), keyState_.data());
    if (platform::Failed(keys)) {
        if (keys == platform::kInputLost) {
            // Taken back quietly, like the mouse: the window lost the device, not the player.
            keyboard_->Acquire();
        } else if (!keyboardFailing_) {
            // Once per run of failures: a modal box every frame would lock the player out.
            keyboardFailing_ = true;
            Report("GetDeviceState() failed!", "Update()");
        }
        return false;
    }
    keyboardFailing_ = false;

    const platform::HResult motion = mouse_->GetDeviceState(sizeof(mouseState_), &mouseState_);
    if (platform::Failed(motion)) {
        // No motion was read: the last frame's motion must not be counted twice.
        mouseState_ = {};
        if (motion == platform::kInputLost) {
            mouse_->Acquire();
        }
    }

    cursorX_ = Clamp(Move(cursorX_, mouseState_.lX, sensitivity_, false), screenWidth_);
    cursorY_ = Clamp(Move(cursorY_, mouseState_.lY, sensitivity_, invertY_), screenHeight_);
    return true;
}

}  // namespace input
