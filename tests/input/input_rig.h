#pragma once

// An input manager on the recording platform, with the window and device it needs.

#include <memory>
#include <string>
#include <vector>

#include "input/input_manager.h"
#include "platform/record/record_system.h"

namespace input::testing {

namespace record = platform::record;

// The calls made on input objects and the cursor texture, in order, from log entry `from` on.
inline std::vector<std::string> InputCalls(const record::CallLog& log, std::size_t from = 0) {
    std::vector<std::string> calls;
    for (const std::string& call : log.CallsFrom(from)) {
        for (const char* prefix : {"Keyboard::", "Mouse::", "InputSystem::", "Texture::"}) {
            if (call.starts_with(prefix)) {
                calls.push_back(call);
            }
        }
    }
    return calls;
}

struct InputRig {
    record::RecordSystem system;
    std::unique_ptr<platform::Window> window;
    std::unique_ptr<platform::Graphics> graphics;
    std::unique_ptr<platform::Device> device;
    bool running = true;
    std::unique_ptr<InputManager> input;

    InputRig() {
        window = system.CreateWindow({}, nullptr);
        graphics = system.Direct3DCreate9(platform::d3d::SDK_VERSION);
        platform::PresentParams params{};
        params.hDeviceWindow = window.get();
        graphics->CreateDevice(0, 1, window.get(), 0x20, params, device);
        system.log().Clear();
    }

    InputManager& Start(uint32_t width = 1280, uint32_t height = 768) {
        input = std::make_unique<InputManager>(system, window.get(), device.get(), running, width,
                                               height);
        return *input;
    }

    // One frame's mouse motion, then the frame's update.
    bool Move(int32_t dx, int32_t dy) {
        system.ScriptMouse({dx, dy, 0, {}});
        return input->Update();
    }
};

}  // namespace input::testing
