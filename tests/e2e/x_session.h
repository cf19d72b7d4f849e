#pragma once

// What the end-to-end tests need around a real X display: a private Xvfb, child processes,
// xdotool, and window captures read back as pixels.

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

bool HaveProgram(const char* name);

// An Xvfb server on a display number it picks itself, stopped when this goes.
class XvfbDisplay {
  public:
    XvfbDisplay() = default;
    ~XvfbDisplay();
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;

    bool Start();
    const std::string& name() const { return name_; }  // ":N"

  private:
    pid_t pid_ = -1;
    std::string name_;
};

// Starts `argv` in `directory` with `environment` added to ours; -1 on failure.
pid_t Spawn(const std::vector<std::string>& argv, const std::string& directory,
            const std::vector<std::string>& environment);
// The exit status, or nothing when the process did not end in time (it is then killed).
std::optional<int> WaitForExit(pid_t pid, std::chrono::milliseconds timeout);

// Runs a shell command on the display and returns what it printed.
std::string RunOn(const std::string& display, const std::string& command);

// The first window whose name matches, waiting for it to appear; empty when none came.
std::string FindWindow(const std::string& display, const std::string& name,
                       std::chrono::milliseconds timeout);

struct Rgb {
    uint8_t r, g, b;
};

struct Capture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    Rgb At(int x, int y) const;
};

bool CaptureWindow(const std::string& display, const std::string& window, Capture& capture);

inline bool IsWhite(Rgb c) {
    return c.r > 200 && c.g > 200 && c.b > 200;
}
inline bool IsBlack(Rgb c) {
    return c.r < 40 && c.g < 40 && c.b < 40;
}
inline bool IsRed(Rgb c) {
    return c.r > 150 && c.g < 90 && c.b < 90;
}

}  // namespace e2e
