#pragma once

// A captured window against what the game must show: where its back buffer lies in the
// capture, pixels of a colour within a back-buffer rectangle, and the pixels that contradict
// the board picture the replay's mesh makes (mesh_picture.h). Shared by the Windows build's
// tests under Wine and the page's tests in browsers.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>

#include "../e2e/x_session.h"
#include "mesh_picture.h"

namespace wine_test {

using e2e::Capture;
using e2e::Rgb;

// Where the back buffer lands in a capture of the whole window (frame and caption included).
struct ClientArea {
    int left = 0, top = 0, width = 0, height = 0;
    int X(double backX) const { return left + static_cast<int>(backX * width / 1280.0); }
    int Y(double backY) const { return top + static_cast<int>(backY * height / 768.0); }
};

// Pixels of a colour within a back-buffer rectangle.
inline int Count(const Capture& shot, const ClientArea& area, int left, int top, int right,
                 int bottom, bool (*colour)(Rgb)) {
    int count = 0;
    for (int y = area.Y(top); y < area.Y(std::min(bottom, 768)); ++y) {
        for (int x = area.X(left); x < area.X(std::min(right, 1280)); ++x) {
            count += colour(shot.At(x, y)) ? 1 : 0;
        }
    }
    return count;
}

// Text drawn smoothed: thin strokes come out grey rather than white.
inline bool IsLit(Rgb c) {
    return c.r > 100 || c.g > 100 || c.b > 100;
}

enum class Tone { Black, White, Red, Other };

inline Tone ToneOf(Rgb c) {
    return e2e::IsBlack(c)   ? Tone::Black
           : e2e::IsWhite(c) ? Tone::White
           : e2e::IsRed(c)   ? Tone::Red
                             : Tone::Other;
}

inline Tone ToneOf(uint32_t argb) {
    return ToneOf(Rgb{static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8),
                      static_cast<uint8_t>(argb)});
}

// Client pixels that contradict the expected picture: another pure colour where the picture
// is uniform a pixel around, or a blend where it is uniform two pixels around. The scaled
// present filters linearly, so the narrow gaps between tiles come out as blends.
inline int Mismatches(const Capture& shot, const ClientArea& area,
                      const wine_test::Picture& expected) {
    int wrong = 0;
    for (int cy = 0; cy < area.height; ++cy) {
        for (int cx = 0; cx < area.width; ++cx) {
            const int bx = static_cast<int>((cx + 0.5) * 1280.0 / area.width);
            const int by = static_cast<int>((cy + 0.5) * 768.0 / area.height);
            const Tone shown = ToneOf(shot.At(area.left + cx, area.top + cy));
            if (shown == Tone::Other
                    ? expected.Uniform(bx, by, 2)
                    : shown != ToneOf(expected.At(bx, by)) && expected.Uniform(bx, by, 1)) {
                ++wrong;
            }
        }
    }
    return wrong;
}

// Saves a picture for a person to look at when a comparison fails.
inline void Save(const std::string& path, const wine_test::Picture& picture) {
    std::ofstream file(path, std::ios::binary);
    file << "P6 1280 768 255\n";
    for (const uint32_t argb : picture.argb) {
        const char rgb[] = {static_cast<char>(argb >> 16), static_cast<char>(argb >> 8),
                            static_cast<char>(argb)};
        file.write(rgb, 3);
    }
}

inline void Save(const std::string& path, const Capture& shot) {
    std::ofstream file(path, std::ios::binary);
    file << "P6 " << shot.width << ' ' << shot.height << " 255\n";
    file.write(reinterpret_cast<const char*>(shot.rgb.data()),
               static_cast<std::streamsize>(shot.rgb.size()));
}

// The start menu's three red labels and nothing else: no red elsewhere, no tile.
inline void ExpectMenuAlone(const Capture& shot, const ClientArea& area) {
    EXPECT_GT(Count(shot, area, 300, 600, 550, 650, e2e::IsRed), 200) << "Start";
    EXPECT_GT(Count(shot, area, 550, 600, 950, 650, e2e::IsRed), 200) << "Tutorial";
    EXPECT_GT(Count(shot, area, 950, 600, 1280, 650, e2e::IsRed), 200) << "Quit";
    const int labels = Count(shot, area, 300, 600, 1280, 650, e2e::IsRed);
    EXPECT_EQ(Count(shot, area, 0, 0, 1280, 768, e2e::IsRed), labels) << "red only in labels";
    EXPECT_EQ(Count(shot, area, 0, 0, 1280, 768, e2e::IsWhite), 0) << "no tiles";
}

// A game window on a private display, played as a player would: keys through xdotool,
// frames captured by window id until they show what is awaited.
class WindowDriver {
  protected:
    // `findArea` finds the back buffer in a capture; `minWidth` is the least it may be.
    WindowDriver(ClientArea (*findArea)(const Capture&), int minWidth,
                 std::chrono::seconds patience)
        : findArea_(findArea), minWidth_(minWidth), patience_(patience) {}

    std::string RunOnDisplay(const std::string& command) {
        return e2e::RunOn(display_.name(), command);
    }

    void Press(const std::string& key) {
        RunOnDisplay("xdotool windowfocus --sync " + window_ + " key " + key);
    }

    template <typename Shows>
    Capture ShotWhen(Shows shows) {
        return e2e::CaptureWhen(display_.name(), window_, shows, patience_);
    }

    // The menu, and from it where the back buffer lies.
    Capture MenuShot() {
        const Capture shot = ShotWhen([this](const Capture& s) {
            const ClientArea area = findArea_(s);
            return area.width > minWidth_ && Count(s, area, 950, 600, 1280, 650, e2e::IsRed) > 100;
        });
        area_ = findArea_(shot);
        return shot;
    }

    e2e::XvfbDisplay display_;
    std::string window_;
    ClientArea area_;

  private:
    ClientArea (*findArea_)(const Capture&);
    int minWidth_;
    std::chrono::seconds patience_;
};

}  // namespace wine_test
