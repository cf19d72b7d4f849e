#pragma once

// What the end-to-end tests need around a real X display: a private Xvfb, child processes,
// xdotool, and window captures read back as pixels.

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

inline bool HaveProgram(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null").c_str()) == 0;
}

// Runs a shell command and returns what it printed on standard output.
inline std::string Output(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    for (size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        out.append(buffer, n);
    }
    if (pipe) {
        pclose(pipe);
    }
    return out;
}

inline std::string RunOn(const std::string& display, const std::string& command) {
    return Output("DISPLAY=" + display + " " + command + " 2>/dev/null");
}

// Starts a shell command whose standard output goes to `out`, or nowhere; -1 on failure. It
// does not outlive a test that crashed or was stopped.
inline pid_t Spawn(const std::string& command, int out = -1) {
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int null = open("/dev/null", O_WRONLY);
        dup2(out < 0 ? null : out, 1);
        dup2(null, 2);
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// The exit status, or nothing when the process did not end in time (it is then killed).
inline std::optional<int> WaitForExit(pid_t pid, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (std::chrono::steady_clock::now() < end) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (done < 0) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return std::nullopt;
}

// An Xvfb server on a display number it picks itself, stopped when this goes.
class XvfbDisplay {
  public:
    ~XvfbDisplay() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            WaitForExit(pid_, std::chrono::seconds(5));
        }
    }

    bool Start() {
        int fds[2];
        if (pipe(fds) != 0) {
            return false;
        }
        // It writes the display number to the pipe once it is ready.
        pid_ = Spawn("exec Xvfb -displayfd 1 -screen 0 1600x1000x24 +extension GLX -nolisten tcp",
                     fds[1]);
        close(fds[1]);
        std::string number;
        for (char c; pid_ > 0 && read(fds[0], &c, 1) == 1 && c != '\n';) {
            number.push_back(c);
        }
        close(fds[0]);
        name_ = ":" + number;
        return !number.empty();
    }

    const std::string& name() const { return name_; }  // ":N"

  private:
    pid_t pid_ = -1;
    std::string name_;
};

// The first window whose name matches, waiting for it to appear; empty when none came.
inline std::string FindWindow(const std::string& display, const std::string& name,
                              std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        std::string id = RunOn(display, "xdotool search --onlyvisible --name '^" + name + "$'");
        if (const size_t line = id.find('\n'); line != std::string::npos) {
            return id.substr(0, line);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return {};
}

struct Rgb {
    uint8_t r, g, b;
};

inline bool IsWhite(Rgb c) {
    return c.r > 200 && c.g > 200 && c.b > 200;
}
inline bool IsBlack(Rgb c) {
    return c.r < 40 && c.g < 40 && c.b < 40;
}
inline bool IsRed(Rgb c) {
    return c.r > 150 && c.g < 90 && c.b < 90;
}

struct Capture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // empty when the capture failed

    Rgb At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height || rgb.empty()) {
            return {0, 0, 0};
        }
        const size_t at = (static_cast<size_t>(y) * width + x) * 3;
        return {rgb[at], rgb[at + 1], rgb[at + 2]};
    }
};

inline bool CaptureWindow(const std::string& display, const std::string& window, Capture& capture) {
    const std::string ppm = RunOn(display, "import -window " + window + " -depth 8 ppm:-");
    // "P6 <width> <height> 255", one blank, then the bytes.
    int w = 0, h = 0, header = 0;
    if (std::sscanf(ppm.c_str(), "P6 %d %d 255%n", &w, &h, &header) != 2 || header == 0 || w <= 0 ||
        h <= 0 || ppm.size() < header + 1 + size_t{3} * w * h) {
        capture = {};
        return false;
    }
    capture = {w, h, {ppm.begin() + header + 1, ppm.begin() + header + 1 + 3L * w * h}};
    return true;
}

// Captures until the picture shows what it should (a key's effect on a slow machine); the
// last capture when it never did.
template <typename Shows>
Capture CaptureWhen(const std::string& display, const std::string& window, Shows shows,
                    std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    Capture capture;
    while (std::chrono::steady_clock::now() < end) {
        if (CaptureWindow(display, window, capture) && shows(capture)) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return capture;
}

}  // namespace e2e
