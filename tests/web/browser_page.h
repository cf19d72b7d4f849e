#pragma once

// The page in a real browser on a private Xvfb display, for the tests: the web build's folder
// served over HTTP on 127.0.0.1, keys through xdotool, frames captured by window id and
// measured in back-buffer coordinates where the canvas lies.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

#include "../e2e/x_session.h"
#include "../wine/board_check.h"
#include "../wine/mesh_picture.h"

namespace browser_test {

using namespace std::chrono_literals;
using e2e::Capture;
using e2e::Rgb;
using wine_test::ClientArea;
using wine_test::Count;
using wine_test::IsLit;
using wine_test::Mismatches;

inline const std::string kPage = TAVORIN_WEB_PAGE;
inline constexpr int64_t kDealSecond = 1700000000;

// The longest run of black pixels along a row or a column: the canvas, black but for the
// menu's labels, on a page that is not black.
inline std::pair<int, int> LongestBlackRun(const Capture& shot, bool row, int at) {
    const int length = row ? shot.width : shot.height;
    int best = 0, bestStart = 0, start = -1;
    for (int i = 0; i <= length; ++i) {
        const bool black = i < length && e2e::IsBlack(row ? shot.At(i, at) : shot.At(at, i));
        if (black && start < 0) {
            start = i;
        } else if (!black && start >= 0) {
            if (i - start > best) {
                best = i - start;
                bestStart = start;
            }
            start = -1;
        }
    }
    return {bestStart, best};
}

// The canvas in a capture of the browser's window, found on the menu or the rules page.
inline ClientArea FindCanvas(const Capture& shot) {
    ClientArea area;
    const auto [left, width] = LongestBlackRun(shot, true, shot.height / 2);
    // Down a column right of the menu's labels, the rules' text and the first deals' tiles.
    const auto [top, height] = LongestBlackRun(shot, false, left + width * 9 / 10);
    area.left = left;
    area.width = width;
    area.top = top;
    area.height = height;
    return area;
}

// The page's message dialog: white over the middle of the black canvas, on a page drawn (not
// the blank window of a page still loading, white from corner to corner).
inline bool DialogShows(const Capture& s) {
    const Rgb corner = s.At(2, s.height - 2);
    if (corner.r > 245 && corner.g > 245 && corner.b > 245) {
        return false;
    }
    int white = 0;
    for (int y = s.height / 2 - 50; y < s.height / 2 + 50; ++y) {
        for (int x = s.width / 2 - 150; x < s.width / 2 + 150; ++x) {
            white += e2e::IsWhite(s.At(x, y)) ? 1 : 0;
        }
    }
    return white > 10000;
}

struct Browser {
    const char* name;
    const char* program;
};

inline void PrintTo(const Browser& browser, std::ostream* out) {
    *out << browser.name;
}

// A browser with a profile of its own, on the page; it does not outlive the test.
class BrowserTest : public ::testing::TestWithParam<Browser>, protected wine_test::WindowDriver {
  protected:
    BrowserTest() : WindowDriver(FindCanvas, 1000, 30s) {}

    void SetUp() override {
        if (!e2e::HaveProgram("Xvfb") || !e2e::HaveProgram("xdotool") ||
            !e2e::HaveProgram("import") || !e2e::HaveProgram(GetParam().program)) {
            GTEST_SKIP() << "needs Xvfb, xdotool, imagemagick and " << GetParam().program;
        }
        if (access((kPage + "/tavorin.wasm").c_str(), R_OK) != 0) {
            if (std::getenv("TAVORIN_REQUIRE_WEB")) {
                FAIL() << "no web build in " << kPage;
            }
            GTEST_SKIP() << "no web build in " << kPage
                         << " (cmake --preset web && cmake --build --preset web)";
        }
        profile_ = std::filesystem::temp_directory_path() /
                   ("tavorin-browser-" + std::to_string(getpid()) + "-" + GetParam().name);
        std::filesystem::remove_all(profile_);
        std::filesystem::create_directories(profile_);
        ASSERT_TRUE(display_.Start());
        ServePage();
        StartBrowser();
        window_ = e2e::FindWindow(display_.name(), "Tavorin.*", 60s);
        if (!window_.empty()) {  // the page's first words, before any frame
            RunOnDisplay("xdotool windowfocus --sync " + window_);
        }
        ASSERT_FALSE(window_.empty()) << "no browser window shows the page";
    }

    void TearDown() override {
        for (pid_t child : {browser_, server_}) {
            if (child > 0) {
                kill(child, SIGKILL);
                e2e::WaitForExit(child, 5s);
            }
        }
        std::filesystem::remove_all(profile_);
    }

