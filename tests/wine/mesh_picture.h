#pragma once

// The board picture as Direct3D must draw it, computed here without any graphics library:
// the mesh that tavorin-replay dumps, through the world translation (0, 0, 10) and the
// game's left-handed projection, rasterised into a 1280 x 768 back buffer with a
// less-or-equal depth test. The Windows build's frames are checked against it.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace wine_test {

struct Picture {
    static constexpr int kWidth = 1280;
    static constexpr int kHeight = 768;
    std::vector<uint32_t> argb = std::vector<uint32_t>(kWidth * kHeight, 0xFF000000u);

    uint32_t At(int x, int y) const {
        x = x < 0 ? 0 : (x >= kWidth ? kWidth - 1 : x);
        y = y < 0 ? 0 : (y >= kHeight ? kHeight - 1 : y);
        return argb[static_cast<size_t>(y) * kWidth + x];
    }
    // True where the pixels within `reach` of (x, y) share one colour: a pixel that scaling
    // or rasterisation rules cannot move to another colour.
    bool Uniform(int x, int y, int reach) const {
        const uint32_t centre = At(x, y);
        for (int dy = -reach; dy <= reach; ++dy) {
            for (int dx = -reach; dx <= reach; ++dx) {
                if (At(x + dx, y + dy) != centre) {
                    return false;
                }
            }
        }
        return true;
    }
};

namespace detail {

template <typename T>
std::vector<T> ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), {});
    std::vector<T> out(bytes.size() / sizeof(T));
    std::memcpy(out.data(), bytes.data(), out.size() * sizeof(T));
    return out;
}

struct Screen {
    float x, y, z;
    uint32_t colour;
};

}  // namespace detail

// False when the dump cannot be read.
inline bool DrawMesh(const std::string& prefix, Picture& picture) {
    struct Vertex {
        float x, y, z;
        uint32_t diffuse;
    };
    const auto vertices = detail::ReadAll<Vertex>(prefix + ".vertices");
    const auto indices = detail::ReadAll<uint16_t>(prefix + ".indices");
    if (vertices.size() != 13860 || indices.size() != 22770) {
        return false;
    }
    // Projection: fov 0.785398, aspect 5/3, near 1, far 1000; no view transform.
    const float yScale = 1.0f / std::tan(0.785398f / 2);
    const float xScale = yScale / (5.0f / 3.0f);
    const float q = 1000.0f / 999.0f;
    std::vector<detail::Screen> screen;
    for (const Vertex& v : vertices) {
        const float z = v.z + 10.0f;  // the world translation
        const float w = z;
        screen.push_back({(v.x * xScale / w + 1.0f) * 640.0f, (1.0f - v.y * yScale / w) * 384.0f,
                          (z * q - q) / w, v.diffuse});
    }
    std::vector<float> depth(Picture::kWidth * Picture::kHeight, 1.0f);
    for (size_t i = 0; i + 2 < indices.size(); i += 3) {
        const detail::Screen& a = screen[indices[i]];
        const detail::Screen& b = screen[indices[i + 1]];
        const detail::Screen& c = screen[indices[i + 2]];
        const float area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
        if (area == 0.0f) {
            continue;
        }
        const int left = std::max(0, static_cast<int>(std::floor(std::min({a.x, b.x, c.x}))));
        const int right =
            std::min(Picture::kWidth - 1, static_cast<int>(std::ceil(std::max({a.x, b.x, c.x}))));
        const int top = std::max(0, static_cast<int>(std::floor(std::min({a.y, b.y, c.y}))));
        const int bottom =
            std::min(Picture::kHeight - 1, static_cast<int>(std::ceil(std::max({a.y, b.y, c.y}))));
        for (int y = top; y <= bottom; ++y) {
            for (int x = left; x <= right; ++x) {
                const float px = x + 0.5f, py = y + 0.5f;
                const float wa = ((b.x - px) * (c.y - py) - (b.y - py) * (c.x - px)) / area;
                const float wb = ((c.x - px) * (a.y - py) - (c.y - py) * (a.x - px)) / area;
                const float wc = 1.0f - wa - wb;
                if (wa < 0 || wb < 0 || wc < 0) {
                    continue;
                }
                const float z = wa * a.z + wb * b.z + wc * c.z;
                float& stored = depth[static_cast<size_t>(y) * Picture::kWidth + x];
                if (z <= stored) {  // less-or-equal: pips drawn after the body win
                    stored = z;
                    picture.argb[static_cast<size_t>(y) * Picture::kWidth + x] = a.colour;
                }
            }
        }
    }
    return true;
}

}  // namespace wine_test
