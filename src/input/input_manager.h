#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "platform/system.h"

namespace input {

// Keyboard and mouse, read once per frame, with a cursor that follows the mouse inside
// the back buffer. Nothing in the game reads what it gathers.
class InputManager {
  public:
    // Sets up DirectInput, the keyboard and the mouse, stopping at the first failure, which
    // it reports and answers by clearing `running`.
    InputManager(platform::System& system, platform::Window* window, platform::Device* device,
                 bool& running, uint32_t screenWidth, uint32_t screenHeight);
    ~InputManager();
    InputManager(const InputManager&) = delete;
    InputManager& operator=(const InputManager&) = delete;

    // Reads both devices and moves the cursor; false when the keyboard could not be read,
    // and then the cursor stays put.
    bool Update();

    std::unique_ptr<platform::InputSystem> directInput;
    std::unique_ptr<platform::InputDevice> keyboard;
    std::unique_ptr<platform::InputDevice> mouse;
    std::array<uint8_t, 256> keyState{};
    std::unique_ptr<platform::Texture> cursorTexture;
    platform::MouseState2 mouseState{};
    bool invertY = false;
    float sensitivity = 0.0f;
    float cursorX = 0.0f;
    float cursorY = 0.0f;
    int32_t imageValue1 = 0;
    int32_t imageValue2 = 0;
    uint32_t axisCount = 0;
    uint32_t buttonCount = 0;
    uint32_t imageValue3 = 0;
    uint32_t screenWidth = 0;
    uint32_t screenHeight = 0;

    bool InitDirectInput();
    bool InitKeyboard();
    bool InitMouse();
    void LoadCursorImage(const char* file, int32_t value1, int32_t value2, uint32_t value3);
    void SetCursorMode(bool invert, float newSensitivity);

  private:
    void Report(const char* text, const char* caption);
    // Creates a device and sets its format, cooperative level and acquisition, reporting
    // the first step that fails under `caption`.
    bool OpenDevice(platform::DeviceGuid guid, platform::DataFormat format,
                    std::unique_ptr<platform::InputDevice>& device, const char* caption);

    platform::System& system_;
    platform::Window* window_;
    platform::Device* device_;
    bool& running_;
    bool keyboardFailing_ = false;  // a run of failed keyboard reads is reported once
};

}  // namespace input
