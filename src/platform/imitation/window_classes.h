#pragma once

// The window classes registered so far, by name, as RegisterClassExA and UnregisterClassA keep
// them: names compared without regard to case, as Windows compares them. A window is made
// only of a registered class.

#include <algorithm>
#include <set>
#include <string>
#include <string_view>

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
    struct NoCaseLess {
        using is_transparent = void;
        static char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
        bool operator()(std::string_view a, std::string_view b) const {
            return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                [](char x, char y) { return Lower(x) < Lower(y); });
        }
    };
    std::set<std::string, NoCaseLess> names_;
};

}  // namespace platform
