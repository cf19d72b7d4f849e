#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/headless/headless_backend.h"
#include "render/board_mesh.h"

namespace {

constexpr double kTolerance = 1e-5;  // a few float steps at the far right of the board

class MeshGeometry : public ::testing::Test {
  protected:
    platform::headless::Device device;
    std::unique_ptr<render::BoardMesh> mesh = std::make_unique<render::BoardMesh>(device);

    void ExpectVertex(int v, double x, double y) const {
        EXPECT_NEAR(mesh->vertices()[v].x, x, kTolerance) << "vertex " << v;
        EXPECT_NEAR(mesh->vertices()[v].y, y, kTolerance) << "vertex " << v;
        EXPECT_EQ(mesh->vertices()[v].z, 30.0f) << "vertex " << v;
    }
};

TEST_F(MeshGeometry, VerticesLieWhereTheTilesAre) {
    ExpectVertex(0, -20.6, 13.0 + 1.0 / 12);  // the bottom of slot 0's first pip
    ExpectVertex(72, -21.05, 13.75);          // the two ends of its top edge
    ExpectVertex(83, -18.95, 13.75);
    // Pips and body are symmetric about the slot centre, so the mean of a slot is its centre.
    const struct {
        int slot;
        double x;
        double y;
    } centres[] = {{159, 57.5, -5.5}, {160, -20.0, -10.75}, {164, -10.0, -10.75}};
    for (const auto& c : centres) {
        double x = 0;
        double y = 0;
        for (int v = 84 * c.slot; v < 84 * c.slot + 84; ++v) {
            x += mesh->vertices()[v].x / 84;
            y += mesh->vertices()[v].y / 84;
        }
        EXPECT_NEAR(x, c.x, kTolerance) << "slot " << c.slot;
        EXPECT_NEAR(y, c.y, kTolerance) << "slot " << c.slot;
    }
    // The body of slot 159 spans 2.4 by 3.5 around its centre.
    const auto body = mesh->vertices().begin() + 84 * 159 + 72;
    const auto [left, right] =
        std::minmax_element(body, body + 12, [](auto a, auto b) { return a.x < b.x; });
    const auto [bottom, top] =
        std::minmax_element(body, body + 12, [](auto a, auto b) { return a.y < b.y; });
    EXPECT_NEAR(left->x, 56.3, kTolerance);
    EXPECT_NEAR(right->x, 58.7, kTolerance);
    EXPECT_NEAR(bottom->y, -7.25, kTolerance);
    EXPECT_NEAR(top->y, -3.75, kTolerance);
}

// The body's triangles come first in every slot, so the pips draw on top.
TEST_F(MeshGeometry, IndicesDrawTheBodyThenThePipsOfEverySlot) {
    const int start[] = {83, 72, 73, 83, 73, 82};
    const int firstPip[] = {2, 3, 1, 1, 3, 0};
    const int end[] = {13846, 13847, 13845, 13845, 13847, 13844};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(mesh->indices()[i], start[i]);
        EXPECT_EQ(mesh->indices()[30 + i], firstPip[i]);
        EXPECT_EQ(mesh->indices()[render::kIndexCount - 6 + i], end[i]);
    }
    EXPECT_EQ(mesh->indices()[138], 167);

    std::vector<bool> used(render::kVertexCount, false);
    for (uint16_t i : mesh->indices()) {
        ASSERT_LE(i, 13859);
        used[i] = true;
    }
    EXPECT_EQ(std::ranges::count(used, false), 0);
}

}  // namespace
