#include <algorithm>

#include "render/board_mesh.h"

namespace render {

namespace {

constexpr uint32_t K = kBlack;
constexpr uint32_t W = kWhite;
constexpr uint32_t R = kRed;

// Each row: a half's 3 x 3 pip grid as seen on screen, then the body.
constexpr FaceColourTable kFaceColours = {{
    {K, K, K, K, K, K, K, K, K, K},  // 0: empty, the whole half vanishes
    {W, R, W, W, W, W, W, W, W, W},  // 1: red pip, top centre
    {K, W, K, W, W, W, W, W, W, W},  // 2: top corners
    {W, W, K, W, K, W, K, W, W, W},  // 3: diagonal
    {R, W, R, W, W, W, R, W, R, W},  // 4: red corners
    {K, W, K, W, K, W, K, W, K, W},  // 5: corners and centre
    {K, W, K, K, W, K, K, W, K, W},  // 6: outer columns
    {W, W, W, W, W, W, W, R, W, W},  // 7: red pip, bottom centre
    {W, W, W, W, W, W, K, W, K, W},  // 8: bottom corners
    {K, W, R, K, W, R, K, W, R, W},  // 9: black left, red right
    {R, W, K, R, W, K, R, W, K, W},  // 10: red left, black right
}};

// The storage only ever holds codes 0 to 10; anything else shows as an empty place rather
// than reading past the table.
std::size_t Row(board::FaceCode code) {
    const auto row = static_cast<std::size_t>(static_cast<uint16_t>(code));
    return row < kFaceColours.size() ? row : 0;
}

void PaintPips(TileVertex* v, const std::array<uint32_t, 10>& colours) {
    for (int q = 0; q < kPipsPerHalf; ++q) {
        const uint32_t c = colours[static_cast<std::size_t>(q)];
        v[0].diffuse = c;
        v[1].diffuse = c;
        v[2].diffuse = c;
        v[3].diffuse = c;
        v += kVerticesPerPip;
    }
}

void PaintAll(TileVertex* v, int count, uint32_t colour) {
    for (int i = 0; i < count; ++i) {
        v[i].diffuse = colour;
    }
}

}  // namespace

void BoardMesh::BuildFaceColours() {
    faceColours_ = kFaceColours;
}

void BoardMesh::ApplyColours(const board::TileBoard& board) {
    TileVertex* v = vertices_.data();
    const board::FaceCode* half = board.halves.data();
    for (int row = 0; row < board::kTableRows; ++row) {
        const board::FaceCode* code = half + board::HalfIndex(row, 0);
        for (int position = 0; position < board::kPositionsPerRow; ++position) {
            const auto& upper = faceColours_[Row(code[0])];
            const auto& lower = faceColours_[Row(code[1])];
            PaintPips(v, upper);
            PaintPips(v + kLowerHalfFirstVertex, lower);
            // The body takes the lower half's colour, so an empty place is black throughout.
            PaintAll(v + kBodyFirstVertex, kBodyVertices, lower[kBodyEntry]);
            code += 2;
            v += kVerticesPerSlot;
        }
    }
    // The stock shows at most five blank tiles packed to the right; places go dark from the left.
    const int dark = std::max(0, kStockSlots - static_cast<int>(board.stockCount()));
    for (int k = 0; k < kStockSlots; ++k) {
        PaintAll(v, kVerticesPerSlot, k < dark ? kBlack : kWhite);
        v += kVerticesPerSlot;
    }
}

}  // namespace render
