#include "render/board_mesh.h"

namespace render {

namespace {

// Per slot: the body as a zigzag strip of 10 triangles from the top edge down, then two
// triangles per pip. The body goes first so the pips, drawn later at the same depth, win.
constexpr int kBodyIndices = 30;
constexpr int kIndicesPerPip = 6;
static_assert(kBodyIndices + 2 * kPipsPerHalf * kIndicesPerPip == kIndicesPerSlot);
static_assert(kVertexCount - 1 <= 0xFFFF, "16-bit indices_ must reach every vertex");

}  // namespace

void BoardMesh::BuildIndices() {
    uint16_t* out = indices_.data();
    auto put = [&out](int a, int b, int c) {
        *out++ = static_cast<uint16_t>(a);
        *out++ = static_cast<uint16_t>(b);
        *out++ = static_cast<uint16_t>(c);
    };
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const int base = slot * kVerticesPerSlot;
        const int top = base + kBodyFirstVertex;       // left end of the top edge
        const int last = base + kVerticesPerSlot - 1;  // right end of the top edge
        for (int k = 0; k < 5; ++k) {
            put(last - k, top + k, top + 1 + k);
            put(last - k, top + 1 + k, last - 1 - k);
        }
        for (int p = 0; p < 2 * kPipsPerHalf; ++p) {
            // Points below, right, above, left of the pip centre.
            const int below = base + kVerticesPerPip * p;
            put(below + 2, below + 3, below + 1);
            put(below + 1, below + 3, below);
        }
    }
}

}  // namespace render