    // python3's server on a port the system picks, which it says on its first line.
    void ServePage() {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        server_ = e2e::Spawn(
            "exec python3 -u -m http.server 0 --bind 127.0.0.1 --directory '" + PageFolder() + "'",
            fds[1]);
        close(fds[1]);
        std::string line;
        for (char c; read(fds[0], &c, 1) == 1 && c != '\n';) {
            line.push_back(c);
        }
        close(fds[0]);
        int port = 0;
        const size_t at = line.find(" port ");
        ASSERT_NE(at, std::string::npos) << line;
        port = std::atoi(line.c_str() + at + 6);
        ASSERT_GT(port, 0) << line;
        url_ = "http://127.0.0.1:" + std::to_string(port) + "/index.html" + Query();
    }

    void StartBrowser() {
        const std::string env = "exec env DISPLAY=" + display_.name() + " ";
        if (std::string(GetParam().name) == "chromium") {
            browser_ = e2e::Spawn(env + "chromium --no-sandbox --test-type " + GraphicsFlags() +
                                  " --disable-background-networking "
                                  "--disable-component-update --disable-sync --no-first-run "
                                  "--no-default-browser-check --password-store=basic "
                                  "--window-position=0,0 --window-size=" +
                                  Size() + " " + ChromiumFlags() + " --user-data-dir='" +
                                  profile_.string() + "' --app=" + url_);
            return;
        }
        // Firefox's first-run pages, updates and reports off; WebGL through Mesa.
        std::ofstream prefs(profile_ / "user.js");
        for (const char* pref :
             {"\"browser.shell.checkDefaultBrowser\", false",
              "\"browser.startup.homepage_override.mstone\", \"ignore\"",
              "\"browser.aboutwelcome.enabled\", false",
              "\"datareporting.policy.dataSubmissionEnabled\", false",
              "\"toolkit.telemetry.reportingpolicy.firstRun\", false",
              "\"app.update.disabledForTesting\", true", "\"webgl.force-enabled\", true",
              "\"network.connectivity-service.enabled\", false",
              "\"network.captive-portal-service.enabled\", false",
              "\"extensions.update.enabled\", false",
              "\"browser.safebrowsing.update.enabled\", false",
              "\"browser.tabs.warnOnClose\", false"}) {
            prefs << "user_pref(" << pref << ");\n";
        }
        prefs.close();
        browser_ = e2e::Spawn(env + "firefox-esr --no-remote --new-instance --profile '" +
                              profile_.string() + "' -width " + std::to_string(WindowWidth()) +
                              " -height " + std::to_string(WindowHeight()) + " " + url_);
    }

    // The browser's window, in pixels (CSS pixels too: the display's scale is 1).
    virtual int WindowWidth() const { return 1500; }
    virtual int WindowHeight() const { return 980; }
    std::string Size() const {
        return std::to_string(WindowWidth()) + "," + std::to_string(WindowHeight());
    }
    // More of Chromium's flags, for a test that plays on another kind of screen.
    virtual std::string ChromiumFlags() const { return ""; }

    // A click (a tap, to the page) at window pixels.
    void Click(int x, int y) {
        RunOnDisplay("xdotool mousemove --window " + window_ + " " + std::to_string(x) + " " +
                     std::to_string(y) + " click 1");
    }

    // The folder served: the web build's page, unless a test serves a copy of its own.
    virtual std::string PageFolder() const { return kPage; }

    // The page's query string: the clock second of the first deal, unless a test says else.
    virtual std::string Query() const { return "?time=" + std::to_string(kDealSecond); }

    // Chromium's WebGL through SwiftShader, on the processor.
    virtual std::string GraphicsFlags() const {
        return "--use-angle=swiftshader --use-gl=angle --enable-unsafe-swiftshader";
    }

    // The expected board after `keys`, played from clock second `time` by the Linux build.
    wine_test::Picture Expected(int64_t time, const std::string& keys) {
        const std::string dump = profile_.string() + "/mesh";
        e2e::Output("'" TAVORIN_REPLAY "' --time " + std::to_string(time) + " --dump-mesh '" +
                    dump + "' " + keys + " >/dev/null");
        wine_test::Picture picture;
        EXPECT_TRUE(wine_test::DrawMesh(dump, picture)) << "no mesh for " << keys;
        return picture;
    }

    std::filesystem::path profile_;
    pid_t server_ = -1;
    pid_t browser_ = -1;
    std::string url_;
};

}  // namespace browser_test
