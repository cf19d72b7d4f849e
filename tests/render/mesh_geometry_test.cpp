#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "render/board_mesh.h"

namespace {

using render::BoardMesh;
using render::TileVertex;

constexpr double kTolerance = 1e-5;  // a few float steps at the far right of the board

struct Centre {
    double x;
    double y;
};

Centre ExpectedCentre(int slot) {
    if (slot >= 160) {
        return {(slot - 160) * 2.5 - 20.0, -10.75};
    }
    return {(slot % 32) * 2.5 - 20.0, 12.0 - (slot / 32) * 4.375};
}

// Where each of a slot's 84 vertices should be, relative to the slot centre.
std::vector<std::pair<double, double>> ExpectedOffsets() {
    std::vector<std::pair<double, double>> offsets;
    const double rows[6] = {1.25, 0.75, 0.25, -0.25, -0.75, -1.25};
    const double corner[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};  // below, right, above, left
    for (double row : rows) {
        for (double column : {-0.6, 0.0, 0.6}) {
            for (const auto& c : corner) {
                offsets.emplace_back(column + c[0] / 6, row + c[1] / 6);
            }
        }
    }
    const double arcX = 1.05 + 0.15 * std::sin(std::numbers::pi / 4);
    const double arcY = 1.6 + 0.15 * std::cos(std::numbers::pi / 4);
    const double body[12][2] = {{-1.05, 1.75},  {-arcX, arcY},  {-1.2, 1.6},   {-1.2, -1.6},
                                {-arcX, -arcY}, {-1.05, -1.75}, {1.05, -1.75}, {arcX, -arcY},
                                {1.2, -1.6},    {1.2, 1.6},     {arcX, arcY},  {1.05, 1.75}};
    for (const auto& b : body) {
        offsets.emplace_back(b[0], b[1]);
    }
    return offsets;
}

class MeshGeometry : public ::testing::Test {
  protected:
    std::unique_ptr<BoardMesh> mesh = std::make_unique<BoardMesh>(nullptr);
    const TileVertex& V(int i) const { return mesh->vertices[static_cast<std::size_t>(i)]; }
    int I(int i) const { return mesh->indices[static_cast<std::size_t>(i)]; }
};

TEST_F(MeshGeometry, EveryVertexSitsOnItsSlotsGrid) {
    const auto offsets = ExpectedOffsets();
    for (int slot = 0; slot < render::kSlotCount; ++slot) {
        const Centre c = ExpectedCentre(slot);
        for (int k = 0; k < render::kVerticesPerSlot; ++k) {
            const TileVertex& v = V(84 * slot + k);
            ASSERT_NEAR(v.x, c.x + offsets[static_cast<std::size_t>(k)].first, kTolerance)
                << "slot " << slot << " vertex " << k;
            ASSERT_NEAR(v.y, c.y + offsets[static_cast<std::size_t>(k)].second, kTolerance)
                << "slot " << slot << " vertex " << k;
            ASSERT_EQ(v.z, 30.0f);
            ASSERT_EQ(v.diffuse, render::kWhite);
        }
    }
}

TEST_F(MeshGeometry, IndicesAtTheStartOfSlotOneAndAtTheEnd) {
    const int start[] = {83, 72, 73, 83, 73, 82};
    const int firstPip[] = {2, 3, 1, 1, 3, 0};
    const int end[] = {13846, 13847, 13845, 13845, 13847, 13844};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(I(i), start[i]);
        EXPECT_EQ(I(30 + i), firstPip[i]);
        EXPECT_EQ(I(render::kIndexCount - 6 + i), end[i]);
    }
    EXPECT_EQ(I(138), 167);
}

TEST_F(MeshGeometry, TrianglesCoverEveryVertexOnceWoundAndOrdered) {
    std::vector<bool> used(render::kVertexCount, false);
    for (int t = 0; t < render::kPrimitiveCount; ++t) {
        const int slot = t / 46;
        const int a = I(3 * t), b = I(3 * t + 1), c = I(3 * t + 2);
        for (int i : {a, b, c}) {
            ASSERT_LE(i, render::kVertexCount - 1);
            ASSERT_EQ(i / 84, slot) << "triangle " << t << " leaves its slot";
            // The body's ten triangles come before the pips, which must draw on top.
            ASSERT_EQ(i % 84 >= 72, t % 46 < 10) << "triangle " << t;
            used[static_cast<std::size_t>(i)] = true;
        }
        // Counter-clockwise seen with x right and y up, none degenerate.
        const double area =
            (V(b).x - V(a).x) * (V(c).y - V(a).y) - (V(c).x - V(a).x) * (V(b).y - V(a).y);
        ASSERT_GT(area, 0.0) << "triangle " << t;
    }
    EXPECT_EQ(std::count(used.begin(), used.end(), false), 0);
}

}  // namespace
