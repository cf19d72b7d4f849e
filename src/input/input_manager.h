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

    // Back-buffer coordinates of the cursor, kept within the back buffer.
    float cursorX() const { return cursorX_; }
    float cursorY() const { return cursorY_; }
    float sensitivity() const { return sensitivity_; }
    void SetCursorMode(bool invert, float newSensitivity);
    // Null when "arrow.bmp" could not be read; nothing draws it either way.
    const platform::Texture* cursorTexture() const { return cursorTexture_.get(); }

  private:
    bool InitDirectInput();
    bool InitKeyboard();
    bool InitMouse();
    void LoadCursorImage(const char* file, int32_t value1, int32_t value2, uint32_t value3);
    void Report(const char* text, const char* caption);
    // Creates a device and sets its format, cooperative level and acquisition, reporting
    // the first step that fails under `caption`.
    bool OpenDevice(platform::DeviceGuid guid, platform::DataFormat format,
                    std::unique_ptr<platform::InputDevice>& device, const char* caption);

    platform::System& system_;
    platform::Window* window_;
    platform::Device* device_;
    bool& running_;
    std::unique_ptr<platform::InputSystem> directInput_;
    std::unique_ptr<platform::InputDevice> keyboard_;
    std::unique_ptr<platform::InputDevice> mouse_;
    std::array<uint8_t, 256> keyState_{};
    std::unique_ptr<platform::Texture> cursorTexture_;
    platform::MouseState2 mouseState_{};
    bool invertY_ = false;
    float sensitivity_ = 0.0f;
    float cursorX_ = 0.0f;
    float cursorY_ = 0.0f;
    // What the cursor image was loaded with; kept, though nothing reads them.
    int32_t imageValue1_ = 0;
    int32_t imageValue2_ = 0;
    uint32_t imageValue3_ = 0;
    uint32_t axisCount_ = 0;
    uint32_t buttonCount_ = 0;
    uint32_t screenWidth_ = 0;
    uint32_t screenHeight_ = 0;
    bool keyboardFailing_ = false;  // a run of failed keyboard reads is reported once
};

}  // namespace input
