#include "input/input_manager.h"

// Placeholder until input lands.
namespace input {
InputManager::InputManager(platform::System& system, platform::Window* window,
                           platform::Device* device, bool& running, uint32_t width,
                           uint32_t height)
    : screenWidth(width), screenHeight(height), system_(system), window_(window), device_(device),
      running_(running) {}
InputManager::~InputManager() = default;
bool InputManager::Update() { return true; }
}  // namespace input
