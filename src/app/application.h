#pragma once

#include <cstdint>
#include <memory>

#include "app/game_flow.h"
#include "platform/system.h"

namespace app {

// The window and the graphics device with the settings both are made from. Constructing it
// opens the window and sets up the device, or reports why not and leaves `running` false.
class Application {
  public:
    Application(platform::System& system, GameFlow& flow);
    ~Application();  // Shutdown
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    bool running = false;
    std::unique_ptr<platform::Window> window;
    std::unique_ptr<platform::Graphics> direct3D;
    std::unique_ptr<platform::Device> device;
    platform::PresentParams presentParams{};
    int32_t width = 1280;
    int32_t height = 768;
    int32_t maxAnisotropy = 0;
    uint32_t backBufferFormat = platform::d3d::FMT_R5G6B5;
    uint32_t depthStencilFormat = platform::d3d::FMT_D16;
    uint32_t multiSampleType = platform::d3d::MULTISAMPLE_NONE;
    platform::Matrix projection{};
    float aspect = 5.0f / 3.0f;
    float fieldOfView = 0.785398f;
    float nearPlane = 1.0f;
    float farPlane = 1000.0f;

    void InitWindow();
    void InitD3D();
    void ApplyDeviceSettings();
    // Whether this frame may be drawn; resets a device that can be reset, telling the font.
    bool CheckDevice(platform::Font* sharedFont);
    void Shutdown();
    void ReleaseDevice();

    platform::System& system() { return system_; }

  private:
    void Report(const char* text, const char* caption);

    platform::System& system_;
    GameFlow& flow_;
    bool resetFailing_ = false;  // a run of failed resets is reported once
};

inline constexpr const char* kClassName = "ClassName";
inline constexpr const char* kWindowTitle = "Tavorin";

}  // namespace app
