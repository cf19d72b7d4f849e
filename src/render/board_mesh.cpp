#include "render/board_mesh.h"

namespace render {

BoardMesh::BoardMesh(platform::Device& device) : device_(device) {
    BuildFaceColours();
    BuildVertices();
    BuildIndices();
}

BoardMesh::~BoardMesh() {
    ReleaseBuffers();
}

float BoardMesh::SlotCentreX(int slot) const {
    const int position = slot < kTableSlots ? slot % board::kPositionsPerRow : slot - kTableSlots;
    return static_cast<float>(position) * slotPitch_ + kLeftCentreX;
}

float BoardMesh::SlotCentreY(int slot) const {
    const float lastRowY = kTopCentreY - static_cast<float>(board::kTableRows - 1) * rowPitch_;
    if (slot >= kTableSlots) {
        // The stock hangs below the last table row's centre line, whether or not it is live.
        return lastRowY - stockRowGap_;
    }
    return kTopCentreY - static_cast<float>(slot / board::kPositionsPerRow) * rowPitch_;
}

}  // namespace render
