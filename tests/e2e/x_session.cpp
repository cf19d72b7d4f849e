#include "x_session.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>

extern char** environ;

namespace e2e {

namespace {

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (std::string& s : strings) {
        out.push_back(s.data());
    }
    out.push_back(nullptr);
    return out;
}

// A child is not to outlive a test that crashed or was stopped: its output goes to a log
// of its own, and it ends with the test.
void DieWithParent() {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    const int log = open("/dev/null", O_WRONLY);
    dup2(log, 1);
    dup2(log, 2);
    close(log);
}

}  // namespace

bool HaveProgram(const char* name) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        if (access((dir + "/" + name).c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}

XvfbDisplay::~XvfbDisplay() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        WaitForExit(pid_, std::chrono::seconds(5));
    }
}

bool XvfbDisplay::Start() {
    int fds[2];
    if (pipe(fds) != 0) {
        return false;
    }
    // Xvfb picks a free display number and writes it to the pipe once it is ready.
    pid_ = fork();
    if (pid_ == 0) {
        close(fds[0]);
        DieWithParent();
        dup2(fds[1], 3);
        execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", "1600x1000x24", "+extension",
               "GLX", "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    if (pid_ < 0) {
        close(fds[0]);
        return false;
    }
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') {
        number.push_back(c);
    }
    close(fds[0]);
    if (number.empty()) {
        return false;
    }
    name_ = ":" + number;
    return true;
}

pid_t Spawn(const std::vector<std::string>& argv, const std::string& directory,
            const std::vector<std::string>& environment) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        env.emplace_back(*e);
    }
    env.insert(env.end(), environment.begin(), environment.end());
    std::vector<std::string> args = argv;
    auto argp = Pointers(args);
    auto envp = Pointers(env);
    const pid_t pid = fork();
    if (pid == 0) {
        DieWithParent();
        if (chdir(directory.c_str()) != 0) {
            _exit(127);
        }
        execve(argp[0], argp.data(), envp.data());
        _exit(127);
    }
    return pid;
}

std::optional<int> WaitForExit(pid_t pid, std::chrono::milliseconds timeout) {
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

std::string RunOn(const std::string& display, const std::string& command) {
    const std::string line = "DISPLAY=" + display + " " + command + " 2>/dev/null";
    FILE* pipe = popen(line.c_str(), "r");
    if (!pipe) {
        return {};
    }
    std::string out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        out.append(buffer, n);
    }
    pclose(pipe);
    return out;
}

std::string FindWindow(const std::string& display, const std::string& name,
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

Rgb Capture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height ||
        rgb.size() < static_cast<size_t>(width) * height * 3) {
        return {0, 0, 0};
    }
    const size_t at = (static_cast<size_t>(y) * width + x) * 3;
    return {rgb[at], rgb[at + 1], rgb[at + 2]};
}

bool CaptureWindow(const std::string& display, const std::string& window, Capture& capture) {
    const std::string ppm = RunOn(display, "import -window " + window + " -depth 8 ppm:-");
    // P6 <width> <height> <maxval> then the bytes.
    std::istringstream in(ppm);
    std::string magic;
    int maxval = 0;
    in >> magic >> capture.width >> capture.height >> maxval;
    if (magic != "P6" || maxval != 255 || capture.width <= 0 || capture.height <= 0) {
        capture = {};
        return false;
    }
    in.get();
    const size_t bytes = static_cast<size_t>(capture.width) * capture.height * 3;
    const size_t start = static_cast<size_t>(in.tellg());
    if (ppm.size() < start + bytes) {
        capture = {};
        return false;
    }
    capture.rgb.assign(ppm.begin() + static_cast<std::ptrdiff_t>(start),
                       ppm.begin() + static_cast<std::ptrdiff_t>(start + bytes));
    return true;
}

}  // namespace e2e
