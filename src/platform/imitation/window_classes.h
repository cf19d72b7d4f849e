#pragma once

// The window classes registered so far, by name, as RegisterClassExA and UnregisterClassA keep
// them; a window is made only of a registered class.

#include <functional>
#include <set>
#include <string>

#include "platform/window.h"

namespace platform {

class WindowClasses {
  public:
    bool Register(const WindowClass& windowClass) {
        return windowClass.className && names_.insert(windowClass.className).second;
    }
    bool Unregister(const char* className) { return className && names_.erase(className) > 0; }
    bool Registered(const char* className) const { return className && names_.contains(className); }

  private:
    std::set<std::string, std::less<>> names_;
};

}  // namespace platform
