#include <array>
#include <cmath>

#include "render/board_mesh.h"

namespace render {

namespace {

// A pip is a square standing on one corner: four points on a circle of radius 1/6,
// below, right of, above and left of its centre.
struct PipCorners {
    std::array<float, kVerticesPerPip> dx;
    std::array<float, kVerticesPerPip> dy;
};

PipCorners MakePipCorners() {
    constexpr std::array<float, kVerticesPerPip> degrees = {-90.0f, 0.0f, 90.0f, 180.0f};
    PipCorners corners{};
    for (int a = 0; a < kVerticesPerPip; ++a) {
        const float radians = degrees[a] * 3.1415927f / 180.0f;
        corners.dx[a] = std::cos(radians) / 6.0f;
        corners.dy[a] = std::sin(radians) / 6.0f;
    }
    return corners;
}

// Pip columns at -0.6, 0 and +0.6 from the slot centre, stepped the way the tiles have always
// been laid out: a float offset advanced by the double 0.6, so the middle and right columns sit
// a hair off (about -2.4e-8 and 0.59999996).
std::array<float, 3> PipColumnOffsets() {
    std::array<float, 3> columns{};
    float offset = -0.6f;
    for (float& column : columns) {
        column = offset;
        offset = static_cast<float>(static_cast<double>(offset) + 0.6);
    }
    return columns;
}

// Pip rows of both halves, top to bottom, 0.5 apart: three for the upper half, three below.
constexpr std::array<float, 6> kPipRowOffsets = {1.25f, 0.75f, 0.25f, -0.25f, -0.75f, -1.25f};

// The body: a 2.4 by 3.5 rectangle whose corners are cut by a quarter circle of radius 0.15,
// traced counter-clockwise from the left end of the top edge.
struct BodyOutline {
    std::array<float, kBodyVertices> dx;
    std::array<float, kBodyVertices> dy;
};

BodyOutline MakeBodyOutline() {
    const float quarter = 0.78539819f;
    const std::array<float, 3> xs = {1.05f, 1.05f + 0.15f * std::sin(quarter), 1.2f};
    const std::array<float, 3> ys = {1.75f, 1.6f + 0.15f * std::cos(quarter), 1.6f};
    // Top-left, bottom-left, bottom-right, top-right; every other corner runs its arc backwards.
    constexpr std::array<float, 4> signX = {-1.0f, -1.0f, 1.0f, 1.0f};
    constexpr std::array<float, 4> signY = {1.0f, -1.0f, -1.0f, 1.0f};
    BodyOutline outline{};
    int v = 0;
    for (int corner = 0; corner < 4; ++corner) {
        const bool forwards = corner % 2 == 0;
        for (int step = 0; step < 3; ++step) {
            const int i = forwards ? step : 2 - step;
            outline.dx[v] = signX[corner] * xs[i];
            outline.dy[v] = signY[corner] * ys[i];
            ++v;
        }
    }
    return outline;
}

}  // namespace

void BoardMesh::BuildVertices() {
    const PipCorners pip = MakePipCorners();
    const std::array<float, 3> columns = PipColumnOffsets();
    const BodyOutline body = MakeBodyOutline();

    TileVertex* v = vertices_.data();
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const float cx = SlotCentreX(slot);
        const float cy = SlotCentreY(slot);
        for (float rowOffset : kPipRowOffsets) {
            const float py = cy + rowOffset;
            for (float columnOffset : columns) {
                const float px = cx + columnOffset;
                for (int a = 0; a < kVerticesPerPip; ++a) {
                    *v++ = {px + pip.dx[a], py + pip.dy[a], kMeshZ, kWhite};
                }
            }
        }
        for (int i = 0; i < kBodyVertices; ++i) {
            *v++ = {cx + body.dx[i], cy + body.dy[i], kMeshZ, kWhite};
        }
    }
}

}  // namespace render
