#pragma once

// An input manager on the recording platform, with the window and device it needs.

#include <memory>

#include "input/input_manager.h"
#include "platform/record/record_backend.h"

namespace input::testing {

namespace record = platform::record;

struct InputRig {
    record::RecordSystem system;
    std::unique_ptr<platform::Window> window = system.CreateWindowExA({}, nullptr);
    std::unique_ptr<platform::Graphics> graphics =
        system.Direct3DCreate9(platform::d3d::SDK_VERSION);
    std::unique_ptr<platform::Device> device;
    bool running = true;
    std::unique_ptr<InputManager> input;

    InputRig() {
        platform::PresentParams params{};
        graphics->CreateDevice(0, 1, window.get(), 0x20, params, device);
        system.log().Clear();
    }

    InputManager& Start() {
        input =
            std::make_unique<InputManager>(system, window.get(), device.get(), running, 1280, 768);
        return *input;
    }

    // One frame's mouse motion, then the frame's update.
    bool Move(int32_t dx, int32_t dy) {
        system.ScriptMouse({dx, dy, 0, {}});
        return input->Update();
    }
};

}  // namespace input::testing
